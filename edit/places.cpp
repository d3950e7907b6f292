#include "edit/places.h"

#include "edit/sun.h"

#include <QTimeZone>

namespace dim {

const std::array<NativePlace, NativePlaceCount> &NativePlaces() {
    static const std::array<NativePlace, NativePlaceCount> places{{
        // The research station on Lizard Island, northern Great Barrier Reef, Queensland.
        {ToolText::PlaceLizardIsland, -14.67, 145.45, "Australia/Brisbane", 600},
        // Eilat's coral beach at the head of the Gulf of Aqaba, northern Red Sea.
        {ToolText::PlaceEilat, 29.50, 34.92, "Asia/Jerusalem", 120},
        // The barrier reef off Belize City, across the lagoon from the coast (Caribbean).
        {ToolText::PlaceBelizeReef, 17.30, -87.80, "America/Belize", -360},
        // Cape Maclear at the lake's southern end, Malawi, home of many mbuna cichlids.
        {ToolText::PlaceLakeMalawi, -14.02, 34.84, "Africa/Blantyre", 120},
        // Kigoma on the lake's eastern shore, Tanzania.
        {ToolText::PlaceLakeTanganyika, -4.88, 29.63, "Africa/Dar_es_Salaam", 180},
        // Manaus, where the Rio Negro meets the Amazon, Brazil.
        {ToolText::PlaceManaus, -3.12, -60.02, "America/Manaus", -240},
        // The middle of Bali, Indonesia, between its northern and southern reefs.
        {ToolText::PlaceBali, -8.34, 115.09, "Asia/Makassar", 480},
    }};
    return places;
}

int PlaceUtcOffset(const NativePlace &place, const QDate &date) {
    const QTimeZone zone(place.zone);
    if (!zone.isValid())
        return place.standardOffsetMinutes;
    return UtcOffsetOn(date, zone);
}

} // namespace dim
