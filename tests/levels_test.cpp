#include "model/levels.h"
#include "model/settings.h"

#include <gtest/gtest.h>

using namespace dim;

namespace {

TEST(LevelTable, StartsFlatAtZero) {
    const CurveData data;
    for (const LevelRow &row : data.Levels)
        for (int32_t cell : row)
            ASSERT_EQ(cell, 0);
    EXPECT_EQ(data.Levels.size(), 11u);
    EXPECT_EQ(data.Levels[0].size(), 256u);
}

TEST(LevelTable, ClearZeroesTheFirst128ColumnsOfEveryRowOnly) {
    CurveData data;
    for (size_t r = 0; r < data.Levels.size(); ++r)
        for (size_t c = 0; c < data.Levels[r].size(); ++c)
            data.Levels[r][c] = static_cast<int32_t>((r * 7 + c) % 255 + 1);
    ClearLevels(data);
    for (size_t r = 0; r < data.Levels.size(); ++r) {
        for (size_t c = 0; c < 128; ++c)
            ASSERT_EQ(data.Levels[r][c], 0) << r << "/" << c;
        for (size_t c = 128; c < 256; ++c)
            ASSERT_EQ(data.Levels[r][c], static_cast<int32_t>((r * 7 + c) % 255 + 1));
    }
}

TEST(LevelTable, PercentageTruncatesAndCapsAt100) {
    const std::pair<int, int> cases[] = {{0, 0},    {1, 0},     {2, 0},     {3, 1},    {128, 50},
                                         {200, 79}, {253, 100}, {254, 100}, {255, 100}};
    for (auto [level, percent] : cases)
        EXPECT_EQ(LevelPercent(level), percent) << level;
}

TEST(Settings, StartValuesAndRanges) {
    const Settings s;
    EXPECT_EQ(s.udnk.position(), 4);
    EXPECT_EQ(s.udn.position(), 96);
    EXPECT_EQ(s.UDTempo.position(), 255);
    const std::tuple<const SpinnerSetting &, int, int> spinners[] = {
        {s.udnk, 1, 10}, {s.udn, 2, 96}, {s.UDTempo, 1, 255}};
    for (const auto &[spinner, min, max] : spinners) {
        EXPECT_EQ(spinner.Min, min);
        EXPECT_EQ(spinner.Max, max);
    }
    const FileSettings f;
    const std::tuple<const ScrollSetting &, int, int, int> bars[] = {{f.SBWolkenT, 1, 255, 1},
                                                                     {f.SBWolkenA, 0, 255, 0},
                                                                     {f.SBMondA, 0, 255, 0},
                                                                     {s.sbhell, 0, 100, 0},
                                                                     {s.sbmond, 0, 27, 0}};
    for (const auto &[bar, min, max, start] : bars) {
        EXPECT_EQ(bar.Min, min);
        EXPECT_EQ(bar.Max, max);
        EXPECT_EQ(bar.position(), start);
    }
}

TEST(Settings, ScrollBarPositionsClampIntoTheirRange) {
    Settings s;
    FileSettings f;
    f.SBWolkenT.setPosition(0);
    EXPECT_EQ(f.SBWolkenT.position(), 1);
    f.SBWolkenT.setPosition(256);
    EXPECT_EQ(f.SBWolkenT.position(), 255);
    f.SBWolkenA.setPosition(200);
    EXPECT_EQ(f.SBWolkenA.position(), 200);
    s.sbhell.setPosition(101);
    EXPECT_EQ(s.sbhell.position(), 100);
    s.sbmond.setPosition(-3);
    EXPECT_EQ(s.sbmond.position(), 0);
}

TEST(Settings, ANewSpinnerMaximumKeepsThePosition) {
    Settings s;
    s.udn.setMax(24);
    EXPECT_EQ(s.udn.position(), 96);
    s.udn.setPosition(97);
    EXPECT_EQ(s.udn.position(), 24);
}

} // namespace
