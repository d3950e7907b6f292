#include "edit/history.h"
#include "window_fixture.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

namespace {

class History : public ::testing::Test {
protected:
    void Write(int row, int column, int value) {
        int32_t &cell = data.Levels[static_cast<size_t>(row)][static_cast<size_t>(column)];
        history.recordCellWrite(row, column, cell, value);
        cell = value;
    }
    CurveData data;
    Settings settings;
    EditHistory history{data, settings};
};

TEST_F(History, ADragIsOneStepBackToTheValuesBeforeIt) {
    data.Levels[2][5] = 7;
    Write(2, 5, 100);
    Write(2, 6, 110);
    Write(2, 5, 120); // the same cell again in the same drag
    history.finishDrag();
    EXPECT_EQ(history.count(), 1);
    EXPECT_EQ(history.cellsHeld(), 2u);
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(data.Levels[2][5], 7);
    EXPECT_EQ(data.Levels[2][6], 0);
    ASSERT_TRUE(history.redo());
    EXPECT_EQ(data.Levels[2][5], 120);
    EXPECT_EQ(data.Levels[2][6], 110);
    EXPECT_FALSE(history.redo());
}

TEST_F(History, ADragThatChangesNothingLeavesNoStep) {
    Write(1, 1, 0);
    history.finishDrag();
    EXPECT_EQ(history.count(), 0);
    EXPECT_FALSE(history.undo());
}

TEST_F(History, UndoFinishesAnOpenDragFirst) {
    Write(1, 3, 50);
    EXPECT_TRUE(history.dragOpen());
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(data.Levels[1][3], 0);
    EXPECT_FALSE(history.dragOpen());
}

TEST_F(History, ANewEditClearsTheRedoSteps) {
    Write(1, 1, 10);
    history.finishDrag();
    Write(1, 2, 20);
    history.finishDrag();
    history.undo();
    EXPECT_TRUE(history.canRedo());
    Write(1, 3, 30);
    history.finishDrag();
    EXPECT_FALSE(history.canRedo());
    history.undo();
    history.undo();
    EXPECT_EQ(data.Levels[1][1], 0);
    EXPECT_EQ(data.Levels[1][2], 0);
    EXPECT_EQ(data.Levels[1][3], 0);
}

TEST_F(History, TableChangesKeepOnlyChangedCellsAndTheFileSettings) {
    data.Levels[3][4] = 90;
    data.Levels[0][127] = 5;
    data.Levels[10][200] = 6; // outside the cleared columns
    const LevelTable before = data.Levels;
    const FileSettings settingsBefore = FileSettingsOf(settings);
    ClearLevels(data);
    settings.SBWolkenT.setPosition(40);
    history.recordTableChange(before, settingsBefore, QStringLiteral("new"));
    EXPECT_EQ(history.cellsHeld(), 2u);
    history.undo();
    EXPECT_EQ(data.Levels, before);
    EXPECT_EQ(settings.SBWolkenT.position(), 1);
    history.redo();
    EXPECT_EQ(data.Levels[3][4], 0);
    EXPECT_EQ(settings.SBWolkenT.position(), 40);
}

TEST_F(History, StepsAreBounded) {
    for (int i = 0; i < EditHistory::StepLimit + 50; ++i) {
        Write(1 + i % 4, i % 96, 1 + i % 255);
        history.finishDrag();
    }
    EXPECT_EQ(history.count(), EditHistory::StepLimit);
    int undone = 0;
    while (history.undo())
        ++undone;
    EXPECT_EQ(undone, EditHistory::StepLimit);
}

class UndoWindow : public WindowTest {
protected:
    void Drag(int channel, int fromColumn, int toColumn, int level) {
        const int y = At(channel, 0, level).y();
        QTest::mousePress(window->pb, Qt::LeftButton, {},
                          QPoint(At(channel, fromColumn, 0).x(), y));
        for (int col = fromColumn + 1; col <= toColumn; ++col)
            QTest::mouseMove(window->pb, QPoint(At(channel, col, 0).x(), y));
        QTest::mouseRelease(window->pb, Qt::LeftButton, {},
                            QPoint(At(channel, toColumn, 0).x(), y));
    }
    void Keys(int key, Qt::KeyboardModifiers modifiers, QWidget *target = nullptr) {
        QTest::keyClick(target ? target : QApplication::focusWidget(), key, modifiers);
    }
};

// Only the left button captures: a right-button drag that leaves the chart is not followed.
TEST_F(UndoWindow, ARightButtonDragOutOfTheChartIsNotFollowed) {
    const QPoint inside = At(2, 10, 100);
    const auto send = [this](QEvent::Type type, QPoint at, Qt::MouseButton button,
                             Qt::MouseButtons held) {
        QMouseEvent event(type, at, window->pb->mapToGlobal(at), button, held, {});
        QApplication::sendEvent(window->pb, &event);
    };
    send(QEvent::MouseButtonPress, inside, Qt::RightButton, Qt::RightButton);
    const QString status = window->PStat->text();
    EXPECT_EQ(state->cursor.CursorChannel, 2);
    for (const QPoint outside :
         {QPoint(-40, inside.y()), QPoint(inside.x(), -300), QPoint(window->pb->width() + 5, 20)})
        send(QEvent::MouseMove, outside, Qt::NoButton, Qt::RightButton);
    send(QEvent::MouseButtonRelease, QPoint(-40, 0), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(window->PStat->text(), status);
    EXPECT_EQ(state->cursor.CursorChannel, 2);
    EXPECT_EQ(state->cursor.CursorColumn, 10);
}

TEST_F(UndoWindow, CtrlZUndoesAWholeDragAndTheRedoKeysBringItBack) {
    Drag(2, 10, 20, 200);
    Drag(3, 30, 35, 100);
    const CurveData afterBoth = state->curves;
    EXPECT_GT(afterBoth.Levels[2][15], 150);

    Keys(Qt::Key_Z, Qt::ControlModifier);
    for (int col = 30; col <= 35; ++col)
        EXPECT_EQ(state->curves.Levels[3][static_cast<size_t>(col)], 0);
    EXPECT_EQ(state->curves.Levels[2], afterBoth.Levels[2]);
    // The chart is repainted in full at once: no marker left at the undone level.
    const QPoint p = At(3, 32, afterBoth.Levels[3][32]);
    EXPECT_NE(window->pb->surface().pixel(p.x() - 1, p.y() - 1), qRgb(255, 0, 0));

    Keys(Qt::Key_Z, Qt::ControlModifier, window->lbl); // focus elsewhere in the window
    EXPECT_EQ(state->curves.Levels[2][15], 0);
    Keys(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(state->curves.Levels[2], afterBoth.Levels[2]);
    Keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, window->SBWolkenT);
    EXPECT_EQ(state->curves.Levels, afterBoth.Levels);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kelmaro Brantoq"));
}

TEST_F(UndoWindow, NewAndLoadAreStepsWithTheirSettings) {
    QTemporaryDir dir;
    CurveData file;
    file.Levels[1].fill(33);
    Settings fileSettings;
    fileSettings.SBWolkenT.setPosition(77);
    const QString path = dir.filePath(QStringLiteral("P5.DIM"));
    ::SaveDimFile(SystemFileSystem(), clock, path, file, fileSettings);

    Drag(1, 0, 4, 255);
    services.fileAnswers.push_back(path);
    window->Button1->click();
    EXPECT_EQ(state->curves.Levels[1][2], 33);
    EXPECT_EQ(window->SBWolkenT->value(), 77);

    services.confirmAnswers.push_back(1);
    window->Button4->click();
    EXPECT_EQ(state->curves.Levels[1][2], 0);

    Keys(Qt::Key_Z, Qt::ControlModifier); // back before New
    EXPECT_EQ(state->curves.Levels[1][2], 33);
    Keys(Qt::Key_Z, Qt::ControlModifier); // back before Load
    EXPECT_EQ(state->curves.Levels[1][2], 255);
    EXPECT_EQ(window->SBWolkenT->value(), 1);
    EXPECT_EQ(state->settings.SBWolkenT.position(), 1);
    EXPECT_EQ(window->windowTitle(), path); // the caption stays
    Keys(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(window->SBWolkenT->value(), 77);
    EXPECT_EQ(state->curves.Levels[1][2], 33);
}

} // namespace
