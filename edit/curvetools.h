#pragma once

#include "model/levels.h"

#include <QString>

#include <array>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace dim {

// The tools that reshape one channel's day: 96 levels 0..255, column c at 15 * c minutes.
// Every function here is pure; the caller writes the results through its document.
using DayCurve = std::array<int, FilePoints>;

inline constexpr int MinutesPerDay = 1440;
inline constexpr int MinutesPerColumn = 15;

// ---- Clipboard ----

// The 96 levels as one line of decimal numbers joined by commas, without spaces or newline.
// The 96 points of a channel's row, and a table with them in place of that row's.
DayCurve ChannelCurve(const LevelTable &levels, int channel);
void SetChannelCurve(LevelTable &levels, int channel, const DayCurve &curve);

QString CurveClipboardText(const DayCurve &curve);

enum class ClipboardProblem {
    Empty,      // nothing but whitespace
    EmptyField, // a comma or semicolon with no number before or after it ("1,,2", ",1", "1,")
    NotNumber,  // a field that is not a plain non-negative decimal integer ("-1", "1.5", "x")
    OutOfRange, // a number above 255, or one written with more than MaxClipboardToken digits
    TooFew,     // fewer than 96 numbers
    TooMany,    // a 97th field; reading stops there
};

// The longest field read; a longer one is refused without reading it to its end.
inline constexpr int MaxClipboardToken = 4096;

struct ClipboardRefusal {
    ClipboardProblem problem = ClipboardProblem::Empty;
    int count = 0;          // numbers accepted before the problem (TooMany: 96)
    qsizetype position = 0; // index in the text of the offending field or separator
    QString token;          // the offending field, at most MaxClipboardToken characters
};

// Reads exactly 96 numbers 0..255 (leading zeros allowed) separated by a comma, a semicolon or
// whitespace, with any whitespace around a comma or semicolon and before or after the list.
// Stops at the first problem, so the work is bounded whatever the size of the text.
std::variant<DayCurve, ClipboardRefusal> ParseCurveClipboard(const QString &text);

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
