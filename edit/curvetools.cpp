#include "edit/curvetools.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace dim {

namespace {

// The non-negative remainder of a by m > 0.
int Wrap(long long a, int m) {
    const long long r = a % m;
    return static_cast<int>(r < 0 ? r + m : r);
}

// Integer a / b rounded half away from zero, b > 0.
long long DivideRounded(long long a, long long b) {
    const long long q = (2 * (a < 0 ? -a : a) + b) / (2 * b);
    return a < 0 ? -q : q;
}

} // namespace

DayCurve ShiftLater(const DayCurve &curve, int quarters) {
    const int k = Wrap(quarters, FilePoints);
    DayCurve shifted{};
    for (int c = 0; c < FilePoints; ++c)
        shifted[(c + k) % FilePoints] = curve[c];
    return shifted;
}

DayCurve Scale(const DayCurve &curve, int percent) {
    const int p = std::clamp(percent, 1, 1000);
    DayCurve scaled{};
    for (int c = 0; c < FilePoints; ++c)
        scaled[c] = std::min(MaxLevel, (curve[c] * p + 50) / 100);
    return scaled;
}

DayCurve Smooth(const DayCurve &curve) {
    DayCurve smoothed{};
    for (int c = 0; c < FilePoints; ++c) {
        const int before = curve[(c + FilePoints - 1) % FilePoints];
        const int after = curve[(c + 1) % FilePoints];
        smoothed[c] = (before + 2 * curve[c] + after + 2) / 4;
    }
    return smoothed;
}

DayCurve Filled(int level) {
    DayCurve filled;
    filled.fill(std::clamp(level, 0, MaxLevel));
    return filled;
}

int LevelOfPercent(int percent) {
    return (std::clamp(percent, 0, 100) * MaxLevel + 50) / 100;
}

DaylightParams DaylightStart(int channel) {
    if (channel == FileChannels)
        return {20 * 60, 6 * 60, 60, LevelOfPercent(10), 0};
    return {8 * 60, 20 * 60, 120, MaxLevel, 0};
}

std::optional<DaylightFault> DaylightProblem(const DaylightParams &params) {
    struct Check {
        DaylightValue value;
        int given, maximum;
        bool onGrid;
    };
    const int lastColumn = MinutesPerDay - MinutesPerColumn;
    const Check checks[] = {
        {DaylightValue::Start, params.startMinutes, lastColumn, true},
        {DaylightValue::End, params.endMinutes, lastColumn, true},
        {DaylightValue::Ramp, params.rampMinutes, MinutesPerDay / 2, true},
        {DaylightValue::Peak, params.peak, MaxLevel, false},
        {DaylightValue::Base, params.base, MaxLevel, false},
    };
    for (const Check &check : checks) {
        if (check.given < 0 || check.given > check.maximum)
            return DaylightFault{check.value, false, 0, check.maximum};
        if (check.onGrid && check.given % MinutesPerColumn != 0)
            return DaylightFault{check.value, true, 0, check.maximum};
    }
    return std::nullopt;
}

DayCurve Daylight(const DaylightParams &params) {
    const int length = Wrap(params.endMinutes - params.startMinutes, MinutesPerDay);
    const int ramp = params.rampMinutes;
    DayCurve curve{};
    for (int c = 0; c < FilePoints; ++c) {
        const int d = Wrap(c * MinutesPerColumn - params.startMinutes, MinutesPerDay);
        const int u = std::min(d, length - d);
        if (d > length) {
            curve[c] = params.base;
        } else if (u >= ramp) {
            curve[c] = params.peak;
        } else {
            const double rise = (1.0 - std::cos(std::numbers::pi * u / ramp)) / 2.0;
            const double level = params.base + (params.peak - params.base) * rise;
            // The exact halves of the ramp (at a third, half and two thirds of it) come out of
            // cos a few ulps off; no other value lies within 1e-5 of a half, so nudging by 1e-9
            // rounds those halves away from zero and leaves everything else alone.
            curve[c] = static_cast<int>(std::lround(level + std::copysign(1e-9, level)));
        }
    }
    return curve;
}

std::vector<std::pair<int, int>> StrokeGapFill(int c0, int l0, int c1, int l1, int pointCount) {
    if (c0 > c1) {
        std::swap(c0, c1);
        std::swap(l0, l1);
    }
    std::vector<std::pair<int, int>> fill;
    const long long span = static_cast<long long>(c1) - c0;
    const long long first = std::max(c0 + 1LL, 0LL);
    const long long last = std::min(c1 - 1LL, pointCount - 1LL);
    for (long long c = first; c <= last; ++c) {
        const long long numerator = l0 * span + (l1 - static_cast<long long>(l0)) * (c - c0);
        fill.emplace_back(static_cast<int>(c), static_cast<int>(DivideRounded(numerator, span)));
    }
    return fill;
}

} // namespace dim
