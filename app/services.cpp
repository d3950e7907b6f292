#include "app/services.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

namespace dim::app {

namespace {

class Desktop final : public Services {
public:
    bool runFileDialog(QFileDialog &dialog, QString *path) override {
        const int result = dialog.exec();
        // Return in the name field can close the dialog while its completion list is up;
        // the list is a window of its own and would stay on screen over the chart.
        for (QCompleter *completer : dialog.findChildren<QCompleter *>()) {
            if (completer->popup())
                completer->popup()->hide();
        }
        if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        *path = dialog.selectedFiles().constFirst();
        return true;
    }
    int confirm(QWidget *owner, const QString &text, const QString &title) override {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                        owner);
        box.setDefaultButton(QMessageBox::Ok);
        return box.exec() == QMessageBox::Ok ? 1 : 2;
    }
    void showError(QWidget *owner, const QString &title, const QString &text) override {
        QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, owner);
        box.exec();
    }
    void showNotice(QWidget *owner, const QString &title, const QString &text) override {
        QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, owner);
        box.exec();
    }
    void openUrl(const QUrl &url) override { QDesktopServices::openUrl(url); }
};

} // namespace

Services &DesktopServices() {
    static Desktop desktop;
    return desktop;
}

} // namespace dim::app
