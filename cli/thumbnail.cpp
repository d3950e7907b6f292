#include "cli/tool.h"

#include "texts/texts.h"

namespace dim::cli {

namespace {

constexpr int kMinThumbnailSide = 16;
constexpr int kDefaultThumbnailSide = 256;

int RunThumbnail(Tool &tool, const QCommandLineParser &parser) {
    const QStringList files = parser.positionalArguments();
    if (files.size() != 2)
        return tool.usageError(QStringLiteral("expected the curve file and the picture to write, "
                                              "found %1 arguments")
                                   .arg(files.size()));
    const QString &input = files[0];
    const QString &output = files[1];
    int side = kDefaultThumbnailSide;
    if (parser.isSet(QStringLiteral("size"))) {
        const std::optional<int> given =
            tool.integerOption(parser, QStringLiteral("size"), kMinThumbnailSide, MaxPictureSide);
        if (!given)
            return ExitUsage;
        side = *given;
    }
    if (const std::optional<int> refused = tool.refuseSameFile({input}, {output}))
        return *refused;
    CurveData data;
    FileSettings settings;
    if (const std::optional<int> failed = tool.openCurveFile(input, data, settings))
        return *failed;

    // The chart's shape, side pixels wide; drawn at its full size when smaller, so that its
    // labels keep their places, and scaled down smoothly.
    const QSize picture(side,
                        std::max(1, (side * FullChartSize.height() + FullChartSize.width() / 2) /
                                        FullChartSize.width()));
    const QSize drawn = side < FullChartSize.width() ? FullChartSize : picture;
    const std::optional<QImage> image =
        DrawChart(tool, data, tool.environment().language, drawn, picture);
    if (!image)
        return ExitSoftware;
    const std::optional<QByteArray> png = EncodePicture(tool, *image, QByteArrayLiteral("png"));
    if (!png)
        return ExitSoftware;
    return tool.writeOutput(output, *png);
}

} // namespace

const Command &ThumbnailCommand() {
    static const Command command{
        QStringLiteral("thumbnail"),
        QStringLiteral("Writes a small PNG picture of a curve file, for file managers."),
        QStringLiteral("Writes a PNG picture of the chart of a curve file, SIZE pixels wide, "
                       "as file managers show it for the file (the desktop's thumbnailer runs "
                       "\"dimtool thumbnail %i %o --size %s\"). The chart is drawn at its full "
                       "size and scaled down smoothly, with the band captions in the user's "
                       "language. A file that is no curve file gives no picture."),
        QStringLiteral("FILE.DIM PICTURE.png"),
        [](QCommandLineParser &parser) {
            parser.addOption(QCommandLineOption(
                QStringLiteral("size"),
                QStringLiteral("The picture's width in pixels, %1..%2 (default %3); its height "
                               "keeps the chart's shape.")
                    .arg(kMinThumbnailSide)
                    .arg(MaxPictureSide)
                    .arg(kDefaultThumbnailSide),
                QStringLiteral("SIZE")));
            DeclareCurveFile(parser, QStringLiteral("The curve file to draw (-: standard input)."));
            parser.addPositionalArgument(
                QStringLiteral("PICTURE.png"),
                QStringLiteral("The PNG file to write (-: standard output)."));
        },
        RunThumbnail,
        {},
        true};
    return command;
}

} // namespace dim::cli
