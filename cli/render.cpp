#include "cli/tool.h"

#include "texts/texts.h"
#include "view/chartpainter.h"
#include "view/fonts.h"
#include "view/geometry.h"
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
const QString kDefaultRenderSize =
    QStringLiteral("%1x%2").arg(FullChartSize.width()).arg(FullChartSize.height());

// The smallest chart whose labels keep clear of each other: each band holds its "100%" and
// "0%" labels one above the other, and a column is wide enough for the hour labels.
constexpr QSize kSmallestClearChart(FilePoints * 4 + 20,
                                    4 * (2 * LabelCellHeight + 20) + AxisStripHeight);

// The size a picture is drawn at: its own, or for one too small for the chart's labels the
// full chart's scale (the larger of the two sides' ratios), as far as the largest side
// allows; each side rounded up.
QSize DrawingSize(const QSize &picture) {
    if (picture.width() >= kSmallestClearChart.width() &&
        picture.height() >= kSmallestClearChart.height())
        return picture;
    long long scaled = FullChartSize.width(); // the scale, scaled / unit
    long long unit = picture.width();
    if (static_cast<long long>(FullChartSize.height()) * picture.width() >
        static_cast<long long>(FullChartSize.width()) * picture.height()) {
        scaled = FullChartSize.height();
        unit = picture.height();
    }
    const int longest = std::max(picture.width(), picture.height());
    if (longest * scaled > MaxPictureSide * unit) {
        scaled = MaxPictureSide;
        unit = longest;
    }
    const auto up = [&](int side) { return static_cast<int>((side * scaled + unit - 1) / unit); };
    return QSize(up(picture.width()), up(picture.height()));
}

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
        std::max(size->width(), size->height()) > MaxPictureSide)
        return tool.usageError(QStringLiteral("size %1 is out of range; width and height "
                                              "must be %2..%3")
                                   .arg(ShownInput(sizeText))
                                   .arg(kMinRenderSide)
                                   .arg(MaxPictureSide));
    const std::optional<int> language = LanguageRow(parser.value(QStringLiteral("lang")));
    if (!language)
        return tool.usageError(QStringLiteral("unknown language \"%1\"; use de, en, fr or es")
                                   .arg(ShownInput(parser.value(QStringLiteral("lang")))));
    const std::optional<QString> input = tool.singleFile(parser, QStringLiteral("FILE.DIM"));
    if (!input)
        return ExitUsage;
    if (const std::optional<int> refused = tool.refuseSameFile({*input}, {output}))
        return *refused;
    CurveData data;
    FileSettings settings;
    if (const std::optional<int> failed = tool.openCurveFile(*input, data, settings))
        return *failed;
    const std::optional<QImage> image = DrawChart(tool, data, *language, DrawingSize(*size), *size);
    if (!image)
        return ExitSoftware;
    const std::optional<QByteArray> encoded = EncodePicture(tool, *image, *format);
    if (!encoded)
        return ExitSoftware;
    return tool.writeOutput(output, *encoded);
}

} // namespace

std::optional<QImage> DrawChart(Tool &tool, const CurveData &data, int language, const QSize &drawn,
                                const QSize &picture) {
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        tool.say(QStringLiteral("%1 needs a QGuiApplication for its fonts").arg(tool.command()));
        return std::nullopt;
    }
    QString sheetError;
    const QImage sheet = DecodeJpeg(EmbeddedSheetJpeg(), &sheetError);
    if (sheet.isNull()) {
        tool.say(QStringLiteral("the built-in chart artwork cannot be read: ") + sheetError);
        return std::nullopt;
    }
    TextTable texts;
    FillTexts(texts);
    // The colours the editor takes from its palette, on the same platform.
    const PaintInputs inputs = EditorPaintInputs(sheet, data.Levels, Settings(), texts, language,
                                                 QGuiApplication::palette());
    QImage image(drawn, QImage::Format_RGB32);
    image.fill(inputs.buttonFace);
    ChartState chart;
    PaintCurves(image, chart, inputs, true);
    if (drawn == picture)
        return image;
    return image.scaled(picture, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

std::optional<QByteArray> EncodePicture(Tool &tool, const QImage &image, const QByteArray &format) {
    QByteArray encoded;
    QBuffer buffer(&encoded);
    QImageWriter writer(&buffer, format);
    if (!buffer.open(QIODevice::WriteOnly) || !writer.write(image)) {
        tool.say(QStringLiteral("the chart could not be encoded as %1: %2")
                     .arg(QString::fromLatin1(format.toUpper()), writer.errorString()));
        return std::nullopt;
    }
    return encoded;
}

const Command &RenderCommand() {
    static const Command command{
        QStringLiteral("render"),
        QStringLiteral("Draws the chart as a picture."),
        QStringLiteral("Draws the chart of a curve file as the editor shows it and saves it "
                       "as a picture in the format its name ends in (.png, .jpg, .bmp, ...; "
                       "PNG for a name without one and for standard output). A picture smaller "
                       "than %1x%2, where the chart's labels would overlap, is drawn at the "
                       "full chart's scale and scaled down smoothly.")
            .arg(kSmallestClearChart.width())
            .arg(kSmallestClearChart.height()),
        QStringLiteral("-o CHART.png FILE.DIM"),
        [](QCommandLineParser &parser) {
            DeclareOutput(parser,
                          QStringLiteral("The picture to write (-: PNG on standard output)."),
                          QStringLiteral("CHART.png"));
            parser.addOption(QCommandLineOption(
                QStringLiteral("size"),
                QStringLiteral("The picture's size in pixels, each side %1..%2 (default %3).")
                    .arg(kMinRenderSide)
                    .arg(MaxPictureSide)
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
