#include "app/startup.h"

#include "app/mainwindow.h"
#include "app/unsavedwork.h"

#include <QEvent>
#include <QTimer>

namespace dim::app {

namespace {

// The start's questions and the command line's file, once the window manager has activated
// the window, so that the window is drawn in full behind a box; after a second at the latest,
// for a window manager that does not activate new windows.
class StartupSequence : public QObject {
public:
    StartupSequence(TForm1 &window, QString path)
        : QObject(&window), m_window(window), m_path(std::move(path)) {
        if (window.isActiveWindow()) {
            QTimer::singleShot(0, this, [this] { open(); });
            return;
        }
        window.installEventFilter(this);
        QTimer::singleShot(1000, this, [this] { open(); });
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        // After the window's own handling of the activation, which draws its control column.
        if (event->type() == QEvent::WindowActivate)
            QTimer::singleShot(0, this, [this] { open(); });
        return false;
    }

private:
    void open() {
        if (m_opened)
            return;
        m_opened = true;
        m_window.removeEventFilter(this);
        // Restored work is what the user chose to go on with: the file named at start would
        // replace it and leave it unsaved only in the undo history.
        const bool restored = m_window.unsavedWork().offerRestore();
        if (!restored && !m_path.isEmpty())
            m_window.OpenFile(m_path);
        deleteLater();
    }

    TForm1 &m_window;
    QString m_path;
    bool m_opened = false;
};

} // namespace

void StartUp(TForm1 &window, const CommandLine &line) {
    new StartupSequence(window, line.action == CommandLine::Action::Run ? line.file : QString());
}

} // namespace dim::app
