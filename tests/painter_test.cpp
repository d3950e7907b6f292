#include "view/chartpainter.h"
#include "view/fonts.h"
#include "view/sheet.h"

#include <QPainter>

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

using namespace dim;

namespace {

constexpr QRgb kRed = 0xffff0000u;
constexpr QRgb kBlue = 0xff0000ffu;
constexpr QRgb kGreen = 0xff008000u;
constexpr QRgb kWhite = 0xffffffffu;
constexpr QRgb kBlack = 0xff000000u;

// A sheet whose every pixel tells where it came from.
QRgb SheetPixel(int x, int y) {
    return qRgb(x & 0xff, y & 0xff, ((x >> 8) << 4) | (y >> 8));
}

const QImage &TestSheet() {
    static const QImage sheet = [] {
        QImage image(SheetWidth, SheetHeight, QImage::Format_RGB32);
        for (int y = 0; y < SheetHeight; ++y)
            for (int x = 0; x < SheetWidth; ++x)
                image.setPixel(x, y, SheetPixel(x, y));
        return image;
    }();
    return sheet;
}

class PainterTest : public ::testing::Test {
protected:
    PaintInputs Inputs() {
        return PaintInputs{TestSheet(),
                           data.Levels,
                           points,
                           channels,
                           CaptionFont(),
                           kBlack,
                           qRgb(240, 240, 240),
                           {QStringLiteral("W e i s s  "), QStringLiteral("B l a u   "),
                            QStringLiteral("W o l k e n "), QStringLiteral("M o n d   ")}};
    }
    QRegion Paint(bool full) { return PaintCurves(surface, state, Inputs(), full); }
    QPoint At(int channel, int column, int level) {
        Geometry g = state.geometry;
        g.MapPoint(channel, column, level);
        return {g.PointX, g.PointY};
    }

    QImage surface{1652, 1050, QImage::Format_RGB32};
    ChartState state;
    CurveData data;
    int points = 96;
    int channels = 4;
};

TEST_F(PainterTest, EveryCurvePointGetsOneMarkerAndTheClosingPointNone) {
    for (int k = 0; k < 96; ++k)
        data.Levels[2][static_cast<size_t>(k)] = (k * 37) % 256;
    Paint(true);
    for (int k = 0; k < 96; ++k) {
        const QPoint p = At(2, k, data.Levels[2][static_cast<size_t>(k)]);
        int red = 0;
        for (int dy = -4; dy <= 3; ++dy)
            for (int dx = -4; dx <= 3; ++dx) {
                const QRgb pixel = surface.pixel(p.x() + dx, p.y() + dy);
                const bool inside = dx >= -3 && dx <= 2 && dy >= -3 && dy <= 2;
                const bool edge = inside && (dx == -3 || dx == 2 || dy == -3 || dy == 2);
                if (edge)
                    ASSERT_EQ(pixel, kBlue) << "column " << k << " at " << dx << "," << dy;
                else if (inside) // red, but for the segment that leaves from the centre
                    ASSERT_TRUE(pixel == kRed || pixel == kBlue) << k << " " << dx << "," << dy;
                else
                    ASSERT_NE(pixel, kRed) << "column " << k << " at " << dx << "," << dy;
                red += pixel == kRed;
            }
        // The first point's marker is drawn last, whole; the others carry one segment start.
        if (k == 0)
            EXPECT_EQ(red, 16);
        else
            EXPECT_GE(red, 10) << k;
    }
    const QPoint closing = At(2, 96, data.Levels[2][0]);
    for (int dy = -3; dy <= 2; ++dy)
        for (int dx = -3; dx <= 2; ++dx)
            EXPECT_NE(surface.pixel(closing.x() + dx, closing.y() + dy), kRed);
}

TEST_F(PainterTest, GridLinesRunFromTheZeroRowUpToBelowTheBandTop) {
    data.Levels[1].fill(0);
    Paint(true);
    for (int column : {3, 48, 80}) {
        const int x = 10 + 17 * column;
        for (int y = 1; y <= 229 - 4; ++y) // above the marker
            ASSERT_EQ(surface.pixel(x, y), kGreen) << column << " row " << y;
        EXPECT_NE(surface.pixel(x, 0), kGreen); // the line's end pixel
        EXPECT_NE(surface.pixel(x + 1, 100), kGreen);
    }
}

TEST_F(PainterTest, ClosingSegmentReturnsToTheFirstLevelAtTheEndOfTheDay) {
    data.Levels[1][0] = 255;
    data.Levels[1][95] = 0;
    Paint(true);
    const QPoint last = At(1, 95, 0);  // (1625, 229)
    const QPoint end = At(1, 96, 255); // (1642, 0)
    EXPECT_EQ(end, QPoint(1642, 0));
    // The segment climbs from the last point to the closing point, without its end pixel.
    int blueAbove = 0;
    for (int y = 0; y < last.y() - 3; ++y)
        for (int x = last.x() + 3; x <= end.x(); ++x)
            blueAbove += surface.pixel(x, y) == kBlue;
    EXPECT_GT(blueAbove, 150);
    EXPECT_NE(surface.pixel(end), kBlue);
    EXPECT_TRUE(surface.pixel(end.x(), end.y() + 1) == kBlue ||
                surface.pixel(end.x() - 1, end.y() + 1) == kBlue);
}

TEST_F(PainterTest, CaptionGlyphsAreBlendedAtAlpha40) {
    points = 2; // grid lines only at x 10 and 826
    channels = 4;
    Paint(true);
    // Reference: the band's background with the caption drawn over it, mixed by the formula.
    QImage background(1652, 250, QImage::Format_RGB32);
    for (int y = 0; y < 250; ++y)
        for (int x = 0; x < 1652; ++x)
            background.setPixel(x, y, SheetPixel(x, 250 + y));
    QImage withText = background;
    {
        QPainter painter(&withText);
        const QFont font = CaptionFont();
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(kBlack));
        painter.drawText(QPoint(60, -10 + QFontMetrics(font).ascent()),
                         QStringLiteral("B l a u   "));
    }
    int glyphPixels = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 40; x < 800; ++x) {
            if (x == 10 || x == 826)
                continue;
            const QRgb t = withText.pixel(x, y);
            const QRgb b = background.pixel(x, y);
            auto mix = [](int s, int d) { return (s * 40 + d * 215) / 255; };
            const QRgb expected =
                qRgb(mix(qRed(t), qRed(b)), mix(qGreen(t), qGreen(b)), mix(qBlue(t), qBlue(b)));
            ASSERT_EQ(surface.pixel(x, 250 + y), expected) << x << "," << y;
            glyphPixels += t != b;
        }
    EXPECT_GT(glyphPixels, 2000);
}

TEST_F(PainterTest, AxisStripAndHourLabelsSitWhereTheLayoutPutsThem) {
    Paint(true);
    // The strip comes from below the rows band 4 shows: sheet row 1000 for 250-row bands.
    for (int x : {1, 300, 1500, 1650})
        EXPECT_EQ(surface.pixel(x, 1049), SheetPixel(x, 1049)) << x;
    const int labelX[] = {5, 413, 821, 1229, 1607};
    const char *labels[] = {"0", "6", "12", "18", "24"};
    const QFontMetrics metrics(LabelFont());
    for (int i = 0; i < 5; ++i) {
        int white = 0;
        const int w = metrics.horizontalAdvance(QLatin1String(labels[i]));
        for (int y = 980; y < 980 + 45; ++y)
            for (int x = labelX[i]; x < labelX[i] + w; ++x)
                white += surface.pixel(x, y) == kWhite;
        EXPECT_GT(white, 40) << labels[i];
        // Nothing white just above the labels left of band 4's "0%".
        for (int y = 960; y < 975 && i < 4; ++y)
            EXPECT_NE(surface.pixel(labelX[i] + 1, y), kWhite);
    }
}

// The last row of "0%" drawn by QPainter alone with its cell's top at row 0.
int ZeroLabelBottom() {
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(LabelFont());
    painter.setPen(Qt::black);
    painter.drawText(QPoint(0, QFontMetrics(LabelFont()).ascent()), QStringLiteral("0%"));
    painter.end();
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != QColor(Qt::white).rgb())
                bottom = y;
    return bottom;
}

TEST_F(PainterTest, BandFourLabelsAreWhiteAndTheOthersBlack) {
    Paint(true);
    const QFontMetrics metrics(LabelFont());
    const int w100 = metrics.horizontalAdvance(QStringLiteral("100%"));
    for (int band = 1; band <= 4; ++band) {
        int white = 0;
        int black = 0;
        for (int y = (band - 1) * 250; y < (band - 1) * 250 + metrics.height(); ++y)
            for (int x = 1632 - w100; x < 1632; ++x) {
                white += surface.pixel(x, y) == kWhite;
                black += surface.pixel(x, y) == kBlack;
            }
        if (band == 4) {
            EXPECT_GT(white, 100);
            EXPECT_EQ(black, 0);
        } else {
            EXPECT_GT(black, 100) << band;
            EXPECT_EQ(white, 0) << band;
        }
        // "0%" stands on a cell of 45 rows that ends 20 rows above the band's end, whatever
        // size the face gives that cell: its glyphs end where they end in such a cell.
        int bottom = -1;
        for (int y = band * 250 - 90; y < band * 250 - 20; ++y)
            for (int x = 1560; x < 1632; ++x)
                if (surface.pixel(x, y) == (band == 4 ? kWhite : kBlack))
                    bottom = y;
        EXPECT_EQ(bottom, band * 250 - 20 - 45 + ZeroLabelBottom()) << band;
    }
}

TEST_F(PainterTest, PartialPaintWithNothingDirtyChangesNoPixel) {
    data.Levels[3][10] = 200;
    Paint(true);
    const QImage before = surface;
    const QRegion changed = Paint(false);
    EXPECT_EQ(surface, before);
    EXPECT_TRUE(changed.isEmpty());
}

TEST_F(PainterTest, PartialPaintRedrawsOnlyTheDirtyBand) {
    Paint(true);
    const QImage before = surface;
    data.Levels[2][40] = 200;
    data.Levels[1][40] = 200; // band 1 is not flagged: its change must not show yet
    state.BandDirty = {0, 1, 0, 0};
    const QRegion changed = Paint(false);
    EXPECT_EQ(state.BandDirty[1], 0);
    for (int y = 0; y < 1050; ++y) {
        if (y >= 250 && y < 500)
            continue;
        for (int x = 0; x < 1652; ++x)
            ASSERT_EQ(surface.pixel(x, y), before.pixel(x, y)) << x << "," << y;
    }
    const QPoint p = At(2, 40, 200);
    EXPECT_EQ(surface.pixel(p.x() - 2, p.y() + 1), kRed);
    EXPECT_NE(before.pixel(p.x() - 2, p.y() + 1), kRed);
    EXPECT_TRUE(changed.contains(QRect(0, 250, 1652, 250)));
    EXPECT_FALSE(changed.intersects(QRect(0, 600, 1652, 100)));
}

TEST_F(PainterTest, MoreThanFourBandsNeverReachPastTheFlagsOrTheSheet) {
    channels = 10;
    surface = QImage(1652, 1050, QImage::Format_RGB32);
    Paint(true);
    EXPECT_EQ(state.geometry.BandHeight, 100);
    // Band 6 shows band 2's background; an edit below band 4 flags the fourth flag, which
    // repaints every band from the fourth on.
    EXPECT_EQ(surface.pixel(1640, 5 * 100 + 50), SheetPixel(1640, 250 + 50));
    const QImage before = surface;
    data.Levels[6][20] = 255;
    state.BandDirty = {0, 0, 0, 1};
    Paint(false);
    EXPECT_NE(surface, before);
    const QPoint p = At(6, 20, 255);
    EXPECT_EQ(surface.pixel(p.x() - 2, p.y() + 1), kRed);
    EXPECT_EQ(state.BandDirty[3], 0);
}

TEST_F(PainterTest, WideChartsContinueTheBackgroundsWithoutThePanelStripe) {
    surface = QImage(3640, 2100, QImage::Format_RGB32);
    points = 2;
    Paint(true);
    const int y = 150; // band 1, below the caption and away from the curve
    for (int k : {0, 1, 400, 799})
        EXPECT_EQ(surface.pixel(2000 + k, y), SheetPixel(1999 - k, y)) << k;
    for (int k : {0, 1, 799})
        EXPECT_EQ(surface.pixel(2800 + k, y), SheetPixel(1200 + k, y)) << k;
    EXPECT_EQ(surface.pixel(3600, y), SheetPixel(1999, y));
    // The axis strip too.
    EXPECT_EQ(surface.pixel(2500, 1040), SheetPixel(1999 - 500, 1040));
}

} // namespace

namespace {

// Painting from kept captions must give exactly the pixels of a first paint.
TEST_F(PainterTest, KeptCaptionsGiveTheSamePixelsAsAFreshPaint) {
    data.Levels[1][5] = 120;
    Paint(true);
    auto paintFresh = [this](QSize size, const std::array<QString, 4> &captions) {
        QImage fresh(size, QImage::Format_RGB32);
        fresh.fill(0xff123456u);
        ChartState freshState;
        PaintInputs inputs = Inputs();
        inputs.captions = captions;
        PaintCurves(fresh, freshState, inputs, true);
        return fresh;
    };

    // A repaint of band 2 and a full paint in the same language.
    state.BandDirty = {0, 1, 0, 0};
    Paint(false);
    EXPECT_EQ(surface, paintFresh(surface.size(), Inputs().captions));

    // Another language: the captions are drawn anew.
    const std::array<QString, 4> english{
        QStringLiteral("W h i t e  "), QStringLiteral("B l u e   "), QStringLiteral("C l o u d s "),
        QStringLiteral("M o o n   ")};
    PaintInputs inputs = Inputs();
    inputs.captions = english;
    PaintCurves(surface, state, inputs, true);
    EXPECT_EQ(surface, paintFresh(surface.size(), english));

    // Another band height.
    surface = QImage(1652, 700, QImage::Format_RGB32);
    surface.fill(0xff123456u);
    Paint(true);
    EXPECT_EQ(state.geometry.BandHeight, 162);
    EXPECT_EQ(surface, paintFresh(surface.size(), Inputs().captions));
}

// Captions drawn ahead of the first paint are taken only where they come out as the paint's
// own would: in the same font, and inside the band and the surface as they are.
TEST_F(PainterTest, PreparedCaptionsAreTakenOnlyWhereThePaintWouldDrawTheSame) {
    struct Case {
        const char *what;
        int shownPixelSize; // of the caption font painted with
        QSize size;
        int taken;
    };
    const Case cases[] = {
        {"as shown", 113, {1652, 1050}, 4},
        {"another font", 100, {1652, 1050}, 0},
        {"bands lower than a caption", 113, {1652, 400}, 0},
        {"narrower than a caption", 113, {320, 1050}, 0},
    };
    constexpr QRgb kMark = 0xff01020fu; // not in the sheet: its blue has no such low bits
    for (const Case &c : cases) {
        auto firstPaint = [this, &c](ChartState &chart) {
            QImage image(c.size, QImage::Format_RGB32);
            image.fill(0xff123456u);
            PaintInputs inputs = Inputs();
            inputs.captionFont.setPixelSize(c.shownPixelSize);
            PaintCurves(image, chart, inputs, true);
            return image;
        };
        ChartState fresh;
        const QImage expected = firstPaint(fresh);
        ChartState chart;
        chart.prepared = PrepareCaptions(TestSheet(), Inputs().captions, kBlack);
        EXPECT_EQ(firstPaint(chart), expected) << c.what;

        // Marked, the captions taken show where they went.
        ChartState marked;
        marked.prepared = PrepareCaptions(TestSheet(), Inputs().captions, kBlack);
        for (CaptionCache &caption : marked.prepared)
            std::fill(caption.pixels.begin(), caption.pixels.end(), kMark);
        const QImage shown = firstPaint(marked);
        std::set<int> taken; // bands
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (shown.pixel(x, y) == kMark)
                    taken.insert(y / marked.geometry.BandHeight);
        EXPECT_EQ(taken.size(), static_cast<size_t>(c.taken)) << c.what;
    }
}

} // namespace

namespace {

// A band repainted in only the columns whose levels moved must come out as if repainted
// whole, along a drag and with its neighbours repainted in between.
TEST_F(PainterTest, RepaintingOnlyChangedColumnsGivesTheWholeBandsPixels) {
    for (int k = 0; k < 96; ++k)
        for (int row = 1; row <= 4; ++row)
            data.Levels[static_cast<size_t>(row)][static_cast<size_t>(k)] = (k * row * 23) % 256;
    Paint(true);
    QImage whole = surface;
    ChartState wholeState = state;
    struct Step {
        int band;
        int column;
        int level;
    };
    const Step steps[] = {{2, 40, 200}, {2, 41, 255}, {2, 95, 10},  {2, 0, 90},   {3, 7, 255},
                          {2, 8, 0},    {1, 60, 3},   {2, 61, 255}, {2, 62, 128}, {4, 5, 0}};
    for (const Step &step : steps) {
        data.Levels[static_cast<size_t>(step.band)][static_cast<size_t>(step.column)] = step.level;
        state.BandDirty[static_cast<size_t>(step.band - 1)] = 1;
        const QRegion changed = Paint(false);
        wholeState.BandDirty[static_cast<size_t>(step.band - 1)] = 1;
        for (BandSnapshot &snapshot : wholeState.painted)
            snapshot.valid = false; // forces whole bands
        const QImage shown = whole;
        PaintCurves(whole, wholeState, Inputs(), false);
        ASSERT_EQ(surface, whole) << "band " << step.band << " column " << step.column;
        // What the partial paint reports covers every pixel that changed.
        for (int y = 0; y < whole.height(); ++y)
            for (int x = 0; x < whole.width(); ++x)
                if (whole.pixel(x, y) != shown.pixel(x, y)) {
                    ASSERT_TRUE(changed.contains(QPoint(x, y))) << x << "," << y;
                }
    }
}

} // namespace
