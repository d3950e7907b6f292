#pragma once

#include <array>
#include <cstdint>

namespace dim {

// The level table: one curve per channel row, one cell per quarter-hour column.
// Row 0 belongs to no channel; columns from the point count up to 255 are spare.
inline constexpr int LevelRows = 11;
inline constexpr int LevelColumns = 256;
inline constexpr int FileChannels = 4; // channels 1..4 are stored in a curve file
inline constexpr int FilePoints = 96;  // columns 0..95 are stored in a curve file
inline constexpr int MaxLevel = 255;

using LevelRow = std::array<int32_t, LevelColumns>;
using LevelTable = std::array<LevelRow, LevelRows>;

struct CurveData {
    LevelTable Levels{}; // every cell 0 at start
};

// Zeroes columns 0..127 of every row; columns 128..255 are left as they are.
void ClearLevels(CurveData &data);

// A level shown to the user: level * 101 / 255, capped at 100.
int LevelPercent(int level);

} // namespace dim
