#include "cli/tool.h"

#include "model/curvetext.h"
#include "texts/texts.h"

namespace dim::cli {

namespace {

int RunExport(Tool &tool, const QCommandLineParser &parser) {
    const QString format = parser.value(QStringLiteral("format")).toLower();
    if (parser.isSet(QStringLiteral("format")) && format != QStringLiteral("csv") &&
        format != QStringLiteral("json"))
        return tool.usageError(QStringLiteral("unknown format \"%1\"; use csv or json")
                                   .arg(ShownInput(parser.value(QStringLiteral("format")))));
    const std::optional<QString> input = tool.singleFile(parser, QStringLiteral("FILE.DIM"));
    if (!input)
        return ExitUsage;
    const QString output = parser.isSet(QStringLiteral("output"))
                               ? parser.value(QStringLiteral("output"))
                               : QStringLiteral("-");
    if (output.isEmpty())
        return tool.usageError(QStringLiteral("-o needs a file name, or - for standard output"));
    if (const std::optional<int> refused = tool.refuseSameFile({*input}, {output}))
        return *refused;
    CurveData data;
    FileSettings settings;
    if (const std::optional<int> failed = tool.openCurveFile(*input, data, settings))
        return *failed;
    const QByteArray text =
        format == QStringLiteral("json") ? CurveJson(data, settings) : CurveCsv(data);
    if (IsStandardStream(output)) {
        tool.out() << QString::fromLatin1(text);
        return ExitOk;
    }
    return tool.writeOutput(output, text);
}

} // namespace

const Command &ExportCommand() {
    static const Command command{
        QStringLiteral("export"),
        QStringLiteral("Writes the points as CSV or JSON."),
        QStringLiteral("Writes the 96 quarter-hour points of a curve file to standard output, "
                       "or to a file with -o: the time and the levels of white, blue, clouds "
                       "and moon. CSV has a header row; JSON also carries cloudSpeed, "
                       "cloudIntensity and moonChange. An existing file is replaced only once "
                       "the new one is complete."),
        QStringLiteral("FILE.DIM"),
        [](QCommandLineParser &parser) {
            DeclareOutput(parser,
                          QStringLiteral("The file to write (default and -: standard output)."),
                          QStringLiteral("OUT"));
            DeclareFormat(parser, QStringLiteral("The output format: csv (default) or json."));
            DeclareCurveFile(parser,
                             QStringLiteral("The curve file to export (-: standard input)."));
        },
        RunExport};
    return command;
}

} // namespace dim::cli
