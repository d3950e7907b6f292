#include "cli/tool.h"

#include "edit/budget.h"
#include "model/curvetext.h"
#include "texts/figures.h"
#include "texts/texts.h"

#include <QRegularExpression>

#include <algorithm>
#include <iterator>

namespace dim::cli {

namespace {

// The channels of a curve file in file order, as the report names them.
const std::array<QString, FileChannels> kChannelNames{
    QStringLiteral("white"), QStringLiteral("blue"), QStringLiteral("clouds"),
    QStringLiteral("moon")};

const QString kLinear =
    QStringLiteral("Levels count as linear in light and power, as a PWM duty cycle is.");

// A channel's lowest and highest level and its first and last quarter-hour above 0.
struct ChannelRange {
    int low = 0;
    int high = 0;
    std::optional<int> first; // columns; none when the channel is never above 0
    std::optional<int> last;
};

ChannelRange RangeOf(const DayCurve &curve) {
    ChannelRange range;
    const auto [low, high] = std::minmax_element(curve.begin(), curve.end());
    range.low = *low;
    range.high = *high;
    const auto lit = [](int level) { return level > 0; };
    const auto first = std::find_if(curve.begin(), curve.end(), lit);
    if (first != curve.end()) {
        const auto last = std::find_if(curve.rbegin(), curve.rend(), lit);
        range.first = static_cast<int>(first - curve.begin());
        range.last = static_cast<int>(last.base() - 1 - curve.begin());
    }
    return range;
}

// The four numbers >= 0 of --name W1,W2,W3,W4, all 0 when it is not given; nullopt after a
// usage error that names the option.
std::optional<std::array<double, FileChannels>>
PerChannel(Tool &tool, const QCommandLineParser &parser, const QString &name) {
    std::array<double, FileChannels> values{};
    if (!parser.isSet(name))
        return values;
    const QString text = parser.value(name);
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != FileChannels) {
        tool.usageError(QStringLiteral("--%1 \"%2\" has %3 values; expected four, for white, "
                                       "blue, clouds and moon: --%1 W1,W2,W3,W4")
                            .arg(name, ShownInput(text))
                            .arg(fields.size()));
        return std::nullopt;
    }
    static const QRegularExpression number(QStringLiteral("^\\+?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    for (size_t n = 0; n < FileChannels; ++n) {
        const QString field = fields[static_cast<qsizetype>(n)].trimmed();
        if (!number.match(field).hasMatch()) {
            tool.usageError(QStringLiteral("--%1: %2 value \"%3\" is not a number >= 0")
                                .arg(name, kChannelNames[n], ShownInput(field)));
            return std::nullopt;
        }
        values[n] = field.toDouble();
    }
    return values;
}

QString JsonNumber(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString JsonTime(const std::optional<int> &column) {
    return column ? QStringLiteral("\"%1\"").arg(QuarterHourText(*column)) : QStringLiteral("null");
}

void WriteJson(QTextStream &out, const FileSettings &settings,
               const std::array<ChannelRange, FileChannels> &ranges, const LightBudget &budget) {
    out << "{\n"
        << QStringLiteral("    \"settings\": {\"cloudSpeed\": %1, \"cloudIntensity\": %2, "
                          "\"moonChange\": %3},\n")
               .arg(settings.SBWolkenT.position())
               .arg(settings.SBWolkenA.position())
               .arg(settings.SBMondA.position())
        << "    \"channels\": [\n";
    for (size_t n = 0; n < FileChannels; ++n) {
        const ChannelRange &range = ranges[n];
        const ChannelBudget &channel = budget.channels[n];
        out << QStringLiteral("        {\"name\": \"%1\", \"min\": %2, \"max\": %3, \"first\": %4, "
                              "\"last\": %5, \"lit_minutes\": %6, \"longest_dark_minutes\": %7, "
                              "\"full_power_hours\": %8, \"energy_wh\": %9, \"dli\": %10}")
                   .arg(kChannelNames[n])
                   .arg(range.low)
                   .arg(range.high)
                   .arg(JsonTime(range.first), JsonTime(range.last))
                   .arg(channel.litMinutes)
                   .arg(channel.longestDarkMinutes)
                   .arg(JsonNumber(channel.fullPowerHours), JsonNumber(channel.energyWh),
                        JsonNumber(channel.dli))
            << (n + 1 < FileChannels ? ",\n" : "\n");
    }
    out << "    ],\n"
        << QStringLiteral("    \"total\": {\"energy_wh\": %1, \"dli\": %2}\n")
               .arg(JsonNumber(budget.totalEnergyWh), JsonNumber(budget.totalDli))
        << "}\n";
}

void WriteText(QTextStream &out, const FileSettings &settings,
               const std::array<ChannelRange, FileChannels> &ranges, const LightBudget &budget,
               bool watts, bool ppfd) {
    out << QStringLiteral("cloud speed      %1\n").arg(settings.SBWolkenT.position())
        << QStringLiteral("cloud intensity  %1\n").arg(settings.SBWolkenA.position())
        << QStringLiteral("moon change      %1\n\n").arg(settings.SBMondA.position())
        << QStringLiteral("channel  min  max  first  last\n");
    for (size_t n = 0; n < FileChannels; ++n) {
        const ChannelRange &range = ranges[n];
        out << QStringLiteral("%1%2  %3  %4  %5\n")
                   .arg(kChannelNames[n], -9)
                   .arg(range.low, 3)
                   .arg(range.high, 3)
                   .arg(range.first ? QuarterHourText(*range.first) : QStringLiteral("-"), -5)
                   .arg(range.last ? QuarterHourText(*range.last) : QStringLiteral("-"));
    }
    // Energy and DLI need the watts and PPFD at full power: "-" without them.
    const auto figure = [](bool given, double value) {
        return given ? QString::number(value, 'f', 2) : QStringLiteral("-");
    };
    out << QStringLiteral("\nchannel    lit  longest dark  full-power hours  energy Wh  "
                          "DLI mol/m2/day\n");
    for (size_t n = 0; n < FileChannels; ++n) {
        const ChannelBudget &channel = budget.channels[n];
        out << QStringLiteral("%1%2  %3  %4  %5  %6\n")
                   .arg(kChannelNames[n], -9)
                   .arg(ClockTime(channel.litMinutes), 5)
                   .arg(ClockTime(channel.longestDarkMinutes), 12)
                   .arg(QString::number(channel.fullPowerHours, 'f', 3), 16)
                   .arg(figure(watts, channel.energyWh), 9)
                   .arg(figure(ppfd, channel.dli), 14);
    }
    out << QStringLiteral("%1  %2  %3\n")
               .arg(QStringLiteral("total"), -46)
               .arg(figure(watts, budget.totalEnergyWh), 9)
               .arg(figure(ppfd, budget.totalDli), 14)
        << kLinear << '\n';
}

int RunInfo(Tool &tool, const QCommandLineParser &parser) {
    const std::optional<std::array<double, FileChannels>> watts =
        PerChannel(tool, parser, QStringLiteral("watts"));
    if (!watts)
        return ExitUsage;
    const std::optional<std::array<double, FileChannels>> ppfd =
        PerChannel(tool, parser, QStringLiteral("ppfd"));
    if (!ppfd)
        return ExitUsage;
    CurveData data;
    FileSettings settings;
    if (const std::optional<int> failed = tool.openCurveFile(parser, data, settings))
        return *failed;

    std::array<ChannelRange, FileChannels> ranges;
    for (size_t n = 0; n < FileChannels; ++n)
        ranges[n] = RangeOf(ChannelCurve(data.Levels, static_cast<int>(n) + 1));
    const LightBudget budget = DayLightBudget(data.Levels, *watts, *ppfd);
    if (parser.isSet(QStringLiteral("json")))
        WriteJson(tool.out(), settings, ranges, budget);
    else
        WriteText(tool.out(), settings, ranges, budget, parser.isSet(QStringLiteral("watts")),
                  parser.isSet(QStringLiteral("ppfd")));
    return ExitOk;
}

} // namespace

const Command &InfoCommand() {
    static const Command command{
        QStringLiteral("info"),
        QStringLiteral("Shows the settings, each channel's range and the day's light budget."),
        QStringLiteral("Shows the three cloud and moon settings of a curve file and, for each "
                       "channel, its lowest and highest level, the first and last quarter-hour "
                       "above zero (\"-\" when none), and its light budget: the time it is lit "
                       "(15 minutes a point above 0), its longest dark stretch (counted across "
                       "midnight), its full-power hours (level / 255 x 15 minutes summed over "
                       "the day) and, given its watts and PPFD at full power, its energy (Wh a "
                       "day) and daily light integral (DLI: PPFD x full-power hours x 0.0036 "
                       "mol/m2/day), with their totals. ") +
            kLinear,
        QStringLiteral("FILE.DIM"),
        [](QCommandLineParser &parser) {
            parser.addOption(QCommandLineOption(
                QStringLiteral("watts"),
                QStringLiteral("Each channel's power at full level in watts (numbers >= 0)."),
                QStringLiteral("W1,W2,W3,W4")));
            parser.addOption(QCommandLineOption(
                QStringLiteral("ppfd"),
                QStringLiteral("Each channel's PPFD at full level in micromoles per square metre "
                               "and second (numbers >= 0)."),
                QStringLiteral("P1,P2,P3,P4")));
            parser.addOption(QCommandLineOption(
                QStringLiteral("json"),
                QStringLiteral(
                    "Writes the same as JSON: settings, channels (name, min, max, first, "
                    "last, lit_minutes, longest_dark_minutes, full_power_hours, "
                    "energy_wh, dli) and total (energy_wh, dli); energy and DLI are 0 "
                    "without watts and PPFD.")));
            DeclareCurveFile(parser, QStringLiteral("The curve file to show (-: standard input)."));
        },
        RunInfo};
    return command;
}

} // namespace dim::cli
