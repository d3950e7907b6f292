#include "cli/tool.h"

#include "edit/curvetools.h"
#include "texts/texts.h"

#include <algorithm>
#include <climits>

namespace dim::cli {

namespace {

int RunEdit(Tool &tool, const QCommandLineParser &parser) {
    const std::optional<QString> output = tool.outputOption(parser, QStringLiteral("OUT.DIM"));
    if (!output)
        return ExitUsage;
    if (!parser.isSet(QStringLiteral("channel")))
        return tool.usageError(QStringLiteral("missing --channel N"));
    const std::optional<int> channel =
        tool.integerOption(parser, QStringLiteral("channel"), 1, FileChannels);
    if (!channel)
        return ExitUsage;

    // The edits in the order they are applied; each one is optional.
    std::optional<int> copyFrom, fill, shift, scale;
    const auto read = [&](const QString &name, int minimum, int maximum,
                          std::optional<int> &value) {
        if (!parser.isSet(name))
            return true;
        value = tool.integerOption(parser, name, minimum, maximum);
        return value.has_value();
    };
    if (!read(QStringLiteral("copy-from"), 1, FileChannels, copyFrom) ||
        !read(QStringLiteral("fill"), 0, MaxLevel, fill) ||
        !read(QStringLiteral("shift"), INT_MIN, INT_MAX, shift) ||
        !read(QStringLiteral("scale"), 1, 1000, scale))
        return ExitUsage;
    if (shift && *shift % MinutesPerColumn != 0)
        return tool.usageError(QStringLiteral("--shift %1 is not a multiple of %2")
                                   .arg(ShownInput(parser.value(QStringLiteral("shift"))))
                                   .arg(MinutesPerColumn));
    const bool smooth = parser.isSet(QStringLiteral("smooth"));
    if (!copyFrom && !fill && !shift && !scale && !smooth)
        return tool.usageError(QStringLiteral("nothing to do; give --copy-from, --fill, "
                                              "--shift, --scale or --smooth"));

    const std::optional<QString> input = tool.singleFile(parser, QStringLiteral("FILE.DIM"));
    if (!input)
        return ExitUsage;
    if (const std::optional<int> refused =
            tool.refuseSameFile({*input}, Tool::curveOutputs(parser, *output)))
        return *refused;
    CurveData data;
    FileSettings settings;
    if (const std::optional<int> failed = tool.openCurveFile(*input, data, settings))
        return *failed;

    DayCurve curve = ChannelCurve(data.Levels, copyFrom ? *copyFrom : *channel);
    if (fill)
        curve = Filled(*fill);
    if (shift)
        curve = ShiftLater(curve, *shift / MinutesPerColumn);
    if (scale)
        curve = Scale(curve, *scale);
    if (smooth)
        curve = Smooth(curve);
    SetChannelCurve(data.Levels, *channel, curve);
    return tool.writeCurveFile(parser, *output, data, settings);
}

} // namespace

const Command &EditCommand() {
    static const Command command{
        QStringLiteral("edit"),
        QStringLiteral("Reshapes one channel of a curve file."),
        QStringLiteral("Reshapes the 96 points of one channel of a curve file and writes the "
                       "result to a new file; the other channels and the settings stay as they "
                       "are. The edits given are applied in this order: copy, fill, shift, "
                       "scale, smooth. Bad values are refused and nothing is written. An "
                       "existing file is replaced only once the new one is complete; to change "
                       "a file in place, write to another and move it over."),
        QStringLiteral("-o OUT.DIM --channel N EDITS FILE.DIM"),
        [](QCommandLineParser &parser) {
            DeclareOutput(parser,
                          QStringLiteral("The curve file to write, not the one read (-: "
                                         "standard output)."),
                          QStringLiteral("OUT.DIM"));
            DeclareChannel(parser, QStringLiteral("The channel to edit: 1 white, 2 blue, "
                                                  "3 clouds, 4 moon."));
            parser.addOption(QCommandLineOption(
                QStringLiteral("copy-from"),
                QStringLiteral("Starts from a copy of channel M (1..4)."), QStringLiteral("M")));
            parser.addOption(QCommandLineOption(QStringLiteral("fill"),
                                                QStringLiteral("Sets every point to LEVEL "
                                                               "(0..255)."),
                                                QStringLiteral("LEVEL")));
            parser.addOption(QCommandLineOption(
                QStringLiteral("shift"),
                QStringLiteral("Moves the curve later by MINUTES, a multiple of 15 (negative: "
                               "earlier); the day wraps around midnight."),
                QStringLiteral("MINUTES")));
            parser.addOption(QCommandLineOption(
                QStringLiteral("scale"),
                QStringLiteral("Scales the levels to PCT percent (1..1000), rounded, at most "
                               "255."),
                QStringLiteral("PCT")));
            parser.addOption(QCommandLineOption(
                QStringLiteral("smooth"),
                QStringLiteral("Smooths once: each point becomes (before + 2 x point + after) "
                               "/ 4, rounded.")));
            DeclareSel(parser);
            DeclareCurveFile(parser, QStringLiteral("The curve file to read (-: standard input)."));
        },
        RunEdit};
    return command;
}

} // namespace dim::cli
