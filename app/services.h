#pragma once

#include <QString>
#include <QUrl>

class QDialog;
class QFileDialog;
class QWidget;

namespace dim::app {

// The answers to the question whether to save the changes before closing.
enum class SaveAnswer { Save, Discard, Cancel };
// The answers to the question at start whether to restore unsaved curves; Later when the box
// was closed without a choice.
enum class RestoreAnswer { Restore, Discard, Later };

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
    // A modal question with Save, Discard and Cancel (the toolkit's own buttons, Save the
    // default); Escape or closing the box is Cancel.
    virtual SaveAnswer askToSave(QWidget *owner, const QString &title, const QString &text) = 0;
    // A modal question with a button labelled restore (the default) and Discard.
    virtual RestoreAnswer askToRestore(QWidget *owner, const QString &title, const QString &text,
                                       const QString &restore) = 0;
};

// Makes a dialog wide enough that the window manager shows its whole title.
void FitTitle(QDialog &dialog);

// The real dialogs and desktop.
Services &DesktopServices();

} // namespace dim::app
