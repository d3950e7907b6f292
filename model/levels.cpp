#include "model/levels.h"

#include <algorithm>

namespace dim {

void ClearLevels(CurveData &data) {
    for (LevelRow &row : data.Levels)
        std::fill(row.begin(), row.begin() + 128, 0);
}

int LevelPercent(int level) {
    return std::min(level * 101 / 255, 100);
}

} // namespace dim
