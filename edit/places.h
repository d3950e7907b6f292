#pragma once

#include "texts/tooltexts.h"

#include <array>

namespace dim {

// Places the animals of a tank come from, for the sun of their day: where on the earth they
// lie.
struct NativePlace {
    ToolText name;
    double latitude;  // degrees, north positive
    double longitude; // degrees, east positive
};

inline constexpr int NativePlaceCount = 7;
const std::array<NativePlace, NativePlaceCount> &NativePlaces();

} // namespace dim
