#include "window_fixture.h"

#include <QAccessible>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>

using namespace dim;
using namespace dim::app;

namespace {

class Keyboard : public WindowTest {
protected:
    void Key(int key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(window->ui().pb, static_cast<Qt::Key>(key), modifiers);
    }
    void Focus() {
        window->ui().pb->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(window->ui().pb->hasFocus());
    }
    std::pair<int, int> Point() const {
        return {window->editor().pointCursor().channel, window->editor().pointCursor().column};
    }
    int Level(int channel, int column) const {
        return state->document.Levels()[static_cast<size_t>(channel)][static_cast<size_t>(column)];
    }
};

TEST_F(Keyboard, APressOrTabFocusesTheChartWhereThePointerLastWas) {
    window->ui().SBWolkenT->setFocus();
    QTest::keyClick(window->ui().SBWolkenT, Qt::Key_Tab);
    EXPECT_TRUE(window->ui().pb->hasFocus()) << "after the visible controls";
    EXPECT_EQ(Point(), std::make_pair(1, 0));
    window->ui().SBWolkenT->setFocus();
    QTest::mouseMove(window->ui().pb, At(3, 29, 100));
    QTest::mousePress(window->ui().pb, Qt::RightButton, {}, At(3, 29, 100));
    QTest::mouseRelease(window->ui().pb, Qt::RightButton, {}, At(3, 29, 100));
    EXPECT_TRUE(window->ui().pb->hasFocus());
    EXPECT_EQ(Point(), std::make_pair(3, 29));
    QTest::mouseMove(window->ui().pb, At(2, 40, 100));
    EXPECT_EQ(Point(), std::make_pair(2, 40)) << "pointer moves carry it along";
}

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
            Key(s.key, s.modifiers);
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
        EXPECT_EQ(window->ui().pb->pointText(), QString::fromLatin1(c.digits) + QLatin1Char('%'));
        Key(Qt::Key_Return);
        EXPECT_EQ(Level(1, 0), c.level) << c.digits;
        EXPECT_EQ(window->ui().pb->pointText(), QString::fromUtf8(c.shown)) << c.digits;
    }
    Key(Qt::Key_4);
    Key(Qt::Key_Escape);
    Key(Qt::Key_Return);
    EXPECT_EQ(Level(1, 0), 255) << "Escape drops what was typed";
}

TEST_F(Keyboard, ChangesToOnePointAreOneStepAndTheStatusAndReaderFollow) {
    Focus();
    Key(Qt::Key_PageDown);
    for (int i = 0; i < 29; ++i)
        Key(Qt::Key_Right);
    for (const int key : {Qt::Key_Home, Qt::Key_Down, Qt::Key_7, Qt::Key_5, Qt::Key_Return})
        Key(key);
    EXPECT_EQ(state->document.undoStack().count(), 1);
    EXPECT_EQ(window->ui().PStat->text(),
              QStringLiteral("    Blau     7:15     Cursor: 75%     Punkt: 75%"));
    QAccessibleInterface *chart = QAccessible::queryAccessibleInterface(window->ui().pb);
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->text(QAccessible::Value), QStringLiteral("Blau 7:15 75%"));
    EXPECT_EQ(chart->text(QAccessible::Name), QStringLiteral("Dimmkurven"));
    window->ui().lbl->setCurrentRow(1);
    EXPECT_EQ(chart->text(QAccessible::Name), QStringLiteral("Dimming curves"));
    EXPECT_EQ(chart->text(QAccessible::Value), QStringLiteral("Blue 7:15 75%"));
    Key(Qt::Key_Right);
    Key(Qt::Key_Up);
    EXPECT_EQ(state->document.undoStack().count(), 2) << "another point, another step";
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Level(2, 29), 0);
}

// A point left and come back to is another step; keys with Ctrl, Alt or Meta are the
// window's, not the point cursor's; a percentage has at most three digits.
TEST_F(Keyboard, StepsPerVisitModifiedKeysAndThreeDigits) {
    Focus();
    for (const int key : {Qt::Key_Up, Qt::Key_Right, Qt::Key_Left, Qt::Key_Up, Qt::Key_PageDown,
                          Qt::Key_PageUp, Qt::Key_Up})
        Key(key);
    EXPECT_EQ(state->document.undoStack().count(), 3);
    EXPECT_EQ(Level(1, 0), 3);
    for (const Qt::KeyboardModifier modifier :
         {Qt::ControlModifier, Qt::AltModifier, Qt::MetaModifier}) {
        Key(Qt::Key_Up, modifier);
        Key(Qt::Key_Home, modifier);
        EXPECT_EQ(Level(1, 0), 3) << modifier;
        EXPECT_EQ(Point(), std::make_pair(1, 0)) << modifier;
    }
    for (const int key : {Qt::Key_1, Qt::Key_0, Qt::Key_0, Qt::Key_0})
        Key(key);
    EXPECT_EQ(window->ui().pb->pointText(), QStringLiteral("100%"));
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
        const PointCursor cursor = StartPointCursor(c.channel, c.column);
        EXPECT_EQ(std::make_pair(cursor.channel, cursor.column),
                  std::make_pair(c.startChannel, c.startColumn))
            << c.channel << "," << c.column;
    }
}

TEST_F(Keyboard, ToolsActOnThePointCursorsChannelWhileTheChartHasTheFocus) {
    SetLevels({{3, 10, 50}, {1, 10, 60}});
    QTest::mouseMove(window->ui().pb, At(1, 10, 100)); // the pointer names channel 1
    Focus();
    Key(Qt::Key_PageDown);
    Key(Qt::Key_PageDown);
    QTest::keyClick(window->ui().pb, Qt::Key_Delete);
    EXPECT_EQ(Level(3, 10), 0);
    EXPECT_EQ(Level(1, 10), 60);
}

} // namespace
