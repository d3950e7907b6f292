#include "app/budgetwindow.h"
#include "editor_fixture.h"
#include "window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

namespace {

using namespace dim;
using namespace dim::app;

class DayPlayWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window->editor().player().setClock(clock);
    }
    void After(qint64 ms) {
        clock.now += ms;
        window->editor().player().tick();
        QApplication::processEvents();
    }
    ChartView &chart() { return *window->ui().pb; }
    // The chart as the window system shows it: only what was asked to be repainted changes.
    QImage Screen() {
        const QRect at(chart().mapTo(window.get(), QPoint(0, 0)), chart().size());
        return chart()
            .screen()
            ->grabWindow(window->winId(), at.x(), at.y(), at.width(), at.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    HandClock clock;
};

TEST_F(DayPlayWindowTest, PlayingLeavesTheSurfaceAsPaintedAndNothingOnTheScreenAfter) {
    SetLevels({{1, 26, 255}, {2, 26, 128}, {4, 27, 60}});
    QApplication::processEvents();
    const QImage surface = chart().surface().copy();
    const QImage screen = Screen();

    QTest::keyClick(window.get(), Qt::Key_F5);
    After(6500);
    const PlayMark mark = chart().playMark();
    ASSERT_FALSE(mark.isNull());
    EXPECT_EQ(mark.time, QStringLiteral("6:30"));
    EXPECT_EQ(mark.percents[0], QStringLiteral("100%"));
    EXPECT_EQ(mark.percents[1], QStringLiteral("50%"));
    EXPECT_EQ(mark.names[3], QStringLiteral("Mond"));
    const QImage playing = Screen();
    EXPECT_EQ(playing.pixel(mark.line.center()), qRgb(0, 0, 0)); // the marker on the screen
    EXPECT_NE(playing, screen);
    EXPECT_EQ(chart().surface(), surface); // drawn on the screen only

    QTest::keyClick(window.get(), Qt::Key_F5); // pause: the time stays
    After(5000);
    EXPECT_EQ(chart().playMark().time, QStringLiteral("6:30"));
    window->ui().lbl->setCurrentRow(1); // the box follows the language
    EXPECT_EQ(chart().playMark().names[3], QStringLiteral("Moon"));
    window->ui().lbl->setCurrentRow(0);
    QApplication::processEvents();

    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->editor().player().active());
    EXPECT_TRUE(chart().playMark().isNull());
    QApplication::processEvents();
    EXPECT_EQ(chart().surface(), surface);
    EXPECT_EQ(Screen(), screen);
    EXPECT_FALSE(window->chartMenu().stopPlayAction()->isEnabled()); // Escape is free again
}

TEST_F(DayPlayWindowTest, TheMenuItemPlaysAndTheMarkerFollowsANewSize) {
    QAction *play = window->chartMenu().action(ToolText::PlayDay);
    EXPECT_TRUE(play->isEnabled()); // with no current channel too
    play->trigger();
    After(1000);
    const PlayMark mark = chart().playMark();
    EXPECT_EQ(mark.time, QStringLiteral("1:00"));
    // A new size lays the chart out anew: the marker follows it.
    window->resize(window->width() - 300, window->height());
    ASSERT_TRUE(QTest::qWaitFor([this] { return chart().painted(); }));
    const PlayMark moved = chart().playMark();
    EXPECT_EQ(moved.line, PlayMarkPlace(geometry(), 60, moved.box.size()).line);
    EXPECT_NE(moved.line, mark.line);
}

class BudgetWindowTest : public WindowTest {
protected:
    BudgetWindow *Open() {
        window->chartMenu().action(ToolText::LightBudget)->trigger();
        return window->chartMenu().budgetWindow();
    }
    QString Shown(BudgetWindow *budget, const char *name) {
        return budget->findChild<QLabel *>(QLatin1String(name))->text();
    }
    QLineEdit *Field(BudgetWindow *budget, const char *name) {
        return budget->findChild<QLineEdit *>(QLatin1String(name));
    }
};

TEST_F(BudgetWindowTest, ItFollowsAnEditAndItsUndo) {
    BudgetWindow *budget = Open();
    ASSERT_NE(budget, nullptr);
    EXPECT_TRUE(budget->isVisible());
    EXPECT_FALSE(budget->isModal());
    EXPECT_EQ(Shown(budget, "lit1"), QStringLiteral("0:00"));
    EXPECT_EQ(Shown(budget, "dark1"), QStringLiteral("24:00"));
    CurveData curves;
    for (int column = 0; column < FilePoints; ++column)
        curves.Levels[1][static_cast<size_t>(column)] = column < 48 ? 255 : 0;
    SetLevels(curves);
    Field(budget, "watts1")->setText(QStringLiteral("40"));
    EXPECT_EQ(Shown(budget, "lit1"), QStringLiteral("12:00"));
    EXPECT_EQ(Shown(budget, "dark1"), QStringLiteral("12:00"));
    EXPECT_EQ(Shown(budget, "hours1"), QStringLiteral("12,00"));
    EXPECT_EQ(Shown(budget, "energy1"), QStringLiteral("480,0"));
    EXPECT_EQ(Shown(budget, "energyTotal"), QStringLiteral("480,0"));
    state->document.undo();
    EXPECT_EQ(Shown(budget, "lit1"), QStringLiteral("0:00"));

    window->ui().lbl->setCurrentRow(1); // relabelled, decimals the language's
    EXPECT_EQ(budget->windowTitle(), QStringLiteral("Light budget"));
    EXPECT_EQ(Shown(budget, "hours1"), QStringLiteral("0.00"));
    EXPECT_EQ(Open(), budget); // a second time: the same window
    EXPECT_EQ(window->findChildren<BudgetWindow *>().size(), 1);
    window->close();
    EXPECT_FALSE(budget->isVisible()); // it goes with the main window
}

TEST_F(BudgetWindowTest, ARefusedEntryIsShownAsRefused) {
    BudgetWindow *budget = Open();
    SetLevels({{2, 0, 255}});
    Field(budget, "ppfd1")->setText(QStringLiteral("500"));
    QLineEdit *watts = Field(budget, "watts2");
    watts->setText(QStringLiteral("-5")); // what ParseFigure refuses
    EXPECT_TRUE(watts->property("refused").toBool());
    EXPECT_FALSE(watts->toolTip().isEmpty());
    EXPECT_EQ(Shown(budget, "energy2"), QStringLiteral("–"));
    EXPECT_EQ(Shown(budget, "energyTotal"), QStringLiteral("–"));
    EXPECT_FALSE(budget->findChild<QLabel *>(QStringLiteral("refusedNote"))->isHidden());
    EXPECT_EQ(Shown(budget, "dliTotal"), QStringLiteral("0,00")); // PPFD stands
    Field(budget, "watts2")->setText(QStringLiteral("2,4"));
    EXPECT_FALSE(Field(budget, "watts2")->property("refused").toBool());
    EXPECT_EQ(Shown(budget, "energy2"), QStringLiteral("0,6")); // 2.4 W x 0.25 h
    EXPECT_TRUE(budget->findChild<QLabel *>(QStringLiteral("refusedNote"))->isHidden());
}

} // namespace
