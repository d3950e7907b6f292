#pragma once

#include "model/levels.h"

#include <QRgb>

namespace dim {

// The pure parts of playing the day: the levels between the quarter-hours and the colour of
// the light they make.

// The level of a channel's day at a minute of the day, as the chart's lines show it: with
// c = t div 15 and f = (t mod 15) / 15, l(t) = l[c] + (l[c + 1] - l[c]) x f rounded half
// away from zero, the last point joined to the first over midnight. Minutes outside
// 0..1439 wrap around the day (24:00 is 0:00).
int LevelAtMinute(const DayCurve &curve, int minute);

// The light of white, blue and moon levels (0..255) as one colour: the additive mix of white
// light (255, 255, 255), blue (40, 90, 255) and moonlight (110, 130, 255), each times
// level / 255, rounded to the nearest and clipped at 255 per component.
QRgb LightSwatch(int white, int blue, int moon);

} // namespace dim
