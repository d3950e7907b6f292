#include "edit/budget.h"

#include <algorithm>

namespace dim {

namespace {

// Moles per square metre in a micromole per square metre and second over an hour.
constexpr double kMolesPerMicromoleHour = 3600e-6;

} // namespace

ChannelBudget ChannelLightBudget(const DayCurve &curve, double watts, double ppfd) {
    ChannelBudget budget;
    int levels = 0;
    int lit = 0;
    for (const int level : curve) {
        levels += level;
        lit += level > 0 ? 1 : 0;
    }
    budget.litMinutes = lit * MinutesPerColumn;
    if (lit == 0) {
        budget.longestDarkMinutes = MinutesPerDay;
    } else {
        // Going round the day once from a lit point, every dark run is seen whole.
        const auto first = static_cast<int>(
            std::find_if(curve.begin(), curve.end(), [](int level) { return level > 0; }) -
            curve.begin());
        int run = 0;
        int longest = 0;
        for (int k = 1; k <= FilePoints; ++k) {
            run = curve[static_cast<size_t>((first + k) % FilePoints)] == 0 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        budget.longestDarkMinutes = longest * MinutesPerColumn;
    }
    budget.fullPowerHours = levels / static_cast<double>(MaxLevel) * MinutesPerColumn / 60.0;
    budget.energyWh = watts * budget.fullPowerHours;
    budget.dli = ppfd * budget.fullPowerHours * kMolesPerMicromoleHour;
    return budget;
}

LightBudget DayLightBudget(const LevelTable &levels, const std::array<double, FileChannels> &watts,
                           const std::array<double, FileChannels> &ppfd) {
    LightBudget budget;
    for (size_t n = 0; n < FileChannels; ++n) {
        ChannelBudget &channel = budget.channels[n];
        channel =
            ChannelLightBudget(ChannelCurve(levels, static_cast<int>(n) + 1), watts[n], ppfd[n]);
        budget.totalEnergyWh += channel.energyWh;
        budget.totalDli += channel.dli;
    }
    return budget;
}

} // namespace dim
