#include "app/application.h"

#include "app/mainwindow.h"

#include <QApplication>
#include <QFile>

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
}
