// The chart editor without a window: strokes, the point cursor's keys, copy and paste.

#include "editor_fixture.h"

#include <QStringList>

using namespace dim;

namespace {

using Keyboard = EditorTest;
using Strokes = EditorTest;
using Clipboard = EditorTest;

// ---------------------------------------------------------------------------------------
// Keys

TEST_F(Keyboard, KeysStopAtTheEdgesOfTheDayTheChannelsAndTheLevels) {
    Focus();
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        int times;
        int channel, column, level; // where the point is after, and its level
    } steps[] = {
        {Qt::Key_Left, {}, 1, 1, 0, 0},
        {Qt::Key_PageUp, {}, 1, 1, 0, 0},
        {Qt::Key_Down, {}, 1, 1, 0, 0},
        {Qt::Key_End, {}, 1, 1, 0, 0},
        {Qt::Key_Up, Qt::ShiftModifier, 2, 1, 0, 20},
        {Qt::Key_Home, {}, 1, 1, 0, 255},
        {Qt::Key_Up, {}, 1, 1, 0, 255},
        {Qt::Key_Down, {}, 3, 1, 0, 252},
        {Qt::Key_Right, {}, 100, 1, 95, 0},
        {Qt::Key_PageDown, {}, 5, 4, 95, 0},
        {Qt::Key_Down, Qt::ShiftModifier, 1, 4, 95, 0},
    };
    for (const auto &s : steps) {
        for (int i = 0; i < s.times; ++i)
            EXPECT_TRUE(Key(s.key, s.modifiers));
        EXPECT_EQ(Point(), std::make_pair(s.channel, s.column)) << s.key;
        EXPECT_EQ(Level(s.channel, s.column), s.level) << s.key;
    }
}

TEST_F(Keyboard, TypedPercentagesSetTheLevelAndAbove100IsRefused) {
    Focus();
    const struct {
        const char *digits;
        int level;
        const char *shown; // beside the point cursor after Return
    } cases[] = {{"0", 0, ""},    {"1", 3, ""},     {"50", 128, ""},
                 {"75", 191, ""}, {"100", 255, ""}, {"101", 255, "höchstens 100 %"}};
    for (const auto &c : cases) {
        for (const char *d = c.digits; *d; ++d)
            Key(Qt::Key_0 + (*d - '0'));
        EXPECT_EQ(pointText, QString::fromLatin1(c.digits) + QLatin1Char('%'));
        Key(Qt::Key_Return);
        EXPECT_EQ(Level(1, 0), c.level) << c.digits;
        EXPECT_EQ(pointText, QString::fromUtf8(c.shown)) << c.digits;
    }
    Key(Qt::Key_4);
    Key(Qt::Key_Escape);
    Key(Qt::Key_Return);
    EXPECT_EQ(Level(1, 0), 255) << "Escape drops what was typed";
    EXPECT_FALSE(Key(Qt::Key_Escape)) << "with nothing typed, Escape is the window's";
}

TEST_F(Keyboard, ChangesToOnePointAreOneStepAndTheStatusAndReaderFollow) {
    Focus();
    Key(Qt::Key_PageDown);
    for (int i = 0; i < 29; ++i)
        Key(Qt::Key_Right);
    for (const int key : {Qt::Key_Home, Qt::Key_Down, Qt::Key_7, Qt::Key_5, Qt::Key_Return})
        Key(key);
    EXPECT_EQ(Steps(), 1);
    EXPECT_EQ(status, QStringLiteral("    Blau     7:15     Cursor: 75%     Punkt: 75%"));
    EXPECT_EQ(description, QStringLiteral("Blau 7:15 75%"));
    editor.setLanguage(1);
    EXPECT_EQ(description, QStringLiteral("Blue 7:15 75%"));
    Key(Qt::Key_Right);
    Key(Qt::Key_Up);
    EXPECT_EQ(Steps(), 2) << "another point, another step";
    document.undo();
    document.undo();
    EXPECT_EQ(Level(2, 29), 0);
}

// A point left and come back to is another step; keys with Ctrl, Alt or Meta are the
// window's, not the point cursor's; a percentage has at most three digits.
TEST_F(Keyboard, StepsPerVisitModifiedKeysAndThreeDigits) {
    Focus();
    for (const int key : {Qt::Key_Up, Qt::Key_Right, Qt::Key_Left, Qt::Key_Up, Qt::Key_PageDown,
                          Qt::Key_PageUp, Qt::Key_Up})
        Key(key);
    EXPECT_EQ(Steps(), 3);
    EXPECT_EQ(Level(1, 0), 3);
    for (const Qt::KeyboardModifier modifier :
         {Qt::ControlModifier, Qt::AltModifier, Qt::MetaModifier}) {
        EXPECT_FALSE(Key(Qt::Key_Up, modifier));
        EXPECT_FALSE(Key(Qt::Key_Home, modifier));
        EXPECT_EQ(Level(1, 0), 3) << modifier;
        EXPECT_EQ(Point(), std::make_pair(1, 0)) << modifier;
    }
    for (const int key : {Qt::Key_1, Qt::Key_0, Qt::Key_0, Qt::Key_0})
        Key(key);
    EXPECT_EQ(pointText, QStringLiteral("100%"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Level(1, 0), 255);
}

// The point cursor starts where the pointer was only on a point a curve file holds.
TEST(PointCursorStart, TakesOnlyFilePoints) {
    const struct {
        int channel, column;
        int startChannel, startColumn;
    } cases[] = {{1, 0, 1, 0},  {4, 95, 4, 95}, {2, 96, 1, 0}, {2, 255, 1, 0},
                 {2, -1, 1, 0}, {0, 5, 1, 0},   {5, 5, 1, 0},  {3, 40, 3, 40}};
    for (const auto &c : cases) {
        const PointCursor start = StartPointCursor(c.channel, c.column);
        EXPECT_EQ(std::make_pair(start.channel, start.column),
                  std::make_pair(c.startChannel, c.startColumn))
            << c.channel << "," << c.column;
    }
}

// The tools act on the point cursor's channel while the chart has the focus, on the band the
// pointer last passed over otherwise; the point cursor follows the pointer.
TEST_F(Keyboard, ToolsActOnThePointCursorsChannelWhileTheChartHasTheFocus) {
    SetLevels({{3, 10, 50}, {1, 10, 60}});
    Move(At(1, 10, 100)); // the pointer names channel 1
    EXPECT_EQ(editor.currentChannel(), 1);
    Focus();
    EXPECT_EQ(Point(), std::make_pair(1, 10));
    Key(Qt::Key_PageDown);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(editor.currentChannel(), 3);
    editor.apply(ToolText::Clear, [](const DayCurve &) { return Filled(0); });
    EXPECT_EQ(Level(3, 10), 0);
    EXPECT_EQ(Level(1, 10), 60);
    Move(At(2, 40, 100));
    EXPECT_EQ(Point(), std::make_pair(2, 40)) << "pointer moves carry it along";
    editor.focusChanged(false);
    Move(At(4, 5, 100));
    EXPECT_EQ(editor.currentChannel(), 4);
}

// ---------------------------------------------------------------------------------------
// Strokes

TEST_F(Strokes, AQuickCtrlDragLeavesNoColumnBetweenItsEndsUntouched) {
    const int y = At(2, 0, 200).y();
    Drag({QPoint(At(2, 10, 0).x(), y), QPoint(At(2, 14, 0).x(), y), QPoint(At(2, 21, 0).x(), y),
          QPoint(At(2, 30, 0).x(), y)},
         Qt::ControlModifier);
    const int level = Row(2)[10];
    EXPECT_GT(level, 0);
    for (int column = 0; column < 96; ++column)
        EXPECT_EQ(Row(2)[static_cast<size_t>(column)], column >= 10 && column <= 30 ? level : 0)
            << column;
    EXPECT_EQ(Steps(), 1);
    EXPECT_EQ(flags, (std::array<uint8_t, 4>{0, 1, 0, 0}));
}

// Continuous strokes fill the columns of a quick stroke without Ctrl; a plain one does not.
TEST_F(Strokes, ContinuousStrokesFillWithoutCtrl) {
    const int y = At(3, 0, 100).y();
    Drag({QPoint(At(3, 10, 0).x(), y), QPoint(At(3, 20, 0).x(), y)});
    EXPECT_EQ(Level(3, 15), 0);
    editor.setContinuousStrokes(true);
    Drag({QPoint(At(3, 40, 0).x(), y), QPoint(At(3, 50, 0).x(), y)});
    EXPECT_EQ(Level(3, 45), Level(3, 40));
}

// Each stroke is its own step, over cells an earlier stroke went over too.
TEST_F(Strokes, UndoTakesBackOnlyTheLastStrokeOverTheSameCells) {
    const int x = At(1, 40, 0).x();
    Drag({QPoint(x, At(1, 40, 100).y())});
    const int first = Level(1, 40);
    Drag({QPoint(x, At(1, 40, 200).y())});
    ASSERT_NE(Level(1, 40), first);
    document.undo();
    EXPECT_EQ(Level(1, 40), first);
    document.undo();
    EXPECT_EQ(Level(1, 40), 0);
    EXPECT_EQ(Steps(), 2);
}

TEST_F(Strokes, HoverThenPressAtARejectedPlaceChangesNoCell) {
    const QPoint point = At(1, 30, 200);
    Move(point);
    const QString shown = status;
    const LevelTable before = document.Levels();
    // The bottom zone of band 1, then the axis strip.
    for (const int y : {geometry.BandHeight - 3, 4 * geometry.BandHeight + 10}) {
        Press(QPoint(point.x(), y));
        Release();
    }
    EXPECT_EQ(document.Levels(), before);
    EXPECT_EQ(status, shown);
    EXPECT_EQ(flags, (std::array<uint8_t, 4>{1, 0, 0, 1}));
}

TEST_F(Strokes, CapturedDragsFarOutsideStayInBounds) {
    const QPoint start = At(1, 40, 100);
    Press(start);
    const QPoint far[] = {{-5000, start.y()}, {start.x(), -5000}, {50000, start.y()},
                          {start.x(), 50000}, {-5000, -5000},     {50000, 50000}};
    for (const QPoint p : far)
        Move(p, Qt::LeftButton);
    Release();
    EXPECT_GE(cursor.CursorChannel, 1);
    EXPECT_LE(cursor.CursorChannel, 4);
    EXPECT_LE(cursor.CursorColumn, 255);
    // Far left or above: column 0 or the top level of channel 1; far right: the last spare
    // column of the table.
    const int level = geometry.LocatePointer(start.x(), start.y())->level;
    EXPECT_EQ(Level(1, 0), 255);
    EXPECT_EQ(Level(1, 40), 255);
    EXPECT_EQ(Level(1, 255), level);
    for (const LevelRow &row : document.Levels())
        for (int32_t cell : row)
            ASSERT_TRUE(cell >= 0 && cell <= 255);
}

// A drag in band 3 to 5:00 that is cut off (another button, a press where its release was
// missed, a cut-off told by the window), then one click at 17:30: no column between them is
// written, and the click is a step of its own.
class StrokeCutOff : public EditorTest, public ::testing::WithParamInterface<const char *> {};

TEST_P(StrokeCutOff, APressAfterACutOffStartsANewStroke) {
    const std::string how = GetParam();
    const int y = At(3, 0, 200).y();
    Press(QPoint(At(3, 16, 0).x(), y), Qt::LeftButton, Qt::ControlModifier);
    Move(QPoint(At(3, 20, 0).x(), y), Qt::LeftButton, Qt::ControlModifier);
    if (how == "other button")
        Press(QPoint(At(3, 20, 0).x(), y), Qt::LeftButton | Qt::RightButton, Qt::ControlModifier);
    else if (how == "cut off")
        editor.cutOff();
    Press(QPoint(At(3, 70, 0).x(), y), Qt::LeftButton, Qt::ControlModifier);
    Release();
    for (int column = 21; column < 70; ++column)
        EXPECT_EQ(Level(3, column), 0) << "column " << column;
    EXPECT_GT(Level(3, 70), 0);
    document.undo();
    EXPECT_EQ(Level(3, 70), 0);
    EXPECT_GT(Level(3, 20), 0) << "the first stroke is a step of its own";
}

INSTANTIATE_TEST_SUITE_P(Strokes, StrokeCutOff,
                         ::testing::Values("other button", "missed release", "cut off"));

// ---------------------------------------------------------------------------------------
// Copy and paste

TEST_F(Clipboard, CopyOneChannelAndPasteItIntoAnotherAsOneStep) {
    LevelTable levels{};
    for (size_t k = 0; k < 96; ++k)
        levels[2][k] = static_cast<int>(k * 2);
    document.change(levels, document.fileSettings(), ToolText::Paste);
    const int steps = Steps();
    EXPECT_TRUE(editor.copyText().isEmpty()) << "no channel yet";
    editor.paste(QStringList(96, QStringLiteral("7")).join(QLatin1Char(',')));
    EXPECT_EQ(Steps(), steps) << "nowhere to paste yet";
    EXPECT_EQ(Row(0), LevelRow{});
    Move(At(2, 10, 128));
    const QString copied = editor.copyText();
    EXPECT_TRUE(copied.startsWith(QStringLiteral("0,2,4,6,")));
    Move(At(3, 10, 128));
    editor.paste(copied);
    EXPECT_EQ(Row(3), Row(2));
    EXPECT_EQ(Steps(), steps + 1);
    document.undo();
    EXPECT_EQ(Row(3), LevelRow{});
    EXPECT_EQ(Row(2), levels[2]);
}

TEST_F(Clipboard, ARefusedPasteSaysWhyInTheLanguageAndChangesNothing) {
    editor.setLanguage(2);
    Move(At(1, 5, 128));
    editor.paste(QStringLiteral("1,2,300"));
    EXPECT_EQ(notices, QStringList(QString::fromUtf8("Collage impossible|La valeur 3 n'est pas "
                                                     "comprise entre 0 et 255 : 300.")));
    EXPECT_EQ(Row(1), LevelRow{});
    EXPECT_EQ(Steps(), 0);
}

} // namespace
