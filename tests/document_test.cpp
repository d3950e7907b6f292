#include "edit/document.h"
#include "window_fixture.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

using namespace dim;
using namespace dim::app;

namespace {

class Document : public ::testing::Test {
protected:
    void SetUp() override {
        QObject::connect(&document, &CurveDocument::changed,
                         [this](const CurveChange &change) { changes.push_back(change); });
    }
    void Write(int row, int column, int value) { document.writeStrokeCell(row, column, value); }
    int Level(int row, int column) const {
        return document.Levels()[static_cast<size_t>(row)][static_cast<size_t>(column)];
    }
    static CurveChange Rows(std::initializer_list<int> rows, bool settings = false) {
        CurveChange change;
        for (const int row : rows)
            change.rows |= static_cast<uint16_t>(1u << row);
        change.settings = settings;
        return change;
    }
    int count() const { return document.undoStack().count(); }

    CurveDocument document;
    std::vector<CurveChange> changes;
};

TEST_F(Document, AStrokeIsOneStepBackToTheValuesBeforeIt) {
    Write(2, 5, 100);
    Write(2, 6, 110);
    Write(2, 5, 120); // the same cell again in the same stroke
    EXPECT_EQ(Level(2, 5), 120) << "written at once";
    CurveChange stroke = Rows({2});
    stroke.stroke = true;
    EXPECT_EQ(changes, (std::vector<CurveChange>(3, stroke))) << "each cell announced at once";
    changes.clear();
    document.endStroke();
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(document.cellsHeld(), 2u);
    ASSERT_TRUE(document.undo());
    EXPECT_EQ(Level(2, 5), 0);
    EXPECT_EQ(Level(2, 6), 0);
    ASSERT_TRUE(document.redo());
    EXPECT_EQ(Level(2, 5), 120);
    EXPECT_FALSE(document.redo());
    EXPECT_EQ(changes, (std::vector<CurveChange>{stroke, Rows({2}), Rows({2})}));
}

TEST_F(Document, AStrokeThatChangesNothingLeavesNoStep) {
    Write(1, 1, 0);
    document.endStroke();
    EXPECT_EQ(count(), 0);
    EXPECT_FALSE(document.undo());
    EXPECT_TRUE(changes.empty());
}

TEST_F(Document, UndoEndsAnOpenStrokeFirst) {
    Write(1, 3, 50);
    EXPECT_TRUE(document.strokeOpen());
    ASSERT_TRUE(document.undo());
    EXPECT_EQ(Level(1, 3), 0);
    EXPECT_FALSE(document.strokeOpen());
}

TEST_F(Document, ANewEditClearsTheRedoSteps) {
    for (const int column : {1, 2}) {
        Write(1, column, 10 * column);
        document.endStroke();
    }
    document.undo();
    EXPECT_TRUE(document.undoStack().canRedo());
    Write(1, 3, 30);
    document.endStroke();
    EXPECT_FALSE(document.undoStack().canRedo());
    document.undo();
    document.undo();
    EXPECT_EQ(Level(1, 1) + Level(1, 2) + Level(1, 3), 0);
}

// New keeps only the cells it changed, in every row it cleared; Load names the four
// channels and the settings; each undoes whole.
TEST_F(Document, NewAndLoadAreStepsThatNameWhatTheyChanged) {
    LevelTable levels{};
    levels[3][4] = 90;
    levels[0][127] = 5;
    levels[10][200] = 6; // outside the cleared columns
    document.change(levels, FileSettings::fromStored(40, 0, 0), ToolText::Paste);
    changes.clear();
    document.clear();
    EXPECT_EQ(changes, std::vector<CurveChange>{Rows({0, 3})});
    EXPECT_EQ(document.cellsHeld(), 3u + 2u);
    EXPECT_EQ(Level(10, 200), 6);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("P1.DIM"));
    CurveData file;
    file.Levels[2][7] = 70;
    SaveDimFile(SystemFileSystem(), SystemClock(), path, file, FileSettings::fromStored(9, 8, 7),
                Settings());
    changes.clear();
    EXPECT_EQ(document.load(SystemFileSystem(), path), LoadResult::Loaded);
    EXPECT_EQ(changes, std::vector<CurveChange>{Rows({2}, true)});
    EXPECT_EQ(document.fileSettings(), FileSettings::fromStored(9, 8, 7));
    document.undo();
    document.undo();
    EXPECT_EQ(document.Levels(), levels);
    EXPECT_EQ(document.fileSettings().SBWolkenT.position(), 40);
}

TEST_F(Document, CloudSpeedMovesAreOneStepAndASaveMarksTheCleanState) {
    for (const int speed : {5, 9, 14})
        document.setCloudSpeed(speed);
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(changes.back(), Rows({}, true));
    EXPECT_FALSE(document.isClean());
    QTemporaryDir dir;
    document.save(SystemFileSystem(), SystemClock(), dir.filePath(QStringLiteral("P2.DIM")),
                  Settings());
    EXPECT_TRUE(document.isClean());
    document.undo();
    EXPECT_EQ(document.fileSettings().SBWolkenT.position(), 1);
    EXPECT_FALSE(document.isClean());
}

// Key changes that bring a cell back to where it was leave no step; neither do cloud-speed
// moves back to the start.
TEST_F(Document, RunsThatEndWhereTheyBeganLeaveNoStep) {
    document.setLevel(1, 7, 40, 1);
    document.setLevel(1, 7, 60, 1);
    EXPECT_EQ(count(), 1);
    document.setLevel(1, 7, 0, 1);
    EXPECT_EQ(count(), 0);
    EXPECT_FALSE(document.isModified());
    document.setCloudSpeed(9);
    document.setCloudSpeed(1);
    EXPECT_EQ(count(), 0);
    EXPECT_FALSE(document.undo());
}

TEST_F(Document, StepsAreBounded) {
    for (int i = 0; i < CurveDocument::StepLimit + 50; ++i) {
        Write(1 + i % 4, i % 96, 1 + i % 255);
        document.endStroke();
    }
    EXPECT_EQ(count(), CurveDocument::StepLimit);
    int undone = 0;
    while (document.undo())
        ++undone;
    EXPECT_EQ(undone, CurveDocument::StepLimit);
}

class UndoWindow : public WindowTest {
protected:
    void Drag(int channel, int fromColumn, int toColumn, int level) {
        const int y = At(channel, 0, level).y();
        QTest::mousePress(window->ui().pb, Qt::LeftButton, {},
                          QPoint(At(channel, fromColumn, 0).x(), y));
        for (int col = fromColumn + 1; col <= toColumn; ++col)
            QTest::mouseMove(window->ui().pb, QPoint(At(channel, col, 0).x(), y));
        QTest::mouseRelease(window->ui().pb, Qt::LeftButton, {},
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
        QMouseEvent event(type, at, window->ui().pb->mapToGlobal(at), button, held, {});
        QApplication::sendEvent(window->ui().pb, &event);
    };
    send(QEvent::MouseButtonPress, inside, Qt::RightButton, Qt::RightButton);
    const QString status = window->ui().PStat->text();
    EXPECT_EQ(state->cursor.CursorChannel, 2);
    for (const QPoint outside : {QPoint(-40, inside.y()), QPoint(inside.x(), -300),
                                 QPoint(window->ui().pb->width() + 5, 20)})
        send(QEvent::MouseMove, outside, Qt::NoButton, Qt::RightButton);
    send(QEvent::MouseButtonRelease, QPoint(-40, 0), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(window->ui().PStat->text(), status);
    EXPECT_EQ(state->cursor.CursorChannel, 2);
    EXPECT_EQ(state->cursor.CursorColumn, 10);
}

TEST_F(UndoWindow, CtrlZUndoesAWholeDragAndTheRedoKeysBringItBack) {
    Drag(2, 10, 20, 200);
    Drag(3, 30, 35, 100);
    const LevelTable afterBoth = state->document.Levels();
    EXPECT_GT(afterBoth[2][15], 150);

    Keys(Qt::Key_Z, Qt::ControlModifier);
    for (int col = 30; col <= 35; ++col)
        EXPECT_EQ(state->document.Levels()[3][static_cast<size_t>(col)], 0);
    EXPECT_EQ(state->document.Levels()[2], afterBoth[2]);
    // The chart is repainted in full at once: no marker left at the undone level.
    const QPoint p = At(3, 32, afterBoth[3][32]);
    EXPECT_NE(window->ui().pb->surface().pixel(p.x() - 1, p.y() - 1), qRgb(255, 0, 0));

    Keys(Qt::Key_Z, Qt::ControlModifier, window->ui().lbl); // focus elsewhere in the window
    EXPECT_EQ(state->document.Levels()[2][15], 0);
    Keys(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(state->document.Levels()[2], afterBoth[2]);
    Keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, window->ui().SBWolkenT);
    EXPECT_EQ(state->document.Levels(), afterBoth);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kelmaro Brantoq"));
}

TEST_F(UndoWindow, NewAndLoadAreStepsWithTheirSettings) {
    QTemporaryDir dir;
    CurveData file;
    file.Levels[1].fill(33);
    const FileSettings fileSettings = FileSettings::fromStored(77, 0, 0);
    const QString path = dir.filePath(QStringLiteral("P5.DIM"));
    ::SaveDimFile(SystemFileSystem(), clock, path, file, fileSettings, Settings());

    Drag(1, 0, 4, 255);
    services.fileAnswers.push_back(path);
    window->ui().Button1->click();
    EXPECT_EQ(state->document.Levels()[1][2], 33);
    EXPECT_EQ(window->ui().SBWolkenT->value(), 77);

    services.confirmAnswers.push_back(1);
    window->ui().Button4->click();
    EXPECT_EQ(state->document.Levels()[1][2], 0);

    Keys(Qt::Key_Z, Qt::ControlModifier); // back before New
    EXPECT_EQ(state->document.Levels()[1][2], 33);
    Keys(Qt::Key_Z, Qt::ControlModifier); // back before Load
    EXPECT_EQ(state->document.Levels()[1][2], 255);
    EXPECT_EQ(window->ui().SBWolkenT->value(), 1);
    EXPECT_EQ(state->document.fileSettings().SBWolkenT.position(), 1);
    EXPECT_EQ(window->windowTitle(), path); // the caption stays
    Keys(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(window->ui().SBWolkenT->value(), 77);
    EXPECT_EQ(state->document.Levels()[1][2], 33);
}

} // namespace
