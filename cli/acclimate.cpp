#include "cli/tool.h"

#include "edit/acclimation.h"
#include "texts/texts.h"

namespace dim::cli {

namespace {

const QString kStart = QStringLiteral("start-percent");
const QString kSteps = QStringLiteral("steps");
const QString kChannel = QStringLiteral("channel");

int RunAcclimate(Tool &tool, const QCommandLineParser &parser) {
    const std::optional<QString> source = tool.singleFile(parser, QStringLiteral("FILE.DIM"));
    if (!source)
        return ExitUsage;
    if (IsStandardStream(*source))
        return tool.usageError(QStringLiteral("the series is named after its curve file; give "
                                              "the file's name, not -"));
    const QString folder = parser.value(QStringLiteral("output"));
    if (folder.isEmpty())
        return tool.usageError(QStringLiteral("missing -o FOLDER"));
    if (IsStandardStream(folder))
        return tool.usageError(QStringLiteral("the series is several files; -o names a folder"));
    for (const QString &name : {kStart, kSteps}) {
        if (!parser.isSet(name))
            return tool.usageError(QStringLiteral("missing --%1").arg(name));
    }
    AcclimationPlan plan;
    const std::optional<int> start =
        tool.integerOption(parser, kStart, MinAcclimationStart, MaxAcclimationStart);
    if (!start)
        return ExitUsage;
    const std::optional<int> steps =
        tool.integerOption(parser, kSteps, MinAcclimationSteps, MaxAcclimationSteps);
    if (!steps)
        return ExitUsage;
    plan.startPercent = *start;
    plan.steps = *steps;
    // All four channels unless some are named; each may be named once.
    const QStringList channels = parser.values(kChannel);
    if (!channels.isEmpty())
        plan.channels.fill(false);
    for (const QString &text : channels) {
        const std::optional<int> channel = tool.integerValue(kChannel, text, 1, FileChannels);
        if (!channel)
            return ExitUsage;
        bool &chosen = plan.channels[static_cast<size_t>(*channel - 1)];
        if (chosen)
            return tool.usageError(
                QStringLiteral("--channel %1 is given more than once").arg(*channel));
        chosen = true;
    }

    FileSystem &fs = tool.environment().fileSystem;
    if (!fs.isDirectory(folder))
        return tool.ioError(folder, MakeIoError(3));
    const QString base = AcclimationBaseName(*source);
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    QStringList outputs;
    for (int step = 1; step <= plan.steps; ++step)
        outputs << prefix + AcclimationFileName(base, step);
    if (const std::optional<int> refused = tool.refuseSameFile({*source}, outputs))
        return *refused;

    CurveData data;
    FileSettings settings;
    if (const std::optional<int> failed = tool.openCurveFile(*source, data, settings))
        return *failed;
    std::vector<AcclimationFile> written;
    try {
        written = WriteAcclimationSeries(fs, folder, base, data, settings, plan);
    } catch (const IoError &error) {
        return tool.ioError(folder, error);
    }
    for (const AcclimationFile &file : written)
        tool.out() << ShownInput(file.path, -1) << ' ' << AcclimationPercentText(file.percent)
                   << '\n';
    return ExitOk;
}

} // namespace

const Command &AcclimateCommand() {
    static const Command command{
        QStringLiteral("acclimate"),
        QStringLiteral("Writes a series of files that raise the light step by step."),
        QStringLiteral("Writes K curve files FOLDER/<name>-01.DIM .. -K.DIM (two digits) that "
                       "raise the light of a curve file from S percent of it to all of it, for "
                       "corals and plants getting used to a light. In file k every level l of "
                       "the chosen channels becomes l x N / (100 (K - 1)), rounded, with N = S "
                       "(K - 1) + (100 - S)(k - 1): the first file is S percent of the source, "
                       "the last the source itself. The settings are kept. One line per file "
                       "tells its name and percentage. Bad values are refused and nothing is "
                       "written; when the folder cannot take all K files, none is left there."),
        QStringLiteral("-o FOLDER --start-percent S --steps K FILE.DIM"),
        [](QCommandLineParser &parser) {
            DeclareOutput(parser, QStringLiteral("The folder to write the series into."),
                          QStringLiteral("FOLDER"));
            parser.addOption(QCommandLineOption(
                kStart,
                QStringLiteral("The first file's share of the source in percent (%1..%2).")
                    .arg(MinAcclimationStart)
                    .arg(MaxAcclimationStart),
                QStringLiteral("S")));
            parser.addOption(QCommandLineOption(kSteps,
                                                QStringLiteral("How many files (%1..%2).")
                                                    .arg(MinAcclimationSteps)
                                                    .arg(MaxAcclimationSteps),
                                                QStringLiteral("K")));
            DeclareChannel(parser, QStringLiteral("A channel to raise: 1 white, 2 blue, 3 "
                                                  "clouds, 4 moon; give it once for each (default: "
                                                  "all four). The others stay as they are."));
            DeclareCurveFile(parser, QStringLiteral("The curve file to start from."));
        },
        RunAcclimate,
        {kChannel}};
    return command;
}

} // namespace dim::cli
