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

// Column k stands for the time of day k * 15 minutes: hour k / 4, minute (k % 4) * 15.
inline constexpr int MinutesPerColumn = 15;
inline constexpr int ColumnsPerHour = 60 / MinutesPerColumn;
inline constexpr int MinutesPerDay = FilePoints * MinutesPerColumn;

constexpr int ColumnHour(int column) {
    return column / ColumnsPerHour;
}
constexpr int ColumnMinute(int column) {
    return column % ColumnsPerHour * MinutesPerColumn;
}

// Whether a channel and column name a point that a curve file holds: channel 1..4 (no curve
// lives in row 0), column 0..95.
constexpr bool IsFilePoint(int channel, int column) {
    return channel >= 1 && channel <= FileChannels && column >= 0 && column < FilePoints;
}

using LevelRow = std::array<int32_t, LevelColumns>;
using LevelTable = std::array<LevelRow, LevelRows>;

// One channel's day: its 96 points, column c at 15 * c minutes.
using DayCurve = std::array<int, FilePoints>;

// The 96 points of a channel's row, and a table with them in place of that row's.
DayCurve ChannelCurve(const LevelTable &levels, int channel);
void SetChannelCurve(LevelTable &levels, int channel, const DayCurve &curve);

struct CurveData {
    LevelTable Levels{}; // every cell 0 at start
};

// Zeroes columns 0..127 of every row; columns 128..255 are left as they are.
void ClearLevels(CurveData &data);

// A level shown to the user: level * 101 / 255, capped at 100.
int LevelPercent(int level);

} // namespace dim
