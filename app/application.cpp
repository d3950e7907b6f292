#include "app/application.h"

#include "app/mainwindow.h"

#include <QApplication>
#include <QIcon>

void SetUpApplication(QApplication &app) {
    app.setApplicationName(QStringLiteral("dimeditor"));
    app.setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("dimeditor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
}
