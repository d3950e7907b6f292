#include "cli/tool.h"

#include "edit/curvetools.h"
#include "model/curvetext.h"
#include "texts/texts.h"

#include <algorithm>
#include <array>

namespace dim::cli {

namespace {

// The option behind each value that the daylight curve checks, in DaylightValue order.
const std::array<QString, 5> kDaylightOptions{QStringLiteral("start"), QStringLiteral("end"),
                                              QStringLiteral("ramp"), QStringLiteral("peak"),
                                              QStringLiteral("base")};

int RunDaylight(Tool &tool, const QCommandLineParser &parser) {
    if (!parser.positionalArguments().isEmpty())
        return tool.usageError(
            QStringLiteral("unexpected argument \"%1\"; the curve file to start from is given "
                           "with --from")
                .arg(ShownInput(parser.positionalArguments().front())));
    const std::optional<QString> output = tool.outputOption(parser, QStringLiteral("OUT.DIM"));
    if (!output)
        return ExitUsage;
    for (const QString &name :
         {QStringLiteral("channel"), QStringLiteral("ramp"), QStringLiteral("peak")}) {
        if (!parser.isSet(name))
            return tool.usageError(QStringLiteral("missing --%1").arg(name));
    }
    // The light's times are given, or are the sun's at a place.
    const bool timesGiven =
        parser.isSet(QStringLiteral("start")) || parser.isSet(QStringLiteral("end"));
    const bool fromTheSun = AsksTheSun(parser);
    if (timesGiven && fromTheSun)
        return tool.usageError(QStringLiteral("give --start and --end, or --lat, --lon and --date "
                                              "for the sun's times, not both"));
    if (!timesGiven && !fromTheSun)
        return tool.usageError(QStringLiteral("missing --start and --end, or --lat, --lon and "
                                              "--date for the sun's times"));
    if (parser.isSet(QStringLiteral("shift")) && !fromTheSun)
        return tool.usageError(QStringLiteral("--shift moves the sun's times; give it with --lat, "
                                              "--lon and --date"));
    const std::optional<int> channel =
        tool.integerOption(parser, QStringLiteral("channel"), 1, FileChannels);
    if (!channel)
        return ExitUsage;

    DaylightParams params;
    SunDay day = SunDay::RisesAndSets;
    if (timesGiven) {
        for (const auto &[name, minutes] :
             {std::pair{QStringLiteral("start"), &params.startMinutes},
              std::pair{QStringLiteral("end"), &params.endMinutes}}) {
            if (!parser.isSet(name))
                return tool.usageError(QStringLiteral("missing --%1").arg(name));
            const std::optional<int> time = ParseTimeOfDay(parser.value(name));
            if (!time)
                return tool.usageError(QStringLiteral("malformed --%1 \"%2\"; expected HH:MM, "
                                                      "00:00..%3")
                                           .arg(name, ShownInput(parser.value(name)),
                                                QuarterHourText(FilePoints - 1)));
            *minutes = *time;
        }
    } else {
        const std::optional<SunQuestion> question = tool.sunQuestion(parser);
        if (!question)
            return ExitUsage;
        int shift = 0;
        if (parser.isSet(QStringLiteral("shift"))) {
            const std::optional<int> given = tool.integerOption(
                parser, QStringLiteral("shift"), -MaxSunShiftMinutes, MaxSunShiftMinutes);
            if (!given)
                return ExitUsage;
            if (*given % MinutesPerColumn != 0)
                return tool.usageError(QStringLiteral("--shift %1 is not a multiple of %2")
                                           .arg(ShownInput(parser.value(QStringLiteral("shift"))))
                                           .arg(MinutesPerColumn));
            shift = *given;
        }
        const SunLight light =
            SunLightOfDay(SunriseSunset(question->latitude, question->longitude, question->date,
                                        question->utcOffsetMinutes),
                          shift);
        day = light.day;
        params.startMinutes = light.startMinutes;
        params.endMinutes = light.endMinutes;
    }
    const std::optional<int> ramp =
        tool.integerOption(parser, QStringLiteral("ramp"), 0, MinutesPerDay / 2);
    if (!ramp)
        return ExitUsage;
    params.rampMinutes = *ramp;
    // The levels are given in percent.
    const std::optional<int> peak = tool.integerOption(parser, QStringLiteral("peak"), 0, 100);
    if (!peak)
        return ExitUsage;
    params.peak = LevelOfPercent(*peak);
    if (parser.isSet(QStringLiteral("base"))) {
        const std::optional<int> base = tool.integerOption(parser, QStringLiteral("base"), 0, 100);
        if (!base)
            return ExitUsage;
        params.base = LevelOfPercent(*base);
    }
    if (const std::optional<DaylightFault> fault = DaylightProblem(params)) {
        const bool time =
            fault->value == DaylightValue::Start || fault->value == DaylightValue::End;
        const QString name = kDaylightOptions[static_cast<size_t>(fault->value)];
        const QString given = ShownInput(parser.value(name));
        if (fault->offGrid)
            return tool.usageError(
                time ? QStringLiteral("--%1 %2 is not on the quarter-hour grid").arg(name, given)
                     : QStringLiteral("--%1 %2 is not a multiple of %3")
                           .arg(name, given)
                           .arg(MinutesPerColumn));
        return tool.usageError(time ? QStringLiteral("--%1 %2 is out of range 00:00..%3")
                                          .arg(name, given, QuarterHourText(FilePoints - 1))
                                    : QStringLiteral("--%1 %2 is out of range %3..%4")
                                          .arg(name, given)
                                          .arg(fault->minimum)
                                          .arg(fault->maximum));
    }

    CurveData data;
    FileSettings settings;
    if (parser.isSet(QStringLiteral("from"))) {
        const QString from = parser.value(QStringLiteral("from"));
        if (const std::optional<int> refused =
                tool.refuseSameFile({from}, Tool::curveOutputs(parser, *output)))
            return *refused;
        if (const std::optional<int> failed = tool.openCurveFile(from, data, settings))
            return *failed;
    }
    // Under a polar sun the whole day is light, or dark.
    SetChannelCurve(data.Levels, *channel, DaylightUnder(day, params));
    return tool.writeCurveFile(parser, *output, data, settings);
}

} // namespace

const Command &DaylightCommand() {
    static const Command command{
        QStringLiteral("daylight"),
        QStringLiteral("Writes a day of light into one channel."),
        QStringLiteral("Writes a day of light into one channel: from the start to the end "
                       "time (an end before the start runs over midnight) the level rises from "
                       "the base to the peak over the first ramp minutes on a half cosine and "
                       "falls back over the last ones; outside it stays at the base. The times "
                       "are given with --start and --end, or are sunrise and sunset at a place "
                       "on a date (--lat, --lon, --date, see \"dimtool sun\"), each rounded to "
                       "the nearest quarter-hour and moved by --shift; under the midnight sun "
                       "the peak lasts all day, in the polar night the base. The other "
                       "channels and the settings come from --from, or are 0 with cloud speed "
                       "1. Bad values are refused and nothing is written."),
        QStringLiteral("-o OUT.DIM --channel N (--start HH:MM --end HH:MM | --lat DEG --lon DEG "
                       "--date YYYY-MM-DD) --ramp MINUTES --peak PCT"),
        [](QCommandLineParser &parser) {
            DeclareOutput(parser,
                          QStringLiteral("The curve file to write, not the --from one (-: "
                                         "standard output)."),
                          QStringLiteral("OUT.DIM"));
            DeclareChannel(parser, QStringLiteral("The channel to write: 1 white, 2 blue, "
                                                  "3 clouds, 4 moon."));
            parser.addOption(QCommandLineOption(
                QStringLiteral("start"),
                QStringLiteral("When the light starts, on the quarter-hour (00:00..23:45)."),
                QStringLiteral("HH:MM")));
            parser.addOption(QCommandLineOption(
                QStringLiteral("end"),
                QStringLiteral("When the light ends, on the quarter-hour (00:00..23:45)."),
                QStringLiteral("HH:MM")));
            DeclareSunQuestion(parser);
            parser.addOption(QCommandLineOption(
                QStringLiteral("shift"),
                QStringLiteral("Moves the sun's times later by MINUTES, -720..720, a multiple "
                               "of 15 (negative: earlier), to put a far place's day into the "
                               "evening."),
                QStringLiteral("MINUTES")));
            parser.addOption(QCommandLineOption(
                QStringLiteral("ramp"),
                QStringLiteral("The minutes of the rise and of the fall: 0..720, a multiple "
                               "of 15."),
                QStringLiteral("MINUTES")));
            parser.addOption(QCommandLineOption(QStringLiteral("peak"),
                                                QStringLiteral("The level of full light in percent "
                                                               "(0..100)."),
                                                QStringLiteral("PCT")));
            parser.addOption(QCommandLineOption(
                QStringLiteral("base"),
                QStringLiteral("The level outside the light in percent (0..100; default 0)."),
                QStringLiteral("PCT")));
            parser.addOption(QCommandLineOption(
                QStringLiteral("from"),
                QStringLiteral("The curve file whose other channels and settings are kept (-: "
                               "standard input)."),
                QStringLiteral("FILE.DIM")));
            DeclareSel(parser);
        },
        RunDaylight};
    return command;
}

} // namespace dim::cli
