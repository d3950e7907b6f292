// The chart's menu and its dialogs over the chart editor, without the main window; the
// preview of the daylight dialog on the window's chart.

#include "app/chartmenu.h"
#include "editor_fixture.h"
#include "window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

using namespace dim;
using namespace dim::app;

namespace {

class Tools : public EditorTest {
protected:
    void Hover(int channel, int column) { Move(At(channel, column, 128)); }
    QAction *Tool(ToolText text) { return menu.action(text); }
    void Language(int language) {
        document.setLanguage(language);
        editor.setLanguage(language);
        menu.relabel(language);
    }

    QWidget host;
    ChartMenu menu{editor, document, host};
};

// Without a current channel the tools do nothing; the menu follows the language list.
TEST_F(Tools, ToolsWaitForAChannelAndTheMenuSpeaksTheLanguage) {
    EXPECT_FALSE(Tool(ToolText::Clear)->isEnabled());
    EXPECT_TRUE(Tool(ToolText::ContinuousStrokes)->isEnabled());
    EXPECT_FALSE(editor.continuousStrokes());
    Hover(4, 3);
    EXPECT_TRUE(Tool(ToolText::Clear)->isEnabled());
    EXPECT_EQ(Tool(ToolText::Smooth)->text(), QString::fromUtf8("&Glätten"));
    Language(3);
    EXPECT_EQ(Tool(ToolText::Smooth)->text(), QStringLiteral("&Suavizar"));
    EXPECT_EQ(Tool(ToolText::ShiftHourLater)->shortcut(),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right));
}

TEST_F(Tools, EachShiftMovesTheCurveItsWayAroundMidnight) {
    const struct {
        ToolText tool;
        int to; // where the point at 0:15 goes
    } cases[] = {{ToolText::ShiftEarlier, 0},
                 {ToolText::ShiftLater, 2},
                 {ToolText::ShiftHourEarlier, 93},
                 {ToolText::ShiftHourLater, 5}};
    for (const auto &c : cases) {
        CurveData curves;
        curves.Levels[2][1] = 200;
        SetLevels(curves);
        Hover(2, 30);
        Tool(c.tool)->trigger();
        for (int column = 0; column < 96; ++column)
            EXPECT_EQ(Row(2)[static_cast<size_t>(column)], column == c.to ? 200 : 0)
                << static_cast<int>(c.tool) << " column " << column;
    }
}

// The daylight dialog starts with a day for the lights and a night for the moon.
TEST_F(Tools, TheDaylightDialogStartsWithEachChannelsDay) {
    for (const int channel : {1, 2, 3, 4}) {
        Hover(channel, 30);
        WithDialog(Tool(ToolText::Daylight), [&](QDialog *dialog) {
            const auto text = [dialog](const char *name) {
                if (auto *box = dialog->findChild<QComboBox *>(QLatin1String(name)))
                    return box->currentText();
                return dialog->findChild<QLineEdit *>(QLatin1String(name))->text();
            };
            const bool moon = channel == 4;
            EXPECT_EQ(text("start"), moon ? QStringLiteral("20:00") : QStringLiteral("08:00"));
            EXPECT_EQ(text("end"), moon ? QStringLiteral("06:00") : QStringLiteral("20:00"));
            EXPECT_EQ(text("ramp"), moon ? QStringLiteral("60") : QStringLiteral("120"));
            EXPECT_EQ(text("peak"), moon ? QStringLiteral("10") : QStringLiteral("100"));
            EXPECT_EQ(text("base"), QStringLiteral("0"));
            dialog->reject();
        });
    }
}

// The dialogs open with the focus in their first field, its text selected; Return takes
// what was typed, checked against the unit in force at that moment; a value out of range is
// refused beside the field, never cut, and the dialog stays open.
TEST_F(Tools, TheDialogsTakeWhatIsTypedAndRefuseWhatIsOutOfRange) {
    struct Case {
        ToolText tool;
        const char *typed;
        int unitBefore, unitAtOk; // Fill's unit while typing and at OK; -1 for none
        std::optional<int> level; // the point's level after OK; nullopt: refused
    } const cases[] = {
        {ToolText::Fill, "30", -1, -1, 77},
        {ToolText::Fill, " +0030 ", -1, -1, 77},
        {ToolText::Fill, "200", 0, 1, 200},
        {ToolText::Fill, "200", 1, 0, std::nullopt},
        {ToolText::Fill, "101", -1, -1, std::nullopt},
        {ToolText::Fill, "255", 1, 1, 255},
        {ToolText::Fill, "256", 1, 1, std::nullopt},
        {ToolText::Scale, "50", -1, -1, 50},
        {ToolText::Scale, "99999", -1, -1, std::nullopt},
        {ToolText::Scale, "1e3", -1, -1, std::nullopt},
        {ToolText::Scale, "0", -1, -1, std::nullopt},
        {ToolText::Scale, "1000", -1, -1, 255},
    };
    for (const Case &c : cases) {
        SetLevels({{1, 40, 100}});
        Hover(1, 40);
        bool stayed = false;
        WithDialog(Tool(c.tool), [&](QDialog *dialog) {
            auto *field = qobject_cast<QLineEdit *>(dialog->focusWidget());
            ASSERT_NE(field, nullptr) << "the focus starts in the value";
            EXPECT_EQ(field->selectedText(), field->text());
            auto *unit = dialog->findChild<QComboBox *>(QStringLiteral("unit"));
            if (c.unitBefore >= 0)
                unit->setCurrentIndex(c.unitBefore);
            QTest::keyClicks(field, QString::fromLatin1(c.typed));
            if (c.unitAtOk >= 0)
                unit->setCurrentIndex(c.unitAtOk);
            QTest::keyClick(field, Qt::Key_Return);
            stayed = dialog->isVisible();
            if (stayed) {
                EXPECT_EQ(field->text(), QString::fromLatin1(c.typed)) << "never cut";
                EXPECT_TRUE(
                    dialog->findChild<QLabel *>(field->objectName() + QStringLiteral("Problem"))
                        ->isVisible());
                dialog->reject();
            }
        });
        EXPECT_EQ(stayed, !c.level) << c.typed;
        EXPECT_EQ(Row(1)[40], c.level.value_or(100)) << c.typed;
    }
}

TEST_F(Tools, OkWaitsForAValueAndTheDialogsShowTheirWholeTitle) {
    Hover(1, 40);
    for (const int language : {0, 1, 2, 3}) {
        Language(language);
        for (const ToolText tool : {ToolText::Fill, ToolText::Scale, ToolText::Daylight}) {
            WithDialog(Tool(tool), [&](QDialog *dialog) {
                const int title =
                    QFontMetrics(QApplication::font()).horizontalAdvance(dialog->windowTitle());
                EXPECT_GT(dialog->width(), title + 100) << dialog->windowTitle().toStdString();
                if (tool != ToolText::Daylight) {
                    auto *field = qobject_cast<QLineEdit *>(dialog->focusWidget());
                    auto *ok =
                        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
                    field->setText(QStringLiteral(" "));
                    EXPECT_FALSE(ok->isEnabled());
                    field->setText(QStringLiteral("5"));
                    EXPECT_TRUE(ok->isEnabled());
                } else {
                    EXPECT_EQ(dialog->focusWidget()->objectName(), QStringLiteral("start"));
                }
                dialog->reject();
            });
        }
    }
}

// Undo and redo are the history's own actions, named after the step they undo in the
// language in force, also after the language changed; they end a stroke under way first.
TEST_F(Tools, UndoAndRedoNameTheirStepInTheLanguageInForce) {
    Language(0);
    EXPECT_FALSE(menu.undoAction()->isEnabled());
    EXPECT_EQ(menu.menu()->actions().value(0), menu.undoAction());
    EXPECT_EQ(menu.menu()->actions().value(1), menu.redoAction());
    Hover(2, 30);
    Tool(ToolText::Smooth)->trigger();
    SetLevels({{2, 30, 40}});
    Tool(ToolText::Smooth)->trigger();
    document.undo();
    EXPECT_TRUE(menu.undoAction()->text().contains(QString::fromUtf8("Einfügen")))
        << menu.undoAction()->text().toStdString();
    EXPECT_TRUE(menu.redoAction()->text().contains(QString::fromUtf8("Glätten")));
    Language(1);
    EXPECT_TRUE(menu.undoAction()->text().contains(QStringLiteral("Paste")))
        << menu.undoAction()->text().toStdString();
    EXPECT_TRUE(menu.redoAction()->text().contains(QStringLiteral("Smooth")));
    EXPECT_EQ(menu.menu()->actions().value(0), menu.undoAction()) << "in its place";
    EXPECT_TRUE(menu.undoAction()->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Z)));
    EXPECT_TRUE(menu.redoAction()->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
    // A stroke under way is what undo takes back.
    const int y = At(1, 0, 200).y();
    Press(QPoint(At(1, 10, 0).x(), y));
    menu.undoAction()->trigger();
    EXPECT_EQ(Level(1, 10), 0);
    EXPECT_EQ(Level(2, 30), 40) << "the step before the stroke stays";
    // Moving on with the button held, Ctrl now held, joins nothing to the stroke undone.
    Move(QPoint(At(1, 30, 0).x(), y), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(Level(1, 20), 0);
}

using Preview = WindowTest;

// The dialog shows its curve on the chart while open; Cancel leaves the channel and the
// chart as they were, OK makes it one step.
TEST_F(Preview, TheDaylightDialogPreviewsAndCancelLeavesTheChannel) {
    QTest::mouseMove(window->ui().pb, At(1, 50, 128));
    window->ui().Timer2->stop();
    window->PaintCurves(true);
    const QImage before = window->ui().pb->surface();
    const QPoint noon = At(1, 48, 255);
    bool previewed = false;
    WithDialog(window->chartMenu().action(ToolText::Daylight), [&](QDialog *dialog) {
        dialog->findChild<QComboBox *>(QStringLiteral("ramp"))->setCurrentIndex(4); // 60 min
        previewed = window->ui().pb->surface().pixel(noon) != before.pixel(noon);
        dialog->reject();
    });
    EXPECT_TRUE(previewed);
    EXPECT_EQ(window->ui().pb->surface(), before);
    EXPECT_EQ(state->document.Levels()[1], LevelRow{});

    WithDialog(window->chartMenu().action(ToolText::Daylight), [](QDialog *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("peak"))->setText(QStringLiteral("50"));
        dialog->accept();
    });
    EXPECT_EQ(state->document.Levels()[1][48], 128); // 50 % between 08:00 and 20:00
    EXPECT_EQ(state->document.Levels()[1][20], 0);   // 05:00
    EXPECT_EQ(state->document.undoStack().count(), 1);
}

} // namespace
