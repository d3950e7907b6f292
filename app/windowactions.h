#pragma once

#include <QObject>

class QAction;
class QDialog;
class QWidget;

namespace dim::app {

struct Form1Controls;

// The window's own shortcuts, as the desktop binds them: Open runs Load, Save runs Save,
// New runs New (with its question), Quit closes the window (with its question about unsaved
// curves) and Help opens a small window of the mouse actions and keys. The buttons' tooltips
// name their shortcut in the language in force.
class WindowActions : public QObject {
    Q_OBJECT

public:
    WindowActions(QWidget &window, const Form1Controls &ui);
    void relabel(int language);
    QAction *open() const { return m_open; }
    QAction *save() const { return m_save; }
    QAction *clearAll() const { return m_new; }
    QAction *quit() const { return m_quit; }
    QAction *help() const { return m_help; }
    // The help window, made when first asked for; null before.
    QDialog *helpWindow() const { return m_helpWindow; }

private:
    void showHelp();
    void fillHelp();

    QWidget &m_window;
    const Form1Controls &m_ui;
    QAction *m_open;
    QAction *m_save;
    QAction *m_new;
    QAction *m_quit;
    QAction *m_help;
    QDialog *m_helpWindow = nullptr;
    int m_language = 0;
};

} // namespace dim::app
