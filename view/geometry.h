#pragma once

#include <optional>

namespace dim {

// A pointer position taken up as a curve point.
struct PointerHit {
    int column;
    int channel;
    int level;

    friend bool operator==(const PointerHit &, const PointerHit &) = default;
};

// The chart's integer geometry, shared by painting and pointer editing. Every division
// truncates toward zero (C++ integer division); nothing here uses an arithmetic shift.
struct Geometry {
    int ChartWidth = 0;
    int ChartHeight = 0;
    int PointCount = 0;
    int ChannelCount = 0;
    int ColumnWidth = 1;
    int BandHeight = 1;
    int PointX = 0;
    int PointY = 0;

    // Recomputes every value but PointX and PointY from the chart's size and the
    // positions of the point-count and channel-count spinners.
    void UpdateLayout(int boxWidth, int boxHeight, int pointCount, int channelCount);

    // Sets PointX, PointY to the pixel of a curve point.
    void MapPoint(int channel, int column, int level);

    // Maps a pointer position to (column, channel, level), or rejects it. Positions a band
    // or more above the chart count as channel 1, and columns past the level table's last
    // column are brought to that column, so an accepted hit always addresses a cell of
    // the table in a channel from 1 to ChannelCount.
    std::optional<PointerHit> LocatePointer(int x, int y) const;
};

inline constexpr int MaxBandHeight = 250;
// The repaint flags of bands 1..4: bands past the fourth share the fourth flag.
inline constexpr int DirtyFlagCount = 4;
inline constexpr int AxisStripHeight = 50;

} // namespace dim
