#include "edit/curvetools.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <climits>

namespace {

using Fill = std::vector<std::pair<int, int>>;

DayCurve Ramp() { // old[c] = c
    DayCurve curve{};
    for (int c = 0; c < FilePoints; ++c)
        curve[c] = c;
    return curve;
}

// The numbers 0..count-1 (mod 256) joined by the separators in turn; one field may be replaced.
QString Numbers(int count, const QStringList &separators, int replaced = -1, QString field = {}) {
    QString text;
    for (int i = 0; i < count; ++i)
        text += (i ? separators[i % separators.size()] : QString()) +
                (i == replaced ? field : QString::number(i % 256));
    return text;
}

TEST(CurveClipboard, WritesOneCommaLineAndReadsItBack) {
    DayCurve curve{};
    std::string expected;
    for (int c = 0; c < FilePoints; ++c) {
        curve[c] = c * 37 % 256;
        expected += (c ? "," : "") + std::to_string(curve[c]);
    }
    EXPECT_EQ(CurveClipboardText(curve).toStdString(), expected);
    EXPECT_EQ(std::get<DayCurve>(ParseCurveClipboard(CurveClipboardText(curve))), curve);
    const QString mixed = QStringLiteral("\n ") +
                          Numbers(96, {",", ";", " ", " , ", "\t;\r\n", "  "}, 5, "007") + "\r\n ";
    const auto read = std::get<DayCurve>(ParseCurveClipboard(mixed));
    EXPECT_EQ(read[5], 7);
    EXPECT_EQ(read[95], 95);
}

TEST(CurveClipboard, RefusesWithTheKindCountAndField) {
    struct Case {
        QString text;
        ClipboardProblem problem;
        int count;
        QString token;
    };
    using P = ClipboardProblem;
    const QString big(5000, QLatin1Char('0'));
    const Case cases[] = {
        {"", P::Empty, 0, ""},
        {" \n\t", P::Empty, 0, ""},
        {Numbers(95, {","}), P::TooFew, 95, ""},
        {Numbers(97, {","}), P::TooMany, 96, "96"},
        {Numbers(96, {","}, 10, "256"), P::OutOfRange, 10, "256"},
        {Numbers(96, {","}, 3, "99999999999"), P::OutOfRange, 3, "99999999999"},
        {Numbers(96, {","}, 0, big), P::OutOfRange, 0, big.left(MaxClipboardToken)},
        {Numbers(96, {","}, 0, "-1"), P::NotNumber, 0, "-1"},
        {Numbers(96, {","}, 4, "+1"), P::NotNumber, 4, "+1"},
        {Numbers(96, {","}, 7, "1.5"), P::NotNumber, 7, "1.5"},
        {Numbers(96, {","}, 2, ""), P::EmptyField, 2, ""},
        {"," + Numbers(96, {","}), P::EmptyField, 0, ""},
        {Numbers(96, {","}) + ", ", P::EmptyField, 96, ""},
        {Numbers(96, {" ,; "}), P::EmptyField, 1, ""},
    };
    for (const Case &c : cases) {
        const auto result = ParseCurveClipboard(c.text);
        ASSERT_TRUE(std::holds_alternative<ClipboardRefusal>(result))
            << c.text.left(80).toStdString();
        const auto &refusal = std::get<ClipboardRefusal>(result);
        EXPECT_EQ(refusal.problem, c.problem) << c.text.left(80).toStdString();
        EXPECT_EQ(refusal.count, c.count) << c.text.left(80).toStdString();
        EXPECT_EQ(refusal.token, c.token) << c.text.left(80).toStdString();
    }
}

TEST(CurveTools, ShiftWrapsTheDayBothWays) {
    // {k, k mod 96}: new[c] = old[c - k mod 96]
    const int cases[][2] = {{1, 1},  {-1, 95},  {96, 0},  {-96, 0},
                            {97, 1}, {-97, 95}, {200, 8}, {INT_MIN, 64}};
    for (const auto &c : cases) {
        const DayCurve shifted = ShiftLater(Ramp(), c[0]);
        for (int col = 0; col < FilePoints; ++col)
            ASSERT_EQ(shifted[col], (col - c[1] + 96) % 96) << c[0] << " column " << col;
    }
}

TEST(CurveTools, ScaleRoundsHalfUpAndCapsAt255) {
    // {old, percent, new}
    const int cases[][3] = {{255, 1, 3},  {255, 1000, 255}, {1, 1000, 10},   {50, 1, 1},
                            {49, 1, 0},   {150, 101, 152},  {26, 1000, 255}, {25, 1000, 250},
                            {0, 1000, 0}, {100, 0, 1}};
    for (const auto &c : cases)
        EXPECT_EQ(Scale(Filled(c[0]), c[1]), Filled(c[2])) << c[0] << " " << c[1];
}

TEST(CurveTools, SmoothWrapsAtMidnightAndRoundsHalfUp) {
    // {spike column, level, new before, at, after the spike}; all else stays 0
    const int cases[][5] = {
        {0, 100, 25, 50, 25}, {95, 100, 25, 50, 25}, {50, 255, 64, 128, 64}, {10, 1, 0, 1, 0}};
    for (const auto &c : cases) {
        DayCurve spike{}, expected{};
        spike[c[0]] = c[1];
        expected[(c[0] + 95) % 96] = c[2];
        expected[c[0]] = c[3];
        expected[(c[0] + 1) % 96] = c[4];
        EXPECT_EQ(Smooth(spike), expected) << c[0];
    }
    EXPECT_EQ(Smooth(Filled(255)), Filled(255));
}

TEST(CurveTools, FillClampsAndPercentRoundsToLevels) {
    EXPECT_EQ(Filled(-5), Filled(0));
    EXPECT_EQ(Filled(300)[95], 255);
    const int cases[][2] = {{0, 0}, {1, 3}, {2, 5}, {50, 128}, {99, 252}, {100, 255}};
    for (const auto &c : cases)
        EXPECT_EQ(LevelOfPercent(c[0]), c[1]) << c[0];
}

TEST(Daylight, PlateausWithoutRampIncludingBothEndsAndAcrossMidnight) {
    struct Case {
        DaylightParams params;
        int firstIn, lastIn; // columns at peak, others at base; firstIn > lastIn wraps, -1 none
    };
    const Case cases[] = {
        {{360, 1080, 0, 200, 10}, 24, 72},
        {{1200, 360, 0, 50, 0}, 80, 24},
        {{360, 360, 0, 90, 20}, 24, 24},
        {{360, 360, 60, 90, 20}, -1, -1},
    };
    for (const Case &c : cases)
        for (int col = 0; col < FilePoints; ++col) {
            const bool in = c.firstIn <= c.lastIn ? col >= c.firstIn && col <= c.lastIn
                                                  : col >= c.firstIn || col <= c.lastIn;
            ASSERT_EQ(Daylight(c.params)[col], in ? c.params.peak : c.params.base)
                << c.params.startMinutes << " column " << col;
        }
}

TEST(Daylight, RampsOnAHalfCosineRoundingExactHalvesAwayFromZero) {
    const DaylightParams up{360, 1080, 60, 255, 0}, down{360, 1080, 60, 0, 255},
        thirds{0, 720, 90, 254, 0}, longRamp{0, 60, 720, 255, 0};
    struct Case {
        DaylightParams params;
        int column, level;
    };
    const Case cases[] = {
        {up, 24, 0},      {up, 25, 37},     {up, 26, 128},    {up, 27, 218},    {up, 28, 255},
        {up, 70, 128},    {up, 71, 37},     {up, 73, 0},      {down, 25, 218},  {down, 26, 128},
        {down, 27, 37},   {down, 28, 0},    {down, 23, 255},  {thirds, 1, 17},  {thirds, 2, 64},
        {thirds, 3, 127}, {thirds, 4, 191}, {thirds, 5, 237}, {thirds, 6, 254}, {longRamp, 2, 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Daylight(c.params)[c.column], c.level) << c.params.peak << " column " << c.column;
}

TEST(Daylight, ProblemNamesTheFirstBadValue) {
    using V = DaylightValue;
    struct Case {
        DaylightParams params;
        V value;
        bool offGrid;
    };
    const Case cases[] = {
        {{1440, 0, 0, 0, 0}, V::Start, false}, {{-15, 0, 0, 0, 0}, V::Start, false},
        {{7, 0, 0, 0, -1}, V::Start, true},    {{0, 1430, 0, 0, 0}, V::End, false},
        {{0, 1420, 0, 0, 0}, V::End, true},    {{0, 0, 735, 0, 0}, V::Ramp, false},
        {{0, 0, 10, 0, 0}, V::Ramp, true},     {{0, 0, 0, 256, 0}, V::Peak, false},
        {{0, 0, 0, 0, -1}, V::Base, false},
    };
    for (const Case &c : cases) {
        const auto fault = DaylightProblem(c.params);
        ASSERT_TRUE(fault.has_value()) << int(c.value);
        EXPECT_EQ(fault->value, c.value);
        EXPECT_EQ(fault->offGrid, c.offGrid) << int(c.value);
    }
    EXPECT_FALSE(DaylightProblem({1425, 0, 720, 255, 255}).has_value());
}

TEST(StrokeGap, FillsSkippedColumnsOnTheLineWithinThePointCount) {
    struct Case {
        int c0, l0, c1, l1, points;
        Fill fill;
    };
    const Case cases[] = {
        {2, 0, 6, 100, 96, {{3, 25}, {4, 50}, {5, 75}}},
        {10, 100, 14, 0, 96, {{11, 75}, {12, 50}, {13, 25}}},
        {14, 0, 10, 100, 96, {{11, 75}, {12, 50}, {13, 25}}},
        {0, 5, 2, 0, 96, {{1, 3}}},
        {0, 1, 4, 0, 96, {{1, 1}, {2, 1}, {3, 0}}},
        {0, 0, 4, 1, 96, {{1, 0}, {2, 1}, {3, 1}}},
        {90, 0, 100, 100, 96, {{91, 10}, {92, 20}, {93, 30}, {94, 40}, {95, 50}}},
        {100, 100, 90, 0, 92, {{91, 10}}},
        {-3, 0, 2, 50, 96, {{0, 30}, {1, 40}}},
        {250, 0, 255, 255, 96, {}},
        {5, 0, 6, 255, 96, {}},
        {5, 0, 5, 255, 96, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(StrokeGapFill(c.c0, c.l0, c.c1, c.l1, c.points), c.fill) << c.c0 << " " << c.c1;
}

} // namespace
