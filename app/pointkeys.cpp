// Keyboard editing of the chart: a point cursor that the arrow keys move and whose level
// keys and typed percentages set, each change a step of the curve document.

#include "app/mainwindow.h"

#include "app/controls.h"

#include <QLabel>
#include <QListWidget>

namespace dim::app {

bool TForm1::pbKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    // Keys with Ctrl or Alt are the window's shortcuts (the curve tools, undo).
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const PointCursor before = m_point;
    const PointKeyResult result = ApplyPointKey(m_point, key, modifiers.testFlag(Qt::ShiftModifier),
                                                m_state.document.Levels());
    if (!result.handled)
        return false;
    if (m_point.channel != before.channel || m_point.column != before.column)
        ++m_pointTag; // changes to another point are another step
    if (result.level)
        m_state.document.setLevel(m_point.channel, m_point.column, *result.level,
                                  GetToolText(ToolText::KeyLevel, lbl->currentRow()), m_pointTag);
    QString text;
    if (!m_point.typed.isEmpty())
        text = m_point.typed + QLatin1Char('%');
    else if (m_point.refused)
        text = GetToolText(ToolText::PercentTooHigh, lbl->currentRow());
    showPointCursor(text);
    // After a key the status line names the point in both places: it is where the keys are.
    const int level = pointLevel();
    PStat->setText(StatusText(CursorState{m_point.column, m_point.channel, level}, level,
                              m_state.texts, lbl->currentRow()));
    return true;
}

void TForm1::pbFocus(bool in) {
    if (!in)
        pbCutOff();
    if (in) {
        m_point = StartPointCursor(m_state.cursor.CursorChannel, m_state.cursor.CursorColumn);
        ++m_pointTag;
        showPointCursor();
    }
    updateToolActions(); // the tools follow the point cursor while the chart has the focus
}

int TForm1::pointLevel() const {
    const LevelRow &row = m_state.document.Levels()[static_cast<size_t>(m_point.channel)];
    return row[static_cast<size_t>(m_point.column)];
}

void TForm1::showPointCursor(const QString &text) {
    const int level = pointLevel();
    Geometry geometry = m_state.chart.geometry;
    geometry.MapPoint(m_point.channel, m_point.column, level);
    const int half = std::max(4, std::min(geometry.ColumnWidth / 2, 8));
    pb->setPointMark(
        QRect(geometry.PointX - half, geometry.PointY - half, 2 * half + 1, 2 * half + 1), text);
    pb->setAccessibleValue(level, PointDescription(m_state.texts, lbl->currentRow(),
                                                   m_point.channel, m_point.column, level));
}

void TForm1::relabelChart() {
    pb->setAccessibleName(GetToolText(ToolText::ChartName, lbl->currentRow()));
    pb->setAccessibleDescription(GetToolText(ToolText::ChartDescription, lbl->currentRow()));
    if (pb->hasFocus())
        showPointCursor(pb->pointText());
}

} // namespace dim::app
