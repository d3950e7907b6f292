#include "edit/playback.h"

#include <algorithm>
#include <array>

namespace dim {

namespace {

// numerator / denominator (> 0) rounded to the nearest, half away from zero.
int RoundedDivision(int numerator, int denominator) {
    const int half = denominator / 2;
    return numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator);
}

struct Light {
    int red, green, blue;
};
constexpr Light kWhiteLight{255, 255, 255};
constexpr Light kBlueLight{40, 90, 255};
constexpr Light kMoonLight{110, 130, 255};

} // namespace

int LevelAtMinute(const DayCurve &curve, int minute) {
    const int t = ((minute % MinutesPerDay) + MinutesPerDay) % MinutesPerDay;
    const int column = t / MinutesPerColumn;
    const int from = curve[static_cast<size_t>(column)];
    const int to = curve[static_cast<size_t>((column + 1) % FilePoints)];
    return from + RoundedDivision((to - from) * (t % MinutesPerColumn), MinutesPerColumn);
}

QRgb LightSwatch(int white, int blue, int moon) {
    const auto mix = [&](int Light::*component) {
        const int sum = kWhiteLight.*component * white + kBlueLight.*component * blue +
                        kMoonLight.*component * moon;
        return std::min(MaxLevel, RoundedDivision(sum, MaxLevel));
    };
    return qRgb(mix(&Light::red), mix(&Light::green), mix(&Light::blue));
}

} // namespace dim
