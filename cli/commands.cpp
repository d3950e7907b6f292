#include "cli/commands.h"

#include "texts/texts.h"
#include "view/chartpainter.h"
#include "view/fonts.h"
#include "view/sheet.h"

#include <QBuffer>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QLocale>
#include <QPalette>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <optional>
#include <vector>

namespace {

const QString kProgram = QStringLiteral("dimtool");

// The channels of a curve file in file order (rows 1..4 of the level table), under the
// names the text formats give them.
const std::array<QString, FileChannels> kChannelNames{
    QStringLiteral("white"), QStringLiteral("blue"), QStringLiteral("clouds"),
    QStringLiteral("moon")};

const QString kCsvHeader = QStringLiteral("time,white,blue,clouds,moon");

// An import file larger than this is no export of a day of curves.
constexpr int kMaxImportBytes = 1 << 20;

// The three settings a curve file stores, under their JSON keys.
struct StoredSetting {
    QString key;
    ScrollSetting Settings::*member;
};
const std::array<StoredSetting, 3> kStoredSettings{
    StoredSetting{QStringLiteral("cloudSpeed"), &Settings::SBWolkenT},
    StoredSetting{QStringLiteral("cloudIntensity"), &Settings::SBWolkenA},
    StoredSetting{QStringLiteral("moonChange"), &Settings::SBMondA}};

// Minutes since midnight of a well-formed "HH:MM", nullopt for anything else.
std::optional<int> ParseTime(const QString &text) {
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{2}):([0-9]{2})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int hour = match.captured(1).toInt();
    const int minute = match.captured(2).toInt();
    if (hour > 23 || minute > 59)
        return std::nullopt;
    return hour * 60 + minute;
}

// The problem with the time of row `column`, empty when it is the expected quarter-hour.
QString TimeProblem(const QString &text, int column) {
    const std::optional<int> minutes = ParseTime(text);
    if (!minutes)
        return QStringLiteral("malformed time \"%1\" (expected HH:MM)").arg(ShownInput(text));
    if (*minutes != column * 15)
        return QStringLiteral("expected time %1, found %2")
            .arg(QuarterHourText(column), ShownInput(text));
    return {};
}

// A level or the problem with it.
using LevelOrProblem = std::variant<int, QString>;

LevelOrProblem RangeChecked(const QString &what, double value, const QString &shown, int min,
                            int max) {
    if (!std::isfinite(value) || value != std::trunc(value))
        return QStringLiteral("%1 %2 is not an integer").arg(what, shown);
    if (value < min || value > max)
        return QStringLiteral("%1 %2 is out of range %3..%4").arg(what, shown).arg(min).arg(max);
    return static_cast<int>(value);
}

LevelOrProblem CsvLevel(const QString &channel, const QString &text) {
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    const QString what = channel + QStringLiteral(" level");
    if (!integer.match(text).hasMatch())
        return QStringLiteral("%1 \"%2\" is not an integer").arg(what, ShownInput(text));
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok) // more digits than any integer type holds
        return QStringLiteral("%1 %2 is out of range 0..%3")
            .arg(what, ShownInput(text))
            .arg(MaxLevel);
    return RangeChecked(what, static_cast<double>(value), text, 0, MaxLevel);
}

// How a JSON value is named in a message.
QString Shown(const QJsonValue &value) {
    switch (value.type()) {
    case QJsonValue::Double:
        return QString::number(value.toDouble(), 'g', 17);
    case QJsonValue::String:
        return QLatin1Char('"') + ShownInput(value.toString()) + QLatin1Char('"');
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Array:
        return QStringLiteral("(an array)");
    case QJsonValue::Object:
        return QStringLiteral("(an object)");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("(undefined)");
}

LevelOrProblem JsonInteger(const QString &what, const QJsonValue &value, int min, int max) {
    if (!value.isDouble())
        return QStringLiteral("%1 %2 is not an integer").arg(what, Shown(value));
    return RangeChecked(what, value.toDouble(), Shown(value), min, max);
}

ImportError AtLine(int line, const QString &problem) {
    return ImportError{QStringLiteral("line %1").arg(line), problem};
}

std::array<uint8_t, 3> DefaultStoredSettings() {
    const Settings defaults;
    std::array<uint8_t, 3> values{};
    for (size_t i = 0; i < kStoredSettings.size(); ++i)
        values[i] = static_cast<uint8_t>((defaults.*kStoredSettings[i].member).position());
    return values;
}

} // namespace

QString ImportError::message() const {
    return location.isEmpty() ? problem : location + QStringLiteral(": ") + problem;
}

QString QuarterHourText(int column) {
    return QStringLiteral("%1:%2")
        .arg(column / 4, 2, 10, QLatin1Char('0'))
        .arg(column % 4 * 15, 2, 10, QLatin1Char('0'));
}

ImportResult ParseCurveCsv(const QByteArray &bytes) {
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xfeff))) // a byte-order mark some spreadsheets write
        text.remove(0, 1);
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return AtLine(
            1, QStringLiteral("the file is empty; expected the header \"%1\"").arg(kCsvHeader));

    QStringList header = lines.front().split(QLatin1Char(','));
    for (QString &field : header)
        field = field.trimmed();
    if (header.join(QLatin1Char(',')).compare(kCsvHeader, Qt::CaseInsensitive) != 0)
        return AtLine(1, QStringLiteral("bad header \"%1\"; expected \"%2\"")
                             .arg(ShownInput(lines.front().trimmed()), kCsvHeader));

    DimContent content;
    content.settings = DefaultStoredSettings();
    const int rows = static_cast<int>(lines.size()) - 1;
    for (int k = 0; k < rows; ++k) {
        const int line = k + 2;
        if (k == FilePoints)
            return AtLine(line, QStringLiteral("more than %1 data rows").arg(FilePoints));
        QStringList fields = lines[k + 1].split(QLatin1Char(','));
        if (fields.size() != 1 + FileChannels)
            return AtLine(line, QStringLiteral("expected %1 columns, found %2")
                                    .arg(1 + FileChannels)
                                    .arg(fields.size()));
        for (QString &field : fields)
            field = field.trimmed();
        if (const QString problem = TimeProblem(fields[0], k); !problem.isEmpty())
            return AtLine(line, problem);
        for (size_t n = 0; n < FileChannels; ++n) {
            const LevelOrProblem level =
                CsvLevel(kChannelNames[n], fields[static_cast<int>(n) + 1]);
            if (const auto *problem = std::get_if<QString>(&level))
                return AtLine(line, *problem);
            content.levels[n][static_cast<size_t>(k)] = static_cast<uint8_t>(std::get<int>(level));
        }
    }
    if (rows < FilePoints)
        return AtLine(static_cast<int>(lines.size()) + 1,
                      QStringLiteral("the file ends after %1 data rows; expected %2")
                          .arg(rows)
                          .arg(FilePoints));
    return content;
}

ImportResult ParseCurveJson(const QByteArray &bytes) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return ImportError{QStringLiteral("offset %1").arg(parseError.offset),
                           QStringLiteral("bad JSON: ") + parseError.errorString()};
    if (!document.isObject())
        return ImportError{{}, QStringLiteral("the JSON document is not an object")};
    const QJsonObject root = document.object();

    DimContent content;
    std::array<uint8_t, 3> settings{};
    const Settings ranges;
    for (size_t i = 0; i < kStoredSettings.size(); ++i) {
        const StoredSetting &stored = kStoredSettings[i];
        if (!root.contains(stored.key))
            return ImportError{{}, QStringLiteral("missing key \"%1\"").arg(stored.key)};
        const ScrollSetting &range = ranges.*stored.member;
        const LevelOrProblem value =
            JsonInteger(stored.key, root.value(stored.key), range.Min, range.Max);
        if (const auto *problem = std::get_if<QString>(&value))
            return ImportError{{}, *problem};
        settings[i] = static_cast<uint8_t>(std::get<int>(value));
    }
    content.settings = settings;

    const QString pointsKey = QStringLiteral("points");
    if (!root.contains(pointsKey))
        return ImportError{{}, QStringLiteral("missing key \"points\"")};
    if (!root.value(pointsKey).isArray())
        return ImportError{pointsKey, QStringLiteral("not an array")};
    const QJsonArray points = root.value(pointsKey).toArray();
    if (points.size() != FilePoints)
        return ImportError{
            pointsKey,
            QStringLiteral("expected %1 points, found %2").arg(FilePoints).arg(points.size())};
    for (int k = 0; k < FilePoints; ++k) {
        const QString where = QStringLiteral("points[%1]").arg(k);
        if (!points.at(k).isObject())
            return ImportError{where, QStringLiteral("not an object")};
        const QJsonObject point = points.at(k).toObject();
        const QString timeKey = QStringLiteral("time");
        if (!point.contains(timeKey))
            return ImportError{where, QStringLiteral("missing key \"time\"")};
        if (!point.value(timeKey).isString())
            return ImportError{
                where,
                QStringLiteral("time %1 is not a text \"HH:MM\"").arg(Shown(point.value(timeKey)))};
        if (const QString problem = TimeProblem(point.value(timeKey).toString(), k);
            !problem.isEmpty())
            return ImportError{where, problem};
        for (size_t n = 0; n < FileChannels; ++n) {
            const QString &name = kChannelNames[n];
            if (!point.contains(name))
                return ImportError{where, QStringLiteral("missing key \"%1\"").arg(name)};
            const LevelOrProblem level =
                JsonInteger(name + QStringLiteral(" level"), point.value(name), 0, MaxLevel);
            if (const auto *problem = std::get_if<QString>(&level))
                return ImportError{where, *problem};
            content.levels[n][static_cast<size_t>(k)] = static_cast<uint8_t>(std::get<int>(level));
        }
    }
    return content;
}

QByteArray CurveCsv(const CurveData &data) {
    QByteArray text = kCsvHeader.toLatin1() + '\n';
    for (int k = 0; k < FilePoints; ++k) {
        text += QuarterHourText(k).toLatin1();
        for (size_t n = 1; n <= FileChannels; ++n)
            text += ',' + QByteArray::number(data.Levels[n][static_cast<size_t>(k)]);
        text += '\n';
    }
    return text;
}

QByteArray CurveJson(const CurveData &data, const Settings &settings) {
    QJsonObject root;
    for (const StoredSetting &stored : kStoredSettings)
        root.insert(stored.key, (settings.*stored.member).position());
    QJsonArray points;
    for (int k = 0; k < FilePoints; ++k) {
        QJsonObject point;
        point.insert(QStringLiteral("time"), QuarterHourText(k));
        for (size_t n = 0; n < FileChannels; ++n)
            point.insert(kChannelNames[n], data.Levels[n + 1][static_cast<size_t>(k)]);
        points.append(point);
    }
    root.insert(QStringLiteral("points"), points);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

namespace {

class Tool;

// One subcommand: its names for the help, the options it declares and what it runs.
struct Command {
    QString name;
    QString summary;     // its line in the command list
    QString description; // the start of its own help
    QString arguments;   // the arguments on its usage line
    std::function<void(QCommandLineParser &)> declare;
    int (Tool::*run)(const QCommandLineParser &parser);
};

const QCommandLineOption kHelpOption({QStringLiteral("h"), QStringLiteral("help")},
                                     QStringLiteral("Displays this help."));
const QCommandLineOption kVersionOption({QStringLiteral("v"), QStringLiteral("version")},
                                        QStringLiteral("Displays the version."));

void DeclareCurveFile(QCommandLineParser &parser, const QString &description) {
    parser.addPositionalArgument(QStringLiteral("FILE.DIM"), description);
}

void DeclareOutput(QCommandLineParser &parser, const QString &description, const QString &name) {
    parser.addOption(
        QCommandLineOption({QStringLiteral("o"), QStringLiteral("output")}, description, name));
}

void DeclareFormat(QCommandLineParser &parser, const QString &description) {
    parser.addOption(QCommandLineOption({QStringLiteral("f"), QStringLiteral("format")},
                                        description, QStringLiteral("csv|json")));
}

// The bands' language for a --lang code: the row of the text table.
std::optional<int> LanguageRow(const QString &code) {
    static const std::array<QString, LanguageCount> codes{
        QStringLiteral("de"), QStringLiteral("en"), QStringLiteral("fr"), QStringLiteral("es")};
    const auto it = std::find(codes.begin(), codes.end(), code.toLower());
    if (it == codes.end())
        return std::nullopt;
    return static_cast<int>(it - codes.begin());
}

constexpr int kMinRenderSide = 100;
constexpr int kMaxRenderSide = 8192;
const QString kDefaultRenderSize = QStringLiteral("1652x1050");

std::optional<QSize> ParseSize(const QString &text) {
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,5})[xX]([0-9]{1,5})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return QSize(match.captured(1).toInt(), match.captured(2).toInt());
}

// The help's line width, as the parser wraps the option texts.
constexpr int kHelpWidth = 79;

// Text broken into lines of at most width characters, between words.
QString Wrapped(const QString &text, int width) {
    QString wrapped;
    int lineLength = 0;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (lineLength > 0 && lineLength + 1 + word.size() > width) {
            wrapped += QLatin1Char('\n');
            lineLength = 0;
        } else if (lineLength > 0) {
            wrapped += QLatin1Char(' ');
            ++lineLength;
        }
        wrapped += word;
        lineLength += static_cast<int>(word.size());
    }
    return wrapped;
}

class Tool {
public:
    Tool(QTextStream &out, QTextStream &err, const DimtoolEnvironment &environment)
        : m_out(out), m_err(err), m_env(environment) {}

    int run(const QStringList &args);

    int info(const QCommandLineParser &parser);
    int exportCurves(const QCommandLineParser &parser);
    int importCurves(const QCommandLineParser &parser);
    int render(const QCommandLineParser &parser);
    int check(const QCommandLineParser &parser);
    bool ranCheck() const { return m_current && m_current->run == &Tool::check; }

private:
    static const std::vector<Command> &commands();
    static const Command *find(const QString &name);
    int runCommand(const Command &command, const QStringList &args);
    QString mainHelp() const;
    static QString commandHelp(const Command &command);
    bool parse(const Command &command, const QStringList &args, QCommandLineParser &parser);

    int usageError(const QString &command, const QString &problem);
    // The single file argument of a command; nullopt after reporting a usage error.
    std::optional<QString> singleFile(const QCommandLineParser &parser, const QString &command,
                                      const QString &what);
    int ioError(const QString &path, const IoError &error);
    QString rejection(const QString &path);
    // Loads a curve file as the editor does; on a failure reports it and gives the status.
    std::optional<int> load(const QString &path, CurveData &data, Settings &settings);

    QTextStream &m_out;
    QTextStream &m_err;
    const DimtoolEnvironment &m_env;
    const Command *m_current = nullptr;
};

const std::vector<Command> &Tool::commands() {
    static const std::vector<Command> list{
        {QStringLiteral("info"), QStringLiteral("Shows the settings and each channel's range."),
         QStringLiteral("Shows the three cloud and moon settings of a curve file and, for each "
                        "channel, its lowest and highest level and the first and last "
                        "quarter-hour above zero (\"-\" when none)."),
         QStringLiteral("FILE.DIM"),
         [](QCommandLineParser &parser) {
             DeclareCurveFile(parser, QStringLiteral("The curve file to show."));
         },
         &Tool::info},
        {QStringLiteral("export"), QStringLiteral("Writes the points as CSV or JSON."),
         QStringLiteral("Writes the 96 quarter-hour points of a curve file to standard output: "
                        "the time and the levels of white, blue, clouds and moon. CSV has a "
                        "header row; JSON also carries cloudSpeed, cloudIntensity and "
                        "moonChange."),
         QStringLiteral("FILE.DIM"),
         [](QCommandLineParser &parser) {
             DeclareFormat(parser, QStringLiteral("The output format: csv (default) or json."));
             DeclareCurveFile(parser, QStringLiteral("The curve file to export."));
         },
         &Tool::exportCurves},
        {QStringLiteral("import"), QStringLiteral("Makes a curve file from CSV or JSON."),
         QStringLiteral("Makes a curve file from the CSV or JSON that export writes. The input "
                        "must hold exactly 96 points, 00:00 to 23:45, with levels 0..255; CSV "
                        "carries no settings (cloud speed 1, the others 0). Bad input is refused "
                        "with the line or point it is on, and nothing is written. An existing "
                        "file is replaced only once the new one is complete."),
         QStringLiteral("-o OUT.DIM FILE"),
         [](QCommandLineParser &parser) {
             DeclareOutput(parser, QStringLiteral("The curve file to write."),
                           QStringLiteral("OUT.DIM"));
             DeclareFormat(parser, QStringLiteral("The input format: csv or json (default: "
                                                  "from the input's extension)."));
             parser.addOption(QCommandLineOption(
                 QStringLiteral("sel"),
                 QStringLiteral("Also writes SEL.DAT beside the curve file, with the time of "
                                "day, as the editor's Save does.")));
             parser.addPositionalArgument(QStringLiteral("FILE"),
                                          QStringLiteral("The .csv or .json file to read."));
         },
         &Tool::importCurves},
        {QStringLiteral("render"), QStringLiteral("Draws the chart as a PNG picture."),
         QStringLiteral("Draws the chart of a curve file as the editor shows it and saves it "
                        "as a PNG picture."),
         QStringLiteral("-o CHART.png FILE.DIM"),
         [](QCommandLineParser &parser) {
             DeclareOutput(parser, QStringLiteral("The PNG file to write."),
                           QStringLiteral("CHART.png"));
             parser.addOption(QCommandLineOption(
                 QStringLiteral("size"),
                 QStringLiteral("The picture's size in pixels, each side %1..%2 (default %3).")
                     .arg(kMinRenderSide)
                     .arg(kMaxRenderSide)
                     .arg(kDefaultRenderSize),
                 QStringLiteral("WxH"), kDefaultRenderSize));
             parser.addOption(QCommandLineOption(
                 QStringLiteral("lang"),
                 QStringLiteral("The language of the band captions: de (default), en, fr or "
                                "es."),
                 QStringLiteral("de|en|fr|es"), QStringLiteral("de")));
             DeclareCurveFile(parser, QStringLiteral("The curve file to draw."));
         },
         &Tool::render},
        {QStringLiteral("check"), QStringLiteral("Tells whether the editor loads a curve file."),
         QStringLiteral("Tells whether the editor loads a curve file. Exit status 0 (and \"ok\" "
                        "on standard output) when it does, 1 when it rejects the file, 2 on an "
                        "input/output error; the reason goes to standard error."),
         QStringLiteral("FILE.DIM"),
         [](QCommandLineParser &parser) {
             DeclareCurveFile(parser, QStringLiteral("The curve file to check."));
         },
         &Tool::check},
    };
    return list;
}

const Command *Tool::find(const QString &name) {
    for (const Command &command : commands()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

QString Tool::mainHelp() const {
    QString text = QStringLiteral("Usage: %1 COMMAND [options] [arguments]\n"
                                  "Reads, converts, checks and draws the curve files (.DIM) of "
                                  "the dimming editor:\nfour channels (white, blue, clouds, "
                                  "moon) of 96 quarter-hour levels 0..255.\n\nCommands:\n")
                       .arg(kProgram);
    for (const Command &command : commands())
        text += QStringLiteral("  %1%2\n").arg(command.name, -8).arg(command.summary);
    text +=
        QStringLiteral("  %1%2\n")
            .arg(QStringLiteral("help"), -8)
            .arg(QStringLiteral("Shows this help, or a command's: %1 help COMMAND.").arg(kProgram));
    text +=
        QStringLiteral(
            "\nOptions:\n"
            "  -h, --help     Displays this help.\n"
            "  -v, --version  Displays the version.\n"
            "\nEach command has its own help: %1 COMMAND --help.\n"
            "Exit status: 0 done, 64 bad command line, 65 bad input data, 74 input/output error;\n"
            "check answers 0 (loads), 1 (rejected) or 2 (input/output error).\n")
            .arg(kProgram);
    return text;
}

QString Tool::commandHelp(const Command &command) {
    QCommandLineParser parser;
    parser.setApplicationDescription(Wrapped(command.description, kHelpWidth));
    parser.addOption(kHelpOption);
    command.declare(parser);
    // The parser names the running executable on its usage line; the help names the
    // command instead.
    const QString text = parser.helpText();
    return QStringLiteral("Usage: %1 %2 [options] %3")
               .arg(kProgram, command.name, command.arguments) +
           text.mid(text.indexOf(QLatin1Char('\n')));
}

int Tool::usageError(const QString &command, const QString &problem) {
    const QString name = command.isEmpty() ? kProgram : kProgram + QLatin1Char(' ') + command;
    m_err << kProgram << ": " << (command.isEmpty() ? QString() : command + QStringLiteral(": "))
          << problem << '\n'
          << "Run \"" << name << " --help\" for its usage.\n";
    return ExitUsage;
}

int Tool::run(const QStringList &args) {
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.addOption(kHelpOption);
    parser.addOption(kVersionOption);
    if (!parser.parse(QStringList{kProgram} + args))
        return usageError({}, ShownInput(parser.errorText(), 120));
    QStringList words = parser.positionalArguments();
    if (parser.isSet(kHelpOption) && words.isEmpty()) {
        m_out << mainHelp();
        return ExitOk;
    }
    if (parser.isSet(kVersionOption)) {
        m_out << kProgram << ' ' << PROJECT_VERSION << '\n';
        return ExitOk;
    }
    if (words.isEmpty())
        return usageError({}, QStringLiteral("missing command"));

    const QString name = words.takeFirst();
    if (name == QStringLiteral("help")) {
        if (words.isEmpty() || words == QStringList{QStringLiteral("-h")} ||
            words == QStringList{QStringLiteral("--help")}) {
            m_out << mainHelp();
            return ExitOk;
        }
        if (words.size() > 1)
            return usageError({}, QStringLiteral("help takes one command at most"));
        const Command *command = find(words.front());
        if (!command)
            return usageError(
                {}, QStringLiteral("unknown command \"%1\"").arg(ShownInput(words.front())));
        m_out << commandHelp(*command);
        return ExitOk;
    }
    const Command *command = find(name);
    if (!command)
        return usageError({}, QStringLiteral("unknown command \"%1\"").arg(ShownInput(name)));
    if (parser.isSet(kHelpOption)) { // "dimtool --help export"
        m_out << commandHelp(*command);
        return ExitOk;
    }
    return runCommand(*command, words);
}

int Tool::runCommand(const Command &command, const QStringList &args) {
    QCommandLineParser parser;
    parser.addOption(kHelpOption);
    command.declare(parser);
    if (!parser.parse(QStringList{kProgram} + args))
        return usageError(command.name, ShownInput(parser.errorText(), 120));
    if (parser.isSet(kHelpOption)) {
        m_out << commandHelp(command);
        return ExitOk;
    }
    m_current = &command;
    return (this->*command.run)(parser);
}

std::optional<QString> Tool::singleFile(const QCommandLineParser &parser, const QString &command,
                                        const QString &what) {
    const QStringList files = parser.positionalArguments();
    if (files.size() == 1)
        return files.front();
    if (files.isEmpty())
        usageError(command, QStringLiteral("missing %1").arg(what));
    else
        usageError(command, QStringLiteral("expected one %1, found %2 arguments: %3")
                                .arg(what)
                                .arg(files.size())
                                .arg(ShownInput(files.join(QLatin1Char(' ')))));
    return std::nullopt;
}

int Tool::ioError(const QString &path, const IoError &error) {
    m_err << kProgram << ": " << ShownInput(path, -1) << ": "
          << ErrorBoxText(IoErrorMessage(error, m_env.language)) << '\n';
    return ExitIoError;
}

QString Tool::rejection(const QString &path) {
    QString reason = QStringLiteral("not a curve file");
    try {
        const QByteArray header = ReadFileStart(m_env.fileSystem, path, 3);
        if (header.size() == 3)
            reason += QStringLiteral(": first header is %1, %2, %3")
                          .arg(static_cast<uint8_t>(header[0]))
                          .arg(static_cast<uint8_t>(header[1]))
                          .arg(static_cast<uint8_t>(header[2]));
    } catch (const IoError &) {
        // The file went away since it was loaded: the reason stays without its header.
    }
    return reason;
}

std::optional<int> Tool::load(const QString &path, CurveData &data, Settings &settings) {
    try {
        if (LoadDimFile(m_env.fileSystem, path, data, settings) == LoadResult::Loaded)
            return std::nullopt;
    } catch (const IoError &error) {
        return ioError(path, error);
    }
    m_err << kProgram << ": " << ShownInput(path, -1) << ": " << rejection(path) << '\n';
    return ExitDataError;
}

int Tool::info(const QCommandLineParser &parser) {
    const std::optional<QString> path = singleFile(parser, m_current->name, "FILE.DIM");
    if (!path)
        return ExitUsage;
    CurveData data;
    Settings settings;
    if (const std::optional<int> failed = load(*path, data, settings))
        return *failed;

    m_out << QStringLiteral("cloud speed      %1\n").arg(settings.SBWolkenT.position())
          << QStringLiteral("cloud intensity  %1\n").arg(settings.SBWolkenA.position())
          << QStringLiteral("moon change      %1\n\n").arg(settings.SBMondA.position())
          << QStringLiteral("channel  min  max  first  last\n");
    for (size_t n = 0; n < FileChannels; ++n) {
        const LevelRow &row = data.Levels[n + 1];
        const auto begin = row.begin();
        const auto end = row.begin() + FilePoints;
        const auto [low, high] = std::minmax_element(begin, end);
        const auto lit = [](int32_t level) { return level > 0; };
        const auto first = std::find_if(begin, end, lit);
        QString firstText = QStringLiteral("-");
        QString lastText = QStringLiteral("-");
        if (first != end) {
            const auto last = std::find_if(std::make_reverse_iterator(end),
                                           std::make_reverse_iterator(begin), lit);
            firstText = QuarterHourText(static_cast<int>(first - begin));
            lastText = QuarterHourText(static_cast<int>(last.base() - 1 - begin));
        }
        m_out << QStringLiteral("%1%2  %3  %4  %5\n")
                     .arg(kChannelNames[n], -9)
                     .arg(*low, 3)
                     .arg(*high, 3)
                     .arg(firstText, -5)
                     .arg(lastText);
    }
    return ExitOk;
}

int Tool::exportCurves(const QCommandLineParser &parser) {
    const QString format = parser.value(QStringLiteral("format")).toLower();
    if (parser.isSet(QStringLiteral("format")) && format != QStringLiteral("csv") &&
        format != QStringLiteral("json"))
        return usageError(m_current->name,
                          QStringLiteral("unknown format \"%1\"; use csv or json")
                              .arg(ShownInput(parser.value(QStringLiteral("format")))));
    const std::optional<QString> path = singleFile(parser, m_current->name, "FILE.DIM");
    if (!path)
        return ExitUsage;
    CurveData data;
    Settings settings;
    if (const std::optional<int> failed = load(*path, data, settings))
        return *failed;
    m_out << QString::fromLatin1(format == QStringLiteral("json") ? CurveJson(data, settings)
                                                                  : CurveCsv(data));
    return ExitOk;
}

int Tool::importCurves(const QCommandLineParser &parser) {
    const QString command = m_current->name;
    const std::optional<QString> input = singleFile(parser, command, "input FILE");
    if (!input)
        return ExitUsage;
    const QString output = parser.value(QStringLiteral("output"));
    if (output.isEmpty())
        return usageError(command, QStringLiteral("missing -o OUT.DIM"));
    QString format = parser.value(QStringLiteral("format")).toLower();
    if (!parser.isSet(QStringLiteral("format")))
        format = QFileInfo(*input).suffix().toLower();
    if (format != QStringLiteral("csv") && format != QStringLiteral("json")) {
        if (parser.isSet(QStringLiteral("format")))
            return usageError(command,
                              QStringLiteral("unknown format \"%1\"; use csv or json")
                                  .arg(ShownInput(parser.value(QStringLiteral("format")))));
        return usageError(command, QStringLiteral("cannot tell the format of \"%1\" from its "
                                                  "name; give --format csv or --format json")
                                       .arg(ShownInput(*input, -1)));
    }

    QByteArray bytes;
    try {
        bytes = ReadFileStart(m_env.fileSystem, *input, kMaxImportBytes + 1);
    } catch (const IoError &error) {
        return ioError(*input, error);
    }
    if (bytes.size() > kMaxImportBytes) {
        m_err << kProgram << ": " << ShownInput(*input, -1) << ": larger than " << kMaxImportBytes
              << " bytes; no day of curves is that long\n";
        return ExitDataError;
    }
    const ImportResult parsed =
        format == QStringLiteral("csv") ? ParseCurveCsv(bytes) : ParseCurveJson(bytes);
    if (const auto *error = std::get_if<ImportError>(&parsed)) {
        m_err << kProgram << ": " << ShownInput(*input, -1) << ": " << error->message() << '\n';
        return ExitDataError;
    }

    CurveData data;
    Settings settings;
    ApplyDimContent(std::get<DimContent>(parsed), data, settings);
    try {
        if (parser.isSet(QStringLiteral("sel")))
            SaveDimFile(m_env.fileSystem, m_env.clock, output, data, settings);
        else
            WriteFileReplacing(m_env.fileSystem, output, DimFileBytes(data, settings));
    } catch (const IoError &error) {
        return ioError(parser.isSet(QStringLiteral("sel"))
                           ? output + QStringLiteral(" (with SEL.DAT)")
                           : output,
                       error);
    }
    return ExitOk;
}

int Tool::render(const QCommandLineParser &parser) {
    const QString command = m_current->name;
    const std::optional<QString> path = singleFile(parser, command, "FILE.DIM");
    if (!path)
        return ExitUsage;
    const QString output = parser.value(QStringLiteral("output"));
    if (output.isEmpty())
        return usageError(command, QStringLiteral("missing -o CHART.png"));
    const QString sizeText = parser.value(QStringLiteral("size"));
    const std::optional<QSize> size = ParseSize(sizeText);
    if (!size)
        return usageError(command, QStringLiteral("malformed size \"%1\"; expected WxH, e.g. %2")
                                       .arg(ShownInput(sizeText), kDefaultRenderSize));
    if (std::min(size->width(), size->height()) < kMinRenderSide ||
        std::max(size->width(), size->height()) > kMaxRenderSide)
        return usageError(command, QStringLiteral("size %1 is out of range; width and height "
                                                  "must be %2..%3")
                                       .arg(ShownInput(sizeText))
                                       .arg(kMinRenderSide)
                                       .arg(kMaxRenderSide));
    const std::optional<int> language = LanguageRow(parser.value(QStringLiteral("lang")));
    if (!language)
        return usageError(command, QStringLiteral("unknown language \"%1\"; use de, en, fr or es")
                                       .arg(ShownInput(parser.value(QStringLiteral("lang")))));
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        m_err << kProgram << ": render needs a QGuiApplication for its fonts\n";
        return ExitSoftware;
    }

    CurveData data;
    Settings settings;
    if (const std::optional<int> failed = load(*path, data, settings))
        return *failed;

    QString sheetError;
    const QImage sheet = DecodeJpeg(EmbeddedSheetJpeg(), &sheetError);
    if (sheet.isNull()) {
        m_err << kProgram << ": the built-in chart artwork cannot be read: " << sheetError << '\n';
        return ExitSoftware;
    }

    TextTable texts;
    FillTexts(texts);
    // The colours the editor takes from its palette, on the same platform.
    const QPalette palette = QGuiApplication::palette();
    const QRgb buttonFace = palette.color(QPalette::Button).rgb();
    QImage image(*size, QImage::Format_RGB32);
    image.fill(buttonFace);
    ChartState chart;
    const PaintInputs inputs{sheet,
                             data.Levels,
                             settings.udn.position(),
                             settings.udnk.position(),
                             CaptionFont(),
                             palette.color(QPalette::WindowText).rgb(),
                             buttonFace,
                             BandCaptions(texts, *language)};
    PaintCurves(image, chart, inputs, true);

    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        m_err << kProgram << ": the chart could not be encoded as PNG\n";
        return ExitSoftware;
    }
    try {
        WriteFileReplacing(m_env.fileSystem, output, png);
    } catch (const IoError &error) {
        return ioError(output, error);
    }
    return ExitOk;
}

int Tool::check(const QCommandLineParser &parser) {
    const std::optional<QString> path = singleFile(parser, m_current->name, "FILE.DIM");
    if (!path)
        return ExitUsage;
    CurveData data;
    Settings settings;
    try {
        if (LoadDimFile(m_env.fileSystem, *path, data, settings) == LoadResult::Loaded) {
            m_out << "ok\n";
            return CheckLoads;
        }
    } catch (const IoError &error) {
        ioError(*path, error);
        return CheckIoError;
    }
    m_err << kProgram << ": " << ShownInput(*path, -1) << ": " << rejection(*path) << '\n';
    return CheckRejected;
}

} // namespace

int SystemLanguage() {
    static const std::array<QString, LanguageCount> codes{
        QStringLiteral("de"), QStringLiteral("en"), QStringLiteral("fr"), QStringLiteral("es")};
    for (const QString &tag : QLocale::system().uiLanguages()) {
        const auto it = std::find(codes.begin(), codes.end(), tag.left(2).toLower());
        if (it != codes.end())
            return static_cast<int>(it - codes.begin());
    }
    return 1;
}

int RunDimtool(const QStringList &args, QTextStream &out, QTextStream &err) {
    return RunDimtool(args, out, err,
                      DimtoolEnvironment{SystemFileSystem(), SystemClock(), SystemLanguage()});
}

int RunDimtool(const QStringList &args, QTextStream &out, QTextStream &err,
               const DimtoolEnvironment &environment) {
    Tool tool(out, err, environment);
    int status = tool.run(args);
    out.flush();
    if (out.status() != QTextStream::Ok) {
        err << kProgram << ": standard output: cannot write\n";
        // check answers with its status whether the file loads, whatever became of its "ok".
        if (status == ExitOk && !tool.ranCheck())
            status = ExitIoError;
    }
    err.flush();
    return status;
}
