#pragma once

#include <QString>
#include <QStringList>

namespace dim::app {

// What the editor's command line asks for.
struct CommandLine {
    enum class Action { Run, Help, Version, Usage };
    Action action = Action::Run;
    QString file;    // Run: the curve file to open once the window is up, as a full path
    QString problem; // Usage: what was wrong with the command line
};

// The arguments after the program's name, each byte of a file name kept (DecodePath).
QStringList EditorArguments(int argc, char **argv);

// Reads the arguments after the program's name: at most one file; -h/--help and -v/--version;
// "--" ends the options. Any other option, or a second file, is a usage error and opens nothing.
CommandLine ParseCommandLine(const QStringList &arguments);

// The answers to --help and --version, and the short usage a wrong command line prints.
QString EditorHelp();
QString EditorVersion();
QString EditorUsage(const QString &problem);

} // namespace dim::app
