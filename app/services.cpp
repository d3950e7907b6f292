#include "app/services.h"

#include "app/dialogguard.h"
#include "app/filedialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>

namespace dim::app {

namespace {

// What a title bar needs besides the title: the window menu, the buttons and the margins.
constexpr int kTitleBarExtra = 160;

class Desktop final : public Services {
public:
    bool runFileDialog(QFileDialog &dialog, QString *path) override {
        // The toolkit would add the default suffix to any name without one, also to the name
        // of a file that exists: an open dialog completes the name after it, only when needed.
        const bool open = dialog.acceptMode() == QFileDialog::AcceptOpen;
        const QString suffix = dialog.defaultSuffix();
        if (open)
            dialog.setDefaultSuffix({});
        const int result = RunDialog(dialog);
        if (open)
            dialog.setDefaultSuffix(suffix);
        // Return in the name field can close the dialog while its completion list is up;
        // the list is a window of its own and would stay on screen over the chart.
        for (QCompleter *completer : dialog.findChildren<QCompleter *>()) {
            if (completer->popup())
                completer->popup()->hide();
        }
        if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        *path = dialog.selectedFiles().constFirst();
        if (open)
            *path = CompletedOpenPath(*path, suffix);
        return true;
    }
    int confirm(QWidget *owner, const QString &text, const QString &title) override {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                        owner);
        box.setDefaultButton(QMessageBox::Ok);
        return run(box) == QMessageBox::Ok ? 1 : 2;
    }
    void showError(QWidget *owner, const QString &title, const QString &text) override {
        QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, owner);
        run(box);
    }
    void showNotice(QWidget *owner, const QString &title, const QString &text) override {
        QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, owner);
        run(box);
    }
    void openUrl(const QUrl &url) override { QDesktopServices::openUrl(url); }
    SaveAnswer askToSave(QWidget *owner, const QString &title, const QString &text) override {
        QMessageBox box(QMessageBox::Question, title, text,
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, owner);
        box.setDefaultButton(QMessageBox::Save);
        box.setEscapeButton(QMessageBox::Cancel);
        switch (run(box)) {
        case QMessageBox::Save:
            return SaveAnswer::Save;
        case QMessageBox::Discard:
            return SaveAnswer::Discard;
        default:
            return SaveAnswer::Cancel;
        }
    }
    RestoreAnswer askToRestore(QWidget *owner, const QString &title, const QString &text,
                               const QString &restore) override {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, owner);
        QPushButton *restoreButton = box.addButton(restore, QMessageBox::AcceptRole);
        QPushButton *discardButton = box.addButton(QMessageBox::Discard);
        box.setDefaultButton(restoreButton);
        run(box);
        if (box.clickedButton() == restoreButton)
            return RestoreAnswer::Restore;
        return box.clickedButton() == discardButton ? RestoreAnswer::Discard : RestoreAnswer::Later;
    }

private:
    static int run(QMessageBox &box) {
        FitTitle(box);
        return RunDialog(box);
    }
};

} // namespace

void FitTitle(QDialog &dialog) {
    const int needed =
        QFontMetrics(QApplication::font()).horizontalAdvance(dialog.windowTitle()) + kTitleBarExtra;
    if (dialog.minimumWidth() < needed)
        dialog.setMinimumWidth(needed);
}

Services &DesktopServices() {
    static Desktop desktop;
    return desktop;
}

} // namespace dim::app
