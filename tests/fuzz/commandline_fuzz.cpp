// Feeds the editor's command line with arbitrary arguments (NUL-separated bytes, decoded as
// the program decodes its arguments) and traps when ParseCommandLine's answer differs from
// the rules worked out here on their own: help wins, then version, then the first unknown
// option, then more than one file; "--" ends the options; the one file becomes a full path.

#include "app/commandline.h"
#include "fuzz_support.h"
#include "model/filesystem.h"

#include <QDir>

#include <cstddef>
#include <cstdint>

using namespace dim;
using namespace dim::app;
using namespace dim::fuzz;

namespace {

CommandLine Expected(const QStringList &arguments) {
    bool help = false, version = false, options = true;
    QString unknown;
    QStringList files;
    for (const QString &argument : arguments) {
        const bool option = options && !argument.isEmpty() && argument[0] == QLatin1Char('-');
        if (option && argument.size() == 2 && argument[1] == QLatin1Char('-'))
            options = false;
        else if (option && (argument == QLatin1String("-h") || argument == QLatin1String("--help")))
            help = true;
        else if (option &&
                 (argument == QLatin1String("-v") || argument == QLatin1String("--version")))
            version = true;
        else if (option)
            unknown = unknown.isEmpty() ? argument : unknown;
        else
            files.append(argument);
        if (help) // nothing after it is looked at
            break;
    }
    CommandLine line;
    if (help)
        line.action = CommandLine::Action::Help;
    else if (version)
        line.action = CommandLine::Action::Version;
    else if (!unknown.isEmpty())
        line = {CommandLine::Action::Usage, {}, QLatin1String("unknown option ") + unknown};
    else if (files.size() > 1)
        line = {CommandLine::Action::Usage,
                {},
                QLatin1String("one curve file at most, found ") + QString::number(files.size())};
    else if (files.size() == 1)
        line.file = QDir::cleanPath(files[0].startsWith(QLatin1Char('/'))
                                        ? files[0]
                                        : QDir::currentPath() + QLatin1Char('/') + files[0]);
    return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size) {
    QStringList arguments;
    const QByteArray all = Bytes(bytes, size);
    if (!all.isEmpty()) {
        for (const QByteArray &argument : all.split('\0'))
            arguments.append(DecodePath(argument));
    }
    const CommandLine line = ParseCommandLine(arguments);
    const CommandLine expected = Expected(arguments);
    Check(line.action == expected.action);
    Check(line.problem == expected.problem);
    Check(line.file == expected.file);
    Check(line.file.isEmpty() || line.file.startsWith(QLatin1Char('/')));
    return 0;
}
