#include "cli/tool.h"

#include "texts/texts.h"
#include "view/chartpainter.h"
#include "view/fonts.h"
#include "view/sheet.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace dim::cli {

namespace {

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

int RunRender(Tool &tool, const QCommandLineParser &parser) {
    const QString output = parser.value(QStringLiteral("output"));
    if (output.isEmpty())
        return tool.usageError(QStringLiteral("missing -o CHART.png"));
    const QString sizeText = parser.value(QStringLiteral("size"));
    const std::optional<QSize> size = ParseSize(sizeText);
    if (!size)
        return tool.usageError(QStringLiteral("malformed size \"%1\"; expected WxH, e.g. %2")
                                   .arg(ShownInput(sizeText), kDefaultRenderSize));
    if (std::min(size->width(), size->height()) < kMinRenderSide ||
        std::max(size->width(), size->height()) > kMaxRenderSide)
        return tool.usageError(QStringLiteral("size %1 is out of range; width and height "
                                              "must be %2..%3")
                                   .arg(ShownInput(sizeText))
                                   .arg(kMinRenderSide)
                                   .arg(kMaxRenderSide));
    const std::optional<int> language = LanguageRow(parser.value(QStringLiteral("lang")));
    if (!language)
        return tool.usageError(QStringLiteral("unknown language \"%1\"; use de, en, fr or es")
                                   .arg(ShownInput(parser.value(QStringLiteral("lang")))));
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        tool.say(QStringLiteral("render needs a QGuiApplication for its fonts"));
        return ExitSoftware;
    }

    CurveData data;
    FileSettings settings;
    if (const std::optional<int> failed = tool.openCurveFile(parser, data, settings))
        return *failed;

    QString sheetError;
    const QImage sheet = DecodeJpeg(EmbeddedSheetJpeg(), &sheetError);
    if (sheet.isNull()) {
        tool.say(QStringLiteral("the built-in chart artwork cannot be read: ") + sheetError);
        return ExitSoftware;
    }

    TextTable texts;
    FillTexts(texts);
    // The colours the editor takes from its palette, on the same platform.
    const PaintInputs inputs = EditorPaintInputs(sheet, data.Levels, Settings(), texts, *language,
                                                 QGuiApplication::palette());
    QImage image(*size, QImage::Format_RGB32);
    image.fill(inputs.buttonFace);
    ChartState chart;
    PaintCurves(image, chart, inputs, true);

    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        tool.say(QStringLiteral("the chart could not be encoded as PNG"));
        return ExitSoftware;
    }
    try {
        WriteFileReplacing(tool.environment().fileSystem, output, png);
    } catch (const IoError &error) {
        return tool.ioError(output, error);
    }
    return ExitOk;
}

} // namespace

const Command &RenderCommand() {
    static const Command command{
        QStringLiteral("render"),
        QStringLiteral("Draws the chart as a PNG picture."),
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
        RunRender};
    return command;
}

} // namespace dim::cli
