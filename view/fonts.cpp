#include "view/fonts.h"

#include "model/processors.h"

#include <QFontMetrics>

#include <algorithm>

#ifdef DIM_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace dim {

int PixelSizeForCellHeight(QFont font, int cellHeight) {
    // Every size tried costs a font engine. The first try is the size at which a sans face's
    // cell (about 1.12 times the pixel size) is just within cellHeight; its cell scales the
    // guess for other faces, and steps lead to the exact size. For the usual faces that is
    // two engines: the size found and the next.
    auto cell = [&font](int pixels) {
        font.setPixelSize(pixels);
        return std::max(1, QFontMetrics(font).height());
    };
    const int guess = std::max(1, cellHeight * 100 / 112);
    int size = std::max(1, guess * cellHeight / cell(guess));
    while (size > 1 && cell(size) > cellHeight)
        --size;
    // Bounded for a face whose cell does not grow with the size asked (a bitmap face).
    while (size < 2 * cellHeight && cell(size + 1) <= cellHeight)
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
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    // Searched with the font as drawn: the engine of the size found is the one drawn with.
    static const int pixelSize = PixelSizeForCellHeight(font, LabelCellHeight);
    font.setPixelSize(pixelSize);
    return font;
}

FontConfigLoad::FontConfigLoad() {
#ifdef DIM_HAVE_FONTCONFIG
    // Thread-safe: the toolkit's own FcInit() later finds the configuration in place.
    m_thread = std::thread([processor = CurrentProcessor()] {
        KeepOffProcessor(processor);
        FcInit();
    });
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
