// Curves that no file holds: the question when the editor closes, the recovery file that
// outlives a killed editor, and strokes that are cut off.

#include "app/commandline.h"
#include "app/startup.h"
#include "app/unsavedwork.h"
#include "edit/recoverykeeper.h"
#include "model/recoveryfile.h"
#include "window_fixture.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace dim;
using namespace dim::app;

namespace {

QByteArray ReadAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

unsigned ModeOf(const QString &path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Every point of channel n at level + n.
CurveData Curves(int level) {
    CurveData data;
    for (size_t n = 1; n <= 4; ++n)
        std::fill_n(data.Levels[n].begin(), FilePoints, level + static_cast<int>(n));
    return data;
}

// ---------------------------------------------------------------------------------------
// Closing

enum class Before { Clean, Drawn, DrawnAndUndone, Loaded, Saved, New };
struct CloseCase {
    const char *name;
    Before before;
    std::optional<SaveAnswer> answer; // nullopt: no question expected
    const char *saveTo;               // the save dialog's answer; nullptr: cancelled
    bool closes;
};

void PrintTo(const CloseCase &c, std::ostream *os) {
    *os << c.name;
}

class Closing : public WindowTest, public ::testing::WithParamInterface<CloseCase> {
protected:
    // Closes the window as the window manager asks; true when it went.
    bool Close() {
        QCloseEvent event;
        QApplication::sendEvent(window.get(), &event);
        return event.isAccepted();
    }
    void Draw() {
        QTest::mousePress(window->ui().pb, Qt::LeftButton, {}, At(2, 10, 100));
        QTest::mouseRelease(window->ui().pb, Qt::LeftButton, {}, At(2, 10, 100));
    }
    QTemporaryDir dir;
};

TEST_P(Closing, AsksOnlyWhenCurvesAreUnsavedAndGoesAsAnswered) {
    const CloseCase &c = GetParam();
    const QString file = dir.filePath(QStringLiteral("P1.DIM"));
    if (c.before == Before::Loaded) {
        ::SaveDimFile(SystemFileSystem(), clock, file, Curves(5), FileSettings(), Settings());
        services.fileAnswers.push_back(file);
        window->ui().Button1->click();
        QFile::remove(file);
    }
    if (c.before != Before::Clean && c.before != Before::Loaded)
        Draw();
    if (c.before == Before::DrawnAndUndone)
        QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    if (c.before == Before::New) {
        services.confirmAnswers.push_back(1);
        window->ui().Button4->click();
    }
    if (c.before == Before::Saved) {
        services.fileAnswers.push_back(file);
        window->ui().Button2->click();
        QFile::remove(file);
    }
    window->ui().lbl->setCurrentRow(1);
    if (c.answer)
        services.saveAnswers.push_back(*c.answer);
    if (c.answer == SaveAnswer::Save)
        services.fileAnswers.push_back(
            c.saveTo ? std::optional(dir.filePath(QString::fromLatin1(c.saveTo))) : std::nullopt);
    const LevelTable before = state->document.Levels();

    EXPECT_EQ(Close(), c.closes);
    EXPECT_EQ(services.saveQuestions,
              c.answer ? QStringList(QStringLiteral("Kelmaro Brantoq|The curves have been changed. "
                                                    "Do you want to save the changes?"))
                       : QStringList());
    EXPECT_EQ(QFileInfo::exists(file), c.saveTo && QByteArray(c.saveTo) == "P1.DIM");
    EXPECT_EQ(state->document.Levels(), before);
    EXPECT_EQ(state->document.isModified(),
              c.before == Before::Drawn && !(c.answer == SaveAnswer::Save && c.closes));
}

INSTANTIATE_TEST_SUITE_P(
    Unsaved, Closing,
    ::testing::Values(CloseCase{"Clean", Before::Clean, {}, nullptr, true},
                      CloseCase{"UndoneToClean", Before::DrawnAndUndone, {}, nullptr, true},
                      CloseCase{"Loaded", Before::Loaded, {}, nullptr, true},
                      CloseCase{"Saved", Before::Saved, {}, nullptr, true},
                      CloseCase{"New", Before::New, {}, nullptr, true},
                      CloseCase{"Discard", Before::Drawn, SaveAnswer::Discard, nullptr, true},
                      CloseCase{"Cancel", Before::Drawn, SaveAnswer::Cancel, nullptr, false},
                      CloseCase{"Save", Before::Drawn, SaveAnswer::Save, "P1.DIM", true},
                      CloseCase{"SaveCancelled", Before::Drawn, SaveAnswer::Save, nullptr, false},
                      CloseCase{"SaveFails", Before::Drawn, SaveAnswer::Save, "none/P1.DIM",
                                false}),
    [](const auto &info) { return std::string(info.param.name); });

// The session's end asks as closing does when it may; without interaction the curves stay
// in the recovery file.
TEST_F(WindowTest, TheSessionsEndAsksWhenItMayAndKeepsTheCurvesWhenItMayNot) {
    QTest::mousePress(window->ui().pb, Qt::LeftButton, {}, At(1, 3, 50));
    QTest::mouseRelease(window->ui().pb, Qt::LeftButton, {}, At(1, 3, 50));
    EXPECT_TRUE(window->unsavedWork().endOfSession(false));
    EXPECT_TRUE(services.saveQuestions.isEmpty());
    services.saveAnswers = {SaveAnswer::Cancel, SaveAnswer::Discard};
    EXPECT_FALSE(window->unsavedWork().endOfSession(true));
    EXPECT_TRUE(window->unsavedWork().endOfSession(true));
    EXPECT_EQ(services.saveQuestions.size(), 2);
}

// ---------------------------------------------------------------------------------------
// The recovery file

class Recovery : public ::testing::Test {
protected:
    QString folder() const { return dir.filePath(QStringLiteral("state/dimeditor")); }
    RecoveryStore Store(long pid) {
        return RecoveryStore(SystemFileSystem(), folder(), pid,
                             [this](long p) { return live.contains(p); });
    }
    void Leave(const QString &name, const QByteArray &bytes) {
        QDir().mkpath(folder());
        QFile file(folder() + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QStringList Files() const { return QDir(folder()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    QSet<long> live{100, 200, 500, 600}; // the processes that run
};

TEST_F(Recovery, BytesHoldTheCurvesSettingsAndACaptionByteForByte) {
    const QString caption = DecodePath(QByteArrayLiteral("/home/k/lat\xe4.DIM"));
    const QByteArray bytes = RecoveryBytes(Curves(7), FileSettings::fromStored(9, 8, 7), caption);
    EXPECT_EQ(bytes.left(DimFileSize), DimFileBytes(Curves(7), FileSettings::fromStored(9, 8, 7)));
    const std::optional<RecoveredWork> work = ParseRecovery(bytes);
    ASSERT_TRUE(work);
    EXPECT_EQ(EncodePath(work->caption), QByteArrayLiteral("/home/k/lat\xe4.DIM"));
    EXPECT_EQ(work->content.levels[3][95], 11);
    EXPECT_EQ(work->content.settings, FileSettings::fromStored(9, 8, 7));
    for (const QByteArray &bad : {bytes.left(DimFileSize - 1), QByteArray(500, '\1'),
                                  QByteArray(bytes).replace(388, 1, "\x1f")})
        EXPECT_FALSE(ParseRecovery(bad));
}

TEST_F(Recovery, WrittenPrivatelyAndOnlyWorkOfGoneProcessesIsTakenOnce) {
    RecoveryStore own = Store(200);
    own.write(RecoveryBytes(Curves(1), FileSettings(), QStringLiteral("mine")));
    EXPECT_EQ(ModeOf(own.ownFile()), 0600u);
    EXPECT_EQ(ModeOf(folder()), 0700u);
    Leave(QStringLiteral("recovery-100.dim"), RecoveryBytes(Curves(2), {}, QStringLiteral("live")));
    Leave(QStringLiteral("recovery-300.dim"), QByteArrayLiteral("no curves"));
    Leave(QStringLiteral("notes.txt"), QByteArrayLiteral("x"));
    // A live editor's file and this process's own are not left behind: nothing to take.
    EXPECT_FALSE(own.takeAbandoned());
    EXPECT_TRUE(Files().contains(QStringLiteral("recovery-100.dim")));

    Leave(QStringLiteral("recovery-400.dim"), RecoveryBytes(Curves(4), {}, QStringLiteral("gone")));
    RecoveryStore next = Store(500);
    const std::optional<RecoveredWork> work = next.takeAbandoned();
    ASSERT_TRUE(work);
    EXPECT_EQ(work->caption, QStringLiteral("gone"));
    EXPECT_FALSE(next.takeAbandoned()) << "asked once";
    EXPECT_FALSE(Store(600).takeAbandoned()) << "taken by a live editor";
    next.dropTaken();
    own.remove();
    EXPECT_EQ(Files(),
              (QStringList{QStringLiteral("notes.txt"), QStringLiteral("recovery-100.dim")}))
        << "the unreadable one is gone, the live one untouched";
    EXPECT_EQ(ReadAll(folder() + QStringLiteral("/recovery-100.dim")),
              RecoveryBytes(Curves(2), {}, QStringLiteral("live")));
}

TEST_F(Recovery, AFileUnderThisProcesssIdFromBeforeIsLeftBehindWork) {
    Leave(QStringLiteral("recovery-100.dim"), RecoveryBytes(Curves(3), {}, QStringLiteral("old")));
    RecoveryStore reused = Store(100); // 100 runs: it is this process
    const std::optional<RecoveredWork> work = reused.takeAbandoned();
    ASSERT_TRUE(work);
    EXPECT_EQ(work->caption, QStringLiteral("old"));
    EXPECT_EQ(Files(), QStringList(QStringLiteral("taken-100.dim")));
}

// The keeper writes the work within its delay while the document is modified and removes
// the file as soon as it is clean again.
TEST_F(Recovery, TheKeeperFollowsTheDocument) {
    CurveDocument document;
    RecoveryStore store = Store(700);
    RecoveryKeeper keeper(document, store, 20);
    keeper.setCaption(QStringLiteral("P7.DIM"));
    QTest::qWait(60);
    EXPECT_TRUE(Files().isEmpty()) << "nothing while clean";
    document.writeStrokeCell(1, 4, 90);
    document.endStroke(); // a drag that ended at once
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(store.ownFile()); }, 1000));
    CurveData drawn;
    drawn.Levels[1][4] = 90;
    EXPECT_EQ(ReadAll(store.ownFile()), RecoveryBytes(drawn, {}, QStringLiteral("P7.DIM")));
    document.undo();
    EXPECT_FALSE(QFileInfo::exists(store.ownFile())) << "clean again";
    document.writeStrokeCell(1, 5, 80); // a drag under way is work too
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(store.ownFile()); }, 1000));
    document.endStroke();
    document.undo();
    document.redo();
    EXPECT_TRUE(keeper.writeNow());
    keeper.finish();
    EXPECT_TRUE(Files().isEmpty());
    document.undo();
    document.redo();
    QTest::qWait(60);
    EXPECT_TRUE(Files().isEmpty()) << "nothing after the end";
}

// A process that was killed but not yet reaped holds no work; this one and its parent do.
TEST(ProcessAlive, TellsRunningProcessesFromGoneAndUnreapedOnes) {
    EXPECT_TRUE(ProcessAlive(::getpid()));
    EXPECT_TRUE(ProcessAlive(::getppid()));
    EXPECT_FALSE(ProcessAlive(0));
    EXPECT_FALSE(ProcessAlive(-1));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(0);
    // Not reaped yet: a zombie until waitpid.
    for (int i = 0; i < 100 && ProcessAlive(child); ++i)
        QTest::qWait(10);
    EXPECT_FALSE(ProcessAlive(child));
    ::waitpid(child, nullptr, 0);
    EXPECT_FALSE(ProcessAlive(child));
}

class Restoring : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        QFile file(dir.filePath(QStringLiteral("recovery-800.dim")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(RecoveryBytes(Curves(20), FileSettings::fromStored(30, 0, 0),
                                 QStringLiteral("/tank/P4.DIM")));
    }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files); }
    RecoveryStore *recovery() override { return &store; }
    QTemporaryDir dir;
    RecoveryStore store{SystemFileSystem(), dir.path(), 900, [](long) { return false; }};
};

TEST_F(Restoring, RestoredCurvesAreOneUnsavedStepUnderTheirCaption) {
    window->ui().lbl->setCurrentRow(3);
    services.restoreAnswers.push_back(RestoreAnswer::Restore);
    window->unsavedWork().offerRestore();
    ASSERT_EQ(services.restoreQuestions.size(), 1);
    EXPECT_TRUE(services.restoreQuestions[0].endsWith(QStringLiteral("|&Recuperar")));
    EXPECT_EQ(state->document.Levels()[4][95], 24);
    EXPECT_EQ(window->ui().SBWolkenT->value(), 30);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("/tank/P4.DIM"));
    EXPECT_EQ(state->document.undoStack().count(), 1);
    EXPECT_TRUE(state->document.isModified());
    EXPECT_EQ(Files(), QStringList(QStringLiteral("recovery-900.dim"))) << "kept as this one's";
    QFile own(dir.filePath(QStringLiteral("recovery-900.dim")));
    ASSERT_TRUE(own.open(QIODevice::ReadOnly));
    const std::optional<RecoveredWork> kept = ParseRecovery(own.readAll());
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->caption, QStringLiteral("/tank/P4.DIM")) << "the caption follows the window";
    window->unsavedWork().offerRestore();
    EXPECT_EQ(services.restoreQuestions.size(), 1) << "asked once";
}

// The file named at start opens after the question only when nothing was restored.
class RestoringAtStart : public Restoring, public ::testing::WithParamInterface<RestoreAnswer> {};

TEST_P(RestoringAtStart, RestoredWorkIsNotReplacedByTheFileNamedAtStart) {
    const QString named = dir.filePath(QStringLiteral("NAMED.DIM"));
    QFile file(named);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(DimFileBytes(Curves(60), FileSettings{}));
    file.close();
    services.restoreAnswers = {GetParam()};
    StartUp(*window, ParseCommandLine({named}));
    QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle() != QStringLiteral("Kelmaro Brantoq"), true,
                              3000);
    QTest::qWait(20);
    ASSERT_EQ(services.restoreQuestions.size(), 1);
    const bool restored = GetParam() == RestoreAnswer::Restore;
    EXPECT_EQ(state->document.Levels()[4][95], restored ? 24 : 64);
    EXPECT_EQ(state->document.isModified(), restored);
    EXPECT_EQ(window->windowTitle(), restored ? QStringLiteral("/tank/P4.DIM") : named);
}

INSTANTIATE_TEST_SUITE_P(Unsaved, RestoringAtStart,
                         ::testing::Values(RestoreAnswer::Restore, RestoreAnswer::Discard));

TEST_F(Restoring, DiscardRemovesTheFileAndLaterLeavesItForTheNextStart) {
    services.restoreAnswers = {RestoreAnswer::Later};
    window->unsavedWork().offerRestore();
    EXPECT_EQ(Files(), QStringList(QStringLiteral("taken-900.dim")));
    EXPECT_FALSE(state->document.isModified());

    // The next start: this editor has ended.
    window.reset();
    RecoveryStore next(SystemFileSystem(), dir.path(), 901, [](long) { return false; });
    services.restoreAnswers = {RestoreAnswer::Discard};
    EditorState fresh;
    TForm1 second(fresh, Environment{services, SystemFileSystem(), clock,
                                     SheetDecode(EmbeddedSheetJpeg()), &next});
    second.unsavedWork().offerRestore();
    EXPECT_EQ(services.restoreQuestions.size(), 2);
    EXPECT_TRUE(Files().isEmpty());
    EXPECT_EQ(fresh.document.Levels()[1][0], 0);
}

// ---------------------------------------------------------------------------------------
// Strokes that are cut off

class CutOff : public WindowTest, public ::testing::WithParamInterface<const char *> {
protected:
    LevelRow Row(int channel) const {
        return state->document.Levels()[static_cast<size_t>(channel)];
    }
};

// Ctrl-drag in band 3 to 5:00, cut off, then one click at 17:30: no column between them is
// written, and the click is a step of its own.
TEST_P(CutOff, TheNextPressStartsANewStroke) {
    const std::string how = GetParam();
    const int y = At(3, 0, 200).y();
    QTest::mousePress(window->ui().pb, Qt::LeftButton, Qt::ControlModifier,
                      QPoint(At(3, 16, 0).x(), y));
    QTest::mouseMove(window->ui().pb, QPoint(At(3, 20, 0).x(), y));
    if (how == "modal box") {
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        QMessageBox box(window.get());
        box.exec();
    } else if (how == "focus") {
        window->ui().Button1->setFocus();
    } else if (how == "other button") {
        QMouseEvent right(QEvent::MouseButtonPress, QPointF(At(3, 20, 0).x(), y),
                          window->ui().pb->mapToGlobal(QPointF(At(3, 20, 0).x(), y)),
                          Qt::RightButton, Qt::LeftButton | Qt::RightButton, Qt::ControlModifier);
        QApplication::sendEvent(window->ui().pb, &right);
    }
    // The release went elsewhere; the next press is at 17:30.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(At(3, 70, 0).x(), y),
                      window->ui().pb->mapToGlobal(QPointF(At(3, 70, 0).x(), y)), Qt::LeftButton,
                      Qt::LeftButton, Qt::ControlModifier);
    QApplication::sendEvent(window->ui().pb, &press);
    QTest::mouseRelease(window->ui().pb, Qt::LeftButton, Qt::ControlModifier,
                        QPoint(At(3, 70, 0).x(), y));
    for (int column = 21; column < 70; ++column)
        EXPECT_EQ(Row(3)[static_cast<size_t>(column)], 0) << how << " column " << column;
    EXPECT_GT(Row(3)[70], 0);
    state->document.undo();
    EXPECT_EQ(Row(3)[70], 0);
    EXPECT_GT(Row(3)[20], 0) << "the first stroke is a step of its own";
}

// A press cuts a stroke off too: the editor's own tests take those.
INSTANTIATE_TEST_SUITE_P(Unsaved, CutOff, ::testing::Values("modal box", "focus"));

} // namespace
