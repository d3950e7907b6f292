// The main window's file commands: Load, Save and New.

#include "app/mainwindow.h"

#include "app/controls.h"
#include "app/filedialogs.h"
#include "app/services.h"
#include "app/unsavedwork.h"
#include "edit/charteditor.h"

#include <QCloseEvent>
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

void TForm1::FormClose(QCloseEvent *event) {
    event->setAccepted(m_unsaved->mayClose());
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
