#pragma once

#include "model/levels.h"
#include "model/settings.h"

#include <QUndoStack>

#include <array>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

// One cell of the level table before and after a step.
struct CellChange {
    uint8_t row;
    uint8_t column;
    int32_t before;
    int32_t after;
};

// The three settings a curve file carries: cloud speed, cloud intensity, moon change.
using FileSettings = std::array<int32_t, 3>;
FileSettings FileSettingsOf(const Settings &settings);

// Undo and redo of the curves: one step per drag, confirmed New or completed Load. A step
// holds only the cells it changed (and the file settings when a load changed them), never a
// copy of the table. The history is bounded.
class EditHistory {
public:
    static constexpr int StepLimit = 256;

    EditHistory(CurveData &data, Settings &settings);

    // A drag: cells written between the press and the release form one step.
    void recordCellWrite(int row, int column, int32_t before, int32_t after);
    void finishDrag();
    bool dragOpen() const { return !m_drag.empty(); }

    // A change of the whole table (New, Load): pass the table and settings from before it.
    void recordTableChange(const LevelTable &before, const FileSettings &settingsBefore,
                           const QString &text);

    bool canUndo() const { return m_stack.canUndo(); }
    bool canRedo() const { return m_stack.canRedo(); }
    // Steps back or forth; false when there was nothing to do. A drag still open is finished
    // first, so it is the step undone.
    bool undo();
    bool redo();
    int count() const { return m_stack.count(); }
    int index() const { return m_stack.index(); }
    size_t cellsHeld() const;

    QUndoStack &stack() { return m_stack; }

private:
    void push(std::vector<CellChange> cells, const FileSettings &before, const FileSettings &after,
              const QString &text);

    CurveData &m_data;
    Settings &m_settings;
    QUndoStack m_stack;
    std::map<std::pair<int, int>, std::pair<int32_t, int32_t>> m_drag;
};
