#include "app/application.h"

#include "app/mainwindow.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

void SetUpApplication(QApplication &app) {
    app.setApplicationName(QStringLiteral("dimeditor"));
    app.setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("dimeditor"));
    // Set once the event loop runs, after the main window has asked to be mapped: decoding
    // the icon, and looking through the image-format plugins for it, would delay that.
    QTimer::singleShot(0, &app,
                       [] { QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png"))); });
}
