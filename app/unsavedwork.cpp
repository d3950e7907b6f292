#include "app/unsavedwork.h"

#include "app/application.h"
#include "app/services.h"
#include "edit/document.h"
#include "model/dimfile.h"
#include "texts/texts.h"

#include <QEvent>
#include <QSessionManager>
#include <QWidget>

#include <optional>

namespace dim::app {

UnsavedWork::UnsavedWork(QWidget &window, CurveDocument &document, Services &services,
                         RecoveryStore *store, WindowHooks hooks)
    : QObject(&window), m_window(window), m_document(document), m_services(services),
      m_store(store), m_hooks(std::move(hooks)) {
    if (m_store) {
        m_keeper = std::make_unique<RecoveryKeeper>(m_document, *m_store);
        m_keeper->setCaption(m_window.windowTitle());
        m_window.installEventFilter(this);
    }
}

UnsavedWork::~UnsavedWork() = default;

bool UnsavedWork::eventFilter(QObject *watched, QEvent *event) {
    if (watched == &m_window && event->type() == QEvent::WindowTitleChange)
        m_keeper->setCaption(m_window.windowTitle());
    return false;
}

bool UnsavedWork::offerRestore() {
    if (!m_store)
        return false;
    const std::optional<RecoveredWork> work = m_store->takeAbandoned();
    if (!work)
        return false;
    const int language = m_hooks.language();
    switch (m_services.askToRestore(&m_window, QString::fromLatin1(ApplicationTitle),
                                    GetToolText(ToolText::RestoreQuestion, language),
                                    GetToolText(ToolText::RestoreButton, language))) {
    case RestoreAnswer::Restore: {
        // One step, unsaved, under the caption it had.
        CurveData curves = m_document.curves();
        FileSettings settings = m_document.fileSettings();
        ApplyDimContent(work->content, curves, settings);
        m_document.change(curves.Levels, settings, ToolText::RestoreStep);
        m_window.setWindowTitle(work->caption);
        // The taken file goes once this process's own file holds the work.
        if (!m_document.isModified() || m_keeper->writeNow())
            m_store->dropTaken();
        return true;
    }
    case RestoreAnswer::Discard:
        m_store->dropTaken();
        break;
    case RestoreAnswer::Later:
        break;
    }
    return false;
}

bool UnsavedWork::mayClose() {
    // Curves that no file holds are not lost without a word.
    m_hooks.endStroke();
    if (m_document.isModified()) {
        switch (m_services.askToSave(&m_window, QString::fromLatin1(ApplicationTitle),
                                     GetToolText(ToolText::CloseQuestion, m_hooks.language()))) {
        case SaveAnswer::Save:
            if (!m_hooks.save())
                return false;
            break;
        case SaveAnswer::Discard:
            break;
        case SaveAnswer::Cancel:
            return false;
        }
    }
    if (m_keeper)
        m_keeper->finish();
    return true;
}

bool UnsavedWork::endOfSession(bool interactionAllowed) {
    if (!interactionAllowed) {
        // The curves stay in the recovery file, to be offered at the next start.
        if (m_keeper)
            m_keeper->writeNow();
        return true;
    }
    return mayClose();
}

void UnsavedWork::commitData(QSessionManager &manager) {
    const bool allowed = m_document.isModified() && manager.allowsInteraction();
    if (!endOfSession(allowed))
        manager.cancel();
    if (allowed)
        manager.release();
}

} // namespace dim::app
