#pragma once

#include "model/levels.h"
#include "texts/texts.h"

#include <QString>

#include <optional>

namespace dim {

// The point the keyboard edits on the chart: a channel 1..4 and a column 0..95, with the
// percentage being typed for it.
struct PointCursor {
    int channel = 1;
    int column = 0;
    QString typed;        // digits typed so far, at most three
    bool refused = false; // the last Return was refused: the typed percentage was above 100
};

// What a key did to the point cursor.
struct PointKeyResult {
    bool handled = false;     // the key is one of the point cursor's
    std::optional<int> level; // the level to give the point
};

// Applies a key (a Qt::Key) to the point cursor: Left/Right move between columns 0..95,
// Page Up/Page Down between channels 1..4, Up/Down change the level by 1 (by 10 with Shift),
// Home/End give 255/0; digits type a percentage of up to three digits that Return sets
// (refused above 100) and Escape drops. Levels stay within 0..255.
PointKeyResult ApplyPointKey(PointCursor &cursor, int key, bool shift, const LevelTable &levels);

// Where the point cursor starts: the last pointer position when it lies on a point of
// channels 1..4, otherwise channel 1, column 0.
PointCursor StartPointCursor(int channel, int column);

// "Blau 7:15 75%": the point's channel, time and level, as screen readers are told.
QString PointDescription(const TextTable &texts, int language, int channel, int column, int level);

} // namespace dim
