#include "app/application.h"
#include "app/desktop.h"
#include "app/mainwindow.h"
#include "app/services.h"
#include "view/sheet.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char **argv) {
    using namespace dim;
    using namespace dim::app;
    // --help and --version answer before anything needs a display.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const CommandLine early = ParseCommandLine(raw);
    if (early.action == CommandLine::Action::Help || early.action == CommandLine::Action::Version) {
        const QString text =
            early.action == CommandLine::Action::Help ? EditorHelp() : EditorVersion();
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    QApplication app(argc, argv);
    SetUpApplication(app);
    // Read again without the options the application took for itself (-platform and others).
    const CommandLine line = ParseCommandLine(QApplication::arguments().mid(1));
    if (line.action == CommandLine::Action::Usage)
        std::fputs(EditorUsage(line.problem).toLocal8Bit().constData(), stderr);

    static EditorState state; // the program's state, for its whole run
    TForm1 Form1(
        state,
        Environment{DesktopServices(), SystemFileSystem(), SystemClock(), EmbeddedSheetJpeg()},
        WindowStart::MapFirst);
    OpenFromCommandLine(Form1, line);
    return app.exec();
}
