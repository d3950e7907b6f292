#pragma once

#include "model/clock.h"
#include "model/dimfile.h"
#include "model/filesystem.h"
#include "model/levels.h"
#include "model/settings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <variant>

// Exit statuses of dimtool, after the BSD sysexits codes.
inline constexpr int ExitOk = 0;
inline constexpr int ExitUsage = 64;     // a bad command line
inline constexpr int ExitDataError = 65; // input that is no curve data
inline constexpr int ExitSoftware = 70;  // the embedded artwork or the PNG encoder failed
inline constexpr int ExitIoError = 74;   // a file could not be read or written

// The statuses of "dimtool check", which answer the question the command asks.
inline constexpr int CheckLoads = 0;
inline constexpr int CheckRejected = 1;
inline constexpr int CheckIoError = 2;

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

// Reads the CSV that "dimtool export" writes: the header time,white,blue,clouds,moon and
// exactly 96 rows, 00:00 to 23:45 in steps of a quarter-hour, each with four levels
// 0..255. CSV carries no settings: cloud speed 1 and the other two 0.
ImportResult ParseCurveCsv(const QByteArray &text);

// Reads the JSON that "dimtool export --format json" writes: cloudSpeed (1..255),
// cloudIntensity and moonChange (0..255), and 96 points with time and four levels.
ImportResult ParseCurveJson(const QByteArray &text);

// "HH:MM" of quarter-hour column k (0..95).
QString QuarterHourText(int column);

// The 96 points of channels 1..4 as CSV with a header row.
QByteArray CurveCsv(const CurveData &data);
// The three settings and the 96 points of channels 1..4 as indented JSON.
QByteArray CurveJson(const CurveData &data, const Settings &settings);

// What the commands reach outside the process through, and the language of their
// input/output messages (a row of the text table: 0 de, 1 en, 2 fr, 3 es).
struct DimtoolEnvironment {
    FileSystem &fileSystem;
    const Clock &clock;
    int language = 1;
};

// The user's language among German, French and Spanish, English otherwise.
int SystemLanguage();

// Runs one dimtool command line (without the program name): results on out, messages on
// err, and returns the exit status; output that cannot be written is reported on err and
// gives status 74, except for check, whose status answers the file. "render" needs a
// QGuiApplication.
int RunDimtool(const QStringList &args, QTextStream &out, QTextStream &err);
int RunDimtool(const QStringList &args, QTextStream &out, QTextStream &err,
               const DimtoolEnvironment &environment);
