#pragma once

#include "model/levels.h"

#include <QString>

#include <array>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace dim {

// The tools that reshape one channel's day (DayCurve: 96 levels 0..255). Every function
// here is pure; the caller writes the results through its document.

// ---- Reshaping ----

// Later by k quarter-hours: new[(c + k) mod 96] = old[c]; a negative k moves earlier and the
// day wraps around midnight.
DayCurve ShiftLater(const DayCurve &curve, int quarters);

// new = min(255, (old * percent + 50) / 100) for percent 1..1000 (clamped to that range).
DayCurve Scale(const DayCurve &curve, int percent);

// One pass of the 1-2-1 filter, wrapping around midnight:
// new[c] = (old[c - 1] + 2 * old[c] + old[c + 1] + 2) / 4.
DayCurve Smooth(const DayCurve &curve);

// Every point at level (clamped to 0..255).
DayCurve Filled(int level);

// The level of a percentage 0..100 (clamped): (q * 255 + 50) / 100.
int LevelOfPercent(int percent);

// ---- Daylight ----

// A day of light from start to end (minutes on the quarter-hour grid, 0..1425; an end before
// the start runs over midnight), rising from base to peak over the first ramp minutes
// (0..720, a multiple of 15) on a half cosine and falling back over the last ones.
struct DaylightParams {
    int startMinutes = 0;
    int endMinutes = 0;
    int rampMinutes = 0;
    int peak = MaxLevel; // level 0..255
    int base = 0;        // level 0..255
};

// Where the daylight tool starts for a channel: the moon shines by night (20:00 to 06:00,
// ramps of an hour, 10 %), the other channels by day (08:00 to 20:00, two hours, 100 %).
DaylightParams DaylightStart(int channel);

enum class DaylightValue { Start, End, Ramp, Peak, Base };

struct DaylightFault {
    DaylightValue value = DaylightValue::Start;
    bool offGrid = false; // true: not a multiple of 15 minutes; false: out of range
    int minimum = 0;      // the allowed range of that value
    int maximum = 0;
};

// The first value that is out of its range or off the quarter-hour grid, in the order
// start, end, ramp, peak, base; nothing when all are good.
std::optional<DaylightFault> DaylightProblem(const DaylightParams &params);

// The curve of good params (see DaylightProblem). For column c at t = 15c:
// L = (end - start) mod 1440, d = (t - start) mod 1440; base when d > L, otherwise with
// u = min(d, L - d): peak when u >= ramp, else base + (peak - base) * (1 - cos(pi u / ramp)) / 2
// rounded half away from zero.
DayCurve Daylight(const DaylightParams &params);

// ---- Strokes ----

// The columns a drag skipped between two successive positions (c0, l0) and (c1, l1) in one
// channel, given in either order: each column strictly between them that lies in
// 0..pointCount - 1, with the level on the straight line between the two, rounded half away
// from zero. Empty when the columns are equal or adjacent.
std::vector<std::pair<int, int>> StrokeGapFill(int c0, int l0, int c1, int l1, int pointCount);

} // namespace dim
