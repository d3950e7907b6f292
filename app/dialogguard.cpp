#include "app/dialogguard.h"

#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWindow>

#include <cstdlib>

#ifdef DIM_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

namespace dim::app {

namespace {

// Whether the window system no longer knows the window.
bool WindowGone(const QWindow &window) {
#ifdef DIM_HAVE_XCB
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return false;
    xcb_connection_t *connection = x11->connection();
    xcb_generic_error_t *error = nullptr;
    xcb_get_window_attributes_reply_t *reply = xcb_get_window_attributes_reply(
        connection,
        xcb_get_window_attributes(connection, static_cast<xcb_window_t>(window.winId())), &error);
    const bool gone = !reply && error && error->error_code == XCB_WINDOW;
    std::free(reply);
    std::free(error);
    return gone;
#else
    Q_UNUSED(window);
    return false;
#endif
}

// Watches a dialog's window: when it stops being shown while the dialog still counts as
// open, and the window system says it is gone, the dialog ends.
class Guard final : public QObject {
public:
    explicit Guard(QDialog &dialog) : m_dialog(&dialog) {
        dialog.winId(); // the window to watch
        if (QWindow *window = dialog.windowHandle())
            window->installEventFilter(this);
    }
    bool lost() const { return m_lost; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        auto *window = static_cast<QWindow *>(watched);
        if (event->type() == QEvent::Expose && !window->isExposed() && m_dialog &&
            m_dialog->isVisible() && !m_lost && WindowGone(*window)) {
            m_lost = true;
            m_dialog->done(QDialog::Rejected);
        }
        return false;
    }

private:
    QPointer<QDialog> m_dialog;
    bool m_lost = false;
};

} // namespace

int RunDialog(QDialog &dialog) {
    Guard guard(dialog);
    const int result = dialog.exec();
    if (guard.lost())
        dialog.windowHandle()->destroy(); // its handle names a window that is gone
    return result;
}

} // namespace dim::app
