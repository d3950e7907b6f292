#pragma once

#include "edit/document.h"
#include "model/levels.h"
#include "texts/texts.h"
#include "view/geometry.h"

#include <QString>

#include <optional>

namespace dim {

// The last accepted pointer position over the chart.
struct CursorState {
    int CursorColumn = 0;
    int CursorChannel = 0;
    int CursorLevel = 0;
};

// The status-line text for a move from the cursor state to a new accepted position whose
// stored level is storedLevel: the previous position's channel name, time and level, and the
// level stored at the new one. Empty while the previous column is 96 or more.
QString StatusText(const CursorState &cursor, int storedLevel, const TextTable &texts,
                   int language);

// "h:mm" of a column: hour = column / 4, minute = (column % 4) * 15, "0" after a 0 minute.
QString ColumnTime(int column);

// Maps a pointer position and, when accepted, returns the new status text and moves the
// cursor state there. A rejected position leaves everything as it is.
std::optional<QString> TrackPointer(CursorState &cursor, const Geometry &geometry,
                                    const LevelTable &levels, const TextTable &texts, int language,
                                    int x, int y);

// What one pointer event over the chart did.
struct PointerResult {
    std::optional<QString> status; // the new status-line text, when the position was accepted
    bool wrote = false;            // whether the cell under the pointer was written
    int dirtyBand = -1;            // the repaint flag (0..3) to set, -1 for none
};

// One pointer move or press over the chart. With the left button held, the band under the
// pointer is to be repainted and, when the position was accepted, its level is stored in the
// cell under the pointer as part of the document's open stroke. A rejected position writes
// no cell.
PointerResult PointerEvent(CursorState &cursor, const Geometry &geometry, CurveDocument &document,
                           const TextTable &texts, int language, bool leftHeld, int x, int y);

} // namespace dim
