#pragma once

#include "model/levels.h"
#include "view/geometry.h"

#include <QFont>
#include <QRect>
#include <QRegion>
#include <QRgb>
#include <QSize>
#include <QString>

#include <array>

class QPainter;

namespace dim {

// The marker of the day's play as the chart shows it on the screen, over its surface: a
// vertical line at the time across the bands, and beside it a box with the time, the four
// channels' levels and a swatch of the light.
struct PlayMark {
    QRect line; // null when there is no marker
    QRect box;
    QString time;
    std::array<QString, FileChannels> names;    // the channels' names
    std::array<QString, FileChannels> percents; // their levels in percent
    QRgb swatch = 0;
    QFont font;

    bool isNull() const { return line.isNull(); }
    // What the marker covers on the screen: what is painted again when it moves or goes.
    QRegion area() const;
};

// Where the marker and its box go for a minute of the day (0..1440) on the chart: the line, three
// pixels wide, centred on the minute's column (column c at 15 c minutes, 24:00 at the end of the
// day's last segment), from the chart's top to the end of its fourth band; the box a little to the
// right of it near the top, or to its left where it would pass the chart's right edge.
struct PlayMarkRects {
    QRect line;
    QRect box;
};
PlayMarkRects PlayMarkPlace(const Geometry &geometry, int minute, QSize boxSize);

// The marker of a readout: minute, the levels 0..255 of channels 1..4 and the swatch, with the
// channels' names, laid out in the font.
PlayMark MakePlayMark(const Geometry &geometry, int minute,
                      const std::array<int, FileChannels> &levels, QRgb swatch,
                      const std::array<QString, FileChannels> &names, const QFont &font);

// Draws the marker on the screen's painter; nothing for a null marker.
void DrawPlayMark(QPainter &painter, const PlayMark &mark);

} // namespace dim
