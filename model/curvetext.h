#pragma once

#include "model/dimfile.h"
#include "model/levels.h"
#include "model/settings.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <variant>

namespace dim {

// The curve text formats: CSV (time,white,blue,clouds,moon and 96 rows) and JSON (the three
// settings and 96 points), written and read back exactly.

// A curve text larger than this is no day of curves.
inline constexpr int MaxCurveTextBytes = 1 << 20;

// Why a CSV or JSON text is not a day of curves.
struct ImportError {
    QString location; // "line 5" (CSV), "points[5]" or "offset 17" (JSON), or empty
    QString problem;
    // "line 5: white level 256 is out of range 0..255"; the problem alone without a location.
    QString message() const;
};

// A day of curves read from text: the levels of channels 1..4 and, always present, the
// three settings (cloud speed, cloud intensity, moon change).
using ImportResult = std::variant<DimContent, ImportError>;

// Reads the CSV that CurveCsv writes: the header time,white,blue,clouds,moon and exactly 96
// rows, 00:00 to 23:45 in steps of a quarter-hour, each with four levels 0..255. CSV carries
// no settings: cloud speed 1 and the other two 0.
ImportResult ParseCurveCsv(const QByteArray &text);

// Reads the JSON that CurveJson writes: cloudSpeed (1..255), cloudIntensity and moonChange
// (0..255), and 96 points with time and four levels.
ImportResult ParseCurveJson(const QByteArray &text);

// The minutes after midnight of a well-formed "HH:MM" (00:00..23:59), nullopt otherwise.
std::optional<int> ParseTimeOfDay(QStringView text);

// "HH:MM" of quarter-hour column k (0..95).
QString QuarterHourText(int column);

// ---- Levels written as text ----

// The longest number field read: a longer one is out of range, whatever its digits.
inline constexpr int MaxLevelField = 4096;

enum class LevelProblem {
    None,
    NotNumber,  // not an optional sign followed by decimal digits ("1.5", "x", "+", "")
    OutOfRange, // below 0 or above 255 ("-1", "256"), or longer than MaxLevelField
};

struct LevelField {
    LevelProblem problem = LevelProblem::None;
    int value = 0; // 0..255 when there is no problem
};

// The one rule for a level in CSV and in the clipboard line: an optional '+' (or '-'), then
// decimal digits, leading zeros allowed; the caller strips the spaces around it.
LevelField ReadLevelField(QStringView text);

// ---- The clipboard line ----

// A channel's 96 levels as one line of decimal numbers joined by commas, without spaces or
// newline.
QString CurveClipboardText(const DayCurve &curve);

enum class ClipboardProblem {
    Empty,      // nothing but whitespace
    EmptyField, // a comma or semicolon with no number before it, or two in a row ("1,,2", ",1")
    NotNumber,  // a field that is no number by ReadLevelField ("1.5", "x")
    OutOfRange, // a number outside 0..255 by ReadLevelField ("-1", "256")
    TooFew,     // fewer than 96 numbers
    TooMany,    // a 97th field; reading stops there
};

struct ClipboardRefusal {
    ClipboardProblem problem = ClipboardProblem::Empty;
    int count = 0;          // numbers accepted before the problem (TooMany: 96)
    qsizetype position = 0; // index in the text of the offending field or separator
    QString token;          // the offending field, at most MaxLevelField characters
};

// Reads exactly 96 levels (ReadLevelField) separated by a comma, a semicolon or whitespace,
// with any whitespace around a comma or semicolon and before or after the list, and one
// comma or semicolon allowed after the last number. Stops at the first problem, so the work
// is bounded whatever the size of the text.
std::variant<DayCurve, ClipboardRefusal> ParseCurveClipboard(const QString &text);

// The 96 points of channels 1..4 as CSV with a header row.
QByteArray CurveCsv(const CurveData &data);
// The three settings and the 96 points of channels 1..4 as indented JSON.
QByteArray CurveJson(const CurveData &data, const FileSettings &settings);

} // namespace dim
