#pragma once

#include "edit/curvetools.h"

#include <QDate>
#include <QString>
#include <QTimeZone>

namespace dim {

// Sunrise and sunset of a place on a date after the equations of NOAA's solar calculator
// (the sun's mean longitude and anomaly, the equation of centre, the apparent longitude, the
// corrected obliquity, the declination and the equation of time), with the sun's centre
// 0.833 degrees below the horizon (refraction and the sun's radius). Pure functions.

inline constexpr double MaxLatitude = 90;   // degrees, north positive
inline constexpr double MaxLongitude = 180; // degrees, east positive
inline constexpr int MaxUtcOffsetMinutes = 14 * 60;
inline constexpr int MaxSunShiftMinutes = 720;
// The years for which the equations hold.
inline constexpr int FirstSunYear = 1900;
inline constexpr int LastSunYear = 2100;

enum class SunDay {
    RisesAndSets,
    PolarDay,   // the sun stays above the horizon all day
    PolarNight, // the sun stays below it all day
};

struct SunTimes {
    SunDay day = SunDay::RisesAndSets;
    // Local time (at the UTC offset given) in minutes after the date's midnight, with their
    // fractions. An event that falls on the day before or after lies below 0 or from 1440
    // on (Reykjavik's midsummer sunset after midnight). Both 0 without one.
    double sunrise = 0;
    double sunset = 0;
    double dayLength = 0; // minutes from sunrise to sunset; 1440 in polar day, 0 in polar night
};

// The sun on a date at a latitude (-90..90) and longitude (-180..180) for a local time
// utcOffsetMinutes ahead of UTC.
SunTimes SunriseSunset(double latitude, double longitude, const QDate &date, int utcOffsetMinutes);

// A time in minutes to the nearest whole minute (half a minute up), wrapped into 0..1439.
int NearestMinuteOfDay(double minutes);

// A time in minutes to the nearest quarter-hour (half way up), then moved by shiftMinutes
// and wrapped into the day: 0..1425, a multiple of 15 for a shift that is one.
int NearestQuarterHour(double minutes, int shiftMinutes);

// The light of a day from the sun, for a daylight curve: from sunrise to sunset rounded to
// the nearest quarter-hour and moved by the shift. A day that rounds to no time at all is
// a polar night, one that rounds to the whole day a polar day.
struct SunLight {
    SunDay day = SunDay::RisesAndSets;
    int startMinutes = 0; // with RisesAndSets: 0..1425 on the quarter-hour grid
    int endMinutes = 0;
};
SunLight SunLightOfDay(const SunTimes &sun, int shiftMinutes);

// The offset from UTC of a time zone on a date, in minutes (at local noon, so that the
// night a clock changes does not count).
int UtcOffsetOn(const QDate &date, const QTimeZone &zone);

// The daylight curve of params under a sun's day: params' own curve when the sun rises and
// sets, the peak all day in polar day, the base all day in polar night.
DayCurve DaylightUnder(SunDay day, const DaylightParams &params);

// A time of day as a clock shows it, "06:05" (0..1439).
QString ClockText(int minuteOfDay);
// A length of time to the nearest minute, "11:05" or "0:45".
QString DurationText(double minutes);
// An offset from UTC, "+10:00", "-03:30", "+00:00".
QString UtcOffsetText(int minutes);

} // namespace dim
