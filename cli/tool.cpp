#include "cli/tool.h"

#include "texts/texts.h"

#include <QCommandLineOption>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cstdlib>

#include <sys/stat.h>

namespace dim::cli {

namespace {

const QString kProgram = QStringLiteral("dimtool");

const QCommandLineOption kHelpOption({QStringLiteral("h"), QStringLiteral("help")},
                                     QStringLiteral("Displays this help."));
const QCommandLineOption kVersionOption({QStringLiteral("v"), QStringLiteral("version")},
                                        QStringLiteral("Displays the version."));

// The help's line width, as the parser wraps the option texts.
constexpr int kHelpWidth = 79;
// The column of the command names in the command list: the longest and two spaces.
constexpr int kNameWidth = 11;

// Text broken into lines of at most width characters, between words: the parser wraps its
// option texts but not the description.
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

// An option's name as the user writes it.
QString Dashed(const QString &name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// Whether two paths name one file: the file itself, whatever links lead to it, however its
// path is spelt and under whichever of its names. Asked of the system directly: a path that
// names no file on it names no input.
bool SameFile(const QString &a, const QString &b) {
    struct stat statA;
    struct stat statB;
    return ::stat(EncodePath(a).constData(), &statA) == 0 &&
           ::stat(EncodePath(b).constData(), &statB) == 0 && statA.st_dev == statB.st_dev &&
           statA.st_ino == statB.st_ino;
}

// Why the editor rejects a curve file that starts with these bytes.
QString Rejection(const QByteArray &start) {
    QString reason = QStringLiteral("not a curve file");
    if (start.size() >= 3)
        reason += QStringLiteral(": first header is %1, %2, %3")
                      .arg(static_cast<uint8_t>(start[0]))
                      .arg(static_cast<uint8_t>(start[1]))
                      .arg(static_cast<uint8_t>(start[2]));
    return reason;
}

const QString kStandardInput = QStringLiteral("standard input");
const QString kStandardOutput = QStringLiteral("standard output");

} // namespace

bool IsStandardStream(const QString &path) {
    return path == QStringLiteral("-");
}

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

void DeclareSel(QCommandLineParser &parser) {
    parser.addOption(QCommandLineOption(
        QStringLiteral("sel"), QStringLiteral("Also writes SEL.DAT beside the curve file, with "
                                              "the time of day, as the editor's Save does.")));
}

void DeclareChannel(QCommandLineParser &parser, const QString &description) {
    parser.addOption(
        QCommandLineOption(QStringLiteral("channel"), description, QStringLiteral("N")));
}

namespace {

const QString kLatitude = QStringLiteral("lat");
const QString kLongitude = QStringLiteral("lon");
const QString kDate = QStringLiteral("date");
const QString kUtcOffset = QStringLiteral("utc-offset");

} // namespace

void DeclareSunQuestion(QCommandLineParser &parser) {
    parser.addOption(QCommandLineOption(
        kLatitude, QStringLiteral("The latitude in degrees, -90..90, north positive."),
        QStringLiteral("DEG")));
    parser.addOption(QCommandLineOption(
        kLongitude, QStringLiteral("The longitude in degrees, -180..180, east positive."),
        QStringLiteral("DEG")));
    parser.addOption(QCommandLineOption(
        kDate, QStringLiteral("The date, %1..%2.").arg(FirstSunYear).arg(LastSunYear),
        QStringLiteral("YYYY-MM-DD")));
    parser.addOption(QCommandLineOption(
        kUtcOffset,
        QStringLiteral("The clock's offset from UTC, -14:00..+14:00 (default: this system's "
                       "time zone on that date)."),
        QStringLiteral("+HH:MM")));
}

bool AsksTheSun(const QCommandLineParser &parser) {
    return parser.isSet(kLatitude) || parser.isSet(kLongitude) || parser.isSet(kDate) ||
           parser.isSet(kUtcOffset);
}

const std::vector<const Command *> &Tool::commands() {
    static const std::vector<const Command *> list{
        &InfoCommand(),      &ExportCommand(), &ImportCommand(),    &EditCommand(),
        &DaylightCommand(),  &SunCommand(),    &AcclimateCommand(), &RenderCommand(),
        &ThumbnailCommand(), &CheckCommand()};
    return list;
}

bool DrawsText(const QStringList &args) {
    // The command is the first word that is no option: the program's own options take no
    // values.
    const auto word = std::find_if(args.begin(), args.end(), [](const QString &arg) {
        return !arg.startsWith(QLatin1Char('-'));
    });
    const Command *command = word == args.end() ? nullptr : Tool::find(*word);
    return command && command->drawsText;
}

const Command *Tool::find(const QString &name) {
    for (const Command *command : commands()) {
        if (command->name == name)
            return command;
    }
    return nullptr;
}

QString Tool::mainHelp() const {
    QString text = QStringLiteral("Usage: %1 COMMAND [options] [arguments]\n"
                                  "Reads, converts, checks, draws and plans the curve files "
                                  "(.DIM) of the dimming\neditor: four channels (white, blue, "
                                  "clouds, moon) of 96 quarter-hour levels 0..255.\n"
                                  "A file name of - is standard input or output.\n\nCommands:\n")
                       .arg(kProgram);
    for (const Command *command : commands())
        text += QStringLiteral("  %1%2\n").arg(command->name, -kNameWidth).arg(command->summary);
    text +=
        QStringLiteral("  %1%2\n")
            .arg(QStringLiteral("help"), -kNameWidth)
            .arg(QStringLiteral("Shows this help, or a command's: %1 help COMMAND.").arg(kProgram));
    text += QStringLiteral(
                "\nOptions:\n"
                "  -h, --help     Displays this help.\n"
                "  -v, --version  Displays the version.\n"
                "\nEach command has its own help: %1 COMMAND --help.\n"
                "Exit status: 0 done, 64 bad command line, 65 bad input data, 70 the built-in\n"
                "artwork or a picture encoder failed, 74 input/output error; check answers 0\n"
                "(loads), 1 (rejected) or 2 (input/output error).\n")
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

int Tool::usageError(const QString &problem) {
    return usageError(m_current->name, problem);
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
    // A value given twice would silently replace the first: the user meant one of them.
    QSet<QString> checked;
    const QStringList names = parser.optionNames();
    for (const QString &name : names) {
        if (checked.contains(name) || command.repeatable.contains(name))
            continue;
        checked.insert(name);
        const qsizetype values = parser.values(name).size();
        if ((values == 0 ? names.count(name) : values) > 1)
            return usageError(
                command.name,
                QStringLiteral("%1 is given more than once; give it once").arg(Dashed(name)));
    }
    m_current = &command;
    return command.run(*this, parser);
}

std::optional<QString> Tool::singleFile(const QCommandLineParser &parser, const QString &what) {
    const QStringList files = parser.positionalArguments();
    if (files.size() == 1)
        return files.front();
    if (files.isEmpty())
        usageError(QStringLiteral("missing %1").arg(what));
    else
        usageError(QStringLiteral("expected one %1, found %2 arguments: %3")
                       .arg(what)
                       .arg(files.size())
                       .arg(ShownInput(files.join(QLatin1Char(' ')))));
    return std::nullopt;
}

void Tool::report(const QString &path, const QString &message) {
    m_err << kProgram << ": " << ShownInput(path, -1) << ": " << message << '\n';
}

void Tool::say(const QString &message) {
    m_err << kProgram << ": " << message << '\n';
}

int Tool::ioError(const QString &path, const IoError &error) {
    report(path, ErrorBoxText(IoErrorMessage(error, m_env.language)));
    return ExitIoError;
}

QString Tool::rejection(const QString &path) {
    try {
        return Rejection(ReadFileStart(m_env.fileSystem, path, 3));
    } catch (const IoError &) {
        // The file went away since it was loaded: the reason stays without its header.
        return Rejection({});
    }
}

std::optional<int> Tool::openCurveFile(const QCommandLineParser &parser, CurveData &data,
                                       FileSettings &settings) {
    const std::optional<QString> path = singleFile(parser, QStringLiteral("FILE.DIM"));
    if (!path)
        return ExitUsage;
    return openCurveFile(*path, data, settings);
}

std::optional<int> Tool::openCurveFile(const QString &path, CurveData &data,
                                       FileSettings &settings) {
    if (IsStandardStream(path)) {
        const std::variant<QByteArray, int> bytes = readFileStart(path, DimFileMaxReadBytes);
        if (const int *failed = std::get_if<int>(&bytes))
            return *failed;
        const QByteArray &read = std::get<QByteArray>(bytes);
        const auto parsed = ParseDimFile(read);
        if (const auto *content = std::get_if<DimContent>(&parsed)) {
            ApplyDimContent(*content, data, settings);
            return std::nullopt;
        }
        if (const auto *error = std::get_if<IoError>(&parsed))
            return ioError(kStandardInput, *error);
        report(kStandardInput, Rejection(read));
        return ExitDataError;
    }
    try {
        if (LoadDimFile(m_env.fileSystem, path, data, settings) == LoadResult::Loaded)
            return std::nullopt;
    } catch (const IoError &error) {
        return ioError(path, error);
    }
    report(path, rejection(path));
    return ExitDataError;
}

std::optional<int> Tool::integerOption(const QCommandLineParser &parser, const QString &name,
                                       int minimum, int maximum) {
    return integerValue(name, parser.value(name), minimum, maximum);
}

std::optional<int> Tool::integerValue(const QString &name, const QString &text, int minimum,
                                      int maximum) {
    static const QRegularExpression pattern(QStringLiteral("^[-+]?[0-9]+$"));
    if (!pattern.match(text).hasMatch()) {
        usageError(QStringLiteral("malformed --%1 \"%2\"; expected a whole number")
                       .arg(name, ShownInput(text)));
        return std::nullopt;
    }
    bool fits = false;
    const qlonglong value = text.toLongLong(&fits);
    if (!fits || value < minimum || value > maximum) {
        usageError(QStringLiteral("--%1 %2 is out of range %3..%4")
                       .arg(name, ShownInput(text))
                       .arg(minimum)
                       .arg(maximum));
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::optional<double> Tool::decimalOption(const QCommandLineParser &parser, const QString &name,
                                          double minimum, double maximum) {
    const QString text = parser.value(name);
    static const QRegularExpression pattern(
        QStringLiteral("^[-+]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    if (!pattern.match(text).hasMatch()) {
        usageError(QStringLiteral("malformed --%1 \"%2\"; expected a decimal number such as "
                                  "-33.87")
                       .arg(name, ShownInput(text)));
        return std::nullopt;
    }
    const double value = text.toDouble();
    if (value < minimum || value > maximum) {
        usageError(QStringLiteral("--%1 %2 is out of range %3..%4")
                       .arg(name, ShownInput(text))
                       .arg(minimum)
                       .arg(maximum));
        return std::nullopt;
    }
    return value;
}

std::optional<SunQuestion> Tool::sunQuestion(const QCommandLineParser &parser) {
    for (const QString &name : {kLatitude, kLongitude, kDate}) {
        if (!parser.isSet(name)) {
            usageError(QStringLiteral("missing --%1").arg(name));
            return std::nullopt;
        }
    }
    SunQuestion question;
    const std::optional<double> latitude =
        decimalOption(parser, kLatitude, -MaxLatitude, MaxLatitude);
    if (!latitude)
        return std::nullopt;
    const std::optional<double> longitude =
        decimalOption(parser, kLongitude, -MaxLongitude, MaxLongitude);
    if (!longitude)
        return std::nullopt;
    question.latitude = *latitude;
    question.longitude = *longitude;

    const QString dateText = parser.value(kDate);
    static const QRegularExpression datePattern(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    question.date = QDate::fromString(dateText, Qt::ISODate);
    if (!datePattern.match(dateText).hasMatch() || !question.date.isValid()) {
        usageError(QStringLiteral("malformed --date \"%1\"; expected YYYY-MM-DD")
                       .arg(ShownInput(dateText)));
        return std::nullopt;
    }
    if (question.date.year() < FirstSunYear || question.date.year() > LastSunYear) {
        usageError(QStringLiteral("--date %1 is out of range %2..%3; the sun's equations hold "
                                  "for those years")
                       .arg(dateText)
                       .arg(FirstSunYear)
                       .arg(LastSunYear));
        return std::nullopt;
    }

    if (!parser.isSet(kUtcOffset)) {
        question.utcOffsetMinutes = UtcOffsetOn(question.date, m_env.timeZone);
        return question;
    }
    const QString offsetText = parser.value(kUtcOffset);
    static const QRegularExpression offsetPattern(
        QStringLiteral("^([-+]?)([0-9]{1,2})(?::([0-9]{2}))?$"));
    const QRegularExpressionMatch offset = offsetPattern.match(offsetText);
    const int hours = offset.captured(2).toInt();
    const int minutes = offset.captured(3).toInt();
    if (!offset.hasMatch() || minutes >= 60) {
        usageError(QStringLiteral("malformed --utc-offset \"%1\"; expected +HH:MM or -HH:MM")
                       .arg(ShownInput(offsetText)));
        return std::nullopt;
    }
    const int total = (hours * 60 + minutes) * (offset.captured(1) == QStringLiteral("-") ? -1 : 1);
    if (std::abs(total) > MaxUtcOffsetMinutes) {
        usageError(QStringLiteral("--utc-offset %1 is out of range -14:00..+14:00")
                       .arg(ShownInput(offsetText)));
        return std::nullopt;
    }
    question.utcOffsetMinutes = total;
    return question;
}

std::variant<QByteArray, int> Tool::readFileStart(const QString &path, int maxBytes) {
    if (!IsStandardStream(path)) {
        try {
            return ReadFileStart(m_env.fileSystem, path, maxBytes);
        } catch (const IoError &error) {
            return ioError(path, error);
        }
    }
    // Read as a file is: up to maxBytes or the end, whichever comes first; a read blocks
    // until there is something, and gives nothing only at the end.
    QByteArray bytes(maxBytes, '\0');
    qint64 done = 0;
    while (m_env.input && done < maxBytes) {
        const qint64 n = m_env.input->read(bytes.data() + done, maxBytes - done);
        if (n < 0) {
            report(kStandardInput, QStringLiteral("cannot read"));
            return ExitIoError;
        }
        if (n == 0)
            break;
        done += n;
    }
    if (!m_env.input) {
        report(kStandardInput, QStringLiteral("cannot read"));
        return ExitIoError;
    }
    bytes.truncate(done);
    return bytes;
}

std::optional<int> Tool::refuseSameFile(const QStringList &inputs, const QStringList &outputs) {
    for (const QString &output : outputs) {
        for (const QString &input : inputs) {
            if (IsStandardStream(input) || IsStandardStream(output) || !SameFile(input, output))
                continue;
            return usageError(QStringLiteral("the output %1 is the input %2; write to another "
                                             "file (nothing written)")
                                  .arg(ShownInput(output, -1), ShownInput(input, -1)));
        }
    }
    return std::nullopt;
}

QStringList Tool::curveOutputs(const QCommandLineParser &parser, const QString &output) {
    QStringList outputs{output};
    if (parser.isSet(QStringLiteral("sel")))
        outputs << FolderOf(output) + QStringLiteral("SEL.DAT");
    return outputs;
}

std::optional<QString> Tool::outputOption(const QCommandLineParser &parser, const QString &what) {
    const QString output = parser.value(QStringLiteral("output"));
    if (output.isEmpty()) {
        usageError(QStringLiteral("missing -o %1").arg(what));
        return std::nullopt;
    }
    if (IsStandardStream(output) && parser.isSet(QStringLiteral("sel"))) {
        usageError(QStringLiteral("--sel writes SEL.DAT beside the curve file; standard output "
                                  "has no folder"));
        return std::nullopt;
    }
    return output;
}

int Tool::writeCurveFile(const QCommandLineParser &parser, const QString &output,
                         const CurveData &data, const FileSettings &settings) {
    if (IsStandardStream(output))
        return writeStandardOutput(DimFileBytes(data, settings));
    const bool sel = parser.isSet(QStringLiteral("sel"));
    try {
        if (sel)
            SaveDimFile(m_env.fileSystem, m_env.clock, output, data, settings, Settings());
        else
            WriteFileReplacing(m_env.fileSystem, output, DimFileBytes(data, settings));
    } catch (const IoError &error) {
        return ioError(sel ? output + QStringLiteral(" (with SEL.DAT)") : output, error);
    }
    return ExitOk;
}

int Tool::writeOutput(const QString &path, const QByteArray &bytes) {
    if (IsStandardStream(path))
        return writeStandardOutput(bytes);
    try {
        WriteFileReplacing(m_env.fileSystem, path, bytes);
    } catch (const IoError &error) {
        return ioError(path, error);
    }
    return ExitOk;
}

int Tool::writeStandardOutput(const QByteArray &bytes) {
    // Bytes as they are: the text stream would encode them.
    m_out.flush();
    if (QIODevice *device = m_out.device()) {
        if (device->write(bytes) != bytes.size()) {
            report(kStandardOutput, QStringLiteral("cannot write"));
            return ExitIoError;
        }
    } else if (QString *text = m_out.string()) {
        text->append(QString::fromLatin1(bytes)); // one character per byte
    }
    return ExitOk;
}

int SystemLanguage() {
    for (const QString &tag : QLocale::system().uiLanguages()) {
        const QString code = tag.left(2).toLower();
        const auto it =
            std::find_if(LanguageCodes.begin(), LanguageCodes.end(),
                         [&code](const char *known) { return code == QLatin1String(known); });
        if (it != LanguageCodes.end())
            return static_cast<int>(it - LanguageCodes.begin());
    }
    return 1;
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

} // namespace dim::cli
