#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QPainter;

namespace dim {

// An RGB32 image of the given size, not yet filled. Every page of a picture this size is
// written once, straight away: in 4 KB pages that is thousands of page faults (a tenth of the
// sheet's decode, over half of making and filling the chart's surface), so on Linux its memory
// is taken in whole 2 MB pages where the system offers them, but for its tail.
QImage LargePageImage(int width, int height);

// Unsmoothed texts drawn once and kept as the runs of pixels they set: drawing one again
// sets the same pixels QPainter would, without shaping or rasterising the text again.
// Texts that come out with smoothed pixels are not kept; the canvas draws those itself.
class TextSpriteCache {
public:
    struct Span {
        int dx; // from the text's top-left corner
        int dy;
        int length;
    };
    struct Sprite {
        QString text;
        QString fontKey;
        int advance = 0;
        bool usable = false;
        std::vector<Span> spans;
    };
    // The sprite of text in font, drawn on first use. fontKey is font.key().
    const Sprite &sprite(const QFont &font, const QString &fontKey, const QString &text);

private:
    std::vector<Sprite> m_sprites;
};

// Raster operations with the exact rules of a classic desktop canvas, on an RGB32 surface.
// Only text goes through QPainter.
class Canvas {
public:
    explicit Canvas(QImage &surface);
    ~Canvas();
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    QImage &surface() { return m_surface; }
    const QImage &surface() const { return m_surface; }

    void setPenColor(QRgb color) { m_pen = color | 0xff000000u; }
    void setBrushColor(QRgb color) { m_brush = color | 0xff000000u; }
    // The font of later texts. A font asked for by its cell height keeps that height as its
    // text height, whichever size the face resolves it to.
    void setFont(const QFont &font, int cellHeight = 0);
    void setFontColor(QRgb color) { m_fontColor = color | 0xff000000u; }
    QRgb penColor() const { return m_pen; }
    QRgb brushColor() const { return m_brush; }

    // Moves the current position without drawing.
    void moveTo(int x, int y);
    // Draws a Bresenham line from the current position up to, but not including, (x, y),
    // which becomes the current position. A zero-length line paints nothing.
    void lineTo(int x, int y);
    // The lines from (x, from) to (x, to) for every x, each without its end pixel, drawn row
    // by row: the same pixels as moveTo and lineTo per line.
    void verticalLines(const std::vector<int> &xs, int from, int to);
    // Fills columns left..right-1 and rows top..bottom-1 with the brush and outlines that
    // area with the pen.
    void rectangle(int left, int top, int right, int bottom);
    // Draws text with its top-left corner at (x, y), glyphs only.
    void textOut(int x, int y, const QString &text);
    int textWidth(const QString &text) const;
    int textHeight(const QString &text) const;

    QPoint position() const { return {m_x, m_y}; }

    // Unsmoothed texts are then drawn from, and measured by, the given cache.
    void setTextCache(TextSpriteCache *cache) { m_textCache = cache; }
    // Lines, vertical lines and rectangles then set pixels only in columns left..right-1.
    void setColumnClip(int left, int right);
    void clearColumnClip() { setColumnClip(0, m_width); }

private:
    void plot(int x, int y, QRgb color);
    const TextSpriteCache::Sprite *cachedSprite(const QString &text) const;
    void loadFont() const;

    QImage &m_surface;
    int m_width;
    int m_height;
    int m_clipLeft = 0;
    int m_clipRight;   // exclusive
    uchar *m_bits;     // the surface's pixels, taken once
    qsizetype m_pitch; // bytes per row
    QRgb m_pen = 0xff000000u;
    QRgb m_brush = 0xffffffffu;
    QRgb m_fontColor = 0xff000000u;
    QFont m_font;
    // The font's key and metrics, looked up on first use after setFont.
    mutable bool m_fontLoaded = false;
    mutable QString m_fontKey;
    mutable int m_ascent = 0;
    mutable int m_fontHeight = 0;
    TextSpriteCache *m_textCache = nullptr;
    int m_cellHeight = 0;
    // One painter serves every text of a paint; raster writes go straight to the same memory.
    std::unique_ptr<QPainter> m_textPainter;
    int m_x = 0;
    int m_y = 0;
};

// Copies a w x h block from src at (sx, sy) to dst at (dx, dy), clipped to both images.
void BlockCopy(QImage &dst, int dx, int dy, const QImage &src, int sx, int sy, int w, int h);

// Blends a w x h block of src at (sx, sy) onto dst at (dx, dy) with a constant opacity:
// each channel becomes (src * alpha + dst * (255 - alpha)) / 255. Clipped to both images.
void AlphaBlend(QImage &dst, int dx, int dy, const QImage &src, int sx, int sy, int w, int h,
                uint8_t alpha);

// Draws text translucently into rect of the canvas: the text is drawn at (20, 20) inside a
// copy of the rect's pixels, which is then blended back with the given alpha. scratch is
// reused between calls to spare an allocation per caption.
// Only the pixels inside `only` (canvas coordinates) are copied, drawn on and blended, when it
// is given; the result there is the same as without it.
void DrawTranslucentText(Canvas &canvas, const QRect &rect, uint8_t alpha, const QFont &font,
                         QRgb fontColor, const QString &text, QImage &scratch,
                         const QRect &only = QRect());

// The glyphs' box of DrawTranslucentText with a margin for smoothing, wherever it lies.
QRect TranslucentTextInk(const QRect &rect, const QFont &font, const QString &text);
// The box of canvas pixels that DrawTranslucentText may change: TranslucentTextInk inside
// rect and the canvas.
QRect TranslucentTextBox(const Canvas &canvas, const QRect &rect, const QFont &font,
                         const QString &text);

// x / 255 for 0 <= x <= 255 * 255, truncated, without a division.
constexpr uint32_t DivideBy255(uint32_t x) {
    return (x + 1 + (x >> 8)) >> 8;
}

} // namespace dim
