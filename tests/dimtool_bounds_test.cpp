// Every bound of every dimtool option with a range: the value at the bound is taken, the
// one past it refused by name, on both sides and with both signs.

#include "cli/tool.h"
#include "dimtool_fixture.h"
#include "model/curvetext.h"

#include <gtest/gtest.h>

using namespace dim;
using namespace dim::cli;
using namespace dim::cli::testing;

namespace {

struct Bound {
    const char *args;    // the command and the option under test; the rest is filled in
    const char *refusal; // the start of the message; nullptr: taken
};

class DimtoolBounds : public DimtoolTest {
protected:
    void SetUp() override {
        DimtoolTest::SetUp();
        source = WriteCurveFile(QStringLiteral("A1.DIM"), VariedCurves(3), FileSettings{});
    }
    // Runs each row with what its command needs besides, and expects it taken (written) or
    // refused with its message and nothing written.
    void Expect(const QString &command, const QStringList &rest, const Bound *rows, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            const Bound &row = rows[i];
            const QStringList args = Words(row.args) + rest;
            SCOPED_TRACE(S(args.join(QLatin1Char(' '))));
            const Outcome run = Dimtool(QStringList{command} + args);
            if (!row.refusal) {
                EXPECT_EQ(run.status, ExitOk) << S(run.err);
                EXPECT_TRUE(QFile::exists(out));
            } else {
                EXPECT_EQ(run.status, ExitUsage);
                EXPECT_TRUE(run.err.startsWith(
                    QStringLiteral("dimtool: %1: %2").arg(command, QLatin1String(row.refusal))))
                    << S(run.err);
                EXPECT_FALSE(QFile::exists(out));
            }
            QFile::remove(out);
        }
    }

    QString source;
    QString out = Path(QStringLiteral("B1.DIM"));
};

TEST_F(DimtoolBounds, Edit) {
    const Bound rows[] = {
        {"--channel 0 --smooth", "--channel 0 is out of range 1..4"},
        {"--channel 1 --smooth", nullptr},
        {"--channel 4 --smooth", nullptr},
        {"--channel 5 --smooth", "--channel 5 is out of range 1..4"},
        {"--channel 1 --copy-from 0", "--copy-from 0 is out of range 1..4"},
        {"--channel 1 --copy-from 1", nullptr},
        {"--channel 1 --copy-from 4", nullptr},
        {"--channel 1 --copy-from 5", "--copy-from 5 is out of range 1..4"},
        {"--channel 1 --fill -1", "--fill -1 is out of range 0..255"},
        {"--channel 1 --fill 0", nullptr},
        {"--channel 1 --fill 255", nullptr},
        {"--channel 1 --fill 256", "--fill 256 is out of range 0..255"},
        {"--channel 1 --scale 0", "--scale 0 is out of range 1..1000"},
        {"--channel 1 --scale 1", nullptr},
        {"--channel 1 --scale 1000", nullptr},
        {"--channel 1 --scale 1001", "--scale 1001 is out of range 1..1000"},
        {"--channel 1 --shift 20", "--shift 20 is not a multiple of 15"},
        {"--channel 1 --shift -20", "--shift -20 is not a multiple of 15"},
        {"--channel 1 --shift 15", nullptr},
        {"--channel 1 --shift -15", nullptr},
        {"--channel 1 --shift 2147483640", nullptr},
        {"--channel 1 --shift -2147483640", nullptr},
        {"--channel 1 --shift 2147483655", "--shift 2147483655 is out of range"},
        {"--channel 1 --shift -2147483655", "--shift -2147483655 is out of range"},
    };
    Expect(QStringLiteral("edit"), {source, QStringLiteral("-o"), out}, rows, std::size(rows));
}

TEST_F(DimtoolBounds, Daylight) {
    const QStringList day = Words("--start 06:00 --end 18:00");
    const Bound rows[] = {
        {"--channel 0 --ramp 0 --peak 50", "--channel 0 is out of range 1..4"},
        {"--channel 4 --ramp 0 --peak 50", nullptr},
        {"--channel 5 --ramp 0 --peak 50", "--channel 5 is out of range 1..4"},
        {"--channel 1 --ramp -15 --peak 50", "--ramp -15 is out of range 0..720"},
        {"--channel 1 --ramp 0 --peak 50", nullptr},
        {"--channel 1 --ramp 720 --peak 50", nullptr},
        {"--channel 1 --ramp 735 --peak 50", "--ramp 735 is out of range 0..720"},
        {"--channel 1 --ramp 20 --peak 50", "--ramp 20 is not a multiple of 15"},
        {"--channel 1 --ramp 0 --peak -1", "--peak -1 is out of range 0..100"},
        {"--channel 1 --ramp 0 --peak 0", nullptr},
        {"--channel 1 --ramp 0 --peak 100", nullptr},
        {"--channel 1 --ramp 0 --peak 101", "--peak 101 is out of range 0..100"},
        {"--channel 1 --ramp 0 --peak 50 --base -1", "--base -1 is out of range 0..100"},
        {"--channel 1 --ramp 0 --peak 50 --base 0", nullptr},
        {"--channel 1 --ramp 0 --peak 50 --base 100", nullptr},
        {"--channel 1 --ramp 0 --peak 50 --base 101", "--base 101 is out of range 0..100"},
    };
    Expect(QStringLiteral("daylight"), day + QStringList{QStringLiteral("-o"), out}, rows,
           std::size(rows));
    const Bound times[] = {
        {"--start 00:00 --end 23:45", nullptr},
        {"--start 23:45 --end 00:00", nullptr},
        {"--start 23:50 --end 06:00", "--start 23:50 is out of range 00:00..23:45"},
        {"--start 06:00 --end 23:59", "--end 23:59 is out of range 00:00..23:45"},
        {"--start 24:00 --end 06:00", "malformed --start \"24:00\""},
        {"--start -00:15 --end 06:00", "malformed --start \"-00:15\""},
        {"--start 06:00 --end 06:05", "--end 06:05 is not on the quarter-hour grid"},
    };
    Expect(QStringLiteral("daylight"),
           Words("--channel 1 --ramp 0 --peak 50") + QStringList{QStringLiteral("-o"), out}, times,
           std::size(times));
}

TEST_F(DimtoolBounds, RenderSize) {
    out = Path(QStringLiteral("c.png"));
    const Bound rows[] = {
        {"--size 99x400", "size 99x400 is out of range"},
        {"--size 400x99", "size 400x99 is out of range"},
        {"--size 100x100", nullptr},
        {"--size 8192x100", nullptr},
        {"--size 100x8192", nullptr},
        {"--size 8193x400", "size 8193x400 is out of range"},
        {"--size 400x8193", "size 400x8193 is out of range"},
    };
    Expect(QStringLiteral("render"), {source, QStringLiteral("-o"), out}, rows, std::size(rows));
}

// A curve text may have up to its limit in bytes; one byte more is refused, not cut.
TEST_F(DimtoolBounds, ImportTextSize) {
    const QByteArray csv = Dimtool({QStringLiteral("export"), source}).out.toLatin1();
    struct Case {
        int size;
        int status;
    };
    for (const Case c :
         {Case{MaxCurveTextBytes, ExitOk}, Case{MaxCurveTextBytes + 1, ExitDataError}}) {
        SCOPED_TRACE(c.size);
        // Blank lines after the last row are no rows.
        const QString input = Path(QStringLiteral("day.csv"));
        WriteAll(input, csv + QByteArray(c.size - csv.size(), '\n'));
        const Outcome run = Dimtool({QStringLiteral("import"), input, QStringLiteral("-o"), out});
        EXPECT_EQ(run.status, c.status) << S(run.err);
        if (c.status == ExitOk) {
            EXPECT_EQ(ReadAll(out), ReadAll(source));
        } else {
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
