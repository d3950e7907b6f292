#include "view/chartpainter.h"

#include "model/processors.h"
#include "view/fonts.h"
#include "view/sheet.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>
#include <optional>
#include <utility>

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

    constexpr int kRunStart = SheetBandWidth - SheetMirrorRun;
    const int y0 = std::max({0, dstY, dstY - sheetY});
    const int y1 = std::min({surface.height(), dstY + height, dstY - sheetY + sheet.height()});
    for (int y = y0; y < y1; ++y) {
        const QRgb *src = reinterpret_cast<const QRgb *>(sheet.constScanLine(y - dstY + sheetY));
        QRgb *dst = reinterpret_cast<QRgb *>(surface.scanLine(y));
        for (int x = SheetBandWidth; x < width;) {
            const int k = (x - SheetBandWidth) % (2 * SheetMirrorRun);
            const int run = std::min(SheetMirrorRun - k % SheetMirrorRun, width - x);
            if (k < SheetMirrorRun) { // backwards from the last column
                const QRgb *s = src + (SheetBandWidth - 1 - k);
                for (int i = 0; i < run; ++i)
                    dst[x + i] = s[-i];
            } else { // forwards from column 1200
                std::memcpy(dst + x, src + kRunStart + (k - SheetMirrorRun),
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

bool SameCaption(const CaptionCache &cache, const PaintInputs &in, const QString &text, int look,
                 int bandHeight, QSize surfaceSize) {
    return cache.valid && cache.look == look && cache.bandHeight == bandHeight &&
           cache.surfaceSize == surfaceSize && cache.color == in.captionColor &&
           cache.sheetKey == in.sheet.cacheKey() && cache.text == text &&
           cache.font == in.captionFont;
}

// Whether the caption's glyphs, drawn into rect as DrawTranslucentText draws them, put any
// ink on the rows above row `top`.
bool InkAbove(const QRect &rect, const QRect &above, const QFont &font, const QString &text) {
    if (above.isEmpty())
        return false;
    QImage probe(above.size(), QImage::Format_RGB32);
    if (probe.isNull())
        return true;
    probe.fill(0xff000000u);
    {
        QPainter painter(&probe);
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(0xffffffffu));
        painter.drawText(QPoint(rect.left() + 20, rect.top() + 20 + QFontMetrics(font).ascent()) -
                             above.topLeft(),
                         text);
    }
    for (int y = 0; y < probe.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(probe.constScanLine(y));
        for (int x = 0; x < probe.width(); ++x)
            if (line[x] != 0xff000000u)
                return true;
    }
    return false;
}

// Keeps the pixels of `after` that differ from `before` (both the size of box, which lies at
// the band's top row `top`) as runs.
void KeepChangedPixels(CaptionCache &cache, const QImage &before, const QImage &after,
                       const QRect &box, int top) {
    cache.runs.clear();
    cache.pixels.clear();
    for (int y = 0; y < box.height(); ++y) {
        const QRgb *was = reinterpret_cast<const QRgb *>(before.constScanLine(y));
        const QRgb *now = reinterpret_cast<const QRgb *>(after.constScanLine(y));
        for (int x = 0; x < box.width();) {
            if (was[x] == now[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < box.width() && was[x] != now[x])
                ++x;
            cache.runs.push_back({box.left() + start, box.top() - top + y, x - start,
                                  static_cast<int>(cache.pixels.size())});
            cache.pixels.insert(cache.pixels.end(), now + start, now + x);
        }
    }
    // Kept for the window's whole run: no room to grow.
    cache.runs.shrink_to_fit();
    cache.pixels.shrink_to_fit();
}

// Where the caption of a band whose rows run from top to bottom is blended.
QRect CaptionRect(int top, int bottom) {
    return QRect(QPoint(CaptionLeft, top - CaptionAbove), QPoint(CaptionRight - 1, bottom));
}

// Blends a caption afresh into `inside`, its part in the band whose top row is `top`, and
// keeps the pixels it changes.
void KeepFreshCaption(Canvas &canvas, CaptionCache &cache, const QRect &rect, const QRect &inside,
                      int top, const QFont &font, QRgb color, const QString &text,
                      QImage &scratch) {
    const QImage before = canvas.surface().copy(inside);
    DrawTranslucentText(canvas, rect, CaptionAlpha, font, color, text, scratch, inside);
    KeepChangedPixels(cache, before, canvas.surface().copy(inside), inside, top);
    cache.valid = true;
    cache.text = text;
    cache.font = font;
    cache.color = color;
}

// The caption of band b (1..4), blended into the rectangle from 30 rows above the band to its
// end. Inside the band the result depends only on the band's background, so the pixels it
// changes are kept and written again on later repaints; rows of the band above are blended
// afresh whenever the glyphs reach them. Kept pixels are written only in the given range of
// columns. Returns the part inside the band; the grid lines through it are to be drawn again.
QRect DrawBandCaption(Canvas &canvas, ChartState &state, const PaintInputs &in, int b, int look,
                      std::pair<int, int> columns = {0, std::numeric_limits<int>::max()}) {
    const Geometry &g = state.geometry;
    const int top = (b - 1) * g.BandHeight;
    const QString &text = in.captions[static_cast<size_t>(b - 1)];
    const QRect rect = CaptionRect(top, b * g.BandHeight - 1);
    CaptionCache &cache = state.captions[static_cast<size_t>(b - 1)];
    const QSize surfaceSize = canvas.surface().size();
    const bool kept = SameCaption(cache, in, text, look, g.BandHeight, surfaceSize);

    const QRect box = kept ? cache.box : TranslucentTextBox(canvas, rect, in.captionFont, text);
    if (box.isEmpty()) {
        cache.valid = false;
        return {};
    }
    const QRect above = box & QRect(QPoint(box.left(), box.top()), QPoint(box.right(), top - 1));
    const bool inkAbove = kept ? cache.inkAbove : InkAbove(rect, above, in.captionFont, text);
    if (inkAbove && !above.isEmpty())
        DrawTranslucentText(canvas, rect, CaptionAlpha, in.captionFont, in.captionColor, text,
                            state.captionScratch, above);
    const QRect inside = box & QRect(QPoint(box.left(), top), QPoint(box.right(), box.bottom()));
    if (inside.isEmpty()) {
        cache.valid = false;
        return {};
    }

    if (kept) {
        QImage &surface = canvas.surface();
        for (const CaptionCache::Run &run : cache.runs) {
            const int from = std::max(run.x, columns.first);
            const int to = std::min(run.x + run.length, columns.second);
            if (from >= to)
                continue;
            QRgb *line = reinterpret_cast<QRgb *>(surface.scanLine(top + run.y));
            std::copy(cache.pixels.data() + run.first + (from - run.x),
                      cache.pixels.data() + run.first + (to - run.x), line + from);
        }
        return inside;
    }
    KeepFreshCaption(canvas, cache, rect, inside, top, in.captionFont, in.captionColor, text,
                     state.captionScratch);
    cache.sheetKey = in.sheet.cacheKey();
    cache.look = look;
    cache.bandHeight = g.BandHeight;
    cache.surfaceSize = surfaceSize;
    cache.box = box;
    cache.inkAbove = inkAbove;
    return inside;
}

// Band b's (1..4) caption drawn ahead, placed in the band as it is now, when its part inside
// the band lies wholly inside the band and the surface: then it is what the band would blend
// afresh, if text, font, colour and sheet are the same as well (SameCaption, at the paint).
// The rows above the band are blended at every paint, so they must be there whole or not at
// all (band 1's). Offered once.
void TakePreparedCaption(ChartState &state, int b, QSize surfaceSize) {
    CaptionCache taken = std::exchange(state.prepared[static_cast<size_t>(b - 1)], {});
    const Geometry &g = state.geometry;
    const int top = (b - 1) * g.BandHeight;
    const QRect drawn = taken.box.translated(0, top);
    const QRect clip = CaptionRect(top, b * g.BandHeight - 1) & QRect(QPoint(0, 0), surfaceSize);
    const QRect inside = drawn & QRect(QPoint(drawn.left(), top), drawn.bottomRight());
    const QRect above = drawn & QRect(drawn.topLeft(), QPoint(drawn.right(), top - 1));
    const QRect aboveShown = above & clip;
    if (!taken.valid || (inside & clip) != inside || (!aboveShown.isEmpty() && aboveShown != above))
        return;
    taken.box = drawn & clip;
    taken.inkAbove = taken.inkAbove && !aboveShown.isEmpty();
    taken.bandHeight = g.BandHeight;
    taken.surfaceSize = surfaceSize;
    state.captions[static_cast<size_t>(b - 1)] = std::move(taken);
}

// Paints band b (1..LevelRows - 1). With `columns`, a kept band is only brought up to date in
// that range of surface columns: the caller has made sure the rest would come out the same.
void PaintBand(Canvas &canvas, ChartState &state, const PaintInputs &in, int b,
               std::optional<std::pair<int, int>> columns = std::nullopt) {
    Geometry &g = state.geometry;
    QImage &surface = canvas.surface();
    const LevelRow &levels = in.Levels[static_cast<size_t>(b)];
    const int top = (b - 1) * g.BandHeight;

    // The grid: a line at every column from the level-0 row up to the band's top row, without
    // its end pixel; drawn row by row, which gives the same pixels as one line after another.
    std::vector<int> &xs = state.gridColumns;
    xs.clear();
    int gridFrom = 0; // the level-0 row
    int gridTo = 0;   // the top row, left out
    if (g.PointCount > 0) {
        for (int i = 0; i < g.PointCount; ++i) {
            g.MapPoint(b, i, 0);
            xs.push_back(g.PointX);
        }
        gridFrom = g.PointY;
        g.MapPoint(b, g.PointCount - 1, 255);
        gridTo = g.PointY;
    }
    // The grid's rows (gridFrom to gridTo, end left out) that lie within rows y0..y1 - 1.
    const int gridLow = gridFrom > gridTo ? gridTo + 1 : gridFrom;
    const int gridHigh = gridFrom > gridTo ? gridFrom : gridTo - 1;
    const auto gridRows = [&](int y0, int y1) {
        const int first = std::max(gridLow, y0);
        const int last = std::min(gridHigh, y1 - 1);
        if (first <= last)
            canvas.verticalLines(xs, last, first - 1); // rows last down to first
    };

    // Bands past the fourth take the backgrounds of bands 1..4 again, in turn.
    const int look = (b - 1) % 4;
    const int sheetTop = look * SheetBandHeight;
    const int width = g.ChartWidth + 20;
    canvas.setPenColor(GridColor);
    const bool captionKept = b <= 4 && SameCaption(state.captions[static_cast<size_t>(b - 1)], in,
                                                   in.captions[static_cast<size_t>(b - 1)], look,
                                                   g.BandHeight, surface.size());
    if (columns) {
        // Background, caption and grid in the columns that change, in the same order.
        const auto [left, right] = *columns;
        BlockCopy(surface, left, top, in.sheet, left, sheetTop, right - left, g.BandHeight);
        canvas.setColumnClip(left, right);
        if (b <= 4)
            DrawBandCaption(canvas, state, in, b, look, *columns);
        gridRows(top, top + g.BandHeight);
    } else if (b > 4 || captionKept) {
        // The grid goes on a few rows at a time, right after their background, while they
        // are still in the cache; a caption kept from an earlier paint is put back after.
        constexpr int kRows = 4;
        for (int y = 0; y < g.BandHeight; y += kRows) {
            const int rows = std::min(kRows, g.BandHeight - y);
            CopyBandBackground(surface, top + y, in.sheet, sheetTop + y, width, rows);
            gridRows(top + y, top + y + rows);
        }
        if (b <= 4) {
            const QRect inside = DrawBandCaption(canvas, state, in, b, look);
            if (!inside.isEmpty()) {
                // Only the columns within the caption need their grid again.
                std::vector<int> all;
                all.swap(xs);
                for (int x : all)
                    if (x >= inside.left() && x <= inside.right())
                        xs.push_back(x);
                gridRows(inside.top(), inside.bottom() + 1);
                xs.swap(all);
            }
        }
    } else {
        CopyBandBackground(surface, top, in.sheet, sheetTop, width, g.BandHeight);
        DrawBandCaption(canvas, state, in, b, look);
        gridRows(top, top + g.BandHeight);
    }
    if (b <= 4)
        state.BandDirty[static_cast<size_t>(b - 1)] = 0;
    canvas.setBrushColor(MarkerColor);
    if (g.PointCount > 0)
        canvas.moveTo(g.PointX, g.PointY);

    canvas.setPenColor(CurveColor);
    for (int i = 0; i + 1 < g.PointCount; ++i) {
        MoveToPoint(canvas, g, b, i, levels[static_cast<size_t>(i)]);
        LineToPoint(canvas, g, b, i + 1, levels[static_cast<size_t>(i + 1)]);
        DrawMarker(canvas, g);
    }
    LineToPoint(canvas, g, b, g.PointCount, levels[0]);
    g.MapPoint(b, 0, levels[0]);
    DrawMarker(canvas, g);
    canvas.clearColumnClip();

    BandSnapshot &snapshot = state.painted[static_cast<size_t>(b)];
    snapshot.valid = true;
    snapshot.chartWidth = g.ChartWidth;
    snapshot.bandHeight = g.BandHeight;
    snapshot.columnWidth = g.ColumnWidth;
    snapshot.pointCount = g.PointCount;
    snapshot.sheetKey = in.sheet.cacheKey();
    snapshot.surfaceSize = surface.size();
    snapshot.levels = levels;
    // This band's markers and caption may reach into the band above, and its background
    // covers what the band below put there: neither looks as when it was painted any more.
    state.painted[static_cast<size_t>(b - 1)].valid = false;
    if (b + 1 < LevelRows)
        state.painted[static_cast<size_t>(b + 1)].valid = false;
}

// The surface columns of band b that differ from its last paint when it is painted again
// now, if only some of its levels have changed since: the segments and markers around
// them. Empty when nothing would change; none when the band must be painted whole.
std::optional<std::pair<int, int>> ChangedColumns(const ChartState &state, const PaintInputs &in,
                                                  const QImage &surface, int b) {
    const Geometry &g = state.geometry;
    const BandSnapshot &snapshot = state.painted[static_cast<size_t>(b)];
    if (!snapshot.valid || snapshot.chartWidth != g.ChartWidth ||
        snapshot.bandHeight != g.BandHeight || snapshot.columnWidth != g.ColumnWidth ||
        snapshot.pointCount != g.PointCount || snapshot.sheetKey != in.sheet.cacheKey() ||
        snapshot.surfaceSize != surface.size() || g.PointCount < 2)
        return std::nullopt;
    if (b <= 4 && !SameCaption(state.captions[static_cast<size_t>(b - 1)], in,
                               in.captions[static_cast<size_t>(b - 1)], (b - 1) % 4, g.BandHeight,
                               surface.size()))
        return std::nullopt;
    const LevelRow &levels = in.Levels[static_cast<size_t>(b)];
    int first = -1;
    int last = -1;
    for (int i = 0; i < g.PointCount; ++i)
        if (levels[static_cast<size_t>(i)] != snapshot.levels[static_cast<size_t>(i)]) {
            if (first < 0)
                first = i;
            last = i;
        }
    if (first < 0)
        return std::pair{0, 0};
    if (first == 0) // the closing segment returns to the first level at the end of the day
        return std::nullopt;
    // Lines run between neighbouring points; markers reach 3 pixels to either side.
    const int left = (first - 1) * g.ColumnWidth + 10 - 4;
    const int right = std::min(last + 1, g.PointCount) * g.ColumnWidth + 10 + 4;
    // Past the sheet's band columns the background runs back and forth: paint whole.
    if (left < 0 || right > std::min(g.ChartWidth + 20, SheetBandWidth))
        return std::nullopt;
    return std::pair{left, right};
}

void PaintAxis(Canvas &canvas, const PaintInputs &in, const Geometry &g, const QFont &labelFont) {
    canvas.setFont(labelFont, LabelCellHeight);
    canvas.setFontColor(0xffffffffu);
    CopyBandBackground(canvas.surface(), 4 * g.BandHeight, in.sheet, SheetAxisTop(g.BandHeight),
                       g.ChartWidth + 20, AxisStripHeight);
    const int y = 4 * g.BandHeight - 20;
    for (int i = 0; i <= 3; ++i)
        canvas.textOut(g.ColumnWidth * 24 * i + 5, y, QString::number(6 * i));
    canvas.textOut(g.ColumnWidth * 96 - 25, y, QStringLiteral("24"));
}

} // namespace

QRegion PaintCurves(QImage &surface, ChartState &state, const PaintInputs &in, bool full) {
    Geometry &g = state.geometry;
    const Geometry before = g;
    g.UpdateLayout(surface.width(), surface.height(), in.pointCount, in.channelCount);
    const bool tailDirty = state.BandDirty[DirtyFlagCount - 1] != 0;
    // Whether the surface holds what the last paint left, in the same layout.
    const bool untouched =
        surface.cacheKey() == state.surfaceKey && g.ChartWidth == before.ChartWidth &&
        g.ChartHeight == before.ChartHeight && g.PointCount == before.PointCount &&
        g.ChannelCount == before.ChannelCount;
    if (!untouched)
        for (BandSnapshot &snapshot : state.painted)
            snapshot.valid = false;
    bool anyDirty = g.ChannelCount > 4 && tailDirty;
    for (int b = 1; b <= std::min(g.ChannelCount, 4); ++b)
        anyDirty = anyDirty || state.BandDirty[static_cast<size_t>(b - 1)] != 0;
    // With no band to redraw, the strip and labels would come out the pixels they are.
    if (!full && !anyDirty && untouched)
        return {};

    Canvas canvas(surface);
    canvas.setTextCache(&state.labels);
    canvas.setPenColor(in.buttonFace);
    canvas.setBrushColor(in.buttonFace);
    const QFont labelFont = LabelFont();

    QRegion changed;
    for (int b = 1; b <= g.ChannelCount; ++b) {
        const bool dirty = b <= 4 ? state.BandDirty[static_cast<size_t>(b - 1)] != 0 : tailDirty;
        if (!full && !dirty)
            continue;
        const int top = (b - 1) * g.BandHeight;
        if (b <= 4)
            TakePreparedCaption(state, b, surface.size());
        const auto columns = full ? std::nullopt : ChangedColumns(state, in, surface, b);
        if (!columns) {
            PaintBand(canvas, state, in, b);
            changed += QRect(0, top - 30, surface.width(), g.BandHeight + 30);
            continue;
        }
        if (b <= 4)
            state.BandDirty[static_cast<size_t>(b - 1)] = 0;
        if (columns->first >= columns->second)
            continue; // its levels are as painted: nothing would change
        PaintBand(canvas, state, in, b, columns);
        // Markers of the top row reach 3 rows into the band above; so may the caption.
        changed += QRect(QPoint(columns->first, top - 3),
                         QPoint(columns->second - 1, top + g.BandHeight - 1));
        if (b <= 4) {
            const CaptionCache &caption = state.captions[static_cast<size_t>(b - 1)];
            if (caption.inkAbove)
                changed += caption.box & QRect(0, top - 30, surface.width(), 30);
        }
    }
    // The strip and hour labels go over the bands drawn before them; drawn after the last band
    // they come out as if drawn after each. They need drawing again only where a band was
    // redrawn under them: elsewhere they would come out the pixels they are.
    const QRect strip(0, 4 * g.BandHeight - 20, surface.width(), AxisStripHeight + 20);
    if (g.ChannelCount >= 1 && (full || !untouched || changed.intersects(strip)))
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
    state.surfaceKey = surface.cacheKey();
    if (full)
        return QRegion(surface.rect());
    if (changed.intersects(strip))
        changed += strip;
    return changed & surface.rect();
}

std::array<CaptionCache, 4> PrepareCaptions(const QImage &sheet,
                                            const std::array<QString, 4> &captions, QRgb color) {
    std::array<CaptionCache, 4> prepared;
    // A band of the sheet's band height, with the rows above it that a caption may reach.
    constexpr int top = CaptionAbove;
    QImage band(CaptionRight, top + SheetBandHeight, QImage::Format_RGB32);
    if (sheet.isNull() || band.isNull())
        return prepared;
    Canvas canvas(band);
    QImage scratch;
    const QFont font = CaptionFont(); // made here: a font's engines belong to one thread
    const QRect rect = CaptionRect(top, band.height() - 1);
    for (size_t look = 0; look < prepared.size(); ++look) {
        const QString &text = captions[look];
        // Cut as in any band but for the band's end, which must not cut it here.
        const QRect ink = TranslucentTextInk(rect, font, text);
        const QRect box = ink & rect;
        const QRect inside = box & QRect(QPoint(box.left(), top), box.bottomRight());
        if (inside.isEmpty() || ink.bottom() > rect.bottom())
            continue; // left to the paint
        CopyBandBackground(band, top, sheet, static_cast<int>(look) * SheetBandHeight, band.width(),
                           SheetBandHeight);
        CaptionCache &cache = prepared[look];
        cache.inkAbove =
            InkAbove(rect, box & QRect(box.topLeft(), QPoint(box.right(), top - 1)), font, text);
        KeepFreshCaption(canvas, cache, rect, inside, top, font, color, text, scratch);
        cache.font = CaptionFont(); // one never drawn with, for the paint's thread to keep
        cache.sheetKey = sheet.cacheKey();
        cache.look = static_cast<int>(look);
        cache.box = box.translated(0, -top);
    }
    return prepared;
}

std::future<std::array<CaptionCache, 4>>
PrepareCaptionsAhead(std::shared_future<DecodedSheet> sheet, std::array<QString, 4> captions,
                     QRgb color) {
    return std::async(std::launch::async, [processor = CurrentProcessor(), sheet = std::move(sheet),
                                           captions = std::move(captions), color] {
        KeepOffProcessor(processor);
        try {
            LabelFont(); // the labels' size is searched once: here rather than in the paint
            return PrepareCaptions(sheet.get().image, captions, color);
        } catch (const std::exception &) {
            return std::array<CaptionCache, 4>{}; // no memory to spare: the paint draws them
        }
    });
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
