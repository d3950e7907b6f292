#pragma once

#include "edit/curvetools.h"
#include "edit/dayplayer.h"
#include "edit/document.h"
#include "edit/pointcursor.h"
#include "edit/pointer.h"
#include "model/settings.h"
#include "texts/texts.h"
#include "view/geometry.h"

#include <QObject>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

namespace dim {

// The editing of the chart: it turns the pointer and keys over the chart into steps of the
// curve document, and owns what editing keeps between events: the stroke under way (and the
// columns a quick one skips), the point cursor that the keys move, the preview of a tool
// and the current channel. The window feeds it the chart's events and shows what it tells:
// the status text, the point cursor's mark, the bands to repaint, notices.
class ChartEditor : public QObject {
    Q_OBJECT

public:
    ChartEditor(CurveDocument &document, CursorState &cursor, const Geometry &geometry,
                const Settings &settings, const TextTable &texts, QObject *parent = nullptr);

    // The language of the texts it makes: a row of the text table.
    void setLanguage(int language);
    int language() const { return m_language; }
    // Whether every stroke fills the columns between its points (otherwise only Ctrl-strokes).
    void setContinuousStrokes(bool on) { m_continuous = on; }
    bool continuousStrokes() const { return m_continuous; }

    // The pointer over the chart, in chart pixels; inside tells whether it lies on the chart.
    void pointerMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y,
                      bool inside);
    void pointerPressed(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void pointerReleased(Qt::MouseButton button);
    // The stroke under way is cut off (a modal box, another window, a lost focus, a press
    // before its release): it ends as a release would, and the next one starts afresh.
    void cutOff();
    // A key while the chart has the focus; true when it was the point cursor's.
    bool key(int key, Qt::KeyboardModifiers modifiers);
    void focusChanged(bool in);
    bool hasFocus() const { return m_focus; }
    const PointCursor &pointCursor() const { return m_point; }

    // The channel the tools act on: the point cursor's while the chart has the focus, else
    // the band the pointer last passed over; 0 for none.
    int currentChannel() const;

    // The tools, each one step on the current channel (nothing without one).
    // The current channel as the clipboard line; empty without a channel.
    QString copyText() const;
    // Takes a clipboard line; a text that is no curve is refused with a notice.
    void paste(const QString &text);
    void apply(ToolText name, const std::function<DayCurve(const DayCurve &)> &tool);
    // The chart shows curve in place of the current channel's until the preview ends.
    void preview(const DayCurve &curve);
    void endPreview();
    // What the chart shows: the document's levels, or those with the preview.
    const LevelTable &shownLevels() const;

    // The day played over the chart: F5 plays, pauses and resumes; Escape or a press on the
    // chart stops. The readout follows every change of what the chart shows.
    DayPlayer &player() { return m_player; }
    void togglePlay() { m_player.toggle(); }
    void stopPlay() { m_player.stop(); }
    PlayReadout playReadout() const;
    const Geometry &geometry() const { return m_geometry; }
    const TextTable &texts() const { return m_texts; }

signals:
    void statusTextChanged(const QString &text);
    // The point cursor: its mark on the chart, the text beside it (a typed percentage, a
    // notice), its level and what screen readers are told of it.
    void pointChanged(const QRect &mark, const QString &text, int level,
                      const QString &description);
    // A band under a drag, to repaint at the next tick (a repaint flag, 0..3).
    void bandTouched(int flag);
    // The preview of a channel began, changed or ended.
    void previewChanged(int channel);
    void currentChannelChanged(int channel);
    // A refused paste: a heading and why.
    void notice(const QString &title, const QString &text);
    // The play's marker moved, or what it shows changed; a readout not shown when it stopped.
    void playChanged(const dim::PlayReadout &readout);

private:
    void documentChanged(const CurveChange &change);
    void showPoint();
    void moveFocusPoint(int channel, int column);
    void followCurrentChannel();
    void showPlay();
    int pointLevel() const;

    CurveDocument &m_document;
    CursorState &m_cursor;
    const Geometry &m_geometry;
    const Settings &m_settings;
    const TextTable &m_texts;
    int m_language = 0;
    bool m_continuous = false;
    bool m_focus = false;
    PointCursor m_point;
    QString m_pointText;  // beside the point cursor
    int m_pointTag = 0;   // changes when the point cursor moves: key steps merge per point
    int m_pointShown = 0; // counts the point cursor's announcements
    int m_current = 0;    // the current channel as last announced
    // The drag under way, for strokes that fill the columns between their points.
    struct StrokeTrack {
        bool ctrl = false;    // Ctrl was held at some point of the drag
        bool started = false; // an accepted position of this drag is known
        int channel = 0;
        int column = 0;
        int level = 0;
    } m_track;
    std::optional<LevelTable> m_preview;
    DayPlayer m_player;
    bool m_quietDrag = false; // the left button's drag began by stopping the play: draws nothing
};

} // namespace dim
