#include "app/controls.h"
#include "view/canvas.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSignalBlocker>

namespace dim::app {

namespace {

// The chart as screen readers see it: its name as set on the widget; the point cursor's level
// as its value (0-255) and the point's text as its value text and its description, since the
// value text does not reach every screen reader.
class ChartAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ChartAccessible(ChartView *chart) : QAccessibleWidget(chart, QAccessible::Chart) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return chart()->accessibleValue();
        if (t == QAccessible::Description)
            return chart()->accessibleDescriptionText();
        return QAccessibleWidget::text(t);
    }
    void *interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QVariant currentValue() const override { return chart()->accessibleLevel(); }
    // Levels change through the chart's keys, each an undoable step; assistive technology
    // reads the value but does not write it.
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return 255; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    const ChartView *chart() const { return static_cast<const ChartView *>(widget()); }
};

// The start focus holder as a filler that carries the window's purpose as its name.
class FocusHolderAccessible final : public QAccessibleWidget {
public:
    explicit FocusHolderAccessible(FocusHolder *holder)
        : QAccessibleWidget(holder, QAccessible::Client) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? widget()->accessibleName() : QString();
    }
};

QAccessibleInterface *ControlsAccessibleFactory(const QString &, QObject *object) {
    if (auto *chart = dynamic_cast<ChartView *>(object))
        return new ChartAccessible(chart);
    if (auto *holder = dynamic_cast<FocusHolder *>(object))
        return new FocusHolderAccessible(holder);
    return nullptr;
}

void InstallAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(ControlsAccessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

ChartView::ChartView(QWidget *parent) : QWidget(parent) {
    InstallAccessibleFactory();
    setFocusPolicy(Qt::StrongFocus); // a press of any button, or Tab
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

void ChartView::paintEvent(QPaintEvent *event) {
    // The surface is made at the first paint after a resize, at the size the window has
    // settled on: a window that starts maximised is resized again as soon as it is mapped.
    if (m_surface.isNull()) {
        m_surface = LargePageImage(width(), height());
        m_surface.fill(palette().color(QPalette::Button));
    }
    // A new surface is painted at the first paint request for it, once the window is shown.
    if (m_needsPaint && isSignalConnected(QMetaMethod::fromSignal(&ChartView::paintRequested))) {
        m_needsPaint = false;
        emit paintRequested();
    }
    QPainter painter(this);
    for (const QRect &rect : event->region())
        painter.drawImage(rect.topLeft(), m_surface, rect);
    DrawPlayMark(painter, m_playMark); // on the screen only, as the point cursor
    // The point cursor goes over the picture on the screen only: the surface stays as painted.
    if (hasFocus() && !m_pointMark.isNull()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 3));
        painter.drawRect(m_pointMark);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(m_pointMark);
        if (!m_pointText.isEmpty()) {
            const QRect box(m_pointMark.right() + 8, m_pointMark.top(),
                            fontMetrics().horizontalAdvance(m_pointText) + 6,
                            fontMetrics().height() + 2);
            painter.fillRect(box, QColor(255, 255, 224));
            painter.drawRect(box);
            painter.drawText(box, Qt::AlignCenter, m_pointText);
        }
    }
}

void ChartView::resizeEvent(QResizeEvent *) {
    m_surface = QImage();
    m_needsPaint = true;
    update();
}

void ChartView::mouseMoveEvent(QMouseEvent *event) {
    const QPoint at = event->position().toPoint();
    emit mouseMoved(event->buttons(), event->modifiers(), at.x(), at.y());
}

void ChartView::mousePressEvent(QMouseEvent *event) {
    const QPoint at = event->position().toPoint();
    emit mousePressed(event->buttons(), event->modifiers(), at.x(), at.y());
}

void ChartView::mouseDoubleClickEvent(QMouseEvent *event) {
    mousePressEvent(event);
}

void ChartView::mouseReleaseEvent(QMouseEvent *event) {
    emit mouseReleased(event->button());
}

void ChartView::keyPressEvent(QKeyEvent *event) {
    event->ignore();
    emit keyPressed(event);
    if (event->isAccepted())
        return;
    QWidget::keyPressEvent(event);
}

void ChartView::focusInEvent(QFocusEvent *event) {
    QWidget::focusInEvent(event);
    emit focusChanged(true);
    // Arriving at the chart, a screen reader hears the point and then how to use the chart.
    m_usagePending = !m_accessibleValue.isEmpty();
    QAccessibleEvent described(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
    QAccessibleEvent focus(this, QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
}

void ChartView::focusOutEvent(QFocusEvent *event) {
    QWidget::focusOutEvent(event);
    update(m_pointArea);
    emit focusChanged(false);
}

void ChartView::setPointMark(const QRect &mark, const QString &text) {
    const QRect before = m_pointArea;
    m_pointMark = mark;
    m_pointText = text;
    m_pointArea = QRect();
    if (!m_pointMark.isNull()) {
        // The mark, its two-pixel frame and the text box to its right.
        const QFontMetrics metrics = fontMetrics();
        m_pointArea = m_pointMark.adjusted(
            -3, -3, 3 + 8 + metrics.horizontalAdvance(m_pointText) + 8, 3 + metrics.height());
    }
    update(before | m_pointArea);
}

void ChartView::setPlayMark(const PlayMark &mark) {
    const QRegion before = m_playMark.area();
    m_playMark = mark;
    update((before + m_playMark.area()).boundingRect());
}

void ChartView::setAccessibleValue(int level, const QString &text) {
    const bool levelChanged = level != m_accessibleLevel;
    const bool textChanged = text != m_accessibleValue || m_usagePending;
    m_accessibleLevel = level;
    m_accessibleValue = text;
    m_usagePending = false;
    if (levelChanged) {
        QAccessibleValueChangeEvent changed(this, level);
        QAccessible::updateAccessibility(&changed);
    }
    if (textChanged) {
        QAccessibleEvent described(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&described);
    }
}

QString ChartView::accessibleDescriptionText() const {
    if (m_accessibleValue.isEmpty())
        return accessibleDescription();
    if (m_usagePending)
        return m_accessibleValue + QStringLiteral(". ") + accessibleDescription();
    return m_accessibleValue;
}

void ChartView::contextMenuEvent(QContextMenuEvent *event) {
    emit contextMenuRequested(event->globalPos());
}

ImageControl::ImageControl(QWidget *parent) : QWidget(parent) {
    setMouseTracking(true);
}

void ImageControl::setPicture(QImage picture) {
    m_picture = std::move(picture);
    update();
}

void ImageControl::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Button));
    if (!m_picture.isNull())
        painter.drawImage(event->rect().topLeft(), m_picture, event->rect());
}

void ImageControl::mousePressEvent(QMouseEvent *event) {
    emit mousePressed(event->button(), event->position().toPoint().x(),
                      event->position().toPoint().y());
}

void ImageControl::mouseMoveEvent(QMouseEvent *event) {
    emit mouseMoved(event->position().toPoint().x(), event->position().toPoint().y());
}

UpDown::UpDown(SpinnerSetting &setting, QLineEdit *buddy, QWidget *parent)
    : QWidget(parent), m_setting(setting), m_buddy(buddy) {}

void UpDown::setPosition(int value) {
    m_setting.setPosition(value);
    m_buddy->setText(QString::number(m_setting.position()));
}

void UpDown::stepBy(int steps) {
    setPosition(m_setting.position() + steps);
}

void UpDown::showPositionQuietly() {
    const QSignalBlocker blocker(m_buddy);
    m_buddy->setText(QString::number(m_setting.position()));
}

FocusHolder::FocusHolder(const QString &text, QWidget *parent) : QPushButton(parent) {
    // The caption is set once this is a focus holder: a button's caption already tells
    // assistive technology about it, and what it is told of first it keeps.
    InstallAccessibleFactory();
    setText(text);
}

LanguageList::LanguageList(QWidget *parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
}

QItemSelectionModel::SelectionFlags LanguageList::selectionCommand(const QModelIndex &index,
                                                                   const QEvent *event) const {
    // A click beside the items, or Ctrl+click on the selected one, would clear the selection.
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    const auto flags = QListWidget::selectionCommand(index, event);
    if (flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
        return QItemSelectionModel::ClearAndSelect;
    return flags;
}

} // namespace dim::app
