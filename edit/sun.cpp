#include "edit/sun.h"

#include "model/levels.h"
#include "texts/figures.h"

#include <QDateTime>

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace dim {

namespace {

constexpr double kDegree = std::numbers::pi / 180;
// The zenith of sunrise and sunset: 90 degrees and 50 minutes of arc.
constexpr double kRiseZenith = 90.833;

double Sin(double degrees) {
    return std::sin(degrees * kDegree);
}
double Cos(double degrees) {
    return std::cos(degrees * kDegree);
}
double Tan(double degrees) {
    return std::tan(degrees * kDegree);
}

// Where the sun stands at one instant, as far as rising and setting need it.
struct SolarPosition {
    double declination;    // degrees
    double equationOfTime; // minutes, apparent minus mean solar time
};

// The sun at a Julian day (days since noon UT of 1 January 4713 BC, with its fraction).
SolarPosition SunAt(double julianDay) {
    const double t = (julianDay - 2451545.0) / 36525.0; // Julian centuries since J2000.0
    const double meanLongitude = std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360.0);
    const double meanAnomaly = 357.52911 + t * (35999.05029 - 0.0001537 * t);
    const double eccentricity = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
    const double centre = Sin(meanAnomaly) * (1.914602 - t * (0.004817 + 0.000014 * t)) +
                          Sin(2 * meanAnomaly) * (0.019993 - 0.000101 * t) +
                          Sin(3 * meanAnomaly) * 0.000289;
    const double trueLongitude = meanLongitude + centre;
    const double node = 125.04 - 1934.136 * t;
    const double apparentLongitude = trueLongitude - 0.00569 - 0.00478 * Sin(node);
    const double meanObliquity =
        23.0 + (26.0 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60.0) / 60.0;
    const double obliquity = meanObliquity + 0.00256 * Cos(node);
    const double declination = std::asin(Sin(obliquity) * Sin(apparentLongitude)) / kDegree;
    const double y = Tan(obliquity / 2) * Tan(obliquity / 2);
    const double equationOfTime =
        4.0 / kDegree *
        (y * Sin(2 * meanLongitude) - 2 * eccentricity * Sin(meanAnomaly) +
         4 * eccentricity * y * Sin(meanAnomaly) * Cos(2 * meanLongitude) -
         0.5 * y * y * Sin(4 * meanLongitude) -
         1.25 * eccentricity * eccentricity * Sin(2 * meanAnomaly));
    return {declination, equationOfTime};
}

// The cosine of the hour angle at which the sun's centre stands at the rising zenith.
double RiseHourAngleCosine(double latitude, double declination) {
    return Cos(kRiseZenith) / (Cos(latitude) * Cos(declination)) - Tan(latitude) * Tan(declination);
}

} // namespace

SunTimes SunriseSunset(double latitude, double longitude, const QDate &date, int utcOffsetMinutes) {
    // The sun as it stands at the local clock's noon of the date (QDate's Julian day number
    // counts from noon UT); within a day it moves too little to move a rise or set by more
    // than seconds.
    const SolarPosition sun =
        SunAt(static_cast<double>(date.toJulianDay()) - utcOffsetMinutes / 1440.0);
    const double cosine = RiseHourAngleCosine(latitude, sun.declination);
    SunTimes times;
    if (cosine > 1) {
        times.day = SunDay::PolarNight;
        return times;
    }
    if (cosine < -1) {
        times.day = SunDay::PolarDay;
        times.dayLength = MinutesPerDay;
        return times;
    }
    const double noon = 720.0 - 4.0 * longitude - sun.equationOfTime + utcOffsetMinutes;
    const double halfDay = 4.0 * std::acos(cosine) / kDegree; // four minutes a degree
    times.sunrise = noon - halfDay;
    times.sunset = noon + halfDay;
    times.dayLength = 2 * halfDay;
    return times;
}

int NearestMinuteOfDay(double minutes) {
    const long long minute = static_cast<long long>(std::floor(minutes + 0.5));
    return static_cast<int>(((minute % MinutesPerDay) + MinutesPerDay) % MinutesPerDay);
}

int NearestQuarterHour(double minutes, int shiftMinutes) {
    const long long quarter = static_cast<long long>(std::floor(minutes / MinutesPerColumn + 0.5));
    const long long shifted = quarter * MinutesPerColumn + shiftMinutes;
    return static_cast<int>(((shifted % MinutesPerDay) + MinutesPerDay) % MinutesPerDay);
}

SunLight SunLightOfDay(const SunTimes &sun, int shiftMinutes) {
    if (sun.day != SunDay::RisesAndSets)
        return {sun.day, 0, 0};
    const int start = NearestQuarterHour(sun.sunrise, shiftMinutes);
    const int end = NearestQuarterHour(sun.sunset, shiftMinutes);
    if (start == end) // less than a quarter-hour of sun, or less than one without it
        return {sun.dayLength < MinutesPerDay / 2 ? SunDay::PolarNight : SunDay::PolarDay, 0, 0};
    return {SunDay::RisesAndSets, start, end};
}

int UtcOffsetOn(const QDate &date, const QTimeZone &zone) {
    return QDateTime(date, QTime(12, 0), zone).offsetFromUtc() / 60;
}

DayCurve DaylightUnder(SunDay day, const DaylightParams &params) {
    switch (day) {
    case SunDay::PolarDay:
        return Filled(params.peak);
    case SunDay::PolarNight:
        return Filled(params.base);
    case SunDay::RisesAndSets:
        break;
    }
    return Daylight(params);
}

QString ClockText(int minuteOfDay) {
    return QStringLiteral("%1:%2")
        .arg(minuteOfDay / 60, 2, 10, QLatin1Char('0'))
        .arg(minuteOfDay % 60, 2, 10, QLatin1Char('0'));
}

QString DurationText(double minutes) {
    return ClockTime(static_cast<int>(std::floor(minutes + 0.5)));
}

QString UtcOffsetText(int minutes) {
    const int size = std::abs(minutes);
    return QStringLiteral("%1%2:%3")
        .arg(minutes < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(size / 60, 2, 10, QLatin1Char('0'))
        .arg(size % 60, 2, 10, QLatin1Char('0'));
}

} // namespace dim
