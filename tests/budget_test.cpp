#include "edit/budget.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

using namespace dim;

namespace {

// A day at level everywhere but over the given column ranges [from, to).
DayCurve Day(int level, std::initializer_list<std::pair<std::pair<int, int>, int>> spans = {}) {
    DayCurve curve;
    curve.fill(level);
    for (const auto &[span, value] : spans)
        for (int k = span.first; k < span.second; ++k)
            curve[static_cast<size_t>(k)] = value;
    return curve;
}

TEST(LightBudget, LitTimeDarkStretchAndFullPowerHoursOfADay) {
    struct Case {
        const char *name;
        DayCurve curve;
        int lit;
        int dark;
        double hours; // sum of level / 255 x 0.25
    };
    const Case cases[] = {
        {"all dark", Day(0), 0, 1440, 0},
        {"all full", Day(255), 1440, 0, 24},
        // 06:00 to 18:00 at full: the night runs from 18:00 over midnight to 06:00.
        {"one night over midnight", Day(0, {{{24, 72}, 255}}), 720, 720, 12},
        // Dark 02:30-05:00 (10 points) and 10:00-17:30 (30 points): the longer one wins.
        {"two stretches", Day(51, {{{10, 20}, 0}, {{40, 70}, 0}}), 56 * 15, 450,
         56 * 51 * 0.25 / 255},
        // Dark 23:00-01:00 across midnight (8 points) beats 12:00-13:30 (6 points).
        {"longer across midnight", Day(255, {{{0, 4}, 0}, {{92, 96}, 0}, {{48, 54}, 0}}), 82 * 15,
         120, 82 * 0.25},
        {"one lit point", Day(0, {{{95, 96}, 128}}), 15, 1425, 128 * 0.25 / 255},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ChannelBudget budget = ChannelLightBudget(c.curve, 0, 0);
        EXPECT_EQ(budget.litMinutes, c.lit);
        EXPECT_EQ(budget.longestDarkMinutes, c.dark);
        EXPECT_DOUBLE_EQ(budget.fullPowerHours, c.hours);
    }
}

TEST(LightBudget, EnergyFromWattsAndDliFromPpfdWithTheirTotals) {
    LevelTable levels{};
    for (const auto &[channel, curve] :
         {std::pair{1, Day(0, {{{24, 72}, 255}})},   // 12 full-power hours
          std::pair{2, Day(0, {{{20, 76}, 51}})},    // 56 x 0.05 = 2.8 hours
          std::pair{3, Day(255)},                    // 24 hours
          std::pair{4, Day(0, {{{0, 16}, 255}})}}) { // 4 hours
        SetChannelCurve(levels, channel, curve);
    }
    const LightBudget budget = DayLightBudget(levels, {50, 30, 0, 2.5}, {400, 250, 100, 0});
    struct Expected {
        double hours, energy, dli;
    };
    const Expected expected[] = {
        {12, 600, 12 * 400 * 0.0036},  // 17.28 mol/m2/day
        {2.8, 84, 2.8 * 250 * 0.0036}, // 2.52
        {24, 0, 24 * 100 * 0.0036},    // 8.64
        {4, 10, 0},
    };
    for (size_t n = 0; n < 4; ++n) {
        SCOPED_TRACE(n + 1);
        EXPECT_NEAR(budget.channels[n].fullPowerHours, expected[n].hours, 1e-12);
        EXPECT_NEAR(budget.channels[n].energyWh, expected[n].energy, 1e-9);
        EXPECT_NEAR(budget.channels[n].dli, expected[n].dli, 1e-9);
    }
    EXPECT_NEAR(budget.totalEnergyWh, 694, 1e-9);
    EXPECT_NEAR(budget.totalDli, 17.28 + 2.52 + 8.64, 1e-9);
    // Row 0 and columns past the day are no part of any channel.
    levels[0].fill(255);
    levels[1][200] = 255;
    EXPECT_NEAR(DayLightBudget(levels, {50, 30, 0, 2.5}, {400, 250, 100, 0}).totalEnergyWh, 694,
                1e-9);
}

} // namespace
