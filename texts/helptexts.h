#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <vector>

namespace dim {

// What the help window lists: the mouse actions and the keys, with the keys written as the
// toolkit names them in the language in force (its translation of "Ctrl", "Left", ...).
struct HelpRow {
    QString keys;
    QString what;
};
struct HelpSection {
    QString title;
    std::vector<HelpRow> rows;
};

// The keys bound to redo: the desktop's own, and Ctrl+Y and Ctrl+Shift+Z on every desktop.
QList<QKeySequence> RedoKeys();

QString HelpTitle(int language);
std::vector<HelpSection> HelpContents(int language);

} // namespace dim
