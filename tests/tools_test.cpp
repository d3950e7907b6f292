#include "window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

using namespace dim;
using namespace dim::app;

namespace {

class Tools : public WindowTest {
protected:
    void Hover(int channel, int column) {
        QTest::mouseMove(window->ui().pb, At(channel, column, 128));
    }
    void Keys(int key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(window.get(), static_cast<Qt::Key>(key), modifiers);
    }
    LevelRow Row(int channel) const {
        return state->document.Levels()[static_cast<size_t>(channel)];
    }
    // Runs action while its modal dialog is answered by answer.
    void WithDialog(QAction *action, const std::function<void(QDialog *)> &answer) {
        QTimer::singleShot(0, window.get(), [answer] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            answer(dialog);
        });
        action->trigger();
    }
    QAction *Tool(ToolText text) { return window->chartMenu().action(text); }
};

TEST_F(Tools, CopyOneChannelAndPasteItIntoAnotherAsOneStep) {
    CurveData curves;
    for (size_t k = 0; k < 96; ++k)
        curves.Levels[2][k] = static_cast<int>(k * 2);
    SetLevels(curves);
    const int steps = state->document.undoStack().count();
    Hover(2, 10);
    Keys(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("0,2,4,6,")));
    Hover(3, 10);
    Keys(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Row(3), Row(2));
    EXPECT_EQ(state->document.undoStack().count(), steps + 1);
    Keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Row(3), LevelRow{});
    EXPECT_EQ(Row(2), curves.Levels[2]);
}

TEST_F(Tools, ARefusedPasteSaysWhyInTheLanguageAndChangesNothing) {
    window->ui().lbl->setCurrentRow(2);
    Hover(1, 5);
    QGuiApplication::clipboard()->setText(QStringLiteral("1,2,300"));
    Keys(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(services.notices, QStringList(QString::fromUtf8(
                                    "Collage impossible|La valeur 3 n'est pas comprise entre 0 "
                                    "et 255 : 300.")));
    EXPECT_EQ(Row(1), LevelRow{});
    EXPECT_EQ(state->document.undoStack().count(), 0);
}

// Without a current channel the tools do nothing; the menu follows the language list.
TEST_F(Tools, ToolsWaitForAChannelAndTheMenuSpeaksTheLanguage) {
    EXPECT_FALSE(Tool(ToolText::Clear)->isEnabled());
    EXPECT_TRUE(Tool(ToolText::ContinuousStrokes)->isEnabled());
    EXPECT_FALSE(window->editor().continuousStrokes());
    Hover(4, 3);
    EXPECT_TRUE(Tool(ToolText::Clear)->isEnabled());
    EXPECT_EQ(Tool(ToolText::Smooth)->text(), QString::fromUtf8("&Glätten"));
    window->ui().lbl->setCurrentRow(3);
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

TEST_F(Tools, AQuickCtrlDragLeavesNoColumnBetweenItsEndsUntouched) {
    const int y = At(2, 0, 200).y();
    QTest::mousePress(window->ui().pb, Qt::LeftButton, Qt::ControlModifier,
                      QPoint(At(2, 10, 0).x(), y));
    for (const int column : {14, 21, 30})
        QTest::mouseMove(window->ui().pb, QPoint(At(2, column, 0).x(), y));
    QTest::mouseRelease(window->ui().pb, Qt::LeftButton, Qt::ControlModifier,
                        QPoint(At(2, 30, 0).x(), y));
    const int level = Row(2)[10];
    EXPECT_GT(level, 0);
    for (int column = 0; column < 96; ++column)
        EXPECT_EQ(Row(2)[static_cast<size_t>(column)], column >= 10 && column <= 30 ? level : 0)
            << column;
    EXPECT_EQ(state->document.undoStack().count(), 1);
}

// The dialog shows its curve on the chart while open; Cancel leaves the channel and the
// chart as they were, OK makes it one step.
TEST_F(Tools, TheDaylightDialogPreviewsAndCancelLeavesTheChannel) {
    Hover(1, 50);
    window->ui().Timer2->stop();
    window->PaintCurves(true);
    const QImage before = window->ui().pb->surface();
    const QPoint noon = At(1, 48, 255);
    bool previewed = false;
    WithDialog(Tool(ToolText::Daylight), [&](QDialog *dialog) {
        dialog->findChild<QComboBox *>(QStringLiteral("ramp"))->setCurrentIndex(4); // 60 min
        previewed = window->ui().pb->surface().pixel(noon) != before.pixel(noon);
        dialog->reject();
    });
    EXPECT_TRUE(previewed);
    EXPECT_EQ(window->ui().pb->surface(), before);
    EXPECT_EQ(Row(1), LevelRow{});

    WithDialog(Tool(ToolText::Daylight), [](QDialog *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("peak"))->setText(QStringLiteral("50"));
        dialog->accept();
    });
    EXPECT_EQ(Row(1)[48], 128); // 50 % between 08:00 and 20:00
    EXPECT_EQ(Row(1)[20], 0);   // 05:00
    EXPECT_EQ(state->document.undoStack().count(), 1);
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
        window->ui().lbl->setCurrentRow(language);
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

} // namespace
