#include "app/controls.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSignalBlocker>

ChartView::ChartView(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

void ChartView::paintEvent(QPaintEvent *event) {
    // The surface is made at the first paint after a resize, at the size the window has
    // settled on: a window that starts maximised is resized again as soon as it is mapped.
    if (m_surface.isNull()) {
        m_surface = QImage(size(), QImage::Format_RGB32);
        m_surface.fill(palette().color(QPalette::Button));
    }
    // A new surface is painted at the first paint request for it, once the window is shown.
    if (m_needsPaint && onPaintRequest) {
        m_needsPaint = false;
        onPaintRequest();
    }
    QPainter painter(this);
    for (const QRect &rect : event->region())
        painter.drawImage(rect.topLeft(), m_surface, rect);
}

void ChartView::resizeEvent(QResizeEvent *) {
    m_surface = QImage();
    m_needsPaint = true;
    update();
}

void ChartView::mouseMoveEvent(QMouseEvent *event) {
    if (onMouseMove)
        onMouseMove(event->buttons(), event->position().toPoint().x(),
                    event->position().toPoint().y());
}

void ChartView::mousePressEvent(QMouseEvent *event) {
    if (onMouseDown)
        onMouseDown(event->buttons(), event->position().toPoint().x(),
                    event->position().toPoint().y());
}

void ChartView::mouseDoubleClickEvent(QMouseEvent *event) {
    mousePressEvent(event);
}

void ChartView::mouseReleaseEvent(QMouseEvent *event) {
    if (onMouseUp)
        onMouseUp(event->button());
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
    if (onMouseDown)
        onMouseDown(event->button(), event->position().toPoint().x(),
                    event->position().toPoint().y());
}

void ImageControl::mouseMoveEvent(QMouseEvent *event) {
    if (onMouseMove)
        onMouseMove(event->position().toPoint().x(), event->position().toPoint().y());
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
