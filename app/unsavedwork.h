#pragma once

#include "edit/recoverykeeper.h"

#include <QObject>

#include <functional>
#include <memory>

class QSessionManager;
class QWidget;

namespace dim::app {

class Services;

// What becomes of curves that no file holds: the question before the window closes or the
// desktop session ends, their copy against a kill (kept under the window's caption), and the
// offer at start of the curves an editor that was killed left behind.
class UnsavedWork : public QObject {
public:
    // What the window lends to its questions.
    struct WindowHooks {
        std::function<int()> language;   // the language the questions are asked in
        std::function<bool()> save;      // saves with the dialog; true when a file was written
        std::function<void()> endStroke; // a stroke under way is part of what is asked about
    };

    // Without a store nothing is kept and nothing is offered.
    UnsavedWork(QWidget &window, CurveDocument &document, Services &services, RecoveryStore *store,
                WindowHooks hooks);
    ~UnsavedWork() override;

    // At start, before a file of the command line opens: offers the curves an editor that
    // was killed left unsaved, once; true when they were restored (the file then stays shut).
    bool offerRestore();
    // The window is closing: asks about unsaved curves; true when it may close.
    bool mayClose();
    // The desktop session ends: asks as closing does, when the session allows it; false when
    // the user keeps the editor (the session's end is cancelled).
    bool endOfSession(bool interactionAllowed);
    void commitData(QSessionManager &manager);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
    CurveDocument &m_document;
    Services &m_services;
    RecoveryStore *m_store;
    WindowHooks m_hooks;
    std::unique_ptr<RecoveryKeeper> m_keeper;
};

} // namespace dim::app
