#include "model/settings.h"

#include <algorithm>

void SpinnerSetting::setPosition(int value) {
    Position = static_cast<int16_t>(std::clamp<int>(value, Min, Max));
}

void SpinnerSetting::setMax(int value) {
    Max = static_cast<int16_t>(value);
}

void ScrollSetting::setPosition(int value) {
    Position = std::clamp<int>(value, Min, Max);
}
