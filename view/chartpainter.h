#pragma once

#include "model/levels.h"
#include "model/settings.h"
#include "texts/texts.h"
#include "view/canvas.h"
#include "view/geometry.h"
#include "view/sheet.h"

#include <QFont>
#include <QImage>
#include <QPalette>
#include <QRegion>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <future>
#include <vector>

namespace dim {

// A band caption as blended into its band's fresh background: the same on every repaint of
// the band until the text, font, colour, band height, surface size or sheet change. Only the
// pixels the caption changes are kept, as runs along the rows.
struct CaptionCache {
    struct Run {
        int x;
        int y; // relative to the band's top row
        int length;
        int first; // index of its first pixel in pixels
    };
    bool valid = false;
    QString text;
    QFont font;
    QRgb color = 0;
    qint64 sheetKey = 0;
    int look = -1;
    int bandHeight = 0;
    QSize surfaceSize;
    QRect box;                // what the caption may change, canvas coordinates
    bool inkAbove = true;     // whether its glyphs reach the rows of the band above
    std::vector<Run> runs;    // the changed pixels inside the band
    std::vector<QRgb> pixels; // their colours
};

// A band as it was last painted: when nothing but some of its levels has changed since, a
// repaint need redraw only the columns around those levels.
struct BandSnapshot {
    bool valid = false;
    int chartWidth = 0;
    int bandHeight = 0;
    int columnWidth = 0;
    int pointCount = 0;
    qint64 sheetKey = 0;
    QSize surfaceSize;
    LevelRow levels{};
};

// What the chart keeps between paints: its geometry and the repaint flags of bands 1..4.
// Bands past the fourth share the fourth flag, so an edit below band 4 repaints them too.
struct ChartState {
    Geometry geometry;
    std::array<uint8_t, DirtyFlagCount> BandDirty{};
    QImage captionScratch; // reused by the band captions
    std::array<CaptionCache, 4> captions;
    // Captions drawn before the first paint (PrepareCaptions), each offered to the first paint
    // of its band and then dropped.
    std::array<CaptionCache, 4> prepared;
    std::vector<int> gridColumns;                // reused by the grid
    TextSpriteCache labels;                      // the unsmoothed axis and band labels
    std::array<BandSnapshot, LevelRows> painted; // bands 1..10 as last painted
    qint64 surfaceKey = 0;                       // the surface's cache key after that paint
};

// What one paint reads besides the chart state.
struct PaintInputs {
    const QImage &sheet;
    const LevelTable &Levels;
    int pointCount;   // position of the point-count spinner
    int channelCount; // position of the channel-count spinner
    QFont captionFont;
    QRgb captionColor;               // the window-text colour
    QRgb buttonFace;                 // the window's background colour
    std::array<QString, 4> captions; // band captions of the selected language
};

// The inputs of the chart as the editor paints it: its sheet and table, the point and
// channel counts of the view settings, the caption font, the palette's window-text and
// button colours, and the band captions of a language (a row of the text table).
PaintInputs EditorPaintInputs(const QImage &sheet, const LevelTable &levels,
                              const Settings &settings, const TextTable &texts, int language,
                              const QPalette &palette);

inline constexpr QRgb GridColor = 0xff008000u;
inline constexpr QRgb CurveColor = 0xff0000ffu;
inline constexpr QRgb MarkerColor = 0xffff0000u;
inline constexpr uint8_t CaptionAlpha = 40;
// A band caption is blended into the columns from CaptionLeft up to CaptionRight, from
// CaptionAbove rows above its band to the band's end.
inline constexpr int CaptionLeft = 40;
inline constexpr int CaptionRight = 800;
inline constexpr int CaptionAbove = 30;

void MoveToPoint(Canvas &canvas, Geometry &geometry, int channel, int column, int level);
void LineToPoint(Canvas &canvas, Geometry &geometry, int channel, int column, int level);

// Copies width x height pixels of the sheet's band rows starting at sheetY to row dstY of
// the surface. Past the sheet's 2000 band columns the background goes on by running back
// and forth over its last 800 columns, so a wide chart shows no seam and no panel stripe.
void CopyBandBackground(QImage &surface, int dstY, const QImage &sheet, int sheetY, int width,
                        int height);

// The captions of bands 1..4 as a paint would blend them into their fresh backgrounds, for
// ChartState::prepared: a band takes its caption from here when text, font, colour and sheet
// are the same and the caption's part in the band lies wholly inside its rows and the surface.
// The others are drawn by the paint as ever.
std::array<CaptionCache, 4> PrepareCaptions(const QImage &sheet,
                                            const std::array<QString, 4> &captions, QRgb color);
// PrepareCaptions on a thread of its own, as soon as the sheet is there; without a sheet,
// none. The glyphs of the large caption font are the slowest part of a first paint; the
// search for the labels' size (LabelFont) is done there first, too.
std::future<std::array<CaptionCache, 4>>
PrepareCaptionsAhead(std::shared_future<DecodedSheet> sheet, std::array<QString, 4> captions,
                     QRgb color);

// Paints the chart into surface (the chart's canvas). A full paint redraws every band; a
// partial one only the bands flagged dirty, clearing their flags. The axis strip and all
// labels are redrawn either way. Returns the area whose pixels may have changed.
QRegion PaintCurves(QImage &surface, ChartState &state, const PaintInputs &in, bool full);

} // namespace dim
