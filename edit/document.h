#pragma once

#include "model/clock.h"
#include "model/dimfile.h"
#include "model/filesystem.h"
#include "model/levels.h"
#include "model/settings.h"
#include "texts/tooltexts.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <array>
#include <bitset>
#include <cstdint>
#include <utility>
#include <vector>

namespace dim {

class CurveStep;

// What a step changed: rows of the level table (bit r for row r) and whether the file
// settings moved.
struct CurveChange {
    uint16_t rows = 0;
    bool settings = false;
    // A cell of a drag stroke as it is written, and the stroke's end: the pointer's bands are
    // flagged as it goes, and the repaint tick draws them.
    bool stroke = false;

    bool row(int r) const { return (rows >> r) & 1u; }
    bool empty() const { return rows == 0 && !settings; }
    friend bool operator==(const CurveChange &, const CurveChange &) = default;
};

// The curves being edited: the level table, the three settings a curve file carries and the
// history of changes to them. Every change is a step given to the document; each step can be
// undone and redone, and every change, undo and redo is announced once through changed().
// Steps are named in the language in force (setLanguage), also those made before. Nothing
// else writes the table.
class CurveDocument : public QObject {
    Q_OBJECT

public:
    // Steps kept for undo; the oldest go first.
    static constexpr int StepLimit = 256;

    CurveDocument();
    ~CurveDocument() override;
    CurveDocument(const CurveDocument &) = delete;
    CurveDocument &operator=(const CurveDocument &) = delete;

    const CurveData &curves() const { return m_curves; }
    const LevelTable &Levels() const { return m_curves.Levels; }
    const FileSettings &fileSettings() const { return m_settings; }

    // The language of the steps' names: a row of the text table.
    void setLanguage(int language);

    // A drag stroke: cells written between a press and its release are one step. Each cell
    // is written and announced at once, so that the pointer sees it; the step comes with
    // endStroke, announced once more.
    void writeStrokeCell(int row, int column, int level);
    void endStroke();
    bool strokeOpen() const { return !m_strokeCells.empty(); }

    // One step that gives a channel the 96 points of curve, named after the tool (nothing
    // when the channel already has them). The curve tools go through here.
    void changeChannel(int channel, const DayCurve &curve, ToolText name);
    // One step that leaves the table and settings as given (nothing when they are as they
    // are). New, Load and restored work go through here.
    void change(const LevelTable &levels, const FileSettings &settings, ToolText name);
    // The cloud speed as the user moves its bar: a run of moves is one step.
    void setCloudSpeed(int position);
    // One cell set from the keyboard: a run of changes to one cell under the same tag is
    // one step.
    void setLevel(int row, int column, int level, int tag);

    // New: every curve cleared (ClearLevels), one step; the cleared curves are the clean state.
    void clear();
    // Load: all or nothing, one step, and the loaded curves are the clean state. Rejected
    // changes nothing; an input/output failure raises IoError and changes nothing either.
    LoadResult load(FileSystem &fs, const QString &path);
    // Save: the curve file and SEL.DAT; the saved state becomes the clean one.
    void save(FileSystem &fs, const Clock &clock, const QString &path, const Settings &settings);

    // Steps back or forth; false when there was nothing to do. An open stroke ends first,
    // so it is the step undone.
    bool undo();
    bool redo();
    // Whether the curves and settings are those of the last New, Load or Save (or of the
    // start), undo and redo included.
    bool isClean() const { return m_stack.isClean(); }
    // Whether there is work that no file holds: a step since the clean state, or a stroke
    // under way that changed a cell.
    bool isModified() const { return !isClean() || m_strokeChanged; }
    QUndoStack &undoStack() { return m_stack; }
    const QUndoStack &undoStack() const { return m_stack; }
    // Cells held by all steps, for the history's memory bound.
    size_t cellsHeld() const;

signals:
    // After every change, undo and redo.
    void changed(const CurveChange &change);
    // When isModified() turns.
    void modifiedChanged(bool modified);

private:
    friend class CurveStep;
    void push(CurveStep *step);
    void announce(const CurveChange &change);
    void updateModified();

    CurveData m_curves;
    FileSettings m_settings;
    QUndoStack m_stack;
    int m_language = 0;
    // The stroke under way: the cells it has been over, in the order it reached them, and
    // the level each had before it (kept where the stroke has been).
    std::vector<std::pair<uint8_t, uint8_t>> m_strokeCells;
    std::array<int32_t, LevelRows * LevelColumns> m_strokeBefore{};
    std::bitset<LevelRows * LevelColumns> m_strokeTouched;
    bool m_strokeChanged = false; // a cell of the open stroke was given another level
    bool m_modified = false;
};

} // namespace dim
