#include "edit/document.h"

#include <QSignalBlocker>

#include <algorithm>
#include <vector>

namespace dim {

namespace {

// One cell of the level table before and after a step.
struct CellChange {
    uint8_t row;
    uint8_t column;
    int32_t before;
    int32_t after;
};

// The ids under which a run of cloud-speed moves, or of key changes to one cell, merges
// into one step.
constexpr int kCloudSpeedId = 1;
constexpr int kKeyLevelId = 2;

} // namespace

// A step holds only the cells it changed (and the settings before and after), never a copy
// of the table. It is pushed with its change already made, and the document announces it
// once it is on the stack.
class CurveStep final : public QUndoCommand {
public:
    CurveStep(CurveDocument &document, std::vector<CellChange> cells, const FileSettings &before,
              const FileSettings &after, ToolText name, int id = -1, int tag = 0)
        : QUndoCommand(StepText(name, document.m_language)), m_document(document),
          m_cells(std::move(cells)), m_before(before), m_after(after), m_name(name), m_id(id),
          m_tag(tag) {
        for (const CellChange &c : m_cells)
            m_change.rows |= static_cast<uint16_t>(1u << c.row);
        m_change.settings = before != after;
    }

    void undo() override { apply(false); }
    void redo() override {
        if (m_made)
            apply(true);
        m_made = true;
    }
    // What the step made, as announced when it was pushed.
    CurveChange made() const {
        CurveChange change = m_change;
        change.stroke = m_stroke;
        return change;
    }
    void markStroke() { m_stroke = true; }
    int id() const override { return m_id; }
    bool mergeWith(const QUndoCommand *other) override {
        const auto *next = static_cast<const CurveStep *>(other);
        if (m_id == kKeyLevelId) {
            if (next->m_tag != m_tag || m_cells.size() != 1 || next->m_cells.size() != 1 ||
                next->m_cells[0].row != m_cells[0].row ||
                next->m_cells[0].column != m_cells[0].column)
                return false;
            m_cells[0].after = next->m_cells[0].after;
            setObsolete(m_cells[0].after == m_cells[0].before);
            return true;
        }
        if (!m_cells.empty() || !next->m_cells.empty())
            return false;
        m_after = next->m_after;
        m_change.settings = m_before != m_after;
        if (!m_change.settings)
            setObsolete(true);
        return true;
    }
    size_t cells() const { return m_cells.size(); }
    void relabel(int language) { setText(StepText(m_name, language)); }

private:
    void apply(bool forward) {
        for (const CellChange &c : m_cells)
            m_document.m_curves.Levels[c.row][c.column] = forward ? c.after : c.before;
        m_document.m_settings = forward ? m_after : m_before;
        m_document.announce(m_change);
    }

    CurveDocument &m_document;
    std::vector<CellChange> m_cells;
    FileSettings m_before;
    FileSettings m_after;
    ToolText m_name;
    int m_id;
    int m_tag;
    CurveChange m_change;
    bool m_made = false;
    bool m_stroke = false;
};

CurveDocument::CurveDocument() {
    m_stack.setUndoLimit(StepLimit);
    connect(&m_stack, &QUndoStack::cleanChanged, this, [this] { updateModified(); });
}

CurveDocument::~CurveDocument() {
    // The steps refer to this document: they go first, without announcing anything.
    const QSignalBlocker blocker(this);
    m_stack.clear();
}

void CurveDocument::announce(const CurveChange &change) {
    if (!change.empty())
        emit changed(change);
}

void CurveDocument::push(CurveStep *step) {
    // The stack may merge the step into the one before and delete it.
    const CurveChange made = step->made();
    m_stack.push(step);
    updateModified();
    announce(made);
}

void CurveDocument::updateModified() {
    if (isModified() == m_modified)
        return;
    m_modified = !m_modified;
    emit modifiedChanged(m_modified);
}

void CurveDocument::writeStrokeCell(int row, int column, int level) {
    int32_t &cell = m_curves.Levels[static_cast<size_t>(row)][static_cast<size_t>(column)];
    const auto index = static_cast<size_t>(row * LevelColumns + column);
    if (!m_strokeTouched[index]) { // keep the value from before the stroke
        m_strokeTouched[index] = true;
        m_strokeBefore[index] = cell;
        m_strokeCells.emplace_back(static_cast<uint8_t>(row), static_cast<uint8_t>(column));
    }
    if (cell == level)
        return;
    cell = level;
    if (!m_strokeChanged) {
        m_strokeChanged = true;
        updateModified();
    }
    CurveChange change;
    change.rows = static_cast<uint16_t>(1u << row);
    change.stroke = true;
    announce(change);
}

void CurveDocument::endStroke() {
    std::sort(m_strokeCells.begin(), m_strokeCells.end());
    std::vector<CellChange> cells;
    for (const auto &[row, column] : m_strokeCells) {
        const auto index = static_cast<size_t>(row * LevelColumns + column);
        m_strokeTouched[index] = false;
        const int32_t after = m_curves.Levels[row][column];
        if (m_strokeBefore[index] != after)
            cells.push_back({row, column, m_strokeBefore[index], after});
    }
    m_strokeCells.clear();
    m_strokeChanged = false;
    if (cells.empty()) {
        updateModified();
        return;
    }
    auto *step = new CurveStep(*this, std::move(cells), m_settings, m_settings, ToolText::StepDraw);
    step->markStroke();
    push(step);
}

void CurveDocument::setLanguage(int language) {
    if (language == m_language)
        return;
    m_language = language;
    for (int i = 0; i < m_stack.count(); ++i)
        const_cast<CurveStep *>(static_cast<const CurveStep *>(m_stack.command(i)))
            ->relabel(language);
}

void CurveDocument::changeChannel(int channel, const DayCurve &curve, ToolText name) {
    endStroke();
    LevelRow &row = m_curves.Levels[static_cast<size_t>(channel)];
    std::vector<CellChange> cells;
    for (size_t c = 0; c < curve.size(); ++c) {
        if (row[c] != curve[c]) {
            cells.push_back(
                {static_cast<uint8_t>(channel), static_cast<uint8_t>(c), row[c], curve[c]});
            row[c] = curve[c];
        }
    }
    if (!cells.empty())
        push(new CurveStep(*this, std::move(cells), m_settings, m_settings, name));
}

void CurveDocument::change(const LevelTable &levels, const FileSettings &settings, ToolText name) {
    endStroke();
    std::vector<CellChange> cells;
    for (size_t r = 0; r < levels.size(); ++r)
        for (size_t c = 0; c < levels[r].size(); ++c) {
            int32_t &cell = m_curves.Levels[r][c];
            if (cell != levels[r][c]) {
                cells.push_back(
                    {static_cast<uint8_t>(r), static_cast<uint8_t>(c), cell, levels[r][c]});
                cell = levels[r][c];
            }
        }
    const FileSettings before = m_settings;
    if (cells.empty() && before == settings)
        return;
    m_settings = settings;
    push(new CurveStep(*this, std::move(cells), before, settings, name));
}

void CurveDocument::setCloudSpeed(int position) {
    FileSettings after = m_settings;
    after.SBWolkenT.setPosition(position);
    if (after == m_settings)
        return;
    endStroke();
    const FileSettings before = m_settings;
    m_settings = after;
    push(new CurveStep(*this, {}, before, after, ToolText::StepCloudSpeed, kCloudSpeedId));
}

void CurveDocument::setLevel(int row, int column, int level, int tag) {
    endStroke();
    int32_t &cell = m_curves.Levels[static_cast<size_t>(row)][static_cast<size_t>(column)];
    if (cell == level)
        return;
    std::vector<CellChange> cells{
        {static_cast<uint8_t>(row), static_cast<uint8_t>(column), cell, level}};
    cell = level;
    push(new CurveStep(*this, std::move(cells), m_settings, m_settings, ToolText::KeyLevel,
                       kKeyLevelId, tag));
}

void CurveDocument::clear() {
    CurveData cleared = m_curves;
    ClearLevels(cleared);
    change(cleared.Levels, m_settings, ToolText::StepNew);
    m_stack.setClean();
}

LoadResult CurveDocument::load(FileSystem &fs, const QString &path) {
    const std::optional<DimContent> content = ReadDimFile(fs, path);
    if (!content)
        return LoadResult::Rejected;
    CurveData loaded = m_curves;
    FileSettings settings = m_settings;
    ApplyDimContent(*content, loaded, settings);
    change(loaded.Levels, settings, ToolText::StepLoad);
    m_stack.setClean();
    return LoadResult::Loaded;
}

void CurveDocument::save(FileSystem &fs, const Clock &clock, const QString &path,
                         const Settings &settings) {
    endStroke();
    SaveDimFile(fs, clock, path, m_curves, m_settings, settings);
    m_stack.setClean();
}

bool CurveDocument::undo() {
    endStroke();
    if (!m_stack.canUndo())
        return false;
    m_stack.undo();
    return true;
}

bool CurveDocument::redo() {
    endStroke();
    if (!m_stack.canRedo())
        return false;
    m_stack.redo();
    return true;
}

size_t CurveDocument::cellsHeld() const {
    size_t total = 0;
    for (int i = 0; i < m_stack.count(); ++i)
        total += static_cast<const CurveStep *>(m_stack.command(i))->cells();
    return total;
}

} // namespace dim
