#pragma once

#include "texts/tooltexts.h"

#include <QObject>
#include <QPoint>

#include <functional>
#include <map>

class QAction;
class QMenu;
class QWidget;

namespace dim {
class ChartEditor;
class CurveDocument;
class FileSystem;
} // namespace dim

namespace dim::app {

class Services;

// What the menu's commands that write files need of the window: its dialogs and notices,
// the file system, and the window's guard around a file command (which shows its failure
// in an error box). Without them those commands are disabled.
struct MenuFiles {
    Services *services = nullptr;
    FileSystem *fileSystem = nullptr;
    std::function<void(const std::function<void()> &command)> guard;
};
class BudgetWindow;

// The chart's menu: undo and redo (the history's own actions, named after their steps), the
// curve tools with their shortcuts and dialogs, the continuous-stroke switch, the day's play
// and the light budget window. Each tool asks the chart editor for one step on the current
// channel; the shortcuts work wherever the focus is in the window, Escape stops a play.
class ChartMenu : public QObject {
    Q_OBJECT

public:
    ChartMenu(ChartEditor &editor, CurveDocument &document, QWidget &window, MenuFiles files = {});

    QMenu *menu() const { return m_menu; }
    QAction *action(ToolText text) const { return m_actions.at(text); }
    QAction *undoAction() const { return m_undo; }
    QAction *redoAction() const { return m_redo; }
    QAction *stopPlayAction() const { return m_stopPlay; }
    // The light budget window, made when first asked for; null before.
    BudgetWindow *budgetWindow() const { return m_budget; }
    // Labels the menu in a language of the language list; the history's actions too.
    void relabel(int language);
    void popup(const QPoint &globalPosition);

private:
    void buildHistoryActions();
    void followChannel(int channel);
    void copy();
    void paste();
    void scale();
    void fill();
    void daylight();
    void acclimation();
    void showBudget();

    ChartEditor &m_editor;
    CurveDocument &m_document;
    QWidget &m_window;
    MenuFiles m_files;
    QMenu *m_menu;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    QAction *m_firstTool = nullptr;
    QAction *m_stopPlay = nullptr;
    BudgetWindow *m_budget = nullptr;
    std::map<ToolText, QAction *> m_actions;
    int m_language = 0;
};

} // namespace dim::app
