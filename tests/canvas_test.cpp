#include "view/canvas.h"
#include "view/fonts.h"

#include <QPainter>

#include <cstring>

#include <gtest/gtest.h>

using namespace dim;

namespace {

constexpr QRgb kWhite = 0xffffffffu;
constexpr QRgb kPen = 0xff0000ffu;

QImage Blank(int w = 40, int h = 40) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(kWhite);
    return image;
}

int CountPen(const QImage &image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == kPen;
    return n;
}

TEST(Canvas, LineToLeavesOutItsEndPixelInEveryDirection) {
    const QPoint ends[] = {{30, 20}, {10, 20}, {20, 30}, {20, 10}, {30, 30},
                           {10, 10}, {30, 10}, {10, 30}, {27, 13}, {14, 29}};
    for (const QPoint end : ends) {
        QImage image = Blank();
        Canvas canvas(image);
        canvas.setPenColor(kPen);
        canvas.moveTo(20, 20);
        canvas.lineTo(end.x(), end.y());
        SCOPED_TRACE(testing::Message() << end.x() << "," << end.y());
        EXPECT_EQ(image.pixel(20, 20), kPen);
        EXPECT_EQ(image.pixel(end), kWhite);
        const int steps = std::max(std::abs(end.x() - 20), std::abs(end.y() - 20));
        EXPECT_EQ(CountPen(image), steps);
        EXPECT_EQ(canvas.position(), end);
    }
}

TEST(Canvas, ZeroLengthLinePaintsNothing) {
    QImage image = Blank();
    Canvas canvas(image);
    canvas.setPenColor(kPen);
    canvas.moveTo(5, 5);
    canvas.lineTo(5, 5);
    EXPECT_EQ(CountPen(image), 0);
}

TEST(Canvas, LinesClipAtTheSurfaceEdges) {
    QImage image = Blank(10, 10);
    Canvas canvas(image);
    canvas.setPenColor(kPen);
    canvas.moveTo(-20, 5);
    canvas.lineTo(30, 5);
    EXPECT_EQ(CountPen(image), 10);
}

TEST(Canvas, RectangleLeavesOutRightAndBottomEdges) {
    QImage image = Blank();
    Canvas canvas(image);
    canvas.setPenColor(kPen);
    canvas.setBrushColor(0xffff0000u);
    canvas.rectangle(10, 10, 16, 16);
    for (int y = 8; y < 18; ++y) {
        for (int x = 8; x < 18; ++x) {
            const bool inside = x >= 10 && x < 16 && y >= 10 && y < 16;
            const bool edge = inside && (x == 10 || x == 15 || y == 10 || y == 15);
            const QRgb expected = !inside ? kWhite : edge ? kPen : 0xffff0000u;
            ASSERT_EQ(image.pixel(x, y), expected) << x << "," << y;
        }
    }
}

// A column clip cuts a rectangle's edges exactly at its ends: the edge on the clip's first
// column is drawn, nothing is drawn on the column after its last.
TEST(Canvas, RectanglesEndExactlyAtTheColumnClip) {
    struct Case {
        int left, right;  // the rectangle's columns
        int pen, outside; // a column of its left edge inside the clip, one outside
    } const cases[] = {{10, 21, 10, 20}, {9, 20, 19, 9}, {10, 20, 19, 20}};
    for (const Case &c : cases) {
        QImage image = Blank();
        Canvas canvas(image);
        canvas.setPenColor(kPen);
        canvas.setBrushColor(0xffff0000u);
        canvas.setColumnClip(10, 20);
        canvas.rectangle(c.left, 10, c.right, 16);
        EXPECT_EQ(image.pixel(c.pen, 12), kPen) << c.left << ".." << c.right;
        EXPECT_EQ(image.pixel(c.outside, 12), kWhite) << c.left << ".." << c.right;
        EXPECT_EQ(image.pixel(c.outside, 10), kWhite) << c.left << ".." << c.right;
    }
}

TEST(Canvas, BlockCopyClipsToBothImages) {
    QImage src(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            src.setPixel(x, y, qRgb(x * 10, y * 10, 7));
    QImage dst = Blank(10, 10);
    BlockCopy(dst, -2, 6, src, 0, 0, 8, 8); // off the left and bottom of dst
    EXPECT_EQ(dst.pixel(0, 6), qRgb(20, 0, 7));
    EXPECT_EQ(dst.pixel(5, 9), qRgb(70, 30, 7));
    EXPECT_EQ(dst.pixel(6, 6), kWhite);
    EXPECT_EQ(dst.pixel(0, 5), kWhite);

    QImage dst2 = Blank(10, 10);
    BlockCopy(dst2, 0, 0, src, 5, -3, 10, 10); // off the source's right and top
    EXPECT_EQ(dst2.pixel(0, 3), qRgb(50, 0, 7));
    EXPECT_EQ(dst2.pixel(2, 10 - 1), qRgb(70, 60, 7));
    EXPECT_EQ(dst2.pixel(3, 5), kWhite);
    EXPECT_EQ(dst2.pixel(0, 2), kWhite);
}

TEST(Canvas, DivisionBy255IsExactOverTheBlendRange) {
    for (uint32_t x = 0; x <= 255u * 255u; ++x)
        ASSERT_EQ(DivideBy255(x), x / 255) << x;
}

TEST(Canvas, AlphaBlendFollowsTheFormulaPerChannel) {
    const uint8_t values[] = {0, 1, 2, 17, 100, 127, 128, 200, 254, 255};
    for (uint8_t alpha : {0, 1, 40, 128, 254, 255}) {
        QImage src(10, 10, QImage::Format_RGB32);
        QImage dst(10, 10, QImage::Format_RGB32);
        for (int i = 0; i < 10; ++i)
            for (int j = 0; j < 10; ++j) {
                src.setPixel(i, j, qRgb(values[i], values[j], values[(i + j) % 10]));
                dst.setPixel(i, j, qRgb(values[j], values[(i * 3) % 10], values[i]));
            }
        const QImage before = dst;
        AlphaBlend(dst, 0, 0, src, 0, 0, 10, 10, alpha);
        for (int i = 0; i < 10; ++i)
            for (int j = 0; j < 10; ++j) {
                const QRgb s = src.pixel(i, j);
                const QRgb d = before.pixel(i, j);
                auto mix = [alpha](int a, int b) { return (a * alpha + b * (255 - alpha)) / 255; };
                ASSERT_EQ(dst.pixel(i, j), qRgb(mix(qRed(s), qRed(d)), mix(qGreen(s), qGreen(d)),
                                                mix(qBlue(s), qBlue(d))))
                    << int(alpha) << " " << i << "," << j;
            }
    }
}

TEST(Canvas, AlphaBlendClipsToBothImages) {
    QImage src(4, 4, QImage::Format_RGB32);
    src.fill(qRgb(255, 255, 255));
    QImage dst(4, 4, QImage::Format_RGB32);
    dst.fill(qRgb(0, 0, 0));
    AlphaBlend(dst, -2, 2, src, 0, 0, 4, 4, 255);
    EXPECT_EQ(dst.pixel(0, 2), qRgb(255, 255, 255));
    EXPECT_EQ(dst.pixel(1, 3), qRgb(255, 255, 255));
    EXPECT_EQ(dst.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_EQ(dst.pixel(0, 1), qRgb(0, 0, 0));
}

TEST(Canvas, TextIsPlacedByItsTopLeftCorner) {
    QImage image = Blank(200, 100);
    Canvas canvas(image);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(40);
    font.setStyleStrategy(QFont::NoAntialias);
    canvas.setFont(font);
    canvas.setFontColor(0xff000000u);
    canvas.textOut(50, 30, QStringLiteral("H"));
    int top = 1000, left = 1000;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if (image.pixel(x, y) != kWhite) {
                top = std::min(top, y);
                left = std::min(left, x);
            }
    const QFontMetrics metrics(font);
    // The glyph's top lies ascent - cap height below the given y.
    EXPECT_NEAR(top, 30 + metrics.ascent() - metrics.capHeight(), 2);
    EXPECT_GE(left, 50);
    EXPECT_LE(left, 55);
    // A face that resolves the label font's 45-pixel cell to another size still measures 45.
    canvas.setFont(LabelFont(), LabelCellHeight);
    EXPECT_EQ(canvas.textHeight(QStringLiteral("H")), 45);
}

TEST(Canvas, LargePageImagesHoldEveryPixelOfTheirSize) {
    // Within one 2 MB page, exactly one, and with a partly used last page.
    for (auto [w, h] : {std::pair{3, 2}, std::pair{1024, 512}, std::pair{1716, 1028}}) {
        QImage image = LargePageImage(w, h);
        ASSERT_EQ(image.size(), QSize(w, h));
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        EXPECT_EQ(image.bytesPerLine(), w * 4);
        // Every byte, through a checked call: a short block shows under ASan.
        std::memset(image.bits(), 0x40, static_cast<size_t>(image.sizeInBytes()));
        EXPECT_EQ(image.pixel(w - 1, h - 1), 0xff404040u); // RGB32 reads opaque
    }
}

TEST(Canvas, CellHeightSearchFindsTheLargestSizeThatFits) {
    // Faces whose cells run near, below and well above the search's first guess.
    for (const char *family : {"Arial", "DejaVu Sans Mono", "Nimbus Sans"})
        for (int cellHeight : {8, 45, 72}) {
            QFont font(QString::fromLatin1(family));
            font.setBold(true);
            const int size = PixelSizeForCellHeight(font, cellHeight);
            font.setPixelSize(size);
            EXPECT_LE(QFontMetrics(font).height(), cellHeight) << family << cellHeight;
            font.setPixelSize(size + 1);
            EXPECT_GT(QFontMetrics(font).height(), cellHeight) << family << cellHeight;
        }
}

} // namespace

namespace {

TEST(Canvas, VerticalLinesDrawTheSamePixelsAsOneLineAfterAnother) {
    const std::vector<int> xs{-3, 0, 7, 19, 39, 40, 55};
    for (auto [from, to] : {std::pair{30, 2}, std::pair{2, 30}, std::pair{-5, 50},
                            std::pair{50, -5}, std::pair{12, 12}}) {
        QImage batch = Blank();
        QImage single = Blank();
        Canvas a(batch);
        Canvas b(single);
        a.setPenColor(kPen);
        b.setPenColor(kPen);
        a.verticalLines(xs, from, to);
        for (int x : xs) {
            b.moveTo(x, from);
            b.lineTo(x, to);
        }
        EXPECT_EQ(batch, single) << from << " -> " << to;
    }
}

} // namespace

namespace {

// Unsmoothed text drawn from the sprite cache must set exactly the pixels QPainter sets,
// wherever it lands, partly off the surface included, and measure the same.
TEST(Canvas, CachedTextGivesThePixelsOfThePainter) {
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(37);
    font.setStyleStrategy(QFont::NoAntialias);
    TextSpriteCache cache;
    for (const QString &text : {QStringLiteral("100%"), QStringLiteral("0%"), QStringLiteral("24"),
                                QStringLiteral("Wg_|")}) {
        for (QPoint at : {QPoint(10, 5), QPoint(-9, -14), QPoint(150, 70)}) {
            QImage cached = Blank(180, 90);
            QImage painted = Blank(180, 90);
            Canvas a(cached);
            Canvas b(painted);
            a.setTextCache(&cache);
            for (Canvas *canvas : {&a, &b}) {
                canvas->setFont(font);
                canvas->setFontColor(kPen);
                canvas->textOut(at.x(), at.y(), text);
            }
            EXPECT_EQ(cached, painted) << text.toStdString() << " at " << at.x() << "," << at.y();
            EXPECT_EQ(a.textWidth(text), b.textWidth(text));
        }
    }
}

} // namespace
