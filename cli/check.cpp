#include "cli/tool.h"

namespace dim::cli {

namespace {

int RunCheck(Tool &tool, const QCommandLineParser &parser) {
    const std::optional<QString> path = tool.singleFile(parser, QStringLiteral("FILE.DIM"));
    if (!path)
        return ExitUsage;
    CurveData data;
    FileSettings settings;
    try {
        if (LoadDimFile(tool.environment().fileSystem, *path, data, settings) ==
            LoadResult::Loaded) {
            tool.out() << "ok\n";
            return CheckLoads;
        }
    } catch (const IoError &error) {
        tool.ioError(*path, error);
        return CheckIoError;
    }
    tool.report(*path, tool.rejection(*path));
    return CheckRejected;
}

} // namespace

const Command &CheckCommand() {
    static const Command command{
        QStringLiteral("check"),
        QStringLiteral("Tells whether the editor loads a curve file."),
        QStringLiteral("Tells whether the editor loads a curve file. Exit status 0 (and \"ok\" "
                       "on standard output) when it does, 1 when it rejects the file, 2 on an "
                       "input/output error; the reason goes to standard error."),
        QStringLiteral("FILE.DIM"),
        [](QCommandLineParser &parser) {
            DeclareCurveFile(parser, QStringLiteral("The curve file to check."));
        },
        RunCheck};
    return command;
}

} // namespace dim::cli
