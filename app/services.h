#pragma once

#include <QString>
#include <QUrl>

class QFileDialog;
class QWidget;

namespace dim::app {

// Where the window asks the user or the desktop: modal file dialogs, the OK/Cancel box, the
// error box and the web browser. Tests put a double with prepared answers in its place.
class Services {
public:
    virtual ~Services() = default;
    // Runs a configured file dialog modally; true with the chosen full path on confirmation.
    virtual bool runFileDialog(QFileDialog &dialog, QString *path) = 0;
    // A modal OK/Cancel box without icon, OK the default: 1 for OK, 2 otherwise.
    virtual int confirm(QWidget *owner, const QString &text, const QString &title) = 0;
    // A modal error box with an error icon and an OK button.
    virtual void showError(QWidget *owner, const QString &title, const QString &text) = 0;
    // A modal notice with a warning icon and an OK button.
    virtual void showNotice(QWidget *owner, const QString &title, const QString &text) = 0;
    // Opens an address in the default browser; failures are not reported.
    virtual void openUrl(const QUrl &url) = 0;
};

// The real dialogs and desktop.
Services &DesktopServices();

} // namespace dim::app
