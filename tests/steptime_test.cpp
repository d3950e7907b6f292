#include "edit/steptime.h"

#include <gtest/gtest.h>

using namespace dim;

namespace {

TEST(StepTime, ReadOutRoundsHalfToEvenAndDropsTrailingZeros) {
    struct Case {
        int tempo, factor;
        const char *text;
    };
    const Case cases[] = {
        {255, 830, "ca.0.83 sec."}, {1, 830, "ca.106.24 sec."}, {255, 400, "ca.0.4 sec."},
        {1, 460, "ca.58.88 sec."},  {12, 830, "ca.16.34 sec."}, {255, 0, "ca.0 sec."},
        {1, 0, "ca.0 sec."},        {127, 400, "ca.0.8 sec."},
    };
    for (const Case &c : cases)
        EXPECT_EQ(StepTimeText(c.tempo, c.factor, QLatin1Char('.')), QLatin1String(c.text))
            << c.tempo << " " << c.factor;
    EXPECT_EQ(StepTimeMs(12, 830), 16345);
    EXPECT_EQ(StepTimeMs(1, 830), 128 * 830);
}

TEST(StepTime, UsesTheGivenDecimalSeparator) {
    EXPECT_EQ(StepTimeText(255, 830, QLatin1Char(',')), QStringLiteral("ca.0,83 sec."));
    EXPECT_EQ(StepTimeText(1, 830, QLatin1Char(',')), QStringLiteral("ca.106,24 sec."));
    EXPECT_EQ(StepTimeText(255, 0, QLatin1Char(',')), QStringLiteral("ca.0 sec."));
}

TEST(StepTime, EveryTempoAndFactorGivesAtMostTwoDecimals) {
    for (int factor : {0, 400, 460, 830})
        for (int tempo = 1; tempo <= 255; ++tempo) {
            const QString text = StepTimeText(tempo, factor, QLatin1Char('.'));
            const QString number = text.mid(3, text.size() - 3 - 5);
            const int dot = number.indexOf(QLatin1Char('.'));
            EXPECT_TRUE(dot < 0 || number.size() - dot - 1 <= 2) << text.toStdString();
            EXPECT_FALSE(number.endsWith(QLatin1Char('0')) && dot >= 0) << text.toStdString();
        }
}

TEST(ChannelModes, FiveChannelsLowerTheChannelCountButKeepThePointCount) {
    Settings s;
    s.udnk.setPosition(7);
    EXPECT_EQ(ApplyChannelMode(s, ChannelMode::Five), 460);
    EXPECT_EQ(s.udnk.position(), 5);
    EXPECT_EQ(s.udnk.Max, 5);
    EXPECT_EQ(s.udn.Max, 24);
    EXPECT_EQ(s.udn.position(), 96);
    EXPECT_EQ(s.udnk.Min, 1);
    EXPECT_EQ(s.udn.Min, 2);

    EXPECT_EQ(ApplyChannelMode(s, ChannelMode::Ten), 400);
    EXPECT_EQ(s.udnk.Max, 10);
    EXPECT_EQ(s.udn.Max, 92);
    EXPECT_EQ(s.udnk.position(), 5); // ten channels do not raise it again
    EXPECT_EQ(s.udn.position(), 96);
}

} // namespace
