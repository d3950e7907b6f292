#pragma once

#include "model/settings.h"
#include "view/playmark.h"

#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

class QKeyEvent;
class QLineEdit;

namespace dim::app {

// The chart's paint box: it owns the surface that painting draws into and only presents
// it. A resize drops the surface; the next paint event makes one of the new size and asks
// for a full paint.
class ChartView : public QWidget {
    Q_OBJECT

public:
    explicit ChartView(QWidget *parent = nullptr);

    QImage &surface() { return m_surface; }
    const QImage &surface() const { return m_surface; }
    // Whether the surface has had its first paint since it was made.
    bool painted() const { return !m_surface.isNull() && !m_needsPaint; }

    // The point cursor: a mark drawn on the screen over the surface while the chart has the
    // keyboard focus, with a short text beside it (a typed percentage, a notice).
    void setPointMark(const QRect &mark, const QString &text);
    const QString &pointText() const { return m_pointText; }
    // The marker of the day's play, drawn on the screen over the surface; a null one for none.
    void setPlayMark(const PlayMark &mark);
    const PlayMark &playMark() const { return m_playMark; }
    // What screen readers are told of the point cursor: its level as the chart's value and
    // its text (channel, time, percentage) as the chart's description. The first text after
    // the chart takes the focus is followed by the chart's usage (its accessibleDescription).
    void setAccessibleValue(int level, const QString &text);
    int accessibleLevel() const { return m_accessibleLevel; }
    const QString &accessibleValue() const { return m_accessibleValue; }
    QString accessibleDescriptionText() const;
signals:
    void paintRequested(); // a new surface wants its full paint
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void mousePressed(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseReleased(Qt::MouseButton button);
    void contextMenuRequested(const QPoint &globalPosition);
    // A key while the chart has the focus: a receiver that uses it accepts the event; an
    // event left ignored goes on to the window.
    void keyPressed(QKeyEvent *event);
    void focusChanged(bool in);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QRect m_pointMark;
    QRect m_pointArea; // what the mark and its text cover on the screen
    QString m_pointText;
    PlayMark m_playMark;
    QString m_accessibleValue;
    int m_accessibleLevel = 0;
    bool m_usagePending = false; // the usage still follows the point's text
    QImage m_surface;
    bool m_needsPaint = false;
};

// An image control: shows its own bitmap at its top-left corner.
class ImageControl : public QWidget {
    Q_OBJECT

public:
    explicit ImageControl(QWidget *parent = nullptr);
    void setPicture(QImage picture);
    const QImage &picture() const { return m_picture; }

signals:
    void mousePressed(Qt::MouseButton button, int x, int y);
    void mouseMoved(int x, int y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
};

// An up-down spinner bound to its edit field: moving it writes its position into the field.
// Its position, range and maximum live in a spinner setting; a new maximum leaves the
// position as it is.
class UpDown : public QWidget {
public:
    UpDown(SpinnerSetting &setting, QLineEdit *buddy, QWidget *parent = nullptr);
    int position() const { return m_setting.position(); }
    void setPosition(int value);
    void stepBy(int steps);
    // Writes the position into the edit field without running its change handler.
    void showPositionQuietly();

private:
    SpinnerSetting &m_setting;
    QLineEdit *m_buddy;
};

// The window's start focus holder: it takes the focus so that no control has it at start,
// and is no control to assistive technology: they read it as its accessible name (what the
// window is for), with no role of a control and nothing to press.
class FocusHolder : public QPushButton {
public:
    FocusHolder(const QString &text, QWidget *parent = nullptr);
};

// The language list: single selection that can move to another item but never be cleared.
class LanguageList : public QListWidget {
public:
    explicit LanguageList(QWidget *parent = nullptr);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;
};

} // namespace dim::app
