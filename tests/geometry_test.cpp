#include "model/levels.h"
#include "view/geometry.h"

#include <gtest/gtest.h>

#include <optional>

using namespace dim;

namespace {

Geometry Layout(int w, int h, int points = 96, int channels = 4) {
    Geometry g;
    g.UpdateLayout(w, h, points, channels);
    return g;
}

TEST(Geometry, LayoutFollowsTheChartSize) {
    const Geometry big = Layout(1652, 1050);
    EXPECT_EQ(big.ChartWidth, 1632);
    EXPECT_EQ(big.ChartHeight, 1000);
    EXPECT_EQ(big.ColumnWidth, 17);
    EXPECT_EQ(big.BandHeight, 250);

    const Geometry design = Layout(647, 670);
    EXPECT_EQ(design.ChartWidth, 627);
    EXPECT_EQ(design.ChartHeight, 620);
    EXPECT_EQ(design.ColumnWidth, 6);
    EXPECT_EQ(design.BandHeight, 155);

    EXPECT_EQ(Layout(1652, 2100).BandHeight, 250); // capped at the sheet's band height
    EXPECT_EQ(Layout(1652, 1050, 96, 10).BandHeight, 100);
    EXPECT_EQ(Layout(1652, 1050, 2, 4).ColumnWidth, 816);
}

struct MapCase {
    int channel, column, level, x, y;
};

TEST(Geometry, MapPointPlacesTheWorkedPoints) {
    Geometry g = Layout(1652, 1050);
    const MapCase cases[] = {{1, 0, 255, 10, 0},     {1, 0, 0, 10, 229},    {2, 48, 128, 826, 364},
                             {3, 24, 255, 418, 500}, {4, 95, 0, 1625, 979}, {1, 96, 0, 1642, 229}};
    for (const MapCase &c : cases) {
        g.MapPoint(c.channel, c.column, c.level);
        EXPECT_EQ(g.PointX, c.x) << c.channel << "," << c.column << "," << c.level;
        EXPECT_EQ(g.PointY, c.y) << c.channel << "," << c.column << "," << c.level;
    }
}

TEST(Geometry, MapPointDividesTowardZeroForNegativeProducts) {
    Geometry g = Layout(1652, 1050);
    g.MapPoint(1, 0, 256); // (230 * -1) / 256 is 0 toward zero, -1 with a shift
    EXPECT_EQ(g.PointY, 0);
    g.MapPoint(2, 0, 300); // (230 * -45) / 256 = -40.4 -> -40
    EXPECT_EQ(g.PointY, 250 - 40);
}

struct LocateCase {
    int x, y;
    std::optional<PointerHit> hit;
};

TEST(Geometry, LocatePointerTakesUpTheWorkedPositions) {
    const Geometry g = Layout(1652, 1050);
    const LocateCase cases[] = {
        {0, 0, PointerHit{0, 1, 255}},      {18, 0, PointerHit{0, 1, 255}},
        {19, 0, PointerHit{1, 1, 255}},     {826, 364, PointerHit{48, 2, 129}},
        {826, 10, PointerHit{48, 1, 244}},  {826, 229, PointerHit{48, 1, 1}},
        {826, 230, PointerHit{48, 1, 0}},   {826, 231, PointerHit{48, 1, 0}},
        {826, 232, std::nullopt},           {826, 249, std::nullopt},
        {826, 250, PointerHit{48, 2, 255}}, {826, 999, std::nullopt},
        {826, 1000, std::nullopt},          {826, -1, PointerHit{48, 1, 255}},
        {1640, 10, PointerHit{96, 1, 244}}, {-500, 10, PointerHit{0, 1, 244}},
        {826, 481, PointerHit{48, 2, 0}},   {826, 482, std::nullopt},
    };
    for (const LocateCase &c : cases)
        EXPECT_EQ(g.LocatePointer(c.x, c.y), c.hit) << c.x << "," << c.y;
}

TEST(Geometry, DesignSizeBandsAcceptRowsUpToTheTolerance) {
    const Geometry g = Layout(647, 670);
    EXPECT_EQ(g.LocatePointer(0, 0), (PointerHit{0, 1, 255}));
    for (int row = 0; row <= 136; ++row)
        EXPECT_TRUE(g.LocatePointer(100, row).has_value()) << row;
    for (int row = 137; row < 155; ++row)
        EXPECT_FALSE(g.LocatePointer(100, row).has_value()) << row;
    Geometry mapped = g;
    mapped.MapPoint(1, 0, 0);
    EXPECT_EQ(mapped.PointY, 134);
}

TEST(Geometry, PositionsFarOutsideStayInsideTheLevelTable) {
    const Geometry g = Layout(1652, 1050);
    // A band height or more above the chart: channel 1 at the top level, never channel 0.
    for (int y : {-250, -251, -499, -500, -100000})
        EXPECT_EQ(g.LocatePointer(826, y), (PointerHit{48, 1, 255})) << y;
    // Far to the right: the column stops at the table's last one.
    EXPECT_EQ(g.LocatePointer(10 + 17 * 255, 10)->column, 255);
    EXPECT_EQ(g.LocatePointer(100000, 10)->column, 255);
    EXPECT_EQ(g.LocatePointer(2147483647, 10)->column, 255);
    EXPECT_EQ(g.LocatePointer(-2147483647 - 1, 10)->column, 0);
    // Below the last band, however far.
    EXPECT_FALSE(g.LocatePointer(826, 100000).has_value());
}

// Below the window's minimum size the bands keep 21 rows, the fewest that map levels: every
// position is still taken up or rejected without dividing by zero.
TEST(Geometry, TinyChartsKeepBandsThatMapLevels) {
    for (const int height : {50, 60, 130, 133, 134}) {
        Geometry g;
        g.UpdateLayout(120, height, FilePoints, FileChannels);
        EXPECT_EQ(g.BandHeight, 21) << height;
        EXPECT_EQ(g.LocatePointer(10, 0), (PointerHit{0, 1, 255})) << height;
        EXPECT_EQ(g.LocatePointer(10, 1), (PointerHit{0, 1, 0})) << height;
        EXPECT_FALSE(g.LocatePointer(10, 2).has_value()) << height;
        EXPECT_EQ(g.LocatePointer(10, 21), (PointerHit{0, 2, 255})) << height;
    }
    Geometry g;
    g.UpdateLayout(120, 135, FilePoints, FileChannels);
    EXPECT_EQ(g.BandHeight, 21) << "85 rows for four bands";
    g.UpdateLayout(120, 138, FilePoints, FileChannels);
    EXPECT_EQ(g.BandHeight, 22);
}

TEST(Geometry, BeforeTheFirstPaintNothingDividesByZero) {
    const Geometry g; // column width and band height 1, no channels yet
    EXPECT_FALSE(g.LocatePointer(5, 5).has_value());
    EXPECT_FALSE(g.LocatePointer(-5, -5).has_value());
}

} // namespace
