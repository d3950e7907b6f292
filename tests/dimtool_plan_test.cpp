// dimtool's planning commands: the sun of a place (sun, daylight from the sun), the
// acclimation series and the light budget (info).

#include "cli/tool.h"
#include "dimtool_fixture.h"
#include "edit/acclimation.h"
#include "edit/curvetools.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace dim;
using namespace dim::cli;
using namespace dim::cli::testing;

namespace {

// The minutes of "HH:MM" or "H:MM".
int Minutes(const QString &text) {
    const QStringList parts = text.split(QLatin1Char(':'));
    return parts[0].toInt() * 60 + parts[1].toInt();
}

int ClockDifference(int a, int b) {
    const int d = std::abs(a - b) % 1440;
    return std::min(d, 1440 - d);
}

Outcome InZone(const QStringList &args, const char *zone) {
    const DimtoolEnvironment environment{SystemFileSystem(), SystemClock(), 1, nullptr,
                                         QTimeZone(zone)};
    return Dimtool(args, &environment);
}

using DimtoolSun = DimtoolTest;

TEST_F(DimtoolSun, PrintsSunriseSunsetAndDayLengthInTheClockAsked) {
    if (!QTimeZone("Europe/London").isValid())
        GTEST_SKIP() << "no time zone database";
    struct Case {
        const char *args;
        const char *zone; // the system's, for the default offset
        const char *sunrise;
        const char *sunset;
        const char *length; // as published, H:MM
    };
    // Published times (see the sun's own tests); the offset given, or the zone's that day.
    const Case cases[] = {
        {"--lat 51.5074 --lon -0.1278 --date 2024-06-20 --utc-offset +01:00", "UTC", "04:43",
         "21:21", "16:38"},
        {"--lat 51.5074 --lon -0.1278 --date 2024-06-20", "Europe/London", "04:43", "21:21",
         "16:38"},
        {"--lat 51.5074 --lon -0.1278 --date 2024-06-20", "UTC", "03:43", "20:21", "16:38"},
        {"--lat 64.1466 --lon -21.9426 --date=2004-12-21 --utc-offset=0", "Asia/Tokyo", "11:22",
         "15:30", "4:08"},
        {"--lat -34.6037 --lon -58.3816 --date 2021-06-21 --utc-offset -03:00", "UTC", "08:01",
         "17:51", "9:50"},
        {"--lat -36.8485 --lon 174.7633 --date 2017-12-22 --utc-offset +13", "UTC", "05:58",
         "20:40", "14:42"},
    };
    static const QRegularExpression pattern(QStringLiteral(
        "^sunrise ([0-2][0-9]:[0-5][0-9])\nsunset ([0-2][0-9]:[0-5][0-9])\nday length "
        "([1-9]?[0-9]:[0-5][0-9])\n$"));
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.args) + " in " + c.zone);
        const Outcome run = InZone(Args(QStringLiteral("sun ") + c.args), c.zone);
        ASSERT_EQ(run.status, ExitOk) << S(run.err);
        const QRegularExpressionMatch lines = pattern.match(run.out);
        ASSERT_TRUE(lines.hasMatch()) << S(run.out);
        EXPECT_LE(ClockDifference(Minutes(lines.captured(1)), Minutes(QLatin1String(c.sunrise))),
                  2);
        EXPECT_LE(ClockDifference(Minutes(lines.captured(2)), Minutes(QLatin1String(c.sunset))), 2);
        EXPECT_LE(std::abs(Minutes(lines.captured(3)) - Minutes(QLatin1String(c.length))), 4);
    }
    const std::pair<const char *, const char *> polar[] = {
        {"--lat 69.6492 --lon 18.9553 --date 2024-06-21", "polar day\n"},
        {"--lat 69.6492 --lon 18.9553 --date 2024-12-21", "polar night\n"},
    };
    for (const auto &[args, expected] : polar) {
        const Outcome run = InZone(Args(QStringLiteral("sun ") + args), "UTC");
        EXPECT_EQ(run.status, ExitOk);
        EXPECT_EQ(S(run.out), expected);
    }
}

class DimtoolSunDaylight : public DimtoolTest {
protected:
    // The curve file daylight writes for args, or nothing after a failure.
    QByteArray Written(const QString &args, const char *zone = "UTC") {
        const QString out = Path(QStringLiteral("B1.DIM"));
        QFile::remove(out);
        const Outcome run =
            InZone(QStringList{QStringLiteral("daylight"), QStringLiteral("-o"), out} +
                       args.split(QLatin1Char(' '), Qt::SkipEmptyParts),
                   zone);
        EXPECT_EQ(run.status, ExitOk) << S(run.err);
        return ReadAll(out);
    }
};

TEST_F(DimtoolSunDaylight, TheSunsTimesRoundToQuarterHoursAndShift) {
    // Tokyo, 21 December 2024: published 06:47 and 16:32, a quarter-hour away from 06:45 and
    // 16:30 by more than two minutes either way.
    const QString tokyo =
        QStringLiteral("--lat 35.6762 --lon 139.6503 --date 2024-12-21 --utc-offset +09:00 ");
    const QString light = QStringLiteral(" --channel 2 --ramp 60 --peak 80 --base 5");
    struct Case {
        QString sun;
        QString times;
    };
    const Case cases[] = {
        {tokyo, QStringLiteral("--start 06:45 --end 16:30")},
        {tokyo + QStringLiteral("--shift -60"), QStringLiteral("--start 05:45 --end 15:30")},
        {tokyo + QStringLiteral("--shift 720"), QStringLiteral("--start 18:45 --end 04:30")},
        {tokyo + QStringLiteral("--shift -405"), QStringLiteral("--start 00:00 --end 09:45")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(S(c.sun));
        const QByteArray fromTheSun = Written(c.sun + light);
        ASSERT_EQ(fromTheSun.size(), DimFileSize);
        EXPECT_EQ(fromTheSun, Written(c.times + light));
    }
    // In Tokyo's zone the offset is the zone's.
    EXPECT_EQ(Written(QStringLiteral("--lat 35.6762 --lon 139.6503 --date 2024-12-21") + light,
                      "Asia/Tokyo"),
              Written(QStringLiteral("--start 06:45 --end 16:30") + light));
}

TEST_F(DimtoolSunDaylight, UnderAPolarSunThePeakOrTheBaseLastsAllDay) {
    const QString tromso = QStringLiteral("--lat 69.6492 --lon 18.9553 --channel 1 --ramp 60 "
                                          "--peak 100 --base 10 --date ");
    CurveData day;
    SetChannelCurve(day.Levels, 1, Filled(255));
    CurveData night;
    SetChannelCurve(night.Levels, 1, Filled(LevelOfPercent(10)));
    EXPECT_EQ(Written(tromso + QStringLiteral("2024-06-21")), DimFileBytes(day, FileSettings{}));
    EXPECT_EQ(Written(tromso + QStringLiteral("2024-12-21")), DimFileBytes(night, FileSettings{}));
}

class DimtoolAcclimate : public DimtoolTest {
protected:
    void SetUp() override {
        DimtoolTest::SetUp();
        WriteCurveFile(QStringLiteral("P1.DIM"), curves, settings);
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("out")));
        folder = Path(QStringLiteral("out"));
    }
    QStringList Series() const {
        QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        files.sort();
        return files;
    }

    CurveData curves = VariedCurves(6);
    FileSettings settings = StoredSettings(20, 30, 40);
    QString folder;
};

TEST_F(DimtoolAcclimate, WritesTheSeriesAndTellsEachFilesPercentage) {
    const Outcome run =
        Dimtool(Args("acclimate @P1.DIM -o @out --start-percent 10 --steps 3 --channel 4 "
                     "--channel=2"));
    ASSERT_EQ(run.status, ExitOk) << S(run.err);
    // 10 %, (20 + 90) / 2 = 55 %, 100 %.
    EXPECT_EQ(S(run.out), S(QStringLiteral("%1/P1-01.DIM 10%\n%1/P1-02.DIM 55%\n%1/P1-03.DIM "
                                           "100%\n")
                                .arg(folder)));
    EXPECT_TRUE(run.err.isEmpty());
    const AcclimationPlan plan{10, 3, {false, true, false, true}};
    for (int step = 1; step <= 3; ++step)
        EXPECT_EQ(ReadAll(folder + QStringLiteral("/P1-0%1.DIM").arg(step)),
                  DimFileBytes(AcclimatedCurves(curves, plan, step), settings))
            << step;
    // Without --channel, all four; a percentage with a fraction has one decimal.
    const Outcome all = Dimtool(Args("acclimate --start-percent 1 --steps 99 -o @out/ @P1.DIM"));
    ASSERT_EQ(all.status, ExitOk) << S(all.err);
    const QStringList lines = all.out.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 100);
    EXPECT_EQ(S(lines[1]), S(folder + QStringLiteral("/P1-02.DIM 2%")));     // 197 / 98 = 2.01
    EXPECT_EQ(S(lines[2]), S(folder + QStringLiteral("/P1-03.DIM 3%")));     // 296 / 98 = 3.02
    EXPECT_EQ(S(lines[50]), S(folder + QStringLiteral("/P1-51.DIM 51.5%"))); // 5048 / 98
    EXPECT_EQ(
        ReadAll(folder + QStringLiteral("/P1-01.DIM")),
        DimFileBytes(AcclimatedCurves(curves, AcclimationPlan{1, 99, {true, true, true, true}}, 1),
                     settings));
    EXPECT_EQ(Series().size(), 99);
}

TEST_F(DimtoolAcclimate, AFolderThatCannotTakeTheSeriesKeepsNoneOfIt) {
    FailingWrites fs;
    fs.failAt = 3;
    const DimtoolEnvironment environment{fs, SystemClock(), 1};
    const Outcome full =
        Dimtool(Args("acclimate --start-percent 10 --steps 4 -o @out @P1.DIM"), &environment);
    EXPECT_EQ(full.status, ExitIoError);
    EXPECT_EQ(S(full.err), S(QStringLiteral("dimtool: %1: Disk full.\n").arg(folder)));
    EXPECT_TRUE(full.out.isEmpty());
    EXPECT_TRUE(Series().isEmpty());
    const Outcome nowhere =
        Dimtool(Args("acclimate --start-percent 10 --steps 4 -o @none @P1.DIM"));
    EXPECT_EQ(nowhere.status, ExitIoError);
    EXPECT_TRUE(nowhere.err.endsWith(QStringLiteral("none: Invalid file name.\n")))
        << S(nowhere.err);
}

class DimtoolBudget : public DimtoolTest {
protected:
    void SetUp() override {
        DimtoolTest::SetUp();
        for (size_t k = 29; k <= 75; ++k) // white 07:15 .. 18:45, dark at 12:30
            data.Levels[1][k] = static_cast<int>(k * 3);
        data.Levels[1][50] = 0;
        for (size_t k = 0; k < 96; ++k) // blue never dark
            data.Levels[2][k] = 5 + static_cast<int>(k % 7);
        data.Levels[4][0] = 255; // clouds dark; moon at the first and last quarter-hours
        data.Levels[4][95] = 1;
        path = WriteCurveFile(QStringLiteral("A1.DIM"), data, StoredSettings(12, 200, 7));
    }
    CurveData data;
    QString path;
    // Full-power hours: the levels' sums / 255 x 0.25 (white 3 x (29 + .. + 75 - 50), blue
    // 96 x 5 + 13 x 21 + 10, moon 256).
    const std::array<double, 4> hours{7182 / 1020.0, 763 / 1020.0, 0, 256 / 1020.0};
};

TEST_F(DimtoolBudget, TextShowsTheSettingsEachChannelsRangeAndTheBudget) {
    const Outcome run = Dimtool({QStringLiteral("info"), path});
    EXPECT_EQ(run.status, ExitOk);
    EXPECT_TRUE(run.err.isEmpty());
    EXPECT_EQ(S(run.out),
              S(QStringLiteral(
                  "cloud speed      12\n"
                  "cloud intensity  200\n"
                  "moon change      7\n"
                  "\n"
                  "channel  min  max  first  last\n"
                  "white      0  225  07:15  18:45\n"
                  "blue       5   11  00:00  23:45\n"
                  "clouds     0    0  -      -\n"
                  "moon       0  255  00:00  23:45\n"
                  "\n"
                  "channel    lit  longest dark  full-power hours  energy Wh  DLI mol/m2/day\n"
                  "white    11:30         12:15             7.041          -               -\n"
                  "blue     24:00          0:00             0.748          -               -\n"
                  "clouds    0:00         24:00             0.000          -               -\n"
                  "moon      0:30         23:30             0.251          -               -\n"
                  "total                                                   -               -\n"
                  "Levels count as linear in light and power, as a PWM duty cycle is.\n")));

    const Outcome powered =
        Dimtool({QStringLiteral("info"), path, QStringLiteral("--watts"),
                 QStringLiteral("40,20,0,1.5"), QStringLiteral("--ppfd=500,300,0,10")});
    ASSERT_EQ(powered.status, ExitOk) << S(powered.err);
    const QStringList lines = powered.out.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 18) << S(powered.out);
    // 40 W x 7.041 h, 500 x 7.041 x 0.0036; 20 x 0.748, 300 x 0.748 x 0.0036; the moon's
    // 1.5 x 0.251, 10 x 0.251 x 0.0036.
    EXPECT_EQ(S(lines.mid(11, 5).join(QLatin1Char('\n'))),
              "white    11:30         12:15             7.041     281.65           12.67\n"
              "blue     24:00          0:00             0.748      14.96            0.81\n"
              "clouds    0:00         24:00             0.000       0.00            0.00\n"
              "moon      0:30         23:30             0.251       0.38            0.01\n"
              "total                                              296.98           13.49");
}

TEST_F(DimtoolBudget, JsonHasTheLayoutAndTheUnroundedFigures) {
    const Outcome run = Dimtool({QStringLiteral("info"), QStringLiteral("--json"), path,
                                 QStringLiteral("--watts=40,20,0,1.5")});
    ASSERT_EQ(run.status, ExitOk) << S(run.err);
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(run.out.toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << S(run.out);
    // In the order given: settings, channels (each name first), total.
    const char *const order[] = {"settings",
                                 "cloudSpeed",
                                 "channels",
                                 "name",
                                 "min",
                                 "max",
                                 "first",
                                 "last",
                                 "lit_minutes",
                                 "longest_dark_minutes",
                                 "full_power_hours",
                                 "energy_wh",
                                 "dli",
                                 "total"};
    qsizetype at = 0;
    for (const char *name : order) {
        const QString key = QStringLiteral("\"%1\"").arg(QLatin1String(name));
        const qsizetype next = run.out.indexOf(key, at);
        EXPECT_GT(next, at - 1) << S(key);
        at = next;
    }
    EXPECT_EQ(root.keys(), (QStringList{QStringLiteral("channels"), QStringLiteral("settings"),
                                        QStringLiteral("total")}));
    const QJsonObject settings = root.value(QStringLiteral("settings")).toObject();
    EXPECT_EQ(settings.value(QStringLiteral("cloudSpeed")).toInt(), 12);
    EXPECT_EQ(settings.value(QStringLiteral("cloudIntensity")).toInt(), 200);
    EXPECT_EQ(settings.value(QStringLiteral("moonChange")).toInt(), 7);
    struct Expected {
        const char *name;
        int min, max;
        QJsonValue first, last;
        int lit, dark;
        double watts;
    };
    const Expected expected[] = {
        {"white", 0, 225, QStringLiteral("07:15"), QStringLiteral("18:45"), 690, 735, 40},
        {"blue", 5, 11, QStringLiteral("00:00"), QStringLiteral("23:45"), 1440, 0, 20},
        {"clouds", 0, 0, QJsonValue::Null, QJsonValue::Null, 0, 1440, 0},
        {"moon", 0, 255, QStringLiteral("00:00"), QStringLiteral("23:45"), 30, 1410, 1.5},
    };
    const QJsonArray channels = root.value(QStringLiteral("channels")).toArray();
    ASSERT_EQ(channels.size(), 4);
    double energy = 0;
    for (size_t n = 0; n < 4; ++n) {
        const Expected &e = expected[n];
        SCOPED_TRACE(e.name);
        const QJsonObject channel = channels.at(static_cast<qsizetype>(n)).toObject();
        EXPECT_EQ(channel.keys().size(), 10);
        EXPECT_EQ(channel.value(QStringLiteral("name")).toString(), QLatin1String(e.name));
        EXPECT_EQ(channel.value(QStringLiteral("min")).toInt(-1), e.min);
        EXPECT_EQ(channel.value(QStringLiteral("max")).toInt(-1), e.max);
        EXPECT_EQ(channel.value(QStringLiteral("first")), e.first);
        EXPECT_EQ(channel.value(QStringLiteral("last")), e.last);
        EXPECT_EQ(channel.value(QStringLiteral("lit_minutes")).toInt(-1), e.lit);
        EXPECT_EQ(channel.value(QStringLiteral("longest_dark_minutes")).toInt(-1), e.dark);
        EXPECT_NEAR(channel.value(QStringLiteral("full_power_hours")).toDouble(-1), hours[n],
                    1e-12);
        EXPECT_NEAR(channel.value(QStringLiteral("energy_wh")).toDouble(-1), e.watts * hours[n],
                    1e-9);
        EXPECT_EQ(channel.value(QStringLiteral("dli")).toDouble(-1), 0); // no PPFD given
        energy += e.watts * hours[n];
    }
    const QJsonObject total = root.value(QStringLiteral("total")).toObject();
    EXPECT_NEAR(total.value(QStringLiteral("energy_wh")).toDouble(-1), energy, 1e-9);
    EXPECT_EQ(total.value(QStringLiteral("dli")).toDouble(-1), 0);
}

} // namespace
