#include "app/application.h"
#include "app/commandline.h"
#include "app/mainwindow.h"
#include "app/services.h"
#include "app/startup.h"
#include "app/unsavedwork.h"
#include "model/recoveryfile.h"
#include "view/fonts.h"
#include "view/sheet.h"
#include "view/sheetcache.h"

#include <QApplication>

#include <cstdio>

#include <unistd.h>

int main(int argc, char **argv) {
    using namespace dim;
    using namespace dim::app;
    // --help and --version answer before anything needs a display.
    const CommandLine early = ParseCommandLine(EditorArguments(argc, argv));
    if (early.action == CommandLine::Action::Help || early.action == CommandLine::Action::Version) {
        const QString text =
            early.action == CommandLine::Action::Help ? EditorHelp() : EditorVersion();
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    // Both beside the toolkit's set-up and the window's build and mapping.
    FontConfigLoad fontConfig;
    SheetDecode sheet(EmbeddedSheetJpeg(), SheetCacheFile{&SystemFileSystem(), SheetCachePath()});
    QApplication app(argc, argv);
    SetUpApplication(app);
    // Read again without the options the application took out for itself (-platform and
    // others).
    const CommandLine line = ParseCommandLine(EditorArguments(argc, argv));
    if (line.action == CommandLine::Action::Usage)
        std::fputs(EditorUsage(line.problem).toLocal8Bit().constData(), stderr);

    static EditorState state; // the program's state, for its whole run
    RecoveryStore recovery(SystemFileSystem(), RecoveryFolder(), ::getpid());
    TForm1 Form1(state,
                 Environment{DesktopServices(), SystemFileSystem(), SystemClock(), std::move(sheet),
                             &recovery, &fontConfig},
                 WindowStart::MapFirst);
    QObject::connect(
        &app, &QGuiApplication::commitDataRequest, &Form1,
        [&Form1](QSessionManager &manager) { Form1.unsavedWork().commitData(manager); });
    StartUp(Form1, line);
    return app.exec();
}
