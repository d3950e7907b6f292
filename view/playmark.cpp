#include "view/playmark.h"

#include "texts/figures.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace dim {

namespace {

constexpr int kPad = 4;       // inside the box's frame
constexpr int kGap = 12;      // between a channel's name and its percentage
constexpr int kBeside = 8;    // between the line and the box
constexpr int kBoxTop = 8;    // the box's distance from the chart's top
constexpr int kSwatchGap = 4; // above the swatch
constexpr QRgb kBoxColor = 0xffffffe0u;
constexpr QRgb kSwatchFrame = 0xff808080u;

int RowHeight(const QFont &font) {
    return QFontMetrics(font).height();
}

} // namespace

QRegion PlayMark::area() const {
    if (isNull())
        return {};
    return QRegion(line) + QRegion(box);
}

PlayMarkRects PlayMarkPlace(const Geometry &geometry, int minute, QSize boxSize) {
    const int chartWidth = geometry.ChartWidth + 20; // the chart's whole width
    const int x = 10 + minute * geometry.ColumnWidth / MinutesPerColumn;
    PlayMarkRects rects;
    rects.line = QRect(x - 1, 0, 3, FileChannels * geometry.BandHeight);
    int left = x + 2 + kBeside;
    if (left + boxSize.width() > chartWidth)
        left = x - 1 - kBeside - boxSize.width();
    left = std::max(0, std::min(left, chartWidth - boxSize.width()));
    rects.box = QRect(QPoint(left, kBoxTop), boxSize);
    return rects;
}

PlayMark MakePlayMark(const Geometry &geometry, int minute,
                      const std::array<int, FileChannels> &levels, QRgb swatch,
                      const std::array<QString, FileChannels> &names, const QFont &font) {
    PlayMark mark;
    mark.time = ClockTime(minute);
    mark.names = names;
    for (size_t i = 0; i < levels.size(); ++i)
        mark.percents[i] = QString::number(LevelPercent(levels[i])) + QLatin1Char('%');
    mark.swatch = swatch;
    mark.font = font;

    const QFontMetrics metrics(font);
    int nameWidth = 0;
    for (const QString &name : names)
        nameWidth = std::max(nameWidth, metrics.horizontalAdvance(name));
    const int inner =
        std::max(metrics.horizontalAdvance(QStringLiteral("24:00")),
                 nameWidth + kGap + metrics.horizontalAdvance(QStringLiteral("100%")));
    const int rows = 1 + FileChannels;
    const QSize box(inner + 2 * kPad,
                    2 * kPad + rows * metrics.height() + kSwatchGap + metrics.height());
    const PlayMarkRects rects = PlayMarkPlace(geometry, minute, box);
    mark.line = rects.line;
    mark.box = rects.box;
    return mark;
}

void DrawPlayMark(QPainter &painter, const PlayMark &mark) {
    if (mark.isNull())
        return;
    painter.save();
    // A black line with a white edge each side, seen on the light bands and the dark alike.
    painter.fillRect(mark.line, Qt::white);
    painter.fillRect(mark.line.adjusted(1, 0, -1, 0), Qt::black);

    const QRect &box = mark.box;
    painter.setClipRect(box);
    painter.fillRect(box, QColor::fromRgb(kBoxColor));
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setFont(mark.font);
    const int row = RowHeight(mark.font);
    const QRect inside = box.adjusted(kPad, kPad, -kPad, -kPad);
    QRect line(inside.left(), inside.top(), inside.width(), row);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, mark.time);
    for (size_t i = 0; i < mark.names.size(); ++i) {
        line.translate(0, row);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, mark.names[i]);
        painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, mark.percents[i]);
    }
    const QRect swatch(inside.left(), line.bottom() + 1 + kSwatchGap, inside.width(), row);
    painter.fillRect(swatch, QColor::fromRgb(mark.swatch));
    painter.setPen(QColor::fromRgb(kSwatchFrame));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    painter.restore();
}

} // namespace dim
