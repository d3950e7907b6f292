// The command lines dimtool refuses, and every bound of every option with a range: the value
// at the bound is taken, the one past it refused by name, on both sides and with both signs.
// A refusal exits with the usage status, says why, prints nothing else and writes nothing.

#include "cli/tool.h"
#include "dimtool_fixture.h"
#include "model/curvetext.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace dim;
using namespace dim::cli;
using namespace dim::cli::testing;

namespace {

struct Row {
    QString args;        // replaces the default option of the same name
    const char *refusal; // the start of what follows "dimtool: COMMAND: "; nullptr: taken
};

// A folder with the curve file P1.DIM, an empty folder other/ and a folder out/ where the
// fifth file of P1.DIM's acclimation series is a link to P1.DIM.
class DimtoolRefusals : public DimtoolTest {
protected:
    void SetUp() override {
        DimtoolTest::SetUp();
        WriteCurveFile(QStringLiteral("P1.DIM"), VariedCurves(3), FileSettings{});
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("out")));
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("other")));
        ASSERT_EQ(
            ::symlink("../P1.DIM", Path(QStringLiteral("out/P1-05.DIM")).toLocal8Bit().constData()),
            0);
    }
    // Runs line with the defaults (option-value pairs) a row does not give and then the row;
    // a row taken writes the file of its -o, if any, and nothing else.
    void Expect(const char *line, const char *defaults, std::initializer_list<Row> rows) {
        const QStringList start = Args(QLatin1String(line));
        const QString speaker = start.isEmpty() ? QString() : start.front() + QStringLiteral(": ");
        const QStringList fixed = Args(QLatin1String(defaults));
        const auto before = Tree();
        for (const Row &row : rows) {
            const QStringList given = Args(row.args);
            QStringList args = start;
            for (qsizetype i = 0; i + 1 < fixed.size(); i += 2)
                if (!given.contains(fixed[i]))
                    args << fixed[i] << fixed[i + 1];
            args << given;
            SCOPED_TRACE(S(args.join(QLatin1Char(' '))));
            const Outcome run = Dimtool(args);
            const qsizetype o = args.indexOf(QStringLiteral("-o"));
            if (!row.refusal) {
                EXPECT_EQ(run.status, ExitOk) << S(run.err);
                if (o >= 0 && o + 1 < args.size()) {
                    EXPECT_TRUE(QFile::exists(args[o + 1]));
                    QFile::remove(args[o + 1]);
                }
            } else {
                EXPECT_EQ(run.status, ExitUsage);
                EXPECT_TRUE(run.err.startsWith(QStringLiteral("dimtool: ") + speaker +
                                               QLatin1String(row.refusal)))
                    << S(run.err);
                EXPECT_TRUE(run.out.isEmpty());
            }
            EXPECT_EQ(Tree(), before);
        }
    }
};

TEST_F(DimtoolRefusals, CommandLines) {
    Expect(
        "", "",
        {{"", "missing command"},
         {"frob", "unknown command \"frob\""},
         {"help frob", "unknown command \"frob\""},
         {"--frob", "Unknown option 'frob'."},
         {"info", "info: missing FILE.DIM"},
         {"info @P1.DIM @P1.DIM", "info: expected one FILE.DIM, found 2 arguments"},
         {"thumbnail @P1.DIM @c.png @c.png",
          "thumbnail: expected the curve file and the picture to write, found 3 arguments"},
         {"export @P1.DIM --format xml", "export: unknown format \"xml\"; use csv or json"},
         {"export @P1.DIM -x", "export: Unknown option 'x'."},
         {"import a.csv", "import: missing -o OUT.DIM"},
         {"import -o @B1.DIM", "import: missing input FILE"},
         {"render @P1.DIM", "render: missing -o CHART.png"},
         {"check", "check: missing FILE.DIM"},
         {"edit @P1.DIM --fill 1 --channel=1", "edit: missing -o OUT.DIM"},
         {"edit @P1.DIM -o @B1.DIM --smooth", "edit: missing --channel"},
         {"sun --lat 10 --date 2024-03-01", "sun: missing --lon"},
         // An option given twice.
         {"edit @P1.DIM --channel 1 --channel 2 --smooth",
          "edit: --channel is given more than once"},
         {"edit @P1.DIM --channel 1 --smooth --smooth", "edit: --smooth is given more than once"},
         {"edit @P1.DIM --channel 1 --fill 3 -o @A.DIM --output @B.DIM",
          "edit: -o is given more than once"},
         {"export @P1.DIM --format csv -f json", "export: --format is given more than once"},
         {"render @P1.DIM -o @c.png --size 200x200 --size=300x300",
          "render: --size is given more than once"},
         // The series: its options, its file and its folder.
         {"acclimate --steps 5 -o @other @P1.DIM", "acclimate: missing --start-percent"},
         {"acclimate --start-percent 10 -o @other @P1.DIM", "acclimate: missing --steps"},
         {"acclimate --start-percent 10 --steps 5 @P1.DIM", "acclimate: missing -o FOLDER"},
         {"acclimate --start-percent 10 --steps 5 -o @other -",
          "acclimate: the series is named after its curve file"},
         {"acclimate --start-percent 10 --steps 5 -o - @P1.DIM",
          "acclimate: the series is several files"},
         // The last file would be written over the source through a link.
         {"acclimate --start-percent 10 --steps 5 -o @out @P1.DIM", "acclimate: the output "}});
}

TEST_F(DimtoolRefusals, Edit) {
    Expect("edit @P1.DIM -o @B1.DIM", "--channel 1",
           {{"--channel 0 --smooth", "--channel 0 is out of range 1..4"},
            {"--channel 1 --smooth", nullptr},
            {"--channel 4 --smooth", nullptr},
            {"--channel 5 --smooth", "--channel 5 is out of range 1..4"},
            {"--copy-from 0", "--copy-from 0 is out of range 1..4"},
            {"--copy-from 1", nullptr},
            {"--copy-from 4", nullptr},
            {"--copy-from 5", "--copy-from 5 is out of range 1..4"},
            {"--fill -1", "--fill -1 is out of range 0..255"},
            {"--fill 0", nullptr},
            {"--fill 255", nullptr},
            {"--fill 256", "--fill 256 is out of range 0..255"},
            {"--fill 99999999999999999999", "--fill 99999999999999999999 is out of range 0..255"},
            {"--fill \x1b", "malformed --fill \"\\x1b\""},
            {"--scale 0", "--scale 0 is out of range 1..1000"},
            {"--scale 1", nullptr},
            {"--scale 1000", nullptr},
            {"--scale 1001", "--scale 1001 is out of range 1..1000"},
            {"--shift 20", "--shift 20 is not a multiple of 15"},
            {"--shift -20", "--shift -20 is not a multiple of 15"},
            {"--shift 1.5", "malformed --shift \"1.5\"; expected a whole number"},
            {"--shift 15", nullptr},
            {"--shift -15", nullptr},
            {"--shift 2147483640", nullptr},
            {"--shift -2147483640", nullptr},
            {"--shift 2147483655", "--shift 2147483655 is out of range"},
            {"--shift -2147483655", "--shift -2147483655 is out of range"},
            {"", "nothing to do"}});
}

TEST_F(DimtoolRefusals, Daylight) {
    Expect("daylight -o @B1.DIM", "--channel 1 --start 06:00 --end 18:00 --ramp 0 --peak 50",
           {{"--channel 0", "--channel 0 is out of range 1..4"},
            {"--channel 4", nullptr},
            {"--channel 5", "--channel 5 is out of range 1..4"},
            {"--ramp -15", "--ramp -15 is out of range 0..720"},
            {"--ramp 0", nullptr},
            {"--ramp 720", nullptr},
            {"--ramp 735", "--ramp 735 is out of range 0..720"},
            {"--ramp 20", "--ramp 20 is not a multiple of 15"},
            {"--peak -1", "--peak -1 is out of range 0..100"},
            {"--peak 0", nullptr},
            {"--peak 100", nullptr},
            {"--peak 101", "--peak 101 is out of range 0..100"},
            {"--base -1", "--base -1 is out of range 0..100"},
            {"--base 0", nullptr},
            {"--base 100", nullptr},
            {"--base 101", "--base 101 is out of range 0..100"},
            {"--start 00:00 --end 23:45", nullptr},
            {"--start 23:45 --end 00:00", nullptr},
            {"--start 23:50", "--start 23:50 is out of range 00:00..23:45"},
            {"--end 23:59", "--end 23:59 is out of range 00:00..23:45"},
            {"--end 24:00", "malformed --end \"24:00\"; expected HH:MM, 00:00..23:45"},
            {"--start -00:15", "malformed --start \"-00:15\""},
            {"--start 06:10", "--start 06:10 is not on the quarter-hour grid"},
            {"--end 06:05", "--end 06:05 is not on the quarter-hour grid"},
            {"A1.DIM", "unexpected argument \"A1.DIM\""}});
}

// The times or the sun, not both, and the shift only with the sun.
TEST_F(DimtoolRefusals, DaylightFromTheSun) {
    const QString sun = QStringLiteral("--lat 10 --lon 20 --date 2024-03-01 --utc-offset 0 ");
    Expect("daylight -o @B1.DIM", "--channel 1 --ramp 0 --peak 50",
           {{sun + "--start 06:00 --end 18:00", "give --start and --end, or --lat"},
            {"--start 06:00 --end 18:00 --date 2024-03-01", "give --start and --end"},
            {"--utc-offset 0", "missing --lat"},
            {"", "missing --start and --end, or --lat"},
            {"--start 06:00", "missing --end"},
            {"--start 06:00 --end 18:00 --shift 60", "--shift moves the sun's times"},
            {sun + "--shift 720", nullptr},
            {sun + "--shift -720", nullptr},
            {sun + "--shift 735", "--shift 735 is out of range -720..720"},
            {sun + "--shift -735", "--shift -735 is out of range -720..720"},
            {sun + "--shift 20", "--shift 20 is not a multiple of 15"},
            {sun + "--shift -20", "--shift -20 is not a multiple of 15"}});
}

TEST_F(DimtoolRefusals, Sun) {
    Expect("sun", "--lat 10 --lon 20 --date 2024-03-01 --utc-offset 0",
           {{"--lat -90", nullptr},
            {"--lat 90", nullptr},
            {"--lat -90.001", "--lat -90.001 is out of range -90..90"},
            {"--lat 90.001", "--lat 90.001 is out of range -90..90"},
            {"--lat +.5", nullptr},
            {"--lat 1e1", "malformed --lat \"1e1\""},
            {"--lat 52,5", "malformed --lat \"52,5\""},
            {"--lon -180", nullptr},
            {"--lon 180", nullptr},
            {"--lon -180.5", "--lon -180.5 is out of range -180..180"},
            {"--lon 180.5", "--lon 180.5 is out of range -180..180"},
            {"--lon east", "malformed --lon \"east\""},
            {"--date 1900-01-01", nullptr},
            {"--date 2100-12-31", nullptr},
            {"--date 1899-12-31", "--date 1899-12-31 is out of range 1900..2100"},
            {"--date 2101-01-01", "--date 2101-01-01 is out of range 1900..2100"},
            {"--date 2024-02-30", "malformed --date \"2024-02-30\""},
            {"--date 2024-2-3", "malformed --date \"2024-2-3\""},
            {"--utc-offset +14:00", nullptr},
            {"--utc-offset -14:00", nullptr},
            {"--utc-offset +05:45", nullptr},
            {"--utc-offset +14:01", "--utc-offset +14:01 is out of range -14:00..+14:00"},
            {"--utc-offset -14:01", "--utc-offset -14:01 is out of range -14:00..+14:00"},
            {"--utc-offset 05:60", "malformed --utc-offset \"05:60\""},
            {"--utc-offset 5h", "malformed --utc-offset \"5h\""}});
}

TEST_F(DimtoolRefusals, Acclimate) {
    Expect("acclimate @P1.DIM -o @other", "--start-percent 10 --steps 5",
           {{"--start-percent 0", "--start-percent 0 is out of range 1..99"},
            {"--start-percent 100", "--start-percent 100 is out of range 1..99"},
            {"--steps 1", "--steps 1 is out of range 2..99"},
            {"--steps 100", "--steps 100 is out of range 2..99"},
            {"--channel 0", "--channel 0 is out of range 1..4"},
            {"--channel 5", "--channel 5 is out of range 1..4"},
            {"--channel 2 --channel 2", "--channel 2 is given more than once"}});
}

// The light budget's watts and PPFD: four numbers, none below zero.
TEST_F(DimtoolRefusals, InfoBudget) {
    Expect("info @P1.DIM", "",
           {{"--watts 0,0.5,+3,.25", nullptr},
            {"--ppfd 1000,0,0,2.", nullptr},
            {"--watts 1,2,3", "--watts \"1,2,3\" has 3 values; expected four"},
            {"--ppfd 1,2,3,4,5", "--ppfd \"1,2,3,4,5\" has 5 values; expected four"},
            {"--watts 1,-2,3,4", "--watts: blue value \"-2\" is not a number >= 0"},
            {"--ppfd 1,2,3,-0.1", "--ppfd: moon value \"-0.1\" is not a number >= 0"},
            {"--watts 1,2,,4", "--watts: clouds value \"\" is not a number >= 0"},
            {"--ppfd 1e3,2,3,4", "--ppfd: white value \"1e3\" is not a number >= 0"},
            {"--watts x,2,3,4", "--watts: white value \"x\" is not a number >= 0"}});
}

TEST_F(DimtoolRefusals, Render) {
    Expect("render @P1.DIM -o @c.png", "",
           {{"--size 99x400", "size 99x400 is out of range; width and height must be 100..8192"},
            {"--size 400x99", "size 400x99 is out of range"},
            {"--size 100x100", nullptr},
            {"--size 8192x100", nullptr},
            {"--size 100x8192", nullptr},
            {"--size 8193x400", "size 8193x400 is out of range"},
            {"--size 400x8193", "size 400x8193 is out of range"},
            {"--size 400", "malformed size \"400\"; expected WxH"},
            {"--lang it", "unknown language \"it\""}});
}

// A curve text may have up to its limit in bytes; one byte more is refused, not cut.
TEST_F(DimtoolTest, ImportTakesACurveTextUpToItsLimit) {
    const QString source =
        WriteCurveFile(QStringLiteral("A1.DIM"), VariedCurves(3), FileSettings{});
    const QString out = Path(QStringLiteral("B1.DIM"));
    const QByteArray csv = Dimtool({QStringLiteral("export"), source}).out.toLatin1();
    for (const int size : {MaxCurveTextBytes, MaxCurveTextBytes + 1}) {
        SCOPED_TRACE(size);
        // Blank lines after the last row are no rows.
        const QString input = Path(QStringLiteral("day.csv"));
        WriteAll(input, csv + QByteArray(size - csv.size(), '\n'));
        const Outcome run = Dimtool({QStringLiteral("import"), input, QStringLiteral("-o"), out});
        if (size == MaxCurveTextBytes) {
            EXPECT_EQ(run.status, ExitOk) << S(run.err);
            EXPECT_EQ(ReadAll(out), ReadAll(source));
        } else {
            EXPECT_EQ(run.status, ExitDataError);
            EXPECT_EQ(S(run.err), S(QStringLiteral("dimtool: %1: larger than %2 bytes; no day of "
                                                   "curves is that long\n")
                                        .arg(input)
                                        .arg(MaxCurveTextBytes)));
            EXPECT_FALSE(QFile::exists(out));
        }
        QFile::remove(out);
    }
}

} // namespace
