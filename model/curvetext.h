#pragma once

#include "model/dimfile.h"
#include "model/levels.h"
#include "model/settings.h"

#include <QByteArray>
#include <QString>

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
std::optional<int> ParseTimeOfDay(const QString &text);

// "HH:MM" of quarter-hour column k (0..95).
QString QuarterHourText(int column);

// The 96 points of channels 1..4 as CSV with a header row.
QByteArray CurveCsv(const CurveData &data);
// The three settings and the 96 points of channels 1..4 as indented JSON.
QByteArray CurveJson(const CurveData &data, const FileSettings &settings);

} // namespace dim
