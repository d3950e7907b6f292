#include "view/geometry.h"

#include "model/levels.h"

#include <algorithm>

namespace dim {

void Geometry::UpdateLayout(int boxWidth, int boxHeight, int pointCount, int channelCount) {
    ChartWidth = boxWidth - 20;
    ChartHeight = boxHeight - AxisStripHeight;
    PointCount = pointCount;
    ChannelCount = channelCount;
    // Below the window's minimum size the divisors could reach zero or less; keep them
    // usable rather than dividing by zero.
    ColumnWidth = std::max(1, ChartWidth / std::max(1, PointCount));
    BandHeight = std::min(ChartHeight / std::max(1, ChannelCount), MaxBandHeight);
    BandHeight = std::max(BandHeight, 21);
}

void Geometry::MapPoint(int channel, int column, int level) {
    PointX = column * ColumnWidth + 10;
    PointY = (channel - 1) * BandHeight + ((BandHeight - 20) * (255 - level)) / 256;
}

std::optional<PointerHit> Geometry::LocatePointer(int x, int y) const {
    // Widened so that positions at the ends of the int range cannot overflow.
    long long a = static_cast<long long>(x) - 10 + ColumnWidth / 2;
    if (a < 0)
        a = 0;
    const int column = static_cast<int>(std::min<long long>(a / ColumnWidth, LevelColumns - 1));

    int channel = y / BandHeight + 1;
    if (channel < 1)
        channel = 1; // a band or more above the chart: the top of band 1 (level 255 below)
    if (channel > ChannelCount || channel >= LevelRows)
        return std::nullopt;

    const int r = y % BandHeight;
    const int t = (r * 256) / (BandHeight - 20);
    int level = 255 - t;
    if (level < -2)
        return std::nullopt;
    level = std::clamp(level, 0, 255);
    return PointerHit{column, channel, level};
}

} // namespace dim
