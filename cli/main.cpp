#include "cli/commands.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv) {
    // The chart is drawn off screen: dimtool needs no display unless one is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("dimtool"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    int status = RunDimtool(QGuiApplication::arguments().mid(1), out, err);
    out.flush();
    if (out.status() != QTextStream::Ok && status == ExitOk) {
        err << "dimtool: standard output: cannot write\n";
        status = ExitIoError;
    }
    err.flush();
    return status;
}
