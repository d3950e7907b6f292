#pragma once

#include <QFont>

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
// is at most cellHeight.
int PixelSizeForCellHeight(QFont font, int cellHeight);

} // namespace dim
