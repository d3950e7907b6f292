#include "model/settings.h"

#include <algorithm>

namespace dim {

void SpinnerSetting::setPosition(int value) {
    Position = static_cast<int16_t>(std::clamp<int>(value, Min, Max));
}

void SpinnerSetting::setMax(int value) {
    Max = static_cast<int16_t>(value);
}

void ScrollSetting::setPosition(int value) {
    Position = std::clamp<int>(value, Min, Max);
}

std::array<uint8_t, 3> FileSettings::bytes() const {
    return {static_cast<uint8_t>(SBWolkenT.position() & 0xff),
            static_cast<uint8_t>(SBWolkenA.position() & 0xff),
            static_cast<uint8_t>(SBMondA.position() & 0xff)};
}

FileSettings FileSettings::fromStored(int cloudSpeed, int cloudIntensity, int moonChange) {
    FileSettings settings;
    settings.SBWolkenT.setPosition(cloudSpeed);
    settings.SBWolkenA.setPosition(cloudIntensity);
    settings.SBMondA.setPosition(moonChange);
    return settings;
}

} // namespace dim
