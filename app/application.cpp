#include "app/application.h"

#include "app/mainwindow.h"

#include <QApplication>
#include <QFile>
#include <QIcon>

QByteArray EmbeddedSheet() {
    QFile file(QStringLiteral(":/LOGO"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void SetUpApplication(QApplication &app) {
    app.setApplicationName(QStringLiteral("dimeditor"));
    app.setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("dimeditor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
}
