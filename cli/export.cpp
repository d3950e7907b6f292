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
    CurveData data;
    FileSettings settings;
    if (const std::optional<int> failed = tool.openCurveFile(parser, data, settings))
        return *failed;
    tool.out() << QString::fromLatin1(format == QStringLiteral("json") ? CurveJson(data, settings)
                                                                       : CurveCsv(data));
    return ExitOk;
}

} // namespace

const Command &ExportCommand() {
    static const Command command{
        QStringLiteral("export"),
        QStringLiteral("Writes the points as CSV or JSON."),
        QStringLiteral("Writes the 96 quarter-hour points of a curve file to standard output: "
                       "the time and the levels of white, blue, clouds and moon. CSV has a "
                       "header row; JSON also carries cloudSpeed, cloudIntensity and "
                       "moonChange."),
        QStringLiteral("FILE.DIM"),
        [](QCommandLineParser &parser) {
            DeclareFormat(parser, QStringLiteral("The output format: csv (default) or json."));
            DeclareCurveFile(parser, QStringLiteral("The curve file to export."));
        },
        RunExport};
    return command;
}

} // namespace dim::cli
