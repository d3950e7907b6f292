// The main window's file commands: Load, Save and New, the question before unsaved curves
// are left, and the curves a killed editor left behind.

#include "app/mainwindow.h"

#include "app/controls.h"
#include "app/filedialogs.h"
#include "app/services.h"
#include "edit/charteditor.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QSessionManager>
#include <QTimer>

#include <optional>

namespace dim::app {

LoadResult TForm1::LoadDimFile(const QString &path) {
    const LoadResult result = m_state.document.load(m_env.fileSystem, path);
    if (result == LoadResult::Rejected)
        setWindowTitle(GetText(SlotLoadError));
    return result;
}

void TForm1::SaveDimFile(const QString &path) {
    m_state.document.save(m_env.fileSystem, m_env.clock, path, m_state.settings);
}

void TForm1::reportError(const QString &message) {
    m_env.services.showError(this, QString::fromLatin1(ApplicationTitle), ErrorBoxText(message));
}

void TForm1::runFileCommand(const std::function<void()> &command) {
    m_ui.pb->setEnabled(false);
    std::optional<IoError> failure;
    try {
        command();
    } catch (const IoError &error) {
        failure = error;
    }
    // However the command ended, the chart takes the pointer again 500 ms later; a running
    // timer is not restarted.
    if (!m_ui.Timer1->isActive())
        m_ui.Timer1->start();
    if (failure)
        reportError(failure->message());
}

void TForm1::loadFile(const QString &path) {
    if (LoadDimFile(path) == LoadResult::Loaded)
        setWindowTitle(path);
}

void TForm1::OpenFile(const QString &path) {
    runFileCommand([this, &path] { loadFile(path); });
}

void TForm1::Button1Click() {
    // The chart is guarded from the dialog on, once for the dialog and the load.
    runFileCommand([this] {
        QString path;
        if (m_env.services.runFileDialog(*FOD(), &path))
            loadFile(path);
    });
}

void TForm1::Button2Click() {
    saveWithDialog();
}

bool TForm1::saveWithDialog() {
    bool written = false;
    runFileCommand([this, &written] {
        QString path;
        if (m_env.services.runFileDialog(*FSD(), &path)) {
            SaveDimFile(path);
            setWindowTitle(path);
            written = true;
        }
    });
    return written;
}

void TForm1::Button4Click() {
    if (m_env.services.confirm(this, GetText(SlotNewQuestion), GetText(SlotNewTitle)) != 1)
        return;
    m_state.document.clear();
}

bool TForm1::offerRecovery() {
    if (!m_env.recovery)
        return false;
    const std::optional<RecoveredWork> work = m_env.recovery->takeAbandoned();
    if (!work)
        return false;
    const int language = m_ui.lbl->currentRow();
    switch (m_env.services.askToRestore(this, QString::fromLatin1(ApplicationTitle),
                                        GetToolText(ToolText::RestoreQuestion, language),
                                        GetToolText(ToolText::RestoreButton, language))) {
    case RestoreAnswer::Restore: {
        // One step, unsaved, under the caption it had.
        CurveData curves = m_state.document.curves();
        FileSettings settings = m_state.document.fileSettings();
        ApplyDimContent(work->content, curves, settings);
        m_state.document.change(curves.Levels, settings, ToolText::RestoreStep);
        setWindowTitle(work->caption);
        // The taken file goes once this process's own file holds the work.
        if (!m_state.document.isModified() || (m_keeper && m_keeper->writeNow()))
            m_env.recovery->dropTaken();
        return true;
    }
    case RestoreAnswer::Discard:
        m_env.recovery->dropTaken();
        break;
    case RestoreAnswer::Later:
        break;
    }
    return false;
}

void TForm1::FormClose(QCloseEvent *event) {
    // Curves that no file holds are not lost without a word.
    if (!mayEnd()) {
        event->ignore();
        return;
    }
    if (m_keeper)
        m_keeper->finish();
    event->accept();
}

bool TForm1::mayEnd() {
    m_editor->cutOff(); // a stroke under way is part of what is asked about
    if (!m_state.document.isModified())
        return true;
    switch (
        m_env.services.askToSave(this, QString::fromLatin1(ApplicationTitle),
                                 GetToolText(ToolText::CloseQuestion, m_ui.lbl->currentRow()))) {
    case SaveAnswer::Save:
        return saveWithDialog();
    case SaveAnswer::Discard:
        return true;
    case SaveAnswer::Cancel:
        break;
    }
    return false;
}

bool TForm1::endOfSession(bool interactionAllowed) {
    if (!interactionAllowed) {
        // The curves stay in the recovery file, to be offered at the next start.
        if (m_keeper)
            m_keeper->writeNow();
        return true;
    }
    if (!mayEnd())
        return false;
    if (m_keeper)
        m_keeper->finish();
    return true;
}

void TForm1::commitData(QSessionManager &manager) {
    const bool allowed = m_state.document.isModified() && manager.allowsInteraction();
    if (!endOfSession(allowed))
        manager.cancel();
    if (allowed)
        manager.release();
}

QFileDialog *TForm1::FOD() {
    // The dialogs are made when first needed: together they hold some 10 MB.
    if (!m_fod)
        m_fod = MakeCurveFileDialog(this, "FOD", QFileDialog::AcceptOpen);
    return m_fod;
}

QFileDialog *TForm1::FSD() {
    if (!m_fsd)
        m_fsd = MakeCurveFileDialog(this, "FSD", QFileDialog::AcceptSave);
    return m_fsd;
}

} // namespace dim::app
