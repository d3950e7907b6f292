#include "edit/history.h"

namespace {

class CurveStep final : public QUndoCommand {
public:
    CurveStep(CurveData &data, Settings &settings, std::vector<CellChange> cells,
              const FileSettings &before, const FileSettings &after, const QString &text)
        : QUndoCommand(text), m_data(data), m_settings(settings), m_cells(std::move(cells)),
          m_before(before), m_after(after) {}

    void undo() override { apply(false); }
    void redo() override {
        // The change is already in the table when the step is pushed.
        if (m_firstRedo) {
            m_firstRedo = false;
            return;
        }
        apply(true);
    }
    size_t cells() const { return m_cells.size(); }

private:
    void apply(bool forward) {
        for (const CellChange &c : m_cells)
            m_data.Levels[c.row][c.column] = forward ? c.after : c.before;
        const FileSettings &s = forward ? m_after : m_before;
        m_settings.SBWolkenT.setPosition(s[0]);
        m_settings.SBWolkenA.setPosition(s[1]);
        m_settings.SBMondA.setPosition(s[2]);
    }

    CurveData &m_data;
    Settings &m_settings;
    std::vector<CellChange> m_cells;
    FileSettings m_before;
    FileSettings m_after;
    bool m_firstRedo = true;
};

} // namespace

FileSettings FileSettingsOf(const Settings &settings) {
    return {settings.SBWolkenT.position(), settings.SBWolkenA.position(),
            settings.SBMondA.position()};
}

EditHistory::EditHistory(CurveData &data, Settings &settings) : m_data(data), m_settings(settings) {
    m_stack.setUndoLimit(StepLimit);
}

void EditHistory::recordCellWrite(int row, int column, int32_t before, int32_t after) {
    auto [it, inserted] = m_drag.try_emplace({row, column}, before, after);
    if (!inserted)
        it->second.second = after; // keep the value from before the drag
}

void EditHistory::finishDrag() {
    std::vector<CellChange> cells;
    for (const auto &[cell, values] : m_drag) {
        if (values.first != values.second)
            cells.push_back({static_cast<uint8_t>(cell.first), static_cast<uint8_t>(cell.second),
                             values.first, values.second});
    }
    m_drag.clear();
    if (cells.empty())
        return;
    const FileSettings now = FileSettingsOf(m_settings);
    push(std::move(cells), now, now, QStringLiteral("drag"));
}

void EditHistory::recordTableChange(const LevelTable &before, const FileSettings &settingsBefore,
                                    const QString &text) {
    finishDrag();
    std::vector<CellChange> cells;
    for (size_t r = 0; r < before.size(); ++r)
        for (size_t c = 0; c < before[r].size(); ++c)
            if (before[r][c] != m_data.Levels[r][c])
                cells.push_back({static_cast<uint8_t>(r), static_cast<uint8_t>(c), before[r][c],
                                 m_data.Levels[r][c]});
    const FileSettings after = FileSettingsOf(m_settings);
    if (cells.empty() && after == settingsBefore)
        return;
    push(std::move(cells), settingsBefore, after, text);
}

void EditHistory::push(std::vector<CellChange> cells, const FileSettings &before,
                       const FileSettings &after, const QString &text) {
    m_stack.push(new CurveStep(m_data, m_settings, std::move(cells), before, after, text));
}

bool EditHistory::undo() {
    finishDrag();
    if (!m_stack.canUndo())
        return false;
    m_stack.undo();
    return true;
}

bool EditHistory::redo() {
    finishDrag();
    if (!m_stack.canRedo())
        return false;
    m_stack.redo();
    return true;
}

size_t EditHistory::cellsHeld() const {
    size_t total = 0;
    for (int i = 0; i < m_stack.count(); ++i)
        total += static_cast<const CurveStep *>(m_stack.command(i))->cells();
    return total;
}
