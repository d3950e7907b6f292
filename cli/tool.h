#pragma once

#include "edit/sun.h"
#include "model/clock.h"
#include "model/dimfile.h"
#include "model/filesystem.h"
#include "model/levels.h"
#include "model/settings.h"

#include <QCommandLineParser>
#include <QIODevice>
#include <QImage>
#include <QString>
#include <QTextStream>
#include <QTimeZone>

#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace dim::cli {

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

// A place, a date and the offset from UTC of its clock: what the sun's times are asked for.
struct SunQuestion {
    double latitude = 0;
    double longitude = 0;
    QDate date;
    int utcOffsetMinutes = 0;
};

// What the commands reach outside the process through, and the language of their
// input/output messages (a row of the text table: 0 de, 1 en, 2 fr, 3 es).
struct DimtoolEnvironment {
    FileSystem &fileSystem;
    const Clock &clock;
    int language = 1;
    // What a file argument "-" reads; without one, "-" cannot be read.
    QIODevice *input = nullptr;
    // The zone whose offset from UTC the sun's times are given in, unless one is asked for.
    QTimeZone timeZone = QTimeZone::systemTimeZone();
};

// The file name that stands for standard input (a file to read) or standard output (a file
// to write), as with other Unix tools.
bool IsStandardStream(const QString &path);

// The user's language among German, French and Spanish, English otherwise.
int SystemLanguage();

class Tool;

// One subcommand: its names for the help, the options it declares and what it runs.
struct Command {
    QString name;
    QString summary;     // its line in the command list
    QString description; // the start of its own help
    QString arguments;   // the arguments on its usage line
    std::function<void(QCommandLineParser &)> declare;
    std::function<int(Tool &, const QCommandLineParser &)> run;
    // Options that may be given more than once; any other is refused when repeated.
    QStringList repeatable = {};
    // Whether it draws text, which needs the toolkit's fonts and with them a QGuiApplication.
    bool drawsText = false;
};

// The commands, one per file.
const Command &InfoCommand();
const Command &ExportCommand();
const Command &ImportCommand();
const Command &EditCommand();
const Command &DaylightCommand();
const Command &SunCommand();
const Command &AcclimateCommand();
const Command &RenderCommand();
const Command &ThumbnailCommand();
const Command &CheckCommand();

// Whether the command a command line runs draws text (render), so that the program
// must start the toolkit's font machinery (a QGuiApplication) rather than a QCoreApplication.
bool DrawsText(const QStringList &args);

// Runs a command line and gives the commands the steps they share: reporting, the single
// file argument, opening a curve file.
class Tool {
public:
    Tool(QTextStream &out, QTextStream &err, const DimtoolEnvironment &environment)
        : m_out(out), m_err(err), m_env(environment) {}

    int run(const QStringList &args);
    // Whether the command that ran answers with its status (check), whatever its output.
    bool ranCheck() const { return m_current == &CheckCommand(); }

    QTextStream &out() { return m_out; }
    const DimtoolEnvironment &environment() const { return m_env; }
    const QString &command() const { return m_current->name; }

    // "dimtool: COMMAND: problem" and where to find the usage; gives the usage status.
    int usageError(const QString &problem);
    // "dimtool: PATH: message" on standard error.
    void report(const QString &path, const QString &message);
    // "dimtool: message" on standard error.
    void say(const QString &message);
    // An input/output error on path in the user's language; gives status 74.
    int ioError(const QString &path, const IoError &error);
    // Why the editor rejects the curve file at path, with its first header.
    QString rejection(const QString &path);
    // The single file argument of the command; nullopt after reporting a usage error.
    std::optional<QString> singleFile(const QCommandLineParser &parser, const QString &what);
    // The single curve-file argument, loaded as the editor loads it; on a failure reports
    // it and gives the status to exit with.
    std::optional<int> openCurveFile(const QCommandLineParser &parser, CurveData &data,
                                     FileSettings &settings);
    // The curve file at path ("-": standard input), loaded as the editor loads it; on a
    // failure reports it and gives the status to exit with.
    std::optional<int> openCurveFile(const QString &path, CurveData &data, FileSettings &settings);
    // At most maxBytes from the start of the file at path ("-": standard input); on a
    // failure reports it and gives the status to exit with.
    std::variant<QByteArray, int> readFileStart(const QString &path, int maxBytes);
    // The usage error for an output that is the same file as an input (after links, other
    // spellings of its path and other names of it), or nothing. Standard input and output
    // are no files here.
    std::optional<int> refuseSameFile(const QStringList &inputs, const QStringList &outputs);
    // The files writeCurveFile writes for output: output, and SEL.DAT beside it with --sel.
    static QStringList curveOutputs(const QCommandLineParser &parser, const QString &output);
    // The whole number given to option name (without dashes), when it lies in
    // minimum..maximum; nullopt after reporting a usage error that names the option.
    std::optional<int> integerOption(const QCommandLineParser &parser, const QString &name,
                                     int minimum, int maximum);
    // The same for one of the values of an option that may be given more than once.
    std::optional<int> integerValue(const QString &name, const QString &text, int minimum,
                                    int maximum);
    // The output named by -o: nothing after reporting a usage error when it is missing, or
    // when it is "-" (standard output) together with --sel, which has no folder to go to.
    std::optional<QString> outputOption(const QCommandLineParser &parser, const QString &what);
    // The number given to option name (without dashes), a decimal fraction such as -33.87,
    // when it lies in minimum..maximum; nullopt after reporting a usage error naming it.
    std::optional<double> decimalOption(const QCommandLineParser &parser, const QString &name,
                                        double minimum, double maximum);
    // The place, date and UTC offset of --lat, --lon, --date and --utc-offset (default: the
    // environment's time zone on that date); nullopt after reporting a usage error.
    std::optional<SunQuestion> sunQuestion(const QCommandLineParser &parser);
    // Writes the exact curve file to output ("-": standard output), replacing an old one
    // only once complete, and with --sel also SEL.DAT beside it as the editor's Save does;
    // gives the exit status.
    int writeCurveFile(const QCommandLineParser &parser, const QString &output,
                       const CurveData &data, const FileSettings &settings);
    // Writes bytes to path ("-": standard output), replacing an old file only once the new
    // one is complete; gives the exit status.
    int writeOutput(const QString &path, const QByteArray &bytes);

private:
    friend bool DrawsText(const QStringList &args);
    static const std::vector<const Command *> &commands();
    static const Command *find(const QString &name);
    int runCommand(const Command &command, const QStringList &args);
    QString mainHelp() const;
    static QString commandHelp(const Command &command);
    int usageError(const QString &command, const QString &problem);
    int writeStandardOutput(const QByteArray &bytes);

    QTextStream &m_out;
    QTextStream &m_err;
    const DimtoolEnvironment &m_env;
    const Command *m_current = nullptr;
};

// Runs one dimtool command line (without the program name): results on out, messages on
// err, and returns the exit status; output that cannot be written is reported on err and
// gives status 74, except for check, whose status answers the file. The commands that draw
// text need a QGuiApplication (DrawsText).
int RunDimtool(const QStringList &args, QTextStream &out, QTextStream &err,
               const DimtoolEnvironment &environment);

// The chart's size in the editor on a full-HD screen: the pictures' full size.
inline constexpr QSize FullChartSize(1652, 1050);
// The largest side of a picture the drawing commands make.
inline constexpr int MaxPictureSide = 8192;

// The chart of data as the editor draws it, with the band captions of a language (a row of
// the text table), drawn at the size drawn and scaled smoothly to picture when that is
// another; nothing after reporting why it cannot be drawn (exit with ExitSoftware). Needs a
// QGuiApplication.
std::optional<QImage> DrawChart(Tool &tool, const CurveData &data, int language, const QSize &drawn,
                                const QSize &picture);
// The picture in a format Qt's image writers know; nothing after reporting a failure.
std::optional<QByteArray> EncodePicture(Tool &tool, const QImage &image, const QByteArray &format);

// Options that several commands declare alike.
void DeclareCurveFile(QCommandLineParser &parser, const QString &description);
void DeclareOutput(QCommandLineParser &parser, const QString &description, const QString &name);
void DeclareFormat(QCommandLineParser &parser, const QString &description);
// --sel, which writeCurveFile answers.
void DeclareSel(QCommandLineParser &parser);
// --channel N, the channel 1..4 a command writes.
void DeclareChannel(QCommandLineParser &parser, const QString &description);
// --lat, --lon, --date and --utc-offset, which sunQuestion answers.
void DeclareSunQuestion(QCommandLineParser &parser);
// Whether any of the options of DeclareSunQuestion is given.
bool AsksTheSun(const QCommandLineParser &parser);

} // namespace dim::cli
