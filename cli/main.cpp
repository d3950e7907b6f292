#include "cli/tool.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

namespace {

QtMessageHandler gPreviousHandler = nullptr;

// Passes every message on but the runtime-folder warning of the toolkit's platform set-up.
void WithoutRuntimeFolderWarning(QtMsgType type, const QMessageLogContext &context,
                                 const QString &message) {
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (gPreviousHandler) {
        gPreviousHandler(type, context, message);
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char **argv) {
    using namespace dim;
    using namespace dim::cli;
    // The words as the bytes given: a file name that is no UTF-8 names the same file.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << DecodePath(QByteArray(argv[i]));

    // Only drawing text needs the toolkit's platform machinery; the other commands run on
    // the core application alone, without a display, fonts or a session.
    std::unique_ptr<QCoreApplication> app;
    if (DrawsText(args)) {
        // The chart is drawn off screen: no display unless one is asked for.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Choosing a platform theme, the toolkit looks for a sandbox's marker file in the
        // session's runtime folder and warns when XDG_RUNTIME_DIR is unset (root's shell, a
        // cron job, a service). dimtool keeps nothing there: the warning tells its user
        // nothing.
        gPreviousHandler = qInstallMessageHandler(WithoutRuntimeFolderWarning);
        app = std::make_unique<QGuiApplication>(argc, argv);
        qInstallMessageHandler(gPreviousHandler);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("dimtool"));

    QFile input;
    input.open(stdin, QIODevice::ReadOnly);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const DimtoolEnvironment environment{SystemFileSystem(), SystemClock(), SystemLanguage(),
                                         &input};
    return RunDimtool(args, out, err, environment);
}
