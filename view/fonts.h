#pragma once

#include <QFont>

#include <thread>

namespace dim {

// The band-caption font: a heavy sans ("Arial Black" where installed, otherwise the heaviest
// face fontconfig offers for it) with a character height of 113 pixels, bold.
QFont CaptionFont();

// The cell height the label font is asked for.
inline constexpr int LabelCellHeight = 45;

// The label font of the chart: "Arial" (Liberation Sans has its metrics), bold, sized so
// that its whole character cell is 45 pixels high. Drawn without smoothing, so that the
// labels redrawn on every tick stay the same pixels.
QFont LabelFont();

// The pixel size of the largest font of the given face whose cell (ascent + descent)
// is at most cellHeight, and no larger than twice cellHeight.
int PixelSizeForCellHeight(QFont font, int cellHeight);

// The system's font configuration, read on a thread of its own from the moment this is made.
// Reading it (its XML files and caches, some 7 ms here) is otherwise the cost of the first text
// measured, paid on the main thread in the middle of the window's build. Made before the
// application object, it overlaps the toolkit's set-up and the window's mapping; wait() before
// the first text, so that the toolkit does not read it a second time beside this one.
class FontConfigLoad {
public:
    FontConfigLoad();
    ~FontConfigLoad();
    FontConfigLoad(const FontConfigLoad &) = delete;
    FontConfigLoad &operator=(const FontConfigLoad &) = delete;
    // Returns once the configuration has been read; at once after the first time.
    void wait();

private:
    std::thread m_thread;
};

} // namespace dim
