#include "cli/tool.h"

#include "texts/texts.h"
#include "view/chartpainter.h"
#include "view/fonts.h"
#include "view/sheet.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
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

// The picture format an output's name asks for: its suffix, PNG without one and for
// standard output; nothing when the toolkit has no writer for it.
std::optional<QByteArray> PictureFormat(const QString &output) {
    const QString name = NameOf(output);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (IsStandardStream(output) || dot <= 0)
        return QByteArrayLiteral("png");
    const QByteArray suffix = name.mid(dot + 1).toLower().toLatin1();
    if (!QImageWriter::supportedImageFormats().contains(suffix))
        return std::nullopt;
    return suffix;
}

int RunRender(Tool &tool, const QCommandLineParser &parser) {
    const QString output = parser.value(QStringLiteral("output"));
    if (output.isEmpty())
        return tool.usageError(QStringLiteral("missing -o CHART.png"));
    const std::optional<QByteArray> format = PictureFormat(output);
    if (!format) {
        QStringList known;
        for (const QByteArray &writable : QImageWriter::supportedImageFormats())
            known << QString::fromLatin1(writable);
        return tool.usageError(QStringLiteral("cannot write the picture format of \"%1\"; "
                                              "name a file ending in one of: %2")
                                   .arg(ShownInput(NameOf(output)), known.join(QLatin1Char(' '))));
    }
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

    const std::optional<QString> input = tool.singleFile(parser, QStringLiteral("FILE.DIM"));
    if (!input)
        return ExitUsage;
    if (const std::optional<int> refused = tool.refuseSameFile({*input}, {output}))
        return *refused;
    CurveData data;
    FileSettings settings;
    if (const std::optional<int> failed = tool.openCurveFile(*input, data, settings))
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

    QByteArray encoded;
    QBuffer buffer(&encoded);
    QImageWriter writer(&buffer, *format);
    if (!buffer.open(QIODevice::WriteOnly) || !writer.write(image)) {
        tool.say(QStringLiteral("the chart could not be encoded as %1: %2")
                     .arg(QString::fromLatin1(format->toUpper()), writer.errorString()));
        return ExitSoftware;
    }
    return tool.writeOutput(output, encoded);
}

} // namespace

const Command &RenderCommand() {
    static const Command command{
        QStringLiteral("render"),
        QStringLiteral("Draws the chart as a picture."),
        QStringLiteral("Draws the chart of a curve file as the editor shows it and saves it "
                       "as a picture in the format its name ends in (.png, .jpg, .bmp, ...; "
                       "PNG for a name without one and for standard output)."),
        QStringLiteral("-o CHART.png FILE.DIM"),
        [](QCommandLineParser &parser) {
            DeclareOutput(parser,
                          QStringLiteral("The picture to write (-: PNG on standard output)."),
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
            DeclareCurveFile(parser, QStringLiteral("The curve file to draw (-: standard input)."));
        },
        RunRender,
        {},
        true};
    return command;
}

} // namespace dim::cli
