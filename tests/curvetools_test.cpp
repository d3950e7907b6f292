#include "edit/curvetools.h"
#include "model/curvetext.h"
#include "texts/tooltexts.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <climits>
#include <optional>

using namespace dim;

namespace {

// The numbers 0..count-1 joined by the separators in turn; field `replaced` becomes `field`.
QString Numbers(int count, const QStringList &separators, int replaced = -1, QString field = {}) {
    QString text;
    for (int i = 0; i < count; ++i)
        text += (i ? separators[i % separators.size()] : QString()) +
                (i == replaced ? field : QString::number(i));
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
    const QStringList mixed = {",", ";", " ", " , ", "\t;\r\n", "  "};
    const auto read = std::get<DayCurve>(ParseCurveClipboard(Numbers(96, mixed, 5, "007") + "\n"));
    EXPECT_EQ(read[5], 7);
    EXPECT_EQ(read[95], 95);
}

TEST(CurveClipboard, RefusesWithTheKindCountAndField) {
    using P = ClipboardProblem;
    const QString big(5000, QLatin1Char('0'));
    const std::tuple<QString, P, int, QString> cases[] = {
        {"", P::Empty, 0, ""},
        {" \n", P::Empty, 0, ""},
        {Numbers(95, {","}), P::TooFew, 95, ""},
        {Numbers(3, {","}) + ",", P::TooFew, 3, ""},
        {Numbers(97, {","}), P::TooMany, 96, "96"},
        {Numbers(96, {","}) + ", 7,", P::TooMany, 96, "7"},
        {Numbers(96, {","}, 0, big), P::OutOfRange, 0, big.left(MaxLevelField)},
        {Numbers(96, {","}, 2, ""), P::EmptyField, 2, ""},
        {"," + Numbers(96, {","}), P::EmptyField, 0, ""},
        {Numbers(96, {","}) + ",,", P::EmptyField, 96, ""},
        {Numbers(96, {" ,; "}), P::EmptyField, 1, ""}};
    for (const auto &[text, problem, count, token] : cases) {
        const auto result = ParseCurveClipboard(text);
        const auto *refusal = std::get_if<ClipboardRefusal>(&result);
        ASSERT_TRUE(refusal) << text.left(40).toStdString();
        EXPECT_EQ(std::tie(refusal->problem, refusal->count, refusal->token),
                  std::tie(problem, count, token))
            << text.left(40).toStdString();
    }
}

TEST(CurveClipboard, TakesOneSeparatorAfterTheLastNumber) {
    for (const char *end : {",", ";", " , ", "; \n", "\t"}) {
        const auto result = ParseCurveClipboard(Numbers(96, {","}) + QString::fromUtf8(end));
        ASSERT_TRUE(std::holds_alternative<DayCurve>(result)) << end;
        EXPECT_EQ(std::get<DayCurve>(result)[95], 95);
    }
}

// A CSV of the day with every level n, where the white level of row 5 is `field`, and every
// line ends in `end`.
QByteArray Csv(const QString &field, const QString &end = {}) {
    QString text = QStringLiteral("time,white,blue,clouds,moon") + end + '\n';
    for (int k = 0; k < FilePoints; ++k)
        text += QuarterHourText(k) + ',' + (k == 5 ? field : QString::number(k)) +
                QString(",%1,%1,%1").arg(k) + end + '\n';
    return text.toUtf8();
}

// The clipboard line and the CSV fields read a level by the same rule.
TEST(LevelFields, OneNumberRuleForTheClipboardAndCsv) {
    using L = LevelProblem;
    const QString zeros = QString(MaxLevelField - 1, QLatin1Char('0'));
    const std::tuple<QString, L, int> cases[] = {
        // {field, problem, level}
        {"0", L::None, 0},
        {"255", L::None, 255},
        {"+5", L::None, 5},
        {"0005", L::None, 5},
        {"-0", L::None, 0},
        {zeros + "7", L::None, 7}, // the longest field
        {"256", L::OutOfRange, 0},
        {"-1", L::OutOfRange, 0},
        {"99999999999999999999999", L::OutOfRange, 0},
        {zeros + "07", L::OutOfRange, 0}, // one character longer
        {"+" + zeros + "7", L::OutOfRange, 0},
        {"1.5", L::NotNumber, 0},
        {"+", L::NotNumber, 0},
        {"-", L::NotNumber, 0},
        {"+-1", L::NotNumber, 0},
        {"5x", L::NotNumber, 0},
        {"x", L::NotNumber, 0},
        {"٣", L::NotNumber, 0}, // a digit of another script
    };
    for (const auto &[field, problem, level] : cases) {
        SCOPED_TRACE(field.left(20).toStdString());
        const auto pasted = ParseCurveClipboard(Numbers(96, {","}, 5, field));
        const ImportResult csv = ParseCurveCsv(Csv(QStringLiteral(" %1 ").arg(field)));
        if (problem == L::None) {
            ASSERT_TRUE(std::holds_alternative<DayCurve>(pasted));
            EXPECT_EQ(std::get<DayCurve>(pasted)[5], level);
            ASSERT_TRUE(std::holds_alternative<DimContent>(csv))
                << std::get<ImportError>(csv).message().toStdString();
            EXPECT_EQ(std::get<DimContent>(csv).levels[0][5], level);
            continue;
        }
        const auto *refusal = std::get_if<ClipboardRefusal>(&pasted);
        ASSERT_TRUE(refusal);
        EXPECT_EQ(std::tie(refusal->problem, refusal->count, refusal->position),
                  std::tuple(problem == L::NotNumber ? ClipboardProblem::NotNumber
                                                     : ClipboardProblem::OutOfRange,
                             5, qsizetype{10}));
        ASSERT_TRUE(std::holds_alternative<ImportError>(csv));
        EXPECT_EQ(std::get<ImportError>(csv).problem.endsWith(
                      problem == L::NotNumber ? "is not an integer" : "is out of range 0..255"),
                  true)
            << std::get<ImportError>(csv).problem.toStdString();
    }
}

TEST(LevelFields, CsvLinesMayEndInOneComma) {
    const ImportResult trailing = ParseCurveCsv(Csv("5", ","));
    ASSERT_TRUE(std::holds_alternative<DimContent>(trailing))
        << std::get<ImportError>(trailing).message().toStdString();
    EXPECT_EQ(std::get<DimContent>(trailing).levels[3][95], 95);
    const ImportResult twice = ParseCurveCsv(Csv("5", ",,"));
    ASSERT_TRUE(std::holds_alternative<ImportError>(twice));
    EXPECT_EQ(std::get<ImportError>(twice).message().toStdString(),
              "line 1: bad header \"time,white,blue,clouds,moon,,\"; expected "
              "\"time,white,blue,clouds,moon\"");
}

TEST(TimeOfDay, ReadsExactlyTwoDigitsColonTwoDigits) {
    const std::pair<const char *, std::optional<int>> cases[] = {{"00:00", 0},
                                                                 {"23:59", 1439},
                                                                 {"07:05", 425},
                                                                 {"24:00", std::nullopt},
                                                                 {"12:60", std::nullopt},
                                                                 {"7:05", std::nullopt},
                                                                 {"07:5", std::nullopt},
                                                                 {"07-05", std::nullopt},
                                                                 {"07:05\n", std::nullopt},
                                                                 {" 07:05", std::nullopt},
                                                                 {"", std::nullopt},
                                                                 {"٠٧:٠٥", std::nullopt}};
    for (const auto &[text, minutes] : cases)
        EXPECT_EQ(ParseTimeOfDay(QString::fromUtf8(text)), minutes) << text;
}

TEST(PasteRefusal, SaysWhyWithThePositionAndTheRightNumberForm) {
    using P = ClipboardProblem;
    const std::tuple<P, int, QString, int, const char *> cases[] = {
        // {problem, count, token, language, reason}
        {P::NotNumber, 2, "x", 1, "Value 3 is not a whole number: \"x\"."},
        {P::NotNumber, 0, "a\tb", 0, "Wert 1 ist keine ganze Zahl: \"a\\tb\"."},
        {P::OutOfRange, 95, "-1", 3, "El valor 96 no está entre 0 y 255: -1."},
        {P::EmptyField, 1, "", 1, "Empty field after 1 value."},
        {P::EmptyField, 2, "", 1, "Empty field after 2 values."},
        {P::EmptyField, 0, "", 1, "Empty field after 0 values."},
        {P::EmptyField, 1, "", 0, "Leeres Feld nach 1 Wert."},
        {P::EmptyField, 0, "", 2, "Champ vide après 0 valeur."},
        {P::EmptyField, 2, "", 2, "Champ vide après 2 valeurs."},
        {P::EmptyField, 1, "", 3, "Campo vacío después de 1 valor."},
        {P::TooFew, 1, "", 0, "Nur 1 Wert; eine Kurve hat 96."},
        {P::TooFew, 95, "", 0, "Nur 95 Werte; eine Kurve hat 96."},
        {P::TooFew, 1, "", 1, "Only 1 value; a curve has 96."},
        {P::TooFew, 1, "", 2, "Seulement 1 valeur ; une courbe en a 96."},
        {P::TooFew, 2, "", 3, "Solo 2 valores; una curva tiene 96."},
        {P::TooMany, 96, "7", 1, "More than 96 values; a curve has 96."},
        {P::Empty, 0, "", 2, "Le presse-papiers ne contient aucune courbe."},
    };
    for (const auto &[problem, count, token, language, reason] : cases) {
        const PasteRefusalText text =
            RefusedPasteText(ClipboardRefusal{problem, count, 0, token}, language);
        EXPECT_EQ(text.reason.toStdString(), reason);
        EXPECT_EQ(text.heading, GetToolText(ToolText::PasteRefused, language));
    }
}

TEST(CurveTools, ShiftWrapsTheDayBothWays) {
    DayCurve ramp{};
    for (int c = 0; c < FilePoints; ++c)
        ramp[c] = c;
    // {k, k mod 96}: new[c] = old[c - k mod 96]
    const int cases[][2] = {{1, 1},  {-1, 95},  {96, 0},  {-96, 0},
                            {97, 1}, {-97, 95}, {200, 8}, {INT_MIN, 64}};
    for (const auto &[k, wrapped] : cases) {
        const DayCurve shifted = ShiftLater(ramp, k);
        for (int c = 0; c < FilePoints; ++c)
            ASSERT_EQ(shifted[c], (c - wrapped + 96) % 96) << k << " column " << c;
    }
}

TEST(CurveTools, ScaleRoundsHalfUpAndCapsAt255) {
    // {old, percent, new}
    const int cases[][3] = {{255, 1, 3},  {255, 1000, 255}, {1, 1000, 10},   {50, 1, 1},
                            {49, 1, 0},   {150, 101, 152},  {26, 1000, 255}, {25, 1000, 250},
                            {0, 1000, 0}, {100, 0, 1}};
    for (const auto &[old, percent, expected] : cases)
        EXPECT_EQ(Scale(Filled(old), percent), Filled(expected)) << old << " " << percent;
}

TEST(CurveTools, SmoothWrapsAtMidnightAndRoundsHalfUp) {
    // {spike column, level, new before, at, after it}; the rest stays 0
    const int cases[][5] = {
        {0, 100, 25, 50, 25}, {95, 100, 25, 50, 25}, {50, 255, 64, 128, 64}, {10, 1, 0, 1, 0}};
    for (const auto &[at, level, before, middle, after] : cases) {
        DayCurve spike{}, expected{};
        spike[at] = level;
        expected[(at + 95) % 96] = before;
        expected[at] = middle;
        expected[(at + 1) % 96] = after;
        EXPECT_EQ(Smooth(spike), expected) << at;
    }
    EXPECT_EQ(Smooth(Filled(255)), Filled(255));
}

TEST(CurveTools, FillClampsAndPercentRoundsToLevels) {
    EXPECT_EQ(Filled(-5), Filled(0));
    EXPECT_EQ(Filled(300)[95], 255);
    const int cases[][2] = {{0, 0}, {1, 3}, {2, 5}, {50, 128}, {99, 252}, {100, 255}};
    for (const auto &[percent, level] : cases)
        EXPECT_EQ(LevelOfPercent(percent), level) << percent;
}

TEST(Daylight, PlateausWithoutRampIncludingBothEndsAndAcrossMidnight) {
    // Columns first..last at peak, the others at base; first > last wraps, -1 is none.
    const std::tuple<DaylightParams, int, int> cases[] = {{{360, 1080, 0, 200, 10}, 24, 72},
                                                          {{1200, 360, 0, 50, 0}, 80, 24},
                                                          {{360, 360, 0, 90, 20}, 24, 24},
                                                          {{360, 360, 60, 90, 20}, -1, -1}};
    for (const auto &[params, first, last] : cases)
        for (int c = 0; c < FilePoints; ++c) {
            const bool in = first <= last ? c >= first && c <= last : c >= first || c <= last;
            ASSERT_EQ(Daylight(params)[c], in ? params.peak : params.base)
                << params.startMinutes << " column " << c;
        }
}

TEST(Daylight, RampsOnAHalfCosineRoundingExactHalvesAwayFromZero) {
    const DaylightParams up{360, 1080, 60, 255, 0}, down{360, 1080, 60, 0, 255},
        thirds{0, 720, 90, 254, 0}, longRamp{0, 60, 720, 255, 0};
    const std::tuple<DaylightParams, int, int> cases[] = {
        // {params, column, level}
        {up, 24, 0},      {up, 25, 37},    {up, 26, 128},   {up, 27, 218},   {up, 28, 255},
        {up, 70, 128},    {up, 71, 37},    {up, 73, 0},     {down, 25, 218}, {down, 26, 128},
        {down, 27, 37},   {down, 23, 255}, {thirds, 1, 17}, {thirds, 2, 64}, {thirds, 4, 191},
        {thirds, 5, 237}, {longRamp, 2, 1}};
    for (const auto &[params, column, level] : cases)
        EXPECT_EQ(Daylight(params)[column], level) << params.peak << " column " << column;
}

TEST(Daylight, ProblemNamesTheFirstBadValue) {
    using V = DaylightValue;
    const std::tuple<DaylightParams, V, bool> cases[] = {
        // {params, value, off the grid}
        {{1440, 0, 0, 0, 0}, V::Start, false}, {{7, 0, 0, 0, -1}, V::Start, true},
        {{0, 1430, 0, 0, 0}, V::End, false},   {{0, 1420, 0, 0, 0}, V::End, true},
        {{0, 0, 735, 0, 0}, V::Ramp, false},   {{0, 0, 10, 0, 0}, V::Ramp, true},
        {{0, 0, 0, 256, 0}, V::Peak, false},   {{0, 0, 0, 0, -1}, V::Base, false}};
    for (const auto &[params, value, offGrid] : cases) {
        const auto fault = DaylightProblem(params);
        ASSERT_TRUE(fault.has_value()) << int(value);
        EXPECT_EQ(std::pair(fault->value, fault->offGrid), std::pair(value, offGrid));
    }
    EXPECT_FALSE(DaylightProblem({1425, 0, 720, 255, 255}).has_value());
}

TEST(StrokeGap, FillsSkippedColumnsOnTheLineWithinThePointCount) {
    using Fill = std::vector<std::pair<int, int>>;
    const std::tuple<int, int, int, int, int, Fill> cases[] = {
        // {c0, l0, c1, l1, points, fill}
        {2, 0, 6, 100, 96, {{3, 25}, {4, 50}, {5, 75}}},
        {14, 0, 10, 100, 96, {{11, 75}, {12, 50}, {13, 25}}},
        {0, 5, 2, 0, 96, {{1, 3}}},
        {0, 1, 4, 0, 96, {{1, 1}, {2, 1}, {3, 0}}},
        {90, 0, 100, 100, 96, {{91, 10}, {92, 20}, {93, 30}, {94, 40}, {95, 50}}},
        {100, 100, 90, 0, 92, {{91, 10}}},
        {-3, 0, 2, 50, 96, {{0, 30}, {1, 40}}},
        {250, 0, 255, 255, 96, {}},
        {5, 0, 6, 255, 96, {}}};
    for (const auto &[c0, l0, c1, l1, points, fill] : cases)
        EXPECT_EQ(StrokeGapFill(c0, l0, c1, l1, points), fill) << c0 << " " << c1;
}

} // namespace
