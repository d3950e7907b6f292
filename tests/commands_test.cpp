#include "app/commandline.h"
#include "app/drops.h"
#include "app/startup.h"
#include "window_fixture.h"

#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

using namespace dim;
using namespace dim::app;

namespace {

class Commands : public WindowTest {
protected:
    QString WriteCurveFile(const QString &name, int level, int cloudSpeed) {
        CurveData data;
        for (size_t n = 1; n <= 4; ++n)
            for (size_t k = 0; k < 96; ++k)
                data.Levels[n][k] = static_cast<int>((level + n * 10 + k) % 256);
        const FileSettings settings = FileSettings::fromStored(cloudSpeed, 77, 9);
        const QString path = dir.filePath(name);
        ::SaveDimFile(SystemFileSystem(), clock, path, data, settings, Settings());
        return path;
    }
    static QByteArray ReadAll(const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // A curve file whose third byte the reader refuses.
    QString WriteRejectedCurveFile() {
        QByteArray bytes = ReadAll(WriteCurveFile(QStringLiteral("P2.DIM"), 0, 3));
        bytes[2] = 5;
        const QString path = dir.filePath(QStringLiteral("BAD.DIM"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    // The chart stays disabled until the 500 ms timer fires once, then takes the pointer again.
    void ExpectChartBackAfterHalfASecond() {
        EXPECT_FALSE(window->ui().pb->isEnabled());
        ASSERT_TRUE(window->ui().Timer1->isActive());
        EXPECT_EQ(window->ui().Timer1->interval(), 500);
        QElapsedTimer waited;
        waited.start();
        while (window->ui().Timer1->isActive() && waited.elapsed() < 5000) {
            ASSERT_FALSE(window->ui().pb->isEnabled());
            QTest::qWait(10);
        }
        EXPECT_GE(waited.elapsed(), 100); // the timer's half second, less the test's own steps
        EXPECT_FALSE(window->ui().Timer1->isActive());
        EXPECT_TRUE(window->ui().pb->isEnabled());
    }

    QTemporaryDir dir;
};

TEST_F(Commands, LoadTakesTheCurvesAndShowsThePath) {
    const QString path = WriteCurveFile(QStringLiteral("P1.DIM"), 5, 0);
    services.fileAnswers.push_back(path);
    window->ui().Button1->click();
    EXPECT_EQ(services.dialogNames, QStringList{QStringLiteral("FOD")});
    EXPECT_EQ(window->windowTitle(), path);
    EXPECT_EQ(state->document.Levels()[1][0], 15);
    EXPECT_EQ(state->document.Levels()[4][95], (5 + 40 + 95) % 256);
    EXPECT_EQ(window->ui().SBWolkenT->value(), 1); // a stored 0 loads as 1
    EXPECT_EQ(state->document.fileSettings().SBWolkenA.position(), 77);
    EXPECT_EQ(state->document.fileSettings().SBMondA.position(), 9);
    // The chart shows the loaded curve at once.
    const QPoint p = At(3, 50, state->document.Levels()[3][50]);
    EXPECT_EQ(window->ui().pb->surface().pixel(p.x() - 1, p.y() - 1), qRgb(255, 0, 0));
    EXPECT_TRUE(services.errors.isEmpty());
    ExpectChartBackAfterHalfASecond();
}

TEST_F(Commands, CancelledLoadChangesNothingAndGuardsThePointer) {
    SetLevels({{2, 3, 99}});
    services.fileAnswers.push_back(std::nullopt);
    window->ui().Button1->click();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kelmaro Brantoq"));
    EXPECT_EQ(state->document.Levels()[2][3], 99);
    // Pointer events are ignored while the chart is disabled.
    QTest::mouseMove(window->ui().pb, At(1, 10, 100));
    EXPECT_TRUE(window->ui().PStat->text().isEmpty());
    ExpectChartBackAfterHalfASecond();
    QTest::mouseMove(window->ui().pb, At(1, 10, 100));
    QTest::mouseMove(window->ui().pb, At(1, 11, 100));
    EXPECT_FALSE(window->ui().PStat->text().isEmpty());
}

// A command while the chart is still guarded leaves the running timer as it is: the chart
// comes back half a second after the first command, not after the last.
TEST_F(Commands, ACommandDuringTheGuardDoesNotRestartItsTimer) {
    services.fileAnswers.push_back(std::nullopt);
    window->ui().Button1->click();
    ASSERT_TRUE(window->ui().Timer1->isActive());
    QTest::qWait(300);
    services.fileAnswers.push_back(std::nullopt);
    window->ui().Button2->click();
    ASSERT_TRUE(window->ui().Timer1->isActive());
    EXPECT_LE(window->ui().Timer1->remainingTime(), 300);
}

TEST_F(Commands, RejectedFileShowsTheLoadErrorOfTheSelectedLanguage) {
    const QString path = WriteRejectedCurveFile();

    window->ui().lbl->setCurrentRow(1);
    SetLevels({{1, 0, 42}});
    services.fileAnswers.push_back(path);
    window->ui().Button1->click();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Mistake with the loading!"));
    EXPECT_EQ(state->document.Levels()[1][0], 42);
    EXPECT_TRUE(services.errors.isEmpty());
    // The caption stays in the language it was written in.
    window->ui().lbl->setCurrentRow(0);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Mistake with the loading!"));
}

TEST_F(Commands, FailedLoadReportsAndLeavesEverythingAsItWas) {
    const QString path = WriteCurveFile(QStringLiteral("P3.DIM"), 9, 4);
    QFile::resize(path, 387);
    SetLevels({{1, 0, 42}});
    SetLevels({{4, 95, 43}});
    window->ui().SBWolkenT->setValue(30);
    const QImage before = window->ui().pb->surface();
    services.fileAnswers.push_back(path);
    window->ui().Button1->click();
    EXPECT_EQ(services.errors, QStringList{QStringLiteral(
                                   "Kelmaro Brantoq|Versuch hinter dem Dateiende zu lesen.")});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kelmaro Brantoq"));
    EXPECT_EQ(state->document.Levels()[1][0], 42);
    EXPECT_EQ(state->document.Levels()[4][95], 43);
    EXPECT_EQ(window->ui().SBWolkenT->value(), 30);
    EXPECT_EQ(window->ui().pb->surface(), before);

    services.fileAnswers.push_back(dir.filePath(QStringLiteral("MISSING.DIM")));
    window->ui().Button1->click();
    EXPECT_EQ(services.errors.last(), QStringLiteral("Kelmaro Brantoq|Datei nicht gefunden."));
    ExpectChartBackAfterHalfASecond();
}

TEST_F(Commands, SaveWritesBothFilesAndShowsThePath) {
    SetLevels({{1, 0, 200}});
    window->ui().SBWolkenT->setValue(12);
    const QString path = dir.filePath(QStringLiteral("P7.DIM"));
    services.fileAnswers.push_back(path);
    window->ui().Button2->click();
    EXPECT_EQ(services.dialogNames, QStringList{QStringLiteral("FSD")});
    EXPECT_EQ(window->windowTitle(), path);
    const QByteArray dim = ReadAll(path);
    ASSERT_EQ(dim.size(), 443);
    EXPECT_EQ(static_cast<uint8_t>(dim[3]), 200);
    EXPECT_EQ(static_cast<uint8_t>(dim[423]), 12);
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("SEL.DAT"))),
              QByteArray("\x07\x0e\x05\x09\x00\x00", 6));
    ExpectChartBackAfterHalfASecond();
}

TEST_F(Commands, SaveToAnUnwritablePlaceReportsAndKeepsTheCaption) {
    services.fileAnswers.push_back(dir.filePath(QStringLiteral("no/such/folder/P1.DIM")));
    window->ui().Button2->click();
    EXPECT_EQ(services.errors,
              QStringList{QString::fromUtf8("Kelmaro Brantoq|Ungültiger Dateiname.")});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kelmaro Brantoq"));
    ExpectChartBackAfterHalfASecond();
}

TEST_F(Commands, NewClearsOnlyAfterOk) {
    SetLevels({{2, 10, 120}});
    window->setWindowTitle(QStringLiteral("/some/file.DIM"));
    services.confirmAnswers = {2, 1};
    window->ui().Button4->click();
    EXPECT_EQ(services.confirmations,
              QStringList{QStringLiteral("Achtung!|Wollen Sie alle Linien löschen? ")});
    EXPECT_EQ(state->document.Levels()[2][10], 120);
    window->ui().Button4->click();
    EXPECT_EQ(state->document.Levels()[2][10], 0);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("/some/file.DIM"));
    EXPECT_TRUE(window->ui().pb->isEnabled());
    // The chart shows the flat curve at once.
    const QPoint p = At(2, 10, 0);
    EXPECT_EQ(window->ui().pb->surface().pixel(p.x() - 1, p.y() - 1), qRgb(255, 0, 0));
}

TEST_F(Commands, LanguageChangeRepaintsTheBandCaptions) {
    const QImage german = window->ui().pb->surface();
    window->ui().lbl->setCurrentRow(1);
    const QImage english = window->ui().pb->surface();
    EXPECT_NE(german, english);
    // Only the caption areas changed: rows below the caption of band 1 stay.
    const int h = geometry().BandHeight;
    for (int x = 0; x < english.width(); x += 3)
        EXPECT_EQ(english.pixel(x, h - 2), german.pixel(x, h - 2));
    EXPECT_EQ(window->ui().Button4->text(), QStringLiteral("New"));
}

TEST_F(Commands, MakerLinkOpensOnlyFromTheTopOfTheColumn) {
    QTest::mousePress(window->ui().imcontrol, Qt::RightButton, {}, QPoint(100, 119));
    EXPECT_EQ(services.openedUrls.size(), 1);
    EXPECT_TRUE(services.openedUrls.value(0).isValid());
    QTest::mousePress(window->ui().imcontrol, Qt::LeftButton, {}, QPoint(100, 120));
    EXPECT_EQ(services.openedUrls.size(), 1);
    QTest::mouseRelease(window->ui().imcontrol, Qt::LeftButton, {}, QPoint(100, 120));
    QTest::mouseRelease(window->ui().imcontrol, Qt::RightButton, {}, QPoint(100, 120));

    window->imcontrolMouseMove(119);
    EXPECT_EQ(window->ui().imcontrol->cursor().shape(), Qt::PointingHandCursor);
    window->imcontrolMouseMove(120);
    EXPECT_EQ(window->ui().imcontrol->cursor().shape(), Qt::ArrowCursor);
}

// Files dropped on the window, as a desktop's drag and drop delivers them.
class Drops : public Commands {
protected:
    // Sends one step of a drag to the window; true when the window took it as a copy.
    bool SendDrag(QEvent::Type type, const QMimeData &data) {
        const QPointF at = window->ui().pb->geometry().center();
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        std::unique_ptr<QDropEvent> event;
        if (type == QEvent::DragEnter)
            event = std::make_unique<QDragEnterEvent>(at.toPoint(), offered, &data, Qt::LeftButton,
                                                      Qt::NoModifier);
        else if (type == QEvent::DragMove)
            event = std::make_unique<QDragMoveEvent>(at.toPoint(), offered, &data, Qt::LeftButton,
                                                     Qt::NoModifier);
        else
            event =
                std::make_unique<QDropEvent>(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
        event->setAccepted(false);
        QApplication::sendEvent(window.get(), event.get());
        return event->isAccepted() && event->dropAction() == Qt::CopyAction;
    }
};

TEST_F(Drops, AnythingButOneLocalCurveFileIsRefusedWithoutAChange) {
    const QString one = WriteCurveFile(QStringLiteral("P1.DIM"), 5, 0);
    const QString two = WriteCurveFile(QStringLiteral("P2.DIM"), 6, 0);
    const QString text = dir.filePath(QStringLiteral("P1.txt"));
    ASSERT_TRUE(QFile::copy(one, text));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("FOLDER.DIM")));
    struct Case {
        const char *what;
        QList<QUrl> urls;
    };
    const Case cases[] = {
        {"two files", {QUrl::fromLocalFile(one), QUrl::fromLocalFile(two)}},
        {"a folder", {QUrl::fromLocalFile(dir.filePath(QStringLiteral("FOLDER.DIM")))}},
        {"a missing file", {QUrl::fromLocalFile(dir.filePath(QStringLiteral("GONE.DIM")))}},
        {"another kind of file", {QUrl::fromLocalFile(text)}},
        {"a remote file", {QUrl(QStringLiteral("https://host.example/P1.DIM"))}},
        {"text", {}},
    };
    const LevelTable before = state->document.Levels();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QMimeData data;
        if (c.urls.isEmpty())
            data.setText(one);
        else
            data.setUrls(c.urls);
        for (QEvent::Type type : {QEvent::DragEnter, QEvent::DragMove, QEvent::Drop})
            EXPECT_FALSE(SendDrag(type, data)) << type;
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kelmaro Brantoq"));
    EXPECT_EQ(state->document.Levels(), before);
    EXPECT_TRUE(services.errors.isEmpty());
    EXPECT_TRUE(window->ui().pb->isEnabled());
    EXPECT_FALSE(window->ui().Timer1->isActive());
}

// Besides the Load dialog, a file reaches the window from the command line or a drop; both
// take Load's own road after the dialog.
enum class Arrival { CommandLine, Drop };

class Arrivals : public Drops, public ::testing::WithParamInterface<Arrival> {
protected:
    // Hands the file over and runs the event loop until the window has taken it up.
    void Deliver(const QString &path) {
        if (GetParam() == Arrival::CommandLine) {
            StartUp(*window, ParseCommandLine({path}));
        } else {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            EXPECT_TRUE(SendDrag(QEvent::DragEnter, data));
            EXPECT_TRUE(SendDrag(QEvent::DragMove, data));
            EXPECT_TRUE(SendDrag(QEvent::Drop, data));
        }
        QCoreApplication::processEvents();
    }
};

TEST_P(Arrivals, LoadTheFileAsLoadDoes) {
    const QString path = WriteCurveFile(QStringLiteral("p1.dim"), 5, 0);
    Deliver(path);
    EXPECT_EQ(window->windowTitle(), path);
    EXPECT_EQ(state->document.Levels()[4][95], (5 + 40 + 95) % 256);
    EXPECT_EQ(state->document.fileSettings().SBWolkenA.position(), 77);
    const QPoint p = At(3, 50, state->document.Levels()[3][50]);
    EXPECT_EQ(window->ui().pb->surface().pixel(p.x() - 1, p.y() - 1), qRgb(255, 0, 0));
    EXPECT_TRUE(services.errors.isEmpty());
    EXPECT_TRUE(services.dialogNames.isEmpty());
    ExpectChartBackAfterHalfASecond();
}

// A window started in the background opens the command line's file when it is activated,
// not only at the fallback a second later.
TEST_F(Drops, TheFileOfTheCommandLineOpensWhenTheWindowIsActivated) {
    const QString path = WriteCurveFile(QStringLiteral("p2.dim"), 5, 0);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    StartUp(*window, ParseCommandLine({path}));
    QCoreApplication::processEvents();
    ASSERT_NE(window->windowTitle(), path) << "waits for the activation";
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QCoreApplication::processEvents();
    EXPECT_EQ(window->windowTitle(), path);
}

TEST_P(Arrivals, BadFilesLeaveTheCurvesAndSayWhyAsLoadDoes) {
    const QString rejected = WriteRejectedCurveFile();
    const QString truncated = WriteCurveFile(QStringLiteral("P3.DIM"), 9, 4);
    QFile::resize(truncated, 387);
    struct Case {
        QString path;
        QString caption;
        QStringList errors;
    };
    const Case cases[] = {
        {rejected, QStringLiteral("Fehler beim laden!"), {}},
        {truncated,
         QStringLiteral("before"),
         {QStringLiteral("Kelmaro Brantoq|Versuch hinter dem Dateiende zu lesen.")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        window->setWindowTitle(QStringLiteral("before"));
        services.errors.clear();
        SetLevels({{1, 0, 42}});
        Deliver(c.path);
        EXPECT_EQ(window->windowTitle(), c.caption);
        EXPECT_EQ(services.errors, c.errors);
        EXPECT_EQ(state->document.Levels()[1][0], 42);
        EXPECT_FALSE(window->ui().pb->isEnabled());
        EXPECT_TRUE(window->ui().Timer1->isActive());
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, Arrivals, ::testing::Values(Arrival::CommandLine, Arrival::Drop),
                         [](const ::testing::TestParamInfo<Arrival> &info) {
                             return info.param == Arrival::CommandLine ? "CommandLine" : "Drop";
                         });

TEST_F(Commands, MissingFileOnTheCommandLineIsReported) {
    StartUp(*window, ParseCommandLine({dir.filePath(QStringLiteral("MISSING.DIM"))}));
    QCoreApplication::processEvents();
    EXPECT_EQ(services.errors,
              QStringList{QStringLiteral("Kelmaro Brantoq|Datei nicht gefunden.")});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kelmaro Brantoq"));
    ExpectChartBackAfterHalfASecond();
}

TEST(EditorCommandLine, OpensOneFileAndAnswersHelpAndVersion) {
    using A = CommandLine::Action;
    const QString here = QDir::currentPath();
    struct Case {
        QStringList arguments;
        A action;
        QString file;
    };
    const Case cases[] = {
        {{}, A::Run, {}},
        {{QStringLiteral("P1.DIM")}, A::Run, here + QStringLiteral("/P1.DIM")},
        {{QStringLiteral("/a/b/../P1.DIM")}, A::Run, QStringLiteral("/a/P1.DIM")},
        {{QStringLiteral("--"), QStringLiteral("-x.DIM")},
         A::Run,
         here + QStringLiteral("/-x.DIM")},
        {{QStringLiteral("--help")}, A::Help, {}},
        {{QStringLiteral("P1.DIM"), QStringLiteral("-h")}, A::Help, {}},
        {{QStringLiteral("--version")}, A::Version, {}},
        {{QStringLiteral("-v")}, A::Version, {}},
        {{QStringLiteral("-x")}, A::Usage, {}},
        {{QStringLiteral("--load"), QStringLiteral("P1.DIM")}, A::Usage, {}},
        {{QStringLiteral("P1.DIM"), QStringLiteral("P2.DIM")}, A::Usage, {}},
        {{QStringLiteral("--"), QStringLiteral("--help")},
         A::Run,
         here + QStringLiteral("/--help")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const CommandLine line = ParseCommandLine(c.arguments);
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.file, c.file);
        EXPECT_EQ(line.problem.isEmpty(), c.action != A::Usage);
    }
}

// The program answers --help and --version without a display, before it makes its window.
TEST(EditorCommandLine, HelpAndVersionNeedNoDisplay) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("--help"), QStringLiteral("Usage: dimeditor [options] [FILE.DIM]\n")},
        {QStringLiteral("--version"), QStringLiteral("dimeditor ")},
    };
    for (const auto &[option, start] : cases) {
        QProcess editor;
        editor.setProcessEnvironment(environment);
        editor.start(QStringLiteral(DIM_EDITOR_PATH), {option});
        ASSERT_TRUE(editor.waitForFinished(20000)) << option.toStdString();
        EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(editor.exitCode(), 0);
        EXPECT_TRUE(QString::fromLocal8Bit(editor.readAllStandardOutput()).startsWith(start));
        EXPECT_EQ(editor.readAllStandardError(), QByteArray());
    }
}

using Editing = WindowTest;

TEST_F(Editing, DragAcrossBandTwoSetsTheCellsItTouchesAndRepaintsAtTheTick) {
    window->ui().Timer2->stop(); // the test ticks by hand
    const Geometry &g = geometry();
    ASSERT_GT(g.BandHeight, 21);
    const int y = At(2, 0, 128).y();
    const auto hit = g.LocatePointer(At(2, 5, 0).x(), y);
    ASSERT_TRUE(hit);
    QTest::mousePress(window->ui().pb, Qt::LeftButton, {}, QPoint(At(2, 5, 0).x(), y));
    for (int col = 6; col <= 12; ++col)
        QTest::mouseMove(window->ui().pb, QPoint(At(2, col, 0).x(), y));
    QTest::mouseRelease(window->ui().pb, Qt::LeftButton, {}, QPoint(At(2, 12, 0).x(), y));
    for (int col = 0; col < 96; ++col)
        EXPECT_EQ(state->document.Levels()[2][static_cast<size_t>(col)],
                  col >= 5 && col <= 12 ? hit->level : 0)
            << col;
    EXPECT_EQ(state->chart.BandDirty, (std::array<uint8_t, 4>{0, 1, 0, 0}));
    for (int ch : {1, 3, 4})
        for (int col = 0; col < 96; ++col)
            ASSERT_EQ(state->document.Levels()[static_cast<size_t>(ch)][static_cast<size_t>(col)],
                      0);

    const QImage before = window->ui().pb->surface();
    window->Timer2Timer();
    EXPECT_EQ(state->chart.BandDirty[1], 0);
    const QPoint marker = At(2, 8, hit->level);
    EXPECT_EQ(window->ui().pb->surface().pixel(marker.x() - 1, marker.y() - 1), qRgb(255, 0, 0));
    EXPECT_NE(before.pixel(marker.x() - 1, marker.y() - 1), qRgb(255, 0, 0));
    EXPECT_FALSE(window->ui().PStat->text().isEmpty());
}

} // namespace

namespace {

TEST(ErrorBox, AppendsAFullStopOnlyAfterCharactersThatSortAfterIt) {
    EXPECT_EQ(ErrorBoxText(QStringLiteral("Datei nicht gefunden")),
              QStringLiteral("Datei nicht gefunden."));
    EXPECT_EQ(ErrorBoxText(QStringLiteral("E/A-Fehler 16")), QStringLiteral("E/A-Fehler 16."));
    EXPECT_EQ(ErrorBoxText(QStringLiteral("Fertig!")), QStringLiteral("Fertig!"));
    EXPECT_EQ(ErrorBoxText(QStringLiteral("Ende.")), QStringLiteral("Ende."));
    EXPECT_EQ(ErrorBoxText(QStringLiteral("a-")), QStringLiteral("a-"));
    EXPECT_EQ(ErrorBoxText(QStringLiteral("a/")), QStringLiteral("a/."));
    EXPECT_EQ(ErrorBoxText(QString()), QString());
}

} // namespace
