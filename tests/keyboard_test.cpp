#include "window_fixture.h"

#include <QAccessible>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>

using namespace dim;
using namespace dim::app;

namespace {

class KeyboardInWindow : public WindowTest {
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

TEST_F(KeyboardInWindow, APressOrTabFocusesTheChartWhereThePointerLastWas) {
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

// What screen readers are told of the chart is the editor's point, in the language in force.
TEST_F(KeyboardInWindow, TheChartsReaderFollowsThePointAndTheLanguage) {
    Focus();
    Key(Qt::Key_PageDown);
    for (int i = 0; i < 29; ++i)
        Key(Qt::Key_Right);
    for (const int key : {Qt::Key_7, Qt::Key_5, Qt::Key_Return})
        Key(key);
    EXPECT_EQ(window->ui().PStat->text(),
              QStringLiteral("    Blau     7:15     Cursor: 75%     Punkt: 75%"));
    QAccessibleInterface *chart = QAccessible::queryAccessibleInterface(window->ui().pb);
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->text(QAccessible::Value), QStringLiteral("Blau 7:15 75%"));
    EXPECT_EQ(chart->text(QAccessible::Name), QStringLiteral("Dimmkurven"));
    window->ui().lbl->setCurrentRow(1);
    EXPECT_EQ(chart->text(QAccessible::Name), QStringLiteral("Dimming curves"));
    EXPECT_EQ(chart->text(QAccessible::Value), QStringLiteral("Blue 7:15 75%"));
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Level(2, 29), 0) << "the window's undo shortcut reaches the history";
    // The reader's view of the chart goes with the window: one left behind would be handed
    // out for a later chart at the same address.
    const QAccessible::Id id = QAccessible::uniqueId(chart);
    window.reset();
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
}

// The tools' shortcuts act on the point cursor's channel while the chart has the focus.
TEST_F(KeyboardInWindow, ToolShortcutsReachTheChartsTools) {
    SetLevels({{3, 10, 50}, {1, 10, 60}});
    QTest::mouseMove(window->ui().pb, At(1, 10, 100));
    Focus();
    Key(Qt::Key_PageDown);
    Key(Qt::Key_PageDown);
    QTest::keyClick(window->ui().pb, Qt::Key_Delete);
    EXPECT_EQ(Level(3, 10), 0);
    EXPECT_EQ(Level(1, 10), 60);
}

} // namespace
