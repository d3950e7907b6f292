#include "cli/tool.h"

#include "texts/texts.h"

namespace dim::cli {

namespace {

int RunSun(Tool &tool, const QCommandLineParser &parser) {
    if (!parser.positionalArguments().isEmpty())
        return tool.usageError(QStringLiteral("unexpected argument \"%1\"")
                                   .arg(ShownInput(parser.positionalArguments().front())));
    const std::optional<SunQuestion> question = tool.sunQuestion(parser);
    if (!question)
        return ExitUsage;
    const SunTimes sun = SunriseSunset(question->latitude, question->longitude, question->date,
                                       question->utcOffsetMinutes);
    switch (sun.day) {
    case SunDay::PolarDay:
        tool.out() << "polar day\n";
        break;
    case SunDay::PolarNight:
        tool.out() << "polar night\n";
        break;
    case SunDay::RisesAndSets: {
        tool.out() << "sunrise " << ClockText(NearestMinuteOfDay(sun.sunrise)) << '\n'
                   << "sunset " << ClockText(NearestMinuteOfDay(sun.sunset)) << '\n'
                   << "day length " << DurationText(sun.dayLength) << '\n';
        break;
    }
    }
    return ExitOk;
}

} // namespace

const Command &SunCommand() {
    static const Command command{
        QStringLiteral("sun"),
        QStringLiteral("Tells sunrise, sunset and day length at a place."),
        QStringLiteral("Tells when the sun rises and sets at a place on a date, in its local "
                       "clock time, and how long it is up, to the minute; or \"polar day\" or "
                       "\"polar night\" when it does not rise or set. Worked out after the "
                       "equations of NOAA's solar calculator, with the sun's centre 0.833 "
                       "degrees below the horizon."),
        QStringLiteral("--lat DEG --lon DEG --date YYYY-MM-DD"),
        [](QCommandLineParser &parser) { DeclareSunQuestion(parser); },
        RunSun};
    return command;
}

} // namespace dim::cli
