#include "cli/tool.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv) {
    using namespace dim;
    using namespace dim::cli;
    // The chart is drawn off screen: dimtool needs no display unless one is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("dimtool"));

    // The words as the bytes given: a file name that is no UTF-8 names the same file.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << DecodePath(QByteArray(argv[i]));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunDimtool(args, out, err);
}
