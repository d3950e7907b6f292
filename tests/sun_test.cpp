#include "edit/places.h"
#include "edit/sun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace dim;

namespace {

// Minutes of an "HH:MM" clock time.
double Clock(const char *text) {
    return std::stoi(std::string(text, 2)) * 60 + std::stoi(std::string(text + 3, 2));
}

// The difference between two times of day, the shorter way round the clock.
double ClockDifference(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 1440.0);
    return std::min(d, 1440.0 - d);
}

// Published sunrise and sunset times (almanac offices, national weather and astronomy
// services, newspapers quoting them), local clock time at the offset in force that day.
struct Published {
    const char *place;
    double latitude;
    double longitude;
    QDate date;
    int utcOffset;
    const char *sunrise;
    const char *sunset;
};

TEST(Sun, RiseAndSetAgreeWithPublishedTablesWithinTwoMinutes) {
    const Published cases[] = {
        // North, west of Greenwich: a spring equilux, the summer solstice, autumn, winter.
        {"London", 51.5074, -0.1278, QDate(2011, 3, 18), 0, "06:09", "18:09"},
        {"London", 51.5074, -0.1278, QDate(2024, 6, 20), 60, "04:43", "21:21"},
        {"Los Angeles", 34.0522, -118.2437, QDate(2015, 9, 23), -420, "06:42", "18:49"},
        {"Reykjavik", 64.1466, -21.9426, QDate(2004, 12, 21), 0, "11:22", "15:30"},
        // The midsummer sun of Reykjavik sets five minutes after midnight.
        {"Reykjavik", 64.1466, -21.9426, QDate(2009, 6, 21), 0, "02:54", "00:05"},
        // North, east.
        {"Tokyo", 35.6762, 139.6503, QDate(2024, 12, 21), 540, "06:47", "16:32"},
        // South, east; Auckland lies five degrees from the date line, 13 hours ahead.
        {"Sydney", -33.8688, 151.2093, QDate(2024, 12, 21), 660, "05:41", "20:05"},
        {"Auckland", -36.8485, 174.7633, QDate(2017, 12, 22), 780, "05:58", "20:40"},
        // South, west.
        {"Buenos Aires", -34.6037, -58.3816, QDate(2021, 6, 21), -180, "08:01", "17:51"},
    };
    for (const Published &c : cases) {
        SCOPED_TRACE(std::string(c.place) + " " + c.date.toString(Qt::ISODate).toStdString());
        const SunTimes sun = SunriseSunset(c.latitude, c.longitude, c.date, c.utcOffset);
        ASSERT_EQ(sun.day, SunDay::RisesAndSets);
        EXPECT_LE(ClockDifference(sun.sunrise, Clock(c.sunrise)), 2.0) << sun.sunrise;
        EXPECT_LE(ClockDifference(sun.sunset, Clock(c.sunset)), 2.0) << sun.sunset;
        // Each end within two minutes: the length within four.
        const double published = std::fmod(Clock(c.sunset) - Clock(c.sunrise) + 1440.0, 1440.0);
        EXPECT_NEAR(sun.dayLength, published, 4.0);
    }
}

TEST(Sun, PolarDayAndPolarNightAreTheirOwnAnswers) {
    struct Case {
        const char *place;
        double latitude;
        double longitude;
        QDate date;
        SunDay day;
        double dayLength;
    };
    // Tromso's midnight sun lasts from late May to late July, its polar night from late
    // November to mid-January; the South Pole's day and night are the other way round.
    const Case cases[] = {
        {"Tromso", 69.6492, 18.9553, QDate(2024, 6, 21), SunDay::PolarDay, 1440},
        {"Tromso", 69.6492, 18.9553, QDate(2024, 12, 21), SunDay::PolarNight, 0},
        {"South Pole", -90, 0, QDate(2024, 12, 21), SunDay::PolarDay, 1440},
        {"South Pole", -90, 0, QDate(2024, 6, 21), SunDay::PolarNight, 0},
        {"North Pole", 90, 180, QDate(2024, 6, 21), SunDay::PolarDay, 1440},
        // Just inside the polar circle's night: at the solstice the sun's centre stays below
        // -0.833 degrees north of 90 - 23.44 + 0.833 = 67.39 degrees.
        {"67.5 N", 67.5, 25, QDate(2024, 12, 21), SunDay::PolarNight, 0},
        // Tromso's sun rises again in the second half of January.
        {"Tromso", 69.6492, 18.9553, QDate(2024, 1, 25), SunDay::RisesAndSets, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.place) + " " + c.date.toString(Qt::ISODate).toStdString());
        const SunTimes sun = SunriseSunset(c.latitude, c.longitude, c.date, 60);
        EXPECT_EQ(sun.day, c.day);
        if (c.dayLength >= 0) {
            EXPECT_EQ(sun.dayLength, c.dayLength);
        }
    }
}

TEST(Sun, TimesRoundToTheNearestMinuteAndQuarterHourWithinTheDay) {
    struct Case {
        double minutes;
        int shift;
        int minute;  // NearestMinuteOfDay(minutes)
        int quarter; // NearestQuarterHour(minutes, shift)
    };
    const Case cases[] = {
        {367.49, 0, 367, 360},   // 06:07.49: 06:07, 06:00
        {367.5, 0, 368, 375},    // half way rounds up, to the minute and the quarter
        {382.49, 0, 382, 375},   // 06:22.49 stays on 06:15
        {382.5, 720, 383, 1110}, // 06:30 moved twelve hours later: 18:30
        {375, -720, 375, 1095},  // 06:15 moved twelve hours earlier: 18:15 the day before
        {1439.6, 0, 0, 0},       // 23:59.6 is midnight of the next day
        {1445.2, 15, 5, 15},     // 00:05 past midnight, a quarter later
        {-3.4, 0, 1437, 0},      // 23:56.6 of the day before
        {-8, -15, 1432, 1410},   // 23:52 of the day before is 23:45, a quarter earlier 23:30
        {1432.5, 0, 1433, 0},    // 23:52.5 rounds up to midnight
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.minutes) + " " + std::to_string(c.shift));
        EXPECT_EQ(NearestMinuteOfDay(c.minutes), c.minute);
        EXPECT_EQ(NearestQuarterHour(c.minutes, c.shift), c.quarter);
    }
}

TEST(Sun, TheLightOfADayIsRoundedAndShiftedOrPolar) {
    const auto times = [](double rise, double set) {
        return SunTimes{SunDay::RisesAndSets, rise, set, set - rise};
    };
    struct Case {
        SunTimes sun;
        int shift;
        SunLight light;
    };
    const Case cases[] = {
        {times(367.4, 1152.6), 0, {SunDay::RisesAndSets, 360, 1155}},
        {times(367.4, 1152.6), -420, {SunDay::RisesAndSets, 1380, 735}}, // over midnight
        {times(174, 1445), 60, {SunDay::RisesAndSets, 240, 60}},
        {times(700, 706), 0, {SunDay::PolarNight, 0, 0}}, // six minutes: no quarter-hour
        {times(2, 1437), 0, {SunDay::PolarDay, 0, 0}},    // all but five minutes
        {SunTimes{SunDay::PolarDay, 0, 0, 1440}, 90, {SunDay::PolarDay, 0, 0}},
        {SunTimes{SunDay::PolarNight, 0, 0, 0}, 90, {SunDay::PolarNight, 0, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.sun.sunrise) + " " + std::to_string(c.shift));
        const SunLight light = SunLightOfDay(c.sun, c.shift);
        EXPECT_EQ(light.day, c.light.day);
        EXPECT_EQ(light.startMinutes, c.light.startMinutes);
        EXPECT_EQ(light.endMinutes, c.light.endMinutes);
    }
}

TEST(Sun, TheUtcOffsetOfAZoneFollowsItsSummerTime) {
    const QTimeZone berlin("Europe/Berlin");
    if (!berlin.isValid())
        GTEST_SKIP() << "no time zone database";
    const std::pair<QDate, int> cases[] = {
        {QDate(2024, 1, 15), 60},
        {QDate(2024, 7, 15), 120},
        {QDate(2024, 3, 31), 120}, // summer time from 02:00 that morning
        {QDate(2024, 10, 27), 60}, // and back at 03:00
    };
    for (const auto &[date, offset] : cases)
        EXPECT_EQ(UtcOffsetOn(date, berlin), offset) << date.toString().toStdString();
}

// Under the midnight sun the peak lasts all day, in the polar night the base; otherwise
// the curve of the times.
TEST(Sun, TheDaylightCurveUnderAPolarSunIsThePeakOrTheBase) {
    const DaylightParams params{360, 1080, 60, 200, 20};
    const struct {
        SunDay day;
        int at0, at48; // the levels at 00:00 and at noon
    } cases[] = {
        {SunDay::PolarDay, 200, 200},
        {SunDay::PolarNight, 20, 20},
        {SunDay::RisesAndSets, 20, 200},
    };
    for (const auto &c : cases) {
        const DayCurve curve = DaylightUnder(c.day, params);
        EXPECT_EQ(curve[0], c.at0) << static_cast<int>(c.day);
        EXPECT_EQ(curve[48], c.at48) << static_cast<int>(c.day);
        EXPECT_EQ(curve[95], c.at0) << static_cast<int>(c.day);
    }
}

TEST(Sun, ClockTimesLengthsAndOffsetsAreWrittenAsClocksShowThem) {
    const std::pair<int, const char *> clocks[] = {{0, "00:00"}, {365, "06:05"}, {1439, "23:59"}};
    for (const auto &[minutes, text] : clocks)
        EXPECT_EQ(ClockText(minutes), QLatin1String(text));
    const std::pair<double, const char *> lengths[] = {
        {45, "0:45"}, {665.4, "11:05"}, {59.5, "1:00"}, {1440, "24:00"}, {0, "0:00"}};
    for (const auto &[minutes, text] : lengths)
        EXPECT_EQ(DurationText(minutes), QLatin1String(text)) << minutes;
    const std::pair<int, const char *> offsets[] = {
        {600, "+10:00"}, {-210, "-03:30"}, {-30, "-00:30"}, {0, "+00:00"}, {345, "+05:45"}};
    for (const auto &[minutes, text] : offsets)
        EXPECT_EQ(UtcOffsetText(minutes), QLatin1String(text)) << minutes;
}

// The places lie in the tropics or near them, so on an equinox the sun rises near six in
// their own solar time (four minutes per degree of longitude east of Greenwich) and sets
// near six: a coordinate with the wrong sign moves that by hours.
TEST(NativePlaces, CoordinatesAgreeWithTheSunOnTheEquinox) {
    for (const NativePlace &place : NativePlaces()) {
        SCOPED_TRACE(static_cast<int>(place.name));
        const QDate equinox(2025, 3, 20);
        const SunTimes sun = SunriseSunset(place.latitude, place.longitude, equinox,
                                           static_cast<int>(std::lround(place.longitude * 4)));
        ASSERT_EQ(sun.day, SunDay::RisesAndSets);
        EXPECT_GT(sun.sunrise, 5 * 60 + 45);
        EXPECT_LT(sun.sunrise, 6 * 60 + 15);
        EXPECT_NEAR(sun.dayLength, 12 * 60 + 8, 10); // refraction adds some minutes
        EXPECT_LT(std::fabs(place.latitude), 30.0);
    }
}

} // namespace
