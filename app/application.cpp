#include "app/application.h"

#include "app/mainwindow.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <array>
#include <memory>

namespace dim::app {

void SetUpApplication(QApplication &app) {
    app.setApplicationName(QStringLiteral("dimeditor"));
    app.setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("dimeditor"));
    // Set once the event loop runs, after the main window has asked to be mapped: decoding
    // the icon, and looking through the image-format plugins for it, would delay that.
    QTimer::singleShot(0, &app,
                       [] { QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png"))); });
}

void UseToolkitLanguage(int row) {
    static const std::array<const char *, 4> kCodes{"de", "en", "fr", "es"};
    static std::unique_ptr<QTranslator> translator;
    static int current = -1;
    if (row == current)
        return;
    current = row;
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
        translator.reset();
    }
    // English is the toolkit's own language; the others come with Qt's translations.
    if (row < 0 || row >= static_cast<int>(kCodes.size()) || row == 1)
        return;
    auto next = std::make_unique<QTranslator>();
    if (!next->load(
            QStringLiteral("qtbase_%1").arg(QLatin1String(kCodes[static_cast<size_t>(row)])),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        qWarning("No toolkit translation for \"%s\": dialogs stay in English",
                 kCodes[static_cast<size_t>(row)]);
        return;
    }
    translator = std::move(next);
    QCoreApplication::installTranslator(translator.get());
}

} // namespace dim::app
