#include "edit/pointer.h"

#include <array>

#include <gtest/gtest.h>

using namespace dim;

namespace {

class PointerTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillTexts(texts);
        geometry.UpdateLayout(1652, 1050, 96, 4);
    }
    // One event, with the band it names flagged as the window flags it.
    PointerResult Event(bool left, int x, int y, int language = 0) {
        const PointerResult result =
            PointerEvent(cursor, geometry, document, texts, language, left, x, y);
        if (result.dirtyBand >= 0)
            BandDirty[static_cast<size_t>(result.dirtyBand)] = 1;
        return result;
    }

    TextTable texts;
    Geometry geometry;
    std::array<uint8_t, 4> BandDirty{};
    CurveDocument document;
    CursorState cursor;
};

TEST_F(PointerTest, StatusLineOfTheWorkedExample) {
    cursor = {29, 1, 128};
    LevelTable levels{};
    levels[2][48] = 200;
    const auto status = TrackPointer(cursor, geometry, levels, texts, 0, 826, 364);
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, QStringLiteral("    Weiss    7:15     Cursor: 50%     Punkt: 79%"));
    EXPECT_EQ(cursor.CursorColumn, 48);
    EXPECT_EQ(cursor.CursorChannel, 2);
    EXPECT_EQ(cursor.CursorLevel, 129);
}

TEST_F(PointerTest, FirstEventNamesChannelZeroInTheSelectedLanguage) {
    const auto status = Event(false, 100, 100, 1);
    ASSERT_TRUE(status.status);
    EXPECT_EQ(*status.status, QStringLiteral("    Text[0,0]  0:00     cursor: 0%     point: 0%"));
}

TEST_F(PointerTest, TimesOfColumns) {
    EXPECT_EQ(ColumnTime(0), QStringLiteral("0:00"));
    EXPECT_EQ(ColumnTime(1), QStringLiteral("0:15"));
    EXPECT_EQ(ColumnTime(4), QStringLiteral("1:00"));
    EXPECT_EQ(ColumnTime(28), QStringLiteral("7:00"));
    EXPECT_EQ(ColumnTime(95), QStringLiteral("23:45"));
}

TEST_F(PointerTest, StatusIsEmptyAfterAColumnPastTheDay) {
    EXPECT_TRUE(StatusText({95, 1, 0}, 0, texts, 0).startsWith(QStringLiteral("    Weiss")));
    EXPECT_TRUE(StatusText({96, 1, 0}, 0, texts, 0).isEmpty());
    EXPECT_TRUE(StatusText({255, 1, 0}, 0, texts, 0).isEmpty());
    EXPECT_EQ(StatusText({0, 6, 255}, 3, texts, 0),
              QStringLiteral("    Kanal 6  0:00     Cursor: 100%     Punkt: 1%"));
}

TEST_F(PointerTest, ALeftDragWritesTheCellsItsEventsLandOnAndFlagsTheirBand) {
    for (int x = 100; x <= 400; x += 17)
        EXPECT_TRUE(Event(true, x, 364).wrote);
    for (int col = 0; col < 96; ++col) {
        const bool touched = col >= 5 && col <= 22;
        EXPECT_EQ(document.Levels()[2][static_cast<size_t>(col)], touched ? 129 : 0) << col;
    }
    EXPECT_EQ(BandDirty, (std::array<uint8_t, 4>{0, 1, 0, 0}));
}

TEST_F(PointerTest, MovingWithoutAButtonWritesNothing) {
    const auto result = Event(false, 826, 364);
    EXPECT_TRUE(result.status);
    EXPECT_FALSE(result.wrote);
    EXPECT_EQ(document.Levels()[2][48], 0);
    EXPECT_EQ(BandDirty, (std::array<uint8_t, 4>{0, 0, 0, 0}));
}

TEST_F(PointerTest, APressAtARejectedPositionWritesNoCell) {
    Event(false, 826, 364); // hover over band 2, column 48
    const LevelTable before = document.Levels();
    for (int y : {240, 1000, 1020, 5000}) { // bottom zone of band 1, axis strip, far below
        const auto result = Event(true, 826, y);
        EXPECT_FALSE(result.status);
        EXPECT_FALSE(result.wrote);
    }
    EXPECT_EQ(document.Levels(), before);
    EXPECT_EQ(BandDirty, (std::array<uint8_t, 4>{1, 0, 0, 1}));
    EXPECT_EQ(cursor.CursorColumn, 48); // the hover is still the cursor
}

TEST_F(PointerTest, DragsFarOutsideTheChartStayInsideTheTable) {
    const int xs[] = {-100000, -11, 0, 1641, 1700, 4000, 100000, 2147483647};
    const int ys[] = {-2147483647, -100000, -250, -1, 0, 249, 999, 1000, 100000, 2147483647};
    Event(true, 10, 10); // from here on the cursor always names a channel
    for (int x : xs)
        for (int y : ys) {
            Event(true, x, y);
            ASSERT_GE(cursor.CursorChannel, 1);
            ASSERT_LE(cursor.CursorChannel, 4);
            ASSERT_LE(cursor.CursorColumn, 255);
            ASSERT_GE(cursor.CursorColumn, 0);
        }
    // Far above: channel 1 at level 255; far right: the last spare column.
    Event(true, 100000, -100000);
    EXPECT_EQ(cursor.CursorChannel, 1);
    EXPECT_EQ(cursor.CursorColumn, 255);
    EXPECT_EQ(document.Levels()[1][255], 255);
    for (const LevelRow &row : document.Levels())
        for (int32_t cell : row)
            ASSERT_TRUE(cell >= 0 && cell <= 255);
}

TEST_F(PointerTest, PositionsBelowBandFourFlagTheLastFlagAndAboveTheFirst) {
    Event(true, 500, 1030);
    EXPECT_EQ(BandDirty, (std::array<uint8_t, 4>{0, 0, 0, 1}));
    Event(true, 500, -30);
    EXPECT_EQ(BandDirty, (std::array<uint8_t, 4>{1, 0, 0, 1}));
}

TEST_F(PointerTest, ALanguageChangeShowsAtTheNextEvent) {
    Event(false, 826, 364);
    const auto german = Event(false, 826, 364, 0);
    const auto french = Event(false, 826, 364, 2);
    EXPECT_TRUE(german.status->contains(QStringLiteral("Blau")));
    EXPECT_TRUE(french.status->contains(QStringLiteral("Bleu")));
    EXPECT_TRUE(french.status->contains(QStringLiteral("curseur: 51%")));
}

} // namespace
