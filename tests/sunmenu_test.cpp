// The daylight dialog's sun of a place and a date, and the chart menu's acclimation series,
// as the user drives them.

#include "app/chartmenu.h"
#include "app/daylightdialog.h"
#include "app/tooldialogs.h"
#include "dimtool_fixture.h"
#include "edit/acclimation.h"
#include "edit/places.h"
#include "editor_fixture.h"
#include "model/ioerror.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include <optional>

using namespace dim;
using namespace dim::app;
using dim::cli::testing::FailingWrites;

namespace {

int PlaceIndex(ToolText name) {
    for (int i = 0; i < NativePlaceCount; ++i)
        if (NativePlaces()[static_cast<size_t>(i)].name == name)
            return i;
    return -1;
}

TEST(TypedDecimal, TakesPointsAndCommasAndRefusesTheRest) {
    const std::pair<const char *, std::optional<double>> cases[] = {
        {"-14.67", -14.67},
        {"52,52", 52.52},
        {" +8 \xc2\xb0 ", 8.0},
        {".5", 0.5},
        {"\xe2\x88\x92"
         "3.5",
         -3.5},
        {"1e3", {}},
        {"12,5.3", {}},
        {"-", {}},
        {"5 5", {}},
    };
    for (const auto &[text, value] : cases) {
        const std::optional<double> typed = TypedDecimal(QString::fromUtf8(text));
        ASSERT_EQ(typed.has_value(), value.has_value()) << text;
        if (value) {
            EXPECT_DOUBLE_EQ(*typed, *value) << text;
        }
    }
}

class SunDialog : public EditorTest {
protected:
    void SetUp() override { Move(At(1, 30, 128)); } // the white channel: 08:00-20:00, 2 h, 100 %
    template <typename T> static T *Field(QDialog *dialog, const char *name) {
        auto *field = dialog->findChild<T *>(QLatin1String(name));
        EXPECT_NE(field, nullptr) << name;
        return field;
    }
    static QString Text(QDialog *dialog, const char *name) {
        return Field<QComboBox>(dialog, name)->currentText();
    }
    static void FromTheSun(QDialog *dialog, int place, const QDate &date, int shift = 0) {
        Field<QRadioButton>(dialog, "fromSun")->setChecked(true);
        Field<QComboBox>(dialog, "place")->setCurrentIndex(place);
        Field<QDateEdit>(dialog, "date")->setDate(date);
        auto *shifts = Field<QComboBox>(dialog, "shift");
        shifts->setCurrentIndex(shifts->findData(shift));
    }
    static void ChooseOffset(QDialog *dialog, int minutes) {
        auto *offsets = Field<QComboBox>(dialog, "utcOffset");
        offsets->setCurrentIndex(offsets->findData(minutes));
    }
    // Types into a field as the user would.
    static void Type(QDialog *dialog, const char *name, const char *text) {
        auto *edit = Field<QLineEdit>(dialog, name);
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromUtf8(text));
    }
    QAction *Daylight() { return menu.action(ToolText::Daylight); }

    QWidget host;
    ChartMenu menu{editor, document, host};
};

// Sunrise and sunset worked by hand from the sun's declination and the equation of time of
// the date, at the place's coordinates in its own clock (chosen in the offset list), then
// rounded to the quarter-hour:
// they fill start and end, and the chart shows their curve while the dialog is open; OK
// makes that curve the channel's in one step.
TEST_F(SunDialog, PickingAPlaceAndADateFillsStartEndAndThePreview) {
    const struct {
        ToolText place;
        QDate date;
        int shift;
        int offset;
        const char *start, *end;
    } cases[] = {
        // 06:04 and 18:00 at Manaus in June.
        {ToolText::PlaceManaus, QDate(2025, 6, 21), 0, -240, "06:00", "18:00"},
        // Eilat: 06:31 and 16:46 in winter.
        {ToolText::PlaceEilat, QDate(2025, 12, 21), 0, 120, "06:30", "16:45"},
        // Lizard Island's winter day, 06:42 to 17:58, four hours later.
        {ToolText::PlaceLizardIsland, QDate(2025, 6, 21), 240, 600, "10:45", "22:00"},
    };
    LevelRow before{};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.place)) +
                     c.date.toString(Qt::ISODate).toStdString());
        const int steps = Steps();
        before = Row(1);
        LevelRow shown{};
        WithDialog(Daylight(), [&](QDialog *dialog) {
            FromTheSun(dialog, PlaceIndex(c.place), c.date, c.shift);
            ChooseOffset(dialog, c.offset);
            EXPECT_EQ(Text(dialog, "start"), QLatin1String(c.start));
            EXPECT_EQ(Text(dialog, "end"), QLatin1String(c.end));
            EXPECT_TRUE(Field<QLabel>(dialog, "sunTimes")
                            ->text()
                            .startsWith(QStringLiteral("Sonnenaufgang")));
            shown = editor.shownLevels()[1];
            dialog->accept();
        });
        const int start = QTime::fromString(QLatin1String(c.start), QStringLiteral("HH:mm"))
                              .msecsSinceStartOfDay();
        const int end =
            QTime::fromString(QLatin1String(c.end), QStringLiteral("HH:mm")).msecsSinceStartOfDay();
        const DayCurve expected = dim::Daylight({start / 60000, end / 60000, 120, 255, 0});
        for (size_t k = 0; k < FilePoints; ++k)
            ASSERT_EQ(shown[k], expected[k]) << "previewed, column " << k;
        EXPECT_EQ(Row(1), shown) << "OK takes what was shown";
        EXPECT_EQ(Steps(), steps + 1);
    }
    document.undo();
    EXPECT_EQ(Row(1), before) << "one undo step takes the last day back";
}

// The day's first and last quarter-hours are times of their own in the lists.
TEST_F(SunDialog, TheDaysFirstAndLastQuarterHoursAreShownAsThemselves) {
    DaylightDialog dialog(1, DaylightParams{0, 23 * 60 + 45, 60, 255, 0}, nullptr);
    EXPECT_EQ(Text(&dialog, "start"), QStringLiteral("00:00"));
    EXPECT_EQ(Text(&dialog, "end"), QStringLiteral("23:45"));
}

// Under the midnight sun the channel is at its peak all day, in the polar night at its base.
TEST_F(SunDialog, APolarSunGivesThePeakOrTheBaseAllDay) {
    const struct {
        QDate date;
        int level;
        ToolText said;
    } cases[] = {{QDate(2025, 6, 21), 128, ToolText::DaylightPolarDay},
                 {QDate(2025, 12, 21), 26, ToolText::DaylightPolarNight}};
    for (const auto &c : cases) {
        WithDialog(Daylight(), [&](QDialog *dialog) {
            FromTheSun(dialog, PlaceIndex(ToolText::PlaceEilat), c.date);
            Type(dialog, "latitude", "78,22"); // Svalbard
            Type(dialog, "peak", "50");
            Type(dialog, "base", "10");
            EXPECT_EQ(Text(dialog, "place"), GetToolText(ToolText::PlaceOwn, 0));
            EXPECT_EQ(Field<QLabel>(dialog, "sunTimes")->text(), GetToolText(c.said, 0));
            dialog->accept();
        });
        for (size_t k = 0; k < FilePoints; ++k)
            ASSERT_EQ(Row(1)[k], c.level) << c.date.toString().toStdString() << " column " << k;
    }
}

// A coordinate that is no number in its range is refused beside its field when OK is
// pressed, and the dialog stays; while the times are typed the coordinates are not asked.
TEST_F(SunDialog, ACoordinateOutOfItsRangeIsRefusedOnlyWhenTheSunIsAsked) {
    const struct {
        bool sun;
        const char *field, *typed;
        bool refused;
    } cases[] = {
        {true, "latitude", "91", true},      {true, "latitude", "abc", true},
        {true, "longitude", "-180,5", true}, {true, "latitude", "-90", false},
        {true, "longitude", "180", false},   {false, "latitude", "abc", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.typed);
        bool stayed = false;
        QString problem;
        WithDialog(Daylight(), [&](QDialog *dialog) {
            Field<QRadioButton>(dialog, "fromSun")->setChecked(c.sun);
            Field<QRadioButton>(dialog, "typedTimes")->setChecked(!c.sun);
            Field<QLineEdit>(dialog, c.field)->setText(QString::fromUtf8(c.typed));
            dialog->accept();
            stayed = dialog->isVisible();
            auto *label = dialog->findChild<QLabel *>(QString::fromLatin1(c.field) +
                                                      QStringLiteral("Problem"));
            if (label->isVisible()) {
                problem = label->text();
                QApplication::processEvents();
                EXPECT_GE(label->width(), label->sizeHint().width()) << "shown whole";
            }
            if (stayed)
                dialog->reject();
        });
        EXPECT_EQ(stayed, c.refused);
        const QString range = QString::fromLatin1(c.field) == QStringLiteral("latitude")
                                  ? QStringLiteral("-90 bis 90")
                                  : QStringLiteral("-180 bis 180");
        EXPECT_EQ(problem,
                  c.refused ? QStringLiteral("Bitte eine Zahl von %1.").arg(range) : QString());
    }
}

// The offset is the system clock's on the date until it is chosen by hand; a place does not
// move it; coordinates typed by hand are one's own place.
TEST_F(SunDialog, TheOffsetFollowsTheSystemsClockOnTheDateUntilChosenByHand) {
    WithDialog(Daylight(), [&](QDialog *dialog) {
        auto *date = Field<QDateEdit>(dialog, "date");
        auto *offset = Field<QComboBox>(dialog, "utcOffset");
        Field<QRadioButton>(dialog, "fromSun")->setChecked(true);
        Field<QComboBox>(dialog, "place")->setCurrentIndex(PlaceIndex(ToolText::PlaceEilat));
        for (const QDate &day : {QDate(2025, 7, 1), QDate(2025, 1, 15)}) {
            date->setDate(day);
            EXPECT_EQ(offset->currentData().toInt(), UtcOffsetOn(day, QTimeZone::systemTimeZone()));
        }
        offset->setCurrentIndex(offset->findData(300));
        date->setDate(QDate(2025, 7, 1));
        Field<QComboBox>(dialog, "place")->setCurrentIndex(PlaceIndex(ToolText::PlaceLizardIsland));
        EXPECT_EQ(offset->currentText(), QStringLiteral("UTC+05:00")) << "chosen by hand";
        EXPECT_EQ(Field<QLineEdit>(dialog, "longitude")->text(), QStringLiteral("145.45"));
        Type(dialog, "longitude", "146");
        EXPECT_EQ(Text(dialog, "place"), GetToolText(ToolText::PlaceOwn, 0));
        EXPECT_EQ(Field<QLineEdit>(dialog, "latitude")->text(), QStringLiteral("-14.67")) << "kept";
        dialog->reject();
    });
}

// The menu's acclimation series, over a window whose file system counts its writes.
class AcclimationMenu : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        WindowTest::SetUp();
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("weeks")));
        folder = dir.filePath(QStringLiteral("weeks"));
        SetLevels(curves);
    }
    FileSystem &fileSystem() override { return files; }
    QAction *Series() { return window->chartMenu().action(ToolText::Acclimation); }
    // Asks for a series of steps files from start percent.
    void Ask(const char *start, const char *steps, QString *named = nullptr) {
        WithDialog(Series(), [&](QDialog *dialog) {
            dialog->findChild<QLineEdit *>(QStringLiteral("startPercent"))
                ->setText(QLatin1String(start));
            dialog->findChild<QLineEdit *>(QStringLiteral("steps"))->setText(QLatin1String(steps));
            if (named)
                *named = dialog->findChild<QLabel *>(QStringLiteral("files"))->text();
            dialog->accept();
            if (dialog->isVisible()) {
                // The refusal is shown whole.
                QApplication::processEvents();
                EXPECT_GE(dialog->width(), dialog->sizeHint().width());
                dialog->reject();
            }
        });
    }

    QTemporaryDir dir;
    QString folder;
    FailingWrites files;
    CurveData curves = cli::testing::VariedCurves(3);
};

// It writes the series of the editor's curves, named after the caption's file, and names
// the files in a notice; the curves and their history stay as they were.
TEST_F(AcclimationMenu, WritesTheSeriesOfTheCurvesAndLeavesThemAsTheyWere) {
    window->setWindowTitle(dir.filePath(QStringLiteral("Tank.DIM")));
    const int steps = state->document.undoStack().count();
    services.fileAnswers.push_back(folder);
    QString named;
    Ask("20", "4", &named);
    EXPECT_EQ(named, QStringLiteral("Dateien: Tank-01.DIM bis Tank-04.DIM"));
    EXPECT_EQ(services.dialogNames, QStringList{QStringLiteral("FolderDialog")});
    EXPECT_EQ(files.writes, 4);
    // The series is of the document's curves and settings (its steps are tested in the core).
    EXPECT_EQ(cli::testing::ReadAll(folder + QStringLiteral("/Tank-01.DIM")),
              DimFileBytes(AcclimatedCurves(curves, {20, 4, {true, true, true, true}}, 1),
                           state->document.fileSettings()));
    ASSERT_EQ(services.notices.size(), 1);
    EXPECT_EQ(services.notices.front(),
              QStringLiteral("Eingewöhnungsreihe|4 Dateien in %1 geschrieben:\nTank-01.DIM  20%\n"
                             "Tank-02.DIM  46,7%\nTank-03.DIM  73,3%\nTank-04.DIM  100%")
                  .arg(folder));
    EXPECT_EQ(state->document.Levels(), curves.Levels);
    EXPECT_EQ(state->document.undoStack().count(), steps);
}

// A refused value, or a folder not chosen, writes nothing; a disk that fills up part way
// says why.
TEST_F(AcclimationMenu, WritesNothingWhenRefusedCancelledOrFailing) {
    window->ui().lbl->setCurrentRow(1); // English, whose refusals are wider than the fields
    services.fileAnswers.push_back(folder);
    Ask("10", "1"); // too few steps: the dialog stays, no folder is asked
    Ask("100", "5");
    EXPECT_TRUE(services.dialogNames.isEmpty());
    services.fileAnswers = {std::nullopt};
    Ask("10", "4");
    EXPECT_EQ(services.dialogNames.size(), 1);
    files.writes = 0;
    files.failAt = 2;
    services.fileAnswers.push_back(folder);
    Ask("10", "4");
    EXPECT_TRUE(services.notices.isEmpty());
    EXPECT_EQ(services.errors,
              QStringList{QString::fromLatin1(ApplicationTitle) + QLatin1Char('|') +
                          ErrorBoxText(MakeIoError(ShortWriteCode).message())});
}

} // namespace
