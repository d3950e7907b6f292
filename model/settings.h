#pragma once

#include <array>
#include <cstdint>

namespace dim {

// An up-down spinner position: a signed 16-bit value with its own range.
struct SpinnerSetting {
    int16_t Min;
    int16_t Max;
    int16_t Position;

    // Moves the position, kept within the range like the spinner control does.
    void setPosition(int value);
    void setMax(int value);
    int position() const { return Position; } // widened with its sign
};

// A scroll-bar position: setting it clamps into the bar's range.
struct ScrollSetting {
    int32_t Min;
    int32_t Max;
    int32_t Position;

    void setPosition(int value);
    int position() const { return Position; }
    friend bool operator==(const ScrollSetting &, const ScrollSetting &) = default;
};

// The three settings a curve file carries, each held like the scroll bar that shows it.
struct FileSettings {
    ScrollSetting SBWolkenT{1, 255, 1}; // cloud speed, the only one the user can move
    ScrollSetting SBWolkenA{0, 255, 0}; // cloud intensity
    ScrollSetting SBMondA{0, 255, 0};   // moon-change intensity

    // The settings as a file stores them, one byte each, in file order.
    std::array<uint8_t, 3> bytes() const;
    // Takes stored values over, each clamped into its bar's range.
    static FileSettings fromStored(int cloudSpeed, int cloudIntensity, int moonChange);
    friend bool operator==(const FileSettings &, const FileSettings &) = default;
};

// The view settings held by the hidden spinners and the two scroll-bar settings that the
// selection file carries. The curve file's three live with the curves (FileSettings).
struct Settings {
    SpinnerSetting udnk{1, 10, 4};       // ChannelCount
    SpinnerSetting udn{2, 96, 96};       // PointCount
    SpinnerSetting UDTempo{1, 255, 255}; // Tempo

    ScrollSetting sbhell{0, 100, 0}; // brightness
    ScrollSetting sbmond{0, 27, 0};  // moon phase
};

} // namespace dim
