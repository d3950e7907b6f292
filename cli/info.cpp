#include "cli/tool.h"

#include "model/curvetext.h"

#include <algorithm>
#include <iterator>

namespace dim::cli {

namespace {

// The channels of a curve file in file order, as the report names them.
const std::array<QString, FileChannels> kChannelNames{
    QStringLiteral("white"), QStringLiteral("blue"), QStringLiteral("clouds"),
    QStringLiteral("moon")};

int RunInfo(Tool &tool, const QCommandLineParser &parser) {
    CurveData data;
    FileSettings settings;
    if (const std::optional<int> failed = tool.openCurveFile(parser, data, settings))
        return *failed;

    tool.out() << QStringLiteral("cloud speed      %1\n").arg(settings.SBWolkenT.position())
               << QStringLiteral("cloud intensity  %1\n").arg(settings.SBWolkenA.position())
               << QStringLiteral("moon change      %1\n\n").arg(settings.SBMondA.position())
               << QStringLiteral("channel  min  max  first  last\n");
    for (size_t n = 0; n < FileChannels; ++n) {
        const LevelRow &row = data.Levels[n + 1];
        const auto begin = row.begin();
        const auto end = row.begin() + FilePoints;
        const auto [low, high] = std::minmax_element(begin, end);
        const auto lit = [](int32_t level) { return level > 0; };
        const auto first = std::find_if(begin, end, lit);
        QString firstText = QStringLiteral("-");
        QString lastText = QStringLiteral("-");
        if (first != end) {
            const auto last = std::find_if(std::make_reverse_iterator(end),
                                           std::make_reverse_iterator(begin), lit);
            firstText = QuarterHourText(static_cast<int>(first - begin));
            lastText = QuarterHourText(static_cast<int>(last.base() - 1 - begin));
        }
        tool.out() << QStringLiteral("%1%2  %3  %4  %5\n")
                          .arg(kChannelNames[n], -9)
                          .arg(*low, 3)
                          .arg(*high, 3)
                          .arg(firstText, -5)
                          .arg(lastText);
    }
    return ExitOk;
}

} // namespace

const Command &InfoCommand() {
    static const Command command{
        QStringLiteral("info"),
        QStringLiteral("Shows the settings and each channel's range."),
        QStringLiteral("Shows the three cloud and moon settings of a curve file and, for each "
                       "channel, its lowest and highest level and the first and last "
                       "quarter-hour above zero (\"-\" when none)."),
        QStringLiteral("FILE.DIM"),
        [](QCommandLineParser &parser) {
            DeclareCurveFile(parser, QStringLiteral("The curve file to show (-: standard input)."));
        },
        RunInfo};
    return command;
}

} // namespace dim::cli
