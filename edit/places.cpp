#include "edit/places.h"

namespace dim {

const std::array<NativePlace, NativePlaceCount> &NativePlaces() {
    static const std::array<NativePlace, NativePlaceCount> places{{
        // The research station on Lizard Island, northern Great Barrier Reef, Queensland.
        {ToolText::PlaceLizardIsland, -14.67, 145.45},
        // Eilat's coral beach at the head of the Gulf of Aqaba, northern Red Sea.
        {ToolText::PlaceEilat, 29.50, 34.92},
        // The barrier reef off Belize City, across the lagoon from the coast (Caribbean).
        {ToolText::PlaceBelizeReef, 17.30, -87.80},
        // Cape Maclear at the lake's southern end, Malawi, home of many mbuna cichlids.
        {ToolText::PlaceLakeMalawi, -14.02, 34.84},
        // Kigoma on the lake's eastern shore, Tanzania.
        {ToolText::PlaceLakeTanganyika, -4.88, 29.63},
        // Manaus, where the Rio Negro meets the Amazon, Brazil.
        {ToolText::PlaceManaus, -3.12, -60.02},
        // The middle of Bali, Indonesia, between its northern and southern reefs.
        {ToolText::PlaceBali, -8.34, 115.09},
    }};
    return places;
}

} // namespace dim
