#pragma once

#include "texts/tooltexts.h"

#include <QDate>

#include <array>

namespace dim {

// Places the animals of a tank come from, for the sun of their day: where on the earth they
// lie and the clock they keep.
struct NativePlace {
    ToolText name;
    double latitude;           // degrees, north positive
    double longitude;          // degrees, east positive
    const char *zone;          // the time zone's name in the system's zone database
    int standardOffsetMinutes; // the zone's offset without summer time
};

inline constexpr int NativePlaceCount = 7;
const std::array<NativePlace, NativePlaceCount> &NativePlaces();

// The place's clock on a date, in minutes ahead of UTC: its zone's offset (summer time
// included), or its standard offset on a system that does not know the zone.
int PlaceUtcOffset(const NativePlace &place, const QDate &date);

} // namespace dim
