#include "view/canvas.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace dim {

namespace {

QRgb *Row(QImage &image, int y) {
    return reinterpret_cast<QRgb *>(image.scanLine(y));
}

const QRgb *Row(const QImage &image, int y) {
    return reinterpret_cast<const QRgb *>(image.constScanLine(y));
}

// Clips a block transfer to both images; false when nothing is left.
bool ClipBlock(const QImage &dst, int &dx, int &dy, const QImage &src, int &sx, int &sy, int &w,
               int &h) {
    if (sx < 0) {
        w += sx;
        dx -= sx;
        sx = 0;
    }
    if (sy < 0) {
        h += sy;
        dy -= sy;
        sy = 0;
    }
    if (dx < 0) {
        w += dx;
        sx -= dx;
        dx = 0;
    }
    if (dy < 0) {
        h += dy;
        sy -= dy;
        dy = 0;
    }
    w = std::min({w, src.width() - sx, dst.width() - dx});
    h = std::min({h, src.height() - sy, dst.height() - dy});
    return w > 0 && h > 0;
}

} // namespace

QImage LargePageImage(int width, int height) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::size_t kLargePage = std::size_t(2) << 20;
    const auto pitch = static_cast<qsizetype>(width) * 4;
    const std::size_t bytes = static_cast<std::size_t>(pitch) * static_cast<std::size_t>(height);
    if (width > 0 && height > 0 && bytes >= kLargePage) {
        const std::size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
        if (void *memory = std::aligned_alloc(kLargePage, rounded)) {
            // Large pages only where the picture fills them: the last, partly used one would
            // be resident whole, up to 2 MB of nothing.
            const std::size_t whole = bytes / kLargePage * kLargePage;
            madvise(memory, whole, MADV_HUGEPAGE);
            madvise(static_cast<char *>(memory) + whole, rounded - whole, MADV_NOHUGEPAGE);
            QImage image(
                static_cast<uchar *>(memory), width, height, pitch, QImage::Format_RGB32,
                [](void *p) { std::free(p); }, memory);
            if (!image.isNull())
                return image;
            std::free(memory);
        }
    }
#endif
    return QImage(width, height, QImage::Format_RGB32);
}

Canvas::Canvas(QImage &surface)
    : m_surface(surface), m_width(surface.width()), m_height(surface.height()),
      m_clipRight(surface.width()), m_bits(surface.bits()), m_pitch(surface.bytesPerLine()) {}

void Canvas::verticalLines(const std::vector<int> &xs, int from, int to) {
    const int step = from < to ? 1 : -1;
    int first = from;
    int last = to - step;
    if (from == to)
        return;
    if (step < 0)
        std::swap(first, last);
    first = std::max(first, 0);
    last = std::min(last, m_height - 1);
    const auto left = static_cast<unsigned>(m_clipLeft);
    const auto width = static_cast<unsigned>(m_clipRight - m_clipLeft);
    for (int row = first; row <= last; ++row) {
        auto *line = reinterpret_cast<QRgb *>(m_bits + row * m_pitch);
        for (int x : xs)
            if (static_cast<unsigned>(x) - left < width)
                line[x] = m_pen;
    }
}

void Canvas::setColumnClip(int left, int right) {
    m_clipLeft = std::clamp(left, 0, m_width);
    m_clipRight = std::clamp(right, m_clipLeft, m_width);
}

inline void Canvas::plot(int x, int y, QRgb color) {
    if (static_cast<unsigned>(x - m_clipLeft) < static_cast<unsigned>(m_clipRight - m_clipLeft) &&
        static_cast<unsigned>(y) < static_cast<unsigned>(m_height))
        reinterpret_cast<QRgb *>(m_bits + y * m_pitch)[x] = color;
}

void Canvas::moveTo(int x, int y) {
    m_x = x;
    m_y = y;
}

void Canvas::lineTo(int x1, int y1) {
    int x = m_x;
    int y = m_y;
    if (x == x1 &&
        static_cast<unsigned>(x - m_clipLeft) < static_cast<unsigned>(m_clipRight - m_clipLeft)) {
        // Vertical: the grid's lines. Rows from the start up to, not including, the end.
        const int step = y < y1 ? 1 : -1;
        int from = y;
        int to = y1 - step; // last row drawn
        if (step < 0)
            std::swap(from, to);
        from = std::max(from, 0);
        to = std::min(to, m_height - 1);
        for (int row = from; row <= to; ++row)
            reinterpret_cast<QRgb *>(m_bits + row * m_pitch)[x] = m_pen;
        m_x = x1;
        m_y = y1;
        return;
    }
    const int dx = std::abs(x1 - x);
    const int dy = -std::abs(y1 - y);
    const int stepX = x < x1 ? 1 : -1;
    const int stepY = y < y1 ? 1 : -1;
    int err = dx + dy;
    while (x != x1 || y != y1) {
        plot(x, y, m_pen);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += stepX;
        }
        if (e2 <= dx) {
            err += dx;
            y += stepY;
        }
    }
    m_x = x1;
    m_y = y1;
}

void Canvas::rectangle(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return;
    // Clipped once; each row is then written without a test per pixel.
    const int x0 = std::max(left, m_clipLeft);
    const int x1 = std::min(right, m_clipRight); // exclusive
    const int y0 = std::max(top, 0);
    const int y1 = std::min(bottom, m_height);
    if (x0 >= x1 || y0 >= y1)
        return;
    for (int y = y0; y < y1; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(m_bits + y * m_pitch);
        if (y == top || y == bottom - 1) {
            std::fill(line + x0, line + x1, m_pen);
            continue;
        }
        std::fill(line + x0, line + x1, m_brush);
        if (left >= m_clipLeft)
            line[left] = m_pen;
        if (right - 1 < m_clipRight)
            line[right - 1] = m_pen;
    }
}

Canvas::~Canvas() = default;

void Canvas::setFont(const QFont &font, int cellHeight) {
    m_cellHeight = cellHeight;
    if (m_fontLoaded && font == m_font)
        return;
    m_font = font;
    m_fontLoaded = false;
}

void Canvas::loadFont() const {
    // Looked up when first needed: a paint that draws no text never loads a font.
    if (m_fontLoaded)
        return;
    m_fontKey = m_font.key();
    const QFontMetrics metrics(m_font);
    m_ascent = metrics.ascent();
    m_fontHeight = metrics.height();
    m_fontLoaded = true;
}

const TextSpriteCache::Sprite *Canvas::cachedSprite(const QString &text) const {
    if (!m_textCache || !(m_font.styleStrategy() & QFont::NoAntialias))
        return nullptr;
    loadFont();
    return &m_textCache->sprite(m_font, m_fontKey, text);
}

void Canvas::textOut(int x, int y, const QString &text) {
    if (const TextSpriteCache::Sprite *sprite = cachedSprite(text); sprite && sprite->usable) {
        for (const TextSpriteCache::Span &span : sprite->spans) {
            const int row = y + span.dy;
            if (static_cast<unsigned>(row) >= static_cast<unsigned>(m_height))
                continue;
            const int from = std::max(x + span.dx, 0);
            const int to = std::min(x + span.dx + span.length, m_width);
            if (from < to) {
                QRgb *line = reinterpret_cast<QRgb *>(m_bits + row * m_pitch);
                std::fill(line + from, line + to, m_fontColor);
            }
        }
        return;
    }
    loadFont();
    if (!m_textPainter)
        m_textPainter = std::make_unique<QPainter>(&m_surface);
    m_textPainter->setFont(m_font);
    m_textPainter->setPen(QColor::fromRgb(m_fontColor));
    m_textPainter->drawText(QPoint(x, y + m_ascent), text);
}

int Canvas::textWidth(const QString &text) const {
    if (const TextSpriteCache::Sprite *sprite = cachedSprite(text))
        return sprite->advance;
    return QFontMetrics(m_font).horizontalAdvance(text);
}

int Canvas::textHeight(const QString &) const {
    loadFont();
    return m_cellHeight > 0 ? m_cellHeight : m_fontHeight;
}

const TextSpriteCache::Sprite &TextSpriteCache::sprite(const QFont &font, const QString &fontKey,
                                                       const QString &text) {
    for (const Sprite &sprite : m_sprites)
        if (sprite.text == text && sprite.fontKey == fontKey)
            return sprite;
    if (m_sprites.size() >= 64) // texts or fonts keep changing: start afresh
        m_sprites.clear();

    Sprite sprite;
    sprite.text = text;
    sprite.fontKey = fontKey;
    const QFontMetrics metrics(font);
    sprite.advance = metrics.horizontalAdvance(text);
    // Drawn with the same painter calls as Canvas::textOut, into a transparent image with a
    // margin around the glyphs' box, at a whole-pixel origin.
    const int margin = metrics.height();
    const QRect box = metrics.boundingRect(text).adjusted(-margin, -margin, margin, margin) |
                      QRect(0, -metrics.ascent(), std::max(1, sprite.advance), metrics.height());
    QImage image(box.size(), QImage::Format_ARGB32_Premultiplied);
    if (!image.isNull()) {
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setFont(font);
            painter.setPen(QColor::fromRgb(0xffffffffu));
            painter.drawText(-box.topLeft(), text);
        }
        // Kept only when every pixel came out either untouched or fully set.
        sprite.usable = true;
        const int originY = -metrics.ascent();
        for (int y = 0; y < image.height() && sprite.usable; ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < image.width();) {
                if (line[x] == 0) {
                    ++x;
                    continue;
                }
                if (line[x] != 0xffffffffu) {
                    sprite.usable = false;
                    break;
                }
                const int start = x;
                while (x < image.width() && line[x] == 0xffffffffu)
                    ++x;
                sprite.spans.push_back({box.left() + start, box.top() + y - originY, x - start});
            }
        }
        if (!sprite.usable)
            sprite.spans.clear();
    }
    m_sprites.push_back(std::move(sprite));
    return m_sprites.back();
}

void BlockCopy(QImage &dst, int dx, int dy, const QImage &src, int sx, int sy, int w, int h) {
    if (!ClipBlock(dst, dx, dy, src, sx, sy, w, h))
        return;
    const size_t bytes = static_cast<size_t>(w) * sizeof(QRgb);
    for (int row = 0; row < h; ++row)
        std::memcpy(Row(dst, dy + row) + dx, Row(src, sy + row) + sx, bytes);
}

void AlphaBlend(QImage &dst, int dx, int dy, const QImage &src, int sx, int sy, int w, int h,
                uint8_t alpha) {
    if (!ClipBlock(dst, dx, dy, src, sx, sy, w, h))
        return;
    const uint32_t a = alpha;
    const uint32_t na = 255 - a;
    for (int row = 0; row < h; ++row) {
        QRgb *d = Row(dst, dy + row) + dx;
        const QRgb *s = Row(src, sy + row) + sx;
        for (int i = 0; i < w; ++i) {
            const QRgb sp = s[i];
            const QRgb dp = d[i];
            if (sp == dp)
                continue; // the formula leaves equal pixels as they are
            const uint32_t r = DivideBy255(qRed(sp) * a + qRed(dp) * na);
            const uint32_t g = DivideBy255(qGreen(sp) * a + qGreen(dp) * na);
            const uint32_t b = DivideBy255(qBlue(sp) * a + qBlue(dp) * na);
            d[i] = 0xff000000u | (r << 16) | (g << 8) | b;
        }
    }
}

QRect TranslucentTextInk(const QRect &rect, const QFont &font, const QString &text) {
    const QFontMetrics metrics(font);
    const QPoint origin(rect.left() + 20, rect.top() + 20 + metrics.ascent());
    return metrics.boundingRect(text).translated(origin).adjusted(-4, -4, 4, 4);
}

QRect TranslucentTextBox(const Canvas &canvas, const QRect &rect, const QFont &font,
                         const QString &text) {
    return TranslucentTextInk(rect, font, text) & rect & canvas.surface().rect();
}

void DrawTranslucentText(Canvas &canvas, const QRect &rect, uint8_t alpha, const QFont &font,
                         QRgb fontColor, const QString &text, QImage &scratch, const QRect &only) {
    // Outside the glyphs the copy equals the canvas, and the blend leaves such pixels
    // unchanged; so only the glyphs' box (with a margin for smoothing) is copied, drawn
    // on and blended back.
    const QPoint origin(rect.left() + 20, rect.top() + 20 + QFontMetrics(font).ascent());
    QRect box = TranslucentTextBox(canvas, rect, font, text);
    if (!only.isNull())
        box &= only;
    if (box.isEmpty())
        return;

    if (scratch.width() < box.width() || scratch.height() < box.height())
        scratch = QImage(std::max(scratch.width(), box.width()),
                         std::max(scratch.height(), box.height()), QImage::Format_RGB32);
    BlockCopy(scratch, 0, 0, canvas.surface(), box.left(), box.top(), box.width(), box.height());
    {
        QPainter painter(&scratch);
        painter.setClipRect(0, 0, box.width(), box.height());
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(fontColor));
        painter.drawText(origin - box.topLeft(), text);
    }
    AlphaBlend(canvas.surface(), box.left(), box.top(), scratch, 0, 0, box.width(), box.height(),
               alpha);
}

} // namespace dim
