#include "app/filedialogs.h"

#include <QMimeDatabase>

namespace dim::app {

NameOnlyIcons::NameOnlyIcons() {
    setOptions(DontUseCustomDirectoryIcons);
}

QIcon NameOnlyIcons::icon(const QFileInfo &info) const {
    if (info.isRoot())
        return QFileIconProvider::icon(Drive);
    if (info.isDir())
        return QFileIconProvider::icon(Folder);
    return QFileIconProvider::icon(File);
}

QString NameOnlyIcons::type(const QFileInfo &info) const {
    if (!info.isFile())
        return QFileIconProvider::type(info); // a folder or drive, told without reading it
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    return mime.comment().isEmpty() ? mime.name() : mime.comment();
}

namespace {

// A file dialog whose list tells icons and types by names only.
QFileDialog *NamedDialog(QWidget *parent, const char *name) {
    auto *dialog = new QFileDialog(parent);
    dialog->setObjectName(QLatin1String(name));
    // Owned by the dialog, which keeps a pointer to it.
    auto *icons = new NameOnlyIcons;
    QObject::connect(dialog, &QObject::destroyed, [icons] { delete icons; });
    dialog->setIconProvider(icons);
    return dialog;
}

} // namespace

QFileDialog *MakeFolderDialog(QWidget *parent, const char *name, const QString &title) {
    QFileDialog *dialog = NamedDialog(parent, name);
    dialog->setWindowTitle(title);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly, true);
    return dialog;
}

QFileDialog *MakeCurveFileDialog(QWidget *parent, const char *name, QFileDialog::AcceptMode mode) {
    QFileDialog *dialog = NamedDialog(parent, name);
    dialog->setAcceptMode(mode);
    dialog->setNameFilter(QStringLiteral("Dimwerte (*.DIM)"));
    dialog->setDefaultSuffix(QStringLiteral("DIM"));
    dialog->setOption(QFileDialog::ReadOnly, false);
    if (mode == QFileDialog::AcceptOpen)
        dialog->setFileMode(QFileDialog::AnyFile); // a name of no existing file is accepted
    dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    return dialog;
}

QString CompletedOpenPath(const QString &chosen, const QString &defaultSuffix) {
    const QFileInfo info(chosen);
    if (defaultSuffix.isEmpty() || info.exists() || info.fileName().contains(QLatin1Char('.')))
        return chosen;
    return chosen + QLatin1Char('.') + defaultSuffix;
}

} // namespace dim::app
