#include "edit/playback.h"

#include <gtest/gtest.h>

using namespace dim;

namespace {

TEST(Playback, LevelsBetweenTheQuarterHoursFollowTheChartsLines) {
    DayCurve curve{};
    curve[10] = 0;
    curve[11] = 255;
    curve[12] = 10;
    curve[13] = 3;
    curve[95] = 60; // and curve[0] is 0: joined over midnight
    struct Case {
        int minute;
        int level; // l[c] + (l[c+1] - l[c]) x (t mod 15) / 15, rounded to the nearest
    };
    const Case cases[] = {
        {165, 255}, {180, 10},  // on the quarter-hours: the table
        {151, 17},  {164, 238}, // 0 to 255: 17 a minute
        {166, 239}, {179, 26},  // 255 down to 10: 16.33 a minute
        {187, 7},   {188, 6},   // 10 to 3: -3.27 and -3.73
        {1430, 40}, {1439, 4},  // 23:45 to midnight, to the first point
        {1440, 0},  {-15, 60},  // around the day
    };
    for (const Case &c : cases)
        EXPECT_EQ(LevelAtMinute(curve, c.minute), c.level) << c.minute;
}

TEST(Playback, TheSwatchMixesWhiteBlueAndMoonlight) {
    struct Case {
        int white, blue, moon;
        QRgb colour;
    };
    const Case cases[] = {
        {0, 0, 0, qRgb(0, 0, 0)},
        {255, 0, 0, qRgb(255, 255, 255)},
        {0, 255, 0, qRgb(40, 90, 255)},
        {0, 0, 255, qRgb(110, 130, 255)},
        {0, 51, 0, qRgb(8, 18, 51)},
        {0, 128, 128, qRgb(75, 110, 255)},  // blue 256 clipped; 75.29 and 110.43 rounded
        {100, 0, 100, qRgb(143, 151, 200)}, // 143.14, 150.98
    };
    for (const Case &c : cases)
        EXPECT_EQ(LightSwatch(c.white, c.blue, c.moon), c.colour)
            << c.white << " " << c.blue << " " << c.moon;
}

} // namespace
