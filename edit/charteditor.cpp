#include "edit/charteditor.h"

#include "model/curvetext.h"
#include "texts/tooltexts.h"

#include <algorithm>

namespace dim {

ChartEditor::ChartEditor(CurveDocument &document, CursorState &cursor, const Geometry &geometry,
                         const Settings &settings, const TextTable &texts, QObject *parent)
    : QObject(parent), m_document(document), m_cursor(cursor), m_geometry(geometry),
      m_settings(settings), m_texts(texts) {
    connect(&m_document, &CurveDocument::changed, this, &ChartEditor::documentChanged);
    connect(&m_player, &DayPlayer::minuteChanged, this, &ChartEditor::showPlay);
}

void ChartEditor::setLanguage(int language) {
    m_language = language;
    if (m_focus)
        showPoint();
    if (m_player.active())
        showPlay();
}

void ChartEditor::pointerMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                               int y, bool inside) {
    const bool left = buttons.testFlag(Qt::LeftButton) && !m_quietDrag;
    // Only the left button captures the pointer: a drag with another button that leaves the
    // chart is not followed, as a move outside it without any button is never seen.
    if (!left && !inside)
        return;
    if (left && modifiers.testFlag(Qt::ControlModifier))
        m_track.ctrl = true; // Ctrl during a drag makes that drag continuous
    const PointerResult result =
        PointerEvent(m_cursor, m_geometry, m_document, m_texts, m_language, left, x, y);
    if (result.dirtyBand >= 0)
        emit bandTouched(result.dirtyBand);
    if (result.status) {
        emit statusTextChanged(*result.status);
        if (m_focus && IsFilePoint(m_cursor.CursorChannel, m_cursor.CursorColumn))
            moveFocusPoint(m_cursor.CursorChannel, m_cursor.CursorColumn); // follows the pointer
        followCurrentChannel();
    }
    if (!result.wrote)
        return;
    const CursorState &at = m_cursor;
    // A quick stroke skips columns between two of its points; a continuous one fills them
    // along the straight line between the two.
    if ((m_continuous || m_track.ctrl) && m_track.started && m_track.channel == at.CursorChannel) {
        for (const auto &[column, level] :
             StrokeGapFill(m_track.column, m_track.level, at.CursorColumn, at.CursorLevel,
                           m_settings.udn.position()))
            m_document.writeStrokeCell(at.CursorChannel, column, level);
    }
    m_track = {m_track.ctrl, true, at.CursorChannel, at.CursorColumn, at.CursorLevel};
}

void ChartEditor::pointerPressed(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                                 int y) {
    // Every press comes after the end of the drag before it: a press while one is still under
    // way means its release was missed, or another button joined in.
    cutOff();
    if (!buttons.testFlag(Qt::LeftButton))
        m_quietDrag = false;
    // A press stops the play (the right button's opens the menu, which pauses it). A press
    // meant to stop it changes no curve: its drag draws nothing until the button is released.
    if (m_player.active() && (buttons & ~Qt::MouseButtons(Qt::RightButton))) {
        m_player.stop();
        m_quietDrag = buttons.testFlag(Qt::LeftButton);
    }
    pointerMoved(buttons, modifiers, x, y, true);
}

void ChartEditor::pointerReleased(Qt::MouseButton button) {
    if (button != Qt::LeftButton)
        return;
    cutOff();
    m_quietDrag = false;
}

void ChartEditor::cutOff() {
    m_document.endStroke();
    m_track = {};
}

bool ChartEditor::key(int key, Qt::KeyboardModifiers modifiers) {
    // Keys with Ctrl or Alt are the window's shortcuts (the curve tools, undo).
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const PointCursor before = m_point;
    const PointKeyResult result =
        ApplyPointKey(m_point, key, modifiers.testFlag(Qt::ShiftModifier), m_document.Levels());
    if (!result.handled)
        return false;
    if (m_point.channel != before.channel || m_point.column != before.column)
        ++m_pointTag; // changes to another point are another step
    if (!m_point.typed.isEmpty())
        m_pointText = m_point.typed + QLatin1Char('%');
    else if (m_point.refused)
        m_pointText = GetToolText(ToolText::PercentTooHigh, m_language);
    else
        m_pointText.clear();
    // A level that changes is shown through the document's announcement; anything else here.
    const int shown = m_pointShown;
    if (result.level)
        m_document.setLevel(m_point.channel, m_point.column, *result.level, m_pointTag);
    if (m_pointShown == shown)
        showPoint();
    // After a key the status line names the point in both places: it is where the keys are.
    const int level = pointLevel();
    emit statusTextChanged(StatusText(CursorState{m_point.column, m_point.channel, level}, level,
                                      m_texts, m_language));
    followCurrentChannel();
    return true;
}

void ChartEditor::focusChanged(bool in) {
    if (!in)
        cutOff();
    m_focus = in;
    if (in) {
        const PointCursor start = StartPointCursor(m_cursor.CursorChannel, m_cursor.CursorColumn);
        moveFocusPoint(start.channel, start.column);
    }
    followCurrentChannel(); // the tools follow the point cursor while the chart has the focus
}

int ChartEditor::currentChannel() const {
    if (m_focus)
        return m_point.channel;
    const int channel = m_cursor.CursorChannel;
    return IsFilePoint(channel, 0) ? channel : 0;
}

QString ChartEditor::copyText() const {
    const int channel = currentChannel();
    return channel ? CurveClipboardText(ChannelCurve(m_document.Levels(), channel)) : QString();
}

void ChartEditor::paste(const QString &text) {
    if (currentChannel() == 0)
        return;
    const auto parsed = ParseCurveClipboard(text);
    if (const auto *curve = std::get_if<DayCurve>(&parsed)) {
        apply(ToolText::Paste, [curve](const DayCurve &) { return *curve; });
        return;
    }
    const auto [heading, reason] = RefusedPasteText(std::get<ClipboardRefusal>(parsed), m_language);
    emit notice(heading, reason);
}

void ChartEditor::apply(ToolText name, const std::function<DayCurve(const DayCurve &)> &tool) {
    const int channel = currentChannel();
    if (channel == 0)
        return;
    m_document.changeChannel(channel, tool(ChannelCurve(m_document.Levels(), channel)), name);
}

void ChartEditor::preview(const DayCurve &curve) {
    const int channel = currentChannel();
    if (channel == 0)
        return;
    if (!m_preview)
        m_preview = m_document.Levels();
    SetChannelCurve(*m_preview, channel, curve);
    emit previewChanged(channel);
    if (m_player.active())
        showPlay();
}

void ChartEditor::endPreview() {
    if (!m_preview)
        return;
    m_preview.reset();
    emit previewChanged(currentChannel());
    if (m_player.active())
        showPlay();
}

const LevelTable &ChartEditor::shownLevels() const {
    return m_preview ? *m_preview : m_document.Levels();
}

PlayReadout ChartEditor::playReadout() const {
    return m_player.active() ? ReadoutAt(shownLevels(), m_player.minute()) : PlayReadout{};
}

void ChartEditor::documentChanged(const CurveChange &change) {
    if (m_player.active())
        showPlay(); // the readout follows every edit, a stroke's cells too
    if (change.stroke)
        return; // the pointer that wrote the cells shows its point itself
    if (m_focus)
        showPoint();
}

void ChartEditor::moveFocusPoint(int channel, int column) {
    m_point = StartPointCursor(channel, column);
    m_pointText.clear();
    ++m_pointTag;
    showPoint();
}

void ChartEditor::showPoint() {
    const int level = pointLevel();
    Geometry geometry = m_geometry;
    geometry.MapPoint(m_point.channel, m_point.column, level);
    const int half = std::max(4, std::min(geometry.ColumnWidth / 2, 8));
    ++m_pointShown;
    emit pointChanged(
        QRect(geometry.PointX - half, geometry.PointY - half, 2 * half + 1, 2 * half + 1),
        m_pointText, level,
        PointDescription(m_texts, m_language, m_point.channel, m_point.column, level));
}

void ChartEditor::showPlay() {
    emit playChanged(playReadout());
}

void ChartEditor::followCurrentChannel() {
    const int channel = currentChannel();
    if (channel == m_current)
        return;
    m_current = channel;
    emit currentChannelChanged(channel);
}

int ChartEditor::pointLevel() const {
    const LevelRow &row = m_document.Levels()[static_cast<size_t>(m_point.channel)];
    return row[static_cast<size_t>(m_point.column)];
}

} // namespace dim
