#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

namespace dim::app {

class TForm1;

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

// Once the window is up: offers the curves a killed editor left unsaved, then opens the
// command line's file in the window as Load does.
void StartUp(TForm1 &window, const CommandLine &line);

// The full path of the one local curve file (*.DIM, any case) a drag carries; empty for
// anything else: several files, a folder, a remote address, text.
QString DroppedCurveFile(const QMimeData *data);

} // namespace dim::app
