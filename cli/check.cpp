#include "cli/tool.h"

namespace dim::cli {

namespace {

int RunCheck(Tool &tool, const QCommandLineParser &parser) {
    CurveData data;
    FileSettings settings;
    // The statuses answer the question: loads, rejected, or could not be read.
    if (const std::optional<int> failed = tool.openCurveFile(parser, data, settings))
        return *failed == ExitIoError     ? CheckIoError
               : *failed == ExitDataError ? CheckRejected
                                          : *failed;
    tool.out() << "ok\n";
    return CheckLoads;
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
            DeclareCurveFile(parser, QStringLiteral("The curve file to check (-: standard "
                                                    "input)."));
        },
        RunCheck};
    return command;
}

} // namespace dim::cli
