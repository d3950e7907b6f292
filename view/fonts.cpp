#include "view/fonts.h"

#include <QFontMetrics>

#include <algorithm>

#ifdef DIM_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace dim {

int PixelSizeForCellHeight(QFont font, int cellHeight) {
    // Start from the cell height of a large probe, then step to the exact size: a few font
    // loads rather than one per pixel size.
    font.setPixelSize(100);
    const int probe = std::max(1, QFontMetrics(font).height());
    int size = std::max(1, cellHeight * 100 / probe + 1);
    auto cell = [&font](int pixels) {
        font.setPixelSize(pixels);
        return QFontMetrics(font).height();
    };
    while (size > 1 && cell(size) > cellHeight)
        --size;
    while (cell(size + 1) <= cellHeight)
        ++size;
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
        return PixelSizeForCellHeight(probe, LabelCellHeight);
    }();
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

FontConfigLoad::FontConfigLoad() {
#ifdef DIM_HAVE_FONTCONFIG
    // Thread-safe: the toolkit's own FcInit() later finds the configuration in place.
    m_thread = std::thread([] { FcInit(); });
#endif
}

FontConfigLoad::~FontConfigLoad() {
    wait();
}

void FontConfigLoad::wait() {
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace dim
