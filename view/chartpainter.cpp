#include "view/chartpainter.h"

#include "view/fonts.h"
#include "view/sheet.h"

#include <algorithm>
#include <cstring>

namespace dim {

void MoveToPoint(Canvas &canvas, Geometry &geometry, int channel, int column, int level) {
    geometry.MapPoint(channel, column, level);
    canvas.moveTo(geometry.PointX, geometry.PointY);
}

void LineToPoint(Canvas &canvas, Geometry &geometry, int channel, int column, int level) {
    geometry.MapPoint(channel, column, level);
    canvas.lineTo(geometry.PointX, geometry.PointY);
}

void CopyBandBackground(QImage &surface, int dstY, const QImage &sheet, int sheetY, int width,
                        int height) {
    width = std::min(width, surface.width());
    BlockCopy(surface, 0, dstY, sheet, 0, sheetY, std::min(width, SheetBandWidth), height);
    if (width <= SheetBandWidth)
        return;

    constexpr int kRunStart = SheetBandWidth - 800;
    const int y0 = std::max({0, dstY, dstY - sheetY});
    const int y1 = std::min({surface.height(), dstY + height, dstY - sheetY + sheet.height()});
    for (int y = y0; y < y1; ++y) {
        const QRgb *src = reinterpret_cast<const QRgb *>(sheet.constScanLine(y - dstY + sheetY));
        QRgb *dst = reinterpret_cast<QRgb *>(surface.scanLine(y));
        for (int x = SheetBandWidth; x < width;) {
            const int k = (x - SheetBandWidth) % 1600;
            const int run = std::min(800 - k % 800, width - x);
            if (k < 800) { // backwards from the last column
                const QRgb *s = src + (SheetBandWidth - 1 - k);
                for (int i = 0; i < run; ++i)
                    dst[x + i] = s[-i];
            } else { // forwards from column 1200
                std::memcpy(dst + x, src + kRunStart + (k - 800),
                            static_cast<size_t>(run) * sizeof(QRgb));
            }
            x += run;
        }
    }
}

namespace {

void DrawMarker(Canvas &canvas, const Geometry &g) {
    canvas.rectangle(g.PointX - 3, g.PointY - 3, g.PointX + 3, g.PointY + 3);
}

// The caption of band b (1..4), blended into the rectangle from 30 rows above the band to its
// end. Inside the band the result depends only on the band's background, so it is kept and
// copied on later repaints; rows of the band above are always blended afresh.
void DrawBandCaption(Canvas &canvas, ChartState &state, const PaintInputs &in, int b, int look) {
    const Geometry &g = state.geometry;
    const int top = (b - 1) * g.BandHeight;
    const QString &text = in.captions[static_cast<size_t>(b - 1)];
    const QRect rect(QPoint(40, top - 30), QPoint(800 - 1, b * g.BandHeight - 1));
    const QRect box = TranslucentTextBox(canvas, rect, in.captionFont, text);
    if (box.isEmpty())
        return;
    const QRect above = box & QRect(QPoint(box.left(), box.top()), QPoint(box.right(), top - 1));
    if (!above.isEmpty())
        DrawTranslucentText(canvas, rect, CaptionAlpha, in.captionFont, in.captionColor, text,
                            state.captionScratch, above);
    const QRect inside = box & QRect(QPoint(box.left(), top), QPoint(box.right(), box.bottom()));
    if (inside.isEmpty())
        return;

    CaptionCache &cache = state.captions[static_cast<size_t>(b - 1)];
    const QRect relative = inside.translated(0, -top);
    const QString key = QStringLiteral("%1|%2|%3|%4|%5|%6")
                            .arg(text, in.captionFont.key())
                            .arg(in.captionColor)
                            .arg(in.sheet.cacheKey())
                            .arg(look)
                            .arg(g.BandHeight);
    if (cache.key == key && cache.box == relative) {
        BlockCopy(canvas.surface(), inside.left(), inside.top(), cache.pixels, 0, 0, inside.width(),
                  inside.height());
        return;
    }
    DrawTranslucentText(canvas, rect, CaptionAlpha, in.captionFont, in.captionColor, text,
                        state.captionScratch, inside);
    cache.key = key;
    cache.box = relative;
    cache.pixels = canvas.surface().copy(inside);
}

void PaintBand(Canvas &canvas, ChartState &state, const PaintInputs &in, int b) {
    Geometry &g = state.geometry;
    QImage &surface = canvas.surface();
    const LevelRow &levels = in.Levels[static_cast<size_t>(b)];

    // Bands past the fourth take the backgrounds of bands 1..4 again, in turn.
    const int look = (b - 1) % 4;
    CopyBandBackground(surface, (b - 1) * g.BandHeight, in.sheet, look * SheetBandHeight,
                       g.ChartWidth + 20, g.BandHeight);
    if (b <= 4) {
        DrawBandCaption(canvas, state, in, b, look);
        state.BandDirty[static_cast<size_t>(b - 1)] = 0;
    }
    canvas.setBrushColor(MarkerColor);

    // Grid: a line at every column from the level-0 row up to the band's top row, without
    // its end pixel; drawn row by row, which gives the same pixels as one line after another.
    canvas.setPenColor(GridColor);
    if (g.PointCount > 0) {
        std::vector<int> &xs = state.gridColumns;
        xs.clear();
        for (int i = 0; i < g.PointCount; ++i) {
            g.MapPoint(b, i, 0);
            xs.push_back(g.PointX);
        }
        const int bottom = g.PointY;
        g.MapPoint(b, g.PointCount - 1, 255);
        canvas.verticalLines(xs, bottom, g.PointY);
        canvas.moveTo(g.PointX, g.PointY);
    }

    canvas.setPenColor(CurveColor);
    for (int i = 0; i + 1 < g.PointCount; ++i) {
        MoveToPoint(canvas, g, b, i, levels[static_cast<size_t>(i)]);
        LineToPoint(canvas, g, b, i + 1, levels[static_cast<size_t>(i + 1)]);
        DrawMarker(canvas, g);
    }
    LineToPoint(canvas, g, b, g.PointCount, levels[0]);
    g.MapPoint(b, 0, levels[0]);
    DrawMarker(canvas, g);
}

void PaintAxis(Canvas &canvas, const PaintInputs &in, const Geometry &g, const QFont &labelFont) {
    canvas.setFont(labelFont, LabelCellHeight);
    canvas.setFontColor(0xffffffffu);
    CopyBandBackground(canvas.surface(), 4 * g.BandHeight, in.sheet, 750 + g.BandHeight,
                       g.ChartWidth + 20, AxisStripHeight);
    const int y = 4 * g.BandHeight - 20;
    for (int i = 0; i <= 3; ++i)
        canvas.textOut(g.ColumnWidth * 24 * i + 5, y, QString::number(6 * i));
    canvas.textOut(g.ColumnWidth * 96 - 25, y, QStringLiteral("24"));
}

} // namespace

QRegion PaintCurves(QImage &surface, ChartState &state, const PaintInputs &in, bool full) {
    Geometry &g = state.geometry;
    g.UpdateLayout(surface.width(), surface.height(), in.pointCount, in.channelCount);

    Canvas canvas(surface);
    canvas.setPenColor(in.buttonFace);
    canvas.setBrushColor(in.buttonFace);
    const QFont labelFont = LabelFont();

    QRegion changed;
    const bool tailDirty = state.BandDirty[DirtyFlagCount - 1] != 0;
    for (int b = 1; b <= g.ChannelCount; ++b) {
        const bool dirty = b <= 4 ? state.BandDirty[static_cast<size_t>(b - 1)] != 0 : tailDirty;
        if (full || dirty) {
            PaintBand(canvas, state, in, b);
            changed += QRect(0, (b - 1) * g.BandHeight - 30, surface.width(), g.BandHeight + 30);
        }
    }
    // The strip and hour labels go over the bands drawn before them; drawn after the last band
    // they come out as if drawn after each.
    if (g.ChannelCount >= 1)
        PaintAxis(canvas, in, g, labelFont);

    canvas.setFont(labelFont, LabelCellHeight);
    for (int i = 1; i <= 4; ++i) {
        canvas.setFontColor(i == 4 ? 0xffffffffu : 0xff000000u);
        const QString top = QStringLiteral("100%");
        const QString bottom = QStringLiteral("0%");
        canvas.textOut(g.ChartWidth - canvas.textWidth(top), (i - 1) * g.BandHeight, top);
        canvas.textOut(g.ChartWidth - canvas.textWidth(bottom),
                       i * g.BandHeight - canvas.textHeight(bottom) - 20, bottom);
    }

    // The strip and the unsmoothed labels come out the same pixels on every paint, so they
    // need showing only with a band that was redrawn under them.
    // The scratch bitmap serves only captions drawn afresh; it is not kept between paints.
    state.captionScratch = QImage();
    if (full)
        return QRegion(surface.rect());
    if (!changed.isEmpty())
        changed += QRect(0, 4 * g.BandHeight - 20, surface.width(), AxisStripHeight + 20);
    return changed & surface.rect();
}

PaintInputs EditorPaintInputs(const QImage &sheet, const LevelTable &levels,
                              const Settings &settings, const TextTable &texts, int language,
                              const QPalette &palette) {
    return PaintInputs{sheet,
                       levels,
                       settings.udn.position(),
                       settings.udnk.position(),
                       CaptionFont(),
                       palette.color(QPalette::WindowText).rgb(),
                       palette.color(QPalette::Button).rgb(),
                       BandCaptions(texts, language)};
}

} // namespace dim
