#include "view/fonts.h"

#include <QFontMetrics>

int PixelSizeForCellHeight(QFont font, int cellHeight) {
    int size = cellHeight;
    for (; size > 1; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).height() <= cellHeight)
            break;
    }
    return size;
}

QFont CaptionFont() {
    QFont font(QStringLiteral("Arial Black"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(113);
    font.setWeight(QFont::Black);
    return font;
}

QFont LabelFont() {
    static const int pixelSize = [] {
        QFont probe(QStringLiteral("Arial"));
        probe.setStyleHint(QFont::SansSerif);
        probe.setBold(true);
        return PixelSizeForCellHeight(probe, 45);
    }();
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}
