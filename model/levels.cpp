#include "model/levels.h"

#include <algorithm>

namespace dim {

void ClearLevels(CurveData &data) {
    for (LevelRow &row : data.Levels)
        std::fill(row.begin(), row.begin() + 128, 0);
}

DayCurve ChannelCurve(const LevelTable &levels, int channel) {
    const LevelRow &row = levels[static_cast<size_t>(channel)];
    DayCurve curve{};
    std::copy_n(row.begin(), FilePoints, curve.begin());
    return curve;
}

void SetChannelCurve(LevelTable &levels, int channel, const DayCurve &curve) {
    std::copy(curve.begin(), curve.end(), levels[static_cast<size_t>(channel)].begin());
}

int LevelPercent(int level) {
    return std::min(level * 101 / 255, 100);
}

} // namespace dim
