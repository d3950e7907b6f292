#pragma once

#include "model/levels.h"

#include <array>

namespace dim {

// The light budget of a day of curves. Levels count as linear in light and in power, as a
// PWM duty cycle is: level 255 is full power, level 128 about half of it.

struct ChannelBudget {
    int litMinutes = 0;         // 15 minutes for each of the 96 points above 0
    int longestDarkMinutes = 0; // the longest run of points at 0, counted across midnight
    double fullPowerHours = 0;  // the sum of level / 255 x 0.25 h over the 96 points
    double energyWh = 0;        // watts at full power x full-power hours
    double dli = 0;             // daily light integral: PPFD x full-power hours x 0.0036
};

struct LightBudget {
    std::array<ChannelBudget, FileChannels> channels{};
    double totalEnergyWh = 0;
    double totalDli = 0;
};

// One channel's budget, given its watts and its PPFD (micromoles per square metre and
// second) at full power; 0 for either leaves energy or DLI at 0.
ChannelBudget ChannelLightBudget(const DayCurve &curve, double watts, double ppfd);

// The budget of channels 1..4 and the totals of energy (Wh a day) and DLI (mol per square
// metre and day) over them.
LightBudget DayLightBudget(const LevelTable &levels, const std::array<double, FileChannels> &watts,
                           const std::array<double, FileChannels> &ppfd);

} // namespace dim
