#include "app/commandline.h"

#include "model/filesystem.h"

#include <QDir>

namespace dim::app {

namespace {

const QString kProgram = QStringLiteral("dimeditor");

} // namespace

QStringList EditorArguments(int argc, char **argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << DecodePath(QByteArray(argv[i]));
    return arguments;
}

CommandLine ParseCommandLine(const QStringList &arguments) {
    CommandLine line;
    QStringList files;
    QString unknown;
    bool options = true;
    for (const QString &argument : arguments) {
        if (options && argument == QStringLiteral("--")) {
            options = false;
        } else if (options &&
                   (argument == QStringLiteral("-h") || argument == QStringLiteral("--help"))) {
            return {CommandLine::Action::Help, {}, {}};
        } else if (options &&
                   (argument == QStringLiteral("-v") || argument == QStringLiteral("--version"))) {
            line.action = CommandLine::Action::Version;
        } else if (options && argument.startsWith(QLatin1Char('-'))) {
            if (unknown.isEmpty())
                unknown = argument;
        } else {
            files << argument;
        }
    }
    if (line.action == CommandLine::Action::Version)
        return line;
    if (!unknown.isEmpty())
        return {CommandLine::Action::Usage, {}, QStringLiteral("unknown option %1").arg(unknown)};
    if (files.size() > 1)
        return {CommandLine::Action::Usage,
                {},
                QStringLiteral("one curve file at most, found %1").arg(files.size())};
    if (files.size() == 1)
        // Not QDir::absoluteFilePath: it takes a name starting with ':' for a resource.
        line.file = QDir::cleanPath(files.front().startsWith(QLatin1Char('/'))
                                        ? files.front()
                                        : QDir::currentPath() + QLatin1Char('/') + files.front());
    return line;
}

QString EditorHelp() {
    return QStringLiteral(
               "Usage: %1 [options] [FILE.DIM]\n"
               "Draws the daily dimming curves of a four-channel lighting controller (white,\n"
               "blue, clouds, moon) and loads and saves them as .DIM files.\n"
               "\n"
               "Arguments:\n"
               "  FILE.DIM       A curve file to open at start, as Load does.\n"
               "\n"
               "Options:\n"
               "  -h, --help     Displays this help.\n"
               "  -v, --version  Displays the version.\n"
               "  --             Ends the options: the next argument is the file.\n"
               "\n"
               "Qt's own options (-platform, -display, -style and others) are understood too.\n")
        .arg(kProgram);
}

QString EditorVersion() {
    return QStringLiteral("%1 %2\n").arg(kProgram, QStringLiteral(PROJECT_VERSION));
}

QString EditorUsage(const QString &problem) {
    return QStringLiteral("%1: %2\nUsage: %1 [options] [FILE.DIM]\n"
                          "Run \"%1 --help\" for more. Starting with no file loaded.\n")
        .arg(kProgram, problem);
}

} // namespace dim::app
