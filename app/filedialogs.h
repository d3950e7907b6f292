#pragma once

#include <QFileDialog>
#include <QFileIconProvider>

namespace dim::app {

// The open and save dialogs of curve files: the filter "Dimwerte (*.DIM)", the default suffix
// "DIM", a name of no existing file accepted (open) and an overwrite question (save). Their
// file lists go by names only (NameOnlyIcons).
QFileDialog *MakeCurveFileDialog(QWidget *parent, const char *name, QFileDialog::AcceptMode mode);

// The dialog that chooses a folder (folders only), titled; its list goes by names only.
QFileDialog *MakeFolderDialog(QWidget *parent, const char *name, const QString &title);

// Icons and types of a file list from the file's name and kind alone. The toolkit's own
// provider reads a file's first bytes to tell its type, which blocks on files that never end
// or never answer (/proc/kmsg, a device).
class NameOnlyIcons final : public QFileIconProvider {
public:
    NameOnlyIcons();
    QIcon icon(const QFileInfo &info) const override;
    QString type(const QFileInfo &info) const override;
};

// The file an open dialog's answer names: a file that exists as typed, otherwise one without
// a suffix of its own gets the dialog's default suffix.
QString CompletedOpenPath(const QString &chosen, const QString &defaultSuffix);

} // namespace dim::app
