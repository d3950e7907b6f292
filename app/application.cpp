#include "app/application.h"

#include "texts/texts.h"
#include "view/sheet.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QLibraryInfo>
#include <QPixmap>
#include <QTranslator>

#include <memory>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace dim::app {

namespace {
constexpr int kWindowIconSize = 64;
} // namespace

void SetUpApplication(QApplication &app) {
    app.setApplicationName(QStringLiteral("dimeditor"));
    app.setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("dimeditor"));
}

void SetApplicationIcon() {
    if (!QApplication::windowIcon().isNull())
        return;
    // Title bars and task lists show icons of at most this size; the full 256-pixel picture
    // would be held several times over (the icon, and the window system's copy of it).
    const QImage picture(QStringLiteral(":/icon.png"));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(picture.scaled(
        kWindowIconSize, kWindowIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation))));
}

void FinishStart(SheetDecode &sheet) {
    SetApplicationIcon();
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    sheet.fillCache();
}

void UseToolkitLanguage(int row) {
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
    if (row < 0 || row >= static_cast<int>(LanguageCodes.size()) || row == 1)
        return;
    auto next = std::make_unique<QTranslator>();
    if (!next->load(
            QStringLiteral("qtbase_%1").arg(QLatin1String(LanguageCodes[static_cast<size_t>(row)])),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        qWarning("No toolkit translation for \"%s\": dialogs stay in English",
                 LanguageCodes[static_cast<size_t>(row)]);
        return;
    }
    translator = std::move(next);
    QCoreApplication::installTranslator(translator.get());
}

} // namespace dim::app
