#include "view/canvas.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>

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

Canvas::Canvas(QImage &surface)
    : m_surface(surface), m_bits(surface.bits()), m_pitch(surface.bytesPerLine()),
      m_ascent(QFontMetrics(m_font).ascent()) {}

void Canvas::verticalLines(const std::vector<int> &xs, int from, int to) {
    const int step = from < to ? 1 : -1;
    int first = from;
    int last = to - step;
    if (from == to)
        return;
    if (step < 0)
        std::swap(first, last);
    first = std::max(first, 0);
    last = std::min(last, m_surface.height() - 1);
    const auto width = static_cast<unsigned>(m_surface.width());
    for (int row = first; row <= last; ++row) {
        auto *line = reinterpret_cast<QRgb *>(m_bits + row * m_pitch);
        for (int x : xs)
            if (static_cast<unsigned>(x) < width)
                line[x] = m_pen;
    }
}

void Canvas::plot(int x, int y, QRgb color) {
    if (static_cast<unsigned>(x) < static_cast<unsigned>(m_surface.width()) &&
        static_cast<unsigned>(y) < static_cast<unsigned>(m_surface.height()))
        reinterpret_cast<QRgb *>(m_bits + y * m_pitch)[x] = color;
}

void Canvas::moveTo(int x, int y) {
    m_x = x;
    m_y = y;
}

void Canvas::lineTo(int x1, int y1) {
    int x = m_x;
    int y = m_y;
    if (x == x1 && static_cast<unsigned>(x) < static_cast<unsigned>(m_surface.width())) {
        // Vertical: the grid's lines. Rows from the start up to, not including, the end.
        const int step = y < y1 ? 1 : -1;
        int from = y;
        int to = y1 - step; // last row drawn
        if (step < 0)
            std::swap(from, to);
        from = std::max(from, 0);
        to = std::min(to, m_surface.height() - 1);
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
    for (int y = top; y < bottom; ++y) {
        const bool edgeRow = y == top || y == bottom - 1;
        for (int x = left; x < right; ++x)
            plot(x, y, edgeRow || x == left || x == right - 1 ? m_pen : m_brush);
    }
}

Canvas::~Canvas() = default;

void Canvas::setFont(const QFont &font, int cellHeight) {
    m_font = font;
    m_ascent = QFontMetrics(font).ascent();
    m_cellHeight = cellHeight;
}

void Canvas::textOut(int x, int y, const QString &text) {
    if (!m_textPainter)
        m_textPainter = std::make_unique<QPainter>(&m_surface);
    m_textPainter->setFont(m_font);
    m_textPainter->setPen(QColor::fromRgb(m_fontColor));
    m_textPainter->drawText(QPoint(x, y + m_ascent), text);
}

int Canvas::textWidth(const QString &text) const {
    return QFontMetrics(m_font).horizontalAdvance(text);
}

int Canvas::textHeight(const QString &) const {
    return m_cellHeight > 0 ? m_cellHeight : QFontMetrics(m_font).height();
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

QRect TranslucentTextBox(const Canvas &canvas, const QRect &rect, const QFont &font,
                         const QString &text) {
    const QFontMetrics metrics(font);
    const QPoint origin(rect.left() + 20, rect.top() + 20 + metrics.ascent());
    QRect box = metrics.boundingRect(text).translated(origin).adjusted(-4, -4, 4, 4);
    return box & rect & canvas.surface().rect();
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
