#include "cli/tool.h"

#include "model/curvetext.h"
#include "texts/texts.h"

#include <QFileInfo>

namespace dim::cli {

namespace {

int RunImport(Tool &tool, const QCommandLineParser &parser) {
    const std::optional<QString> input = tool.singleFile(parser, QStringLiteral("input FILE"));
    if (!input)
        return ExitUsage;
    const std::optional<QString> output = tool.outputOption(parser, QStringLiteral("OUT.DIM"));
    if (!output)
        return ExitUsage;
    QString format = parser.value(QStringLiteral("format")).toLower();
    if (!parser.isSet(QStringLiteral("format")))
        format = QFileInfo(*input).suffix().toLower();
    if (format != QStringLiteral("csv") && format != QStringLiteral("json")) {
        if (parser.isSet(QStringLiteral("format")))
            return tool.usageError(QStringLiteral("unknown format \"%1\"; use csv or json")
                                       .arg(ShownInput(parser.value(QStringLiteral("format")))));
        return tool.usageError(QStringLiteral("cannot tell the format of \"%1\" from its "
                                              "name; give --format csv or --format json")
                                   .arg(ShownInput(*input, -1)));
    }
    if (const std::optional<int> refused =
            tool.refuseSameFile({*input}, Tool::curveOutputs(parser, *output)))
        return *refused;

    // One byte more than a curve text may have tells an oversized input from a whole one.
    std::variant<QByteArray, int> read = tool.readFileStart(*input, MaxCurveTextBytes + 1);
    if (const int *failed = std::get_if<int>(&read))
        return *failed;
    const QByteArray &bytes = std::get<QByteArray>(read);
    if (bytes.size() > MaxCurveTextBytes) {
        tool.report(*input, QStringLiteral("larger than %1 bytes; no day of curves is that long")
                                .arg(MaxCurveTextBytes));
        return ExitDataError;
    }
    const ImportResult parsed =
        format == QStringLiteral("csv") ? ParseCurveCsv(bytes) : ParseCurveJson(bytes);
    if (const auto *error = std::get_if<ImportError>(&parsed)) {
        tool.report(*input, error->message());
        return ExitDataError;
    }

    CurveData data;
    FileSettings settings;
    ApplyDimContent(std::get<DimContent>(parsed), data, settings);
    return tool.writeCurveFile(parser, *output, data, settings);
}

} // namespace

const Command &ImportCommand() {
    static const Command command{
        QStringLiteral("import"),
        QStringLiteral("Makes a curve file from CSV or JSON."),
        QStringLiteral("Makes a curve file from the CSV or JSON that export writes. The input "
                       "must hold exactly 96 points, 00:00 to 23:45, with levels 0..255; CSV "
                       "carries no settings (cloud speed 1, the others 0). Bad input is refused "
                       "with the line or point it is on, and nothing is written. An existing "
                       "file is replaced only once the new one is complete; the input itself "
                       "is never overwritten."),
        QStringLiteral("-o OUT.DIM FILE"),
        [](QCommandLineParser &parser) {
            DeclareOutput(parser, QStringLiteral("The curve file to write (-: standard output)."),
                          QStringLiteral("OUT.DIM"));
            DeclareFormat(parser, QStringLiteral("The input format: csv or json (default: "
                                                 "from the input's extension)."));
            DeclareSel(parser);
            parser.addPositionalArgument(
                QStringLiteral("FILE"),
                QStringLiteral("The .csv or .json file to read (-: standard input, with "
                               "--format)."));
        },
        RunImport};
    return command;
}

} // namespace dim::cli
