#pragma once

#include "app/application.h"
#include "app/chartmenu.h"
#include "app/controls.h"
#include "app/mainwindow.h"
#include "edit/charteditor.h"
#include "fakes.h"
#include "model/recoveryfile.h"
#include "view/sheet.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <tuple>

namespace dim::app {

// Runs action while its modal dialog is answered by answer.
inline void WithDialog(QAction *action, const std::function<void(QDialog *)> &answer) {
    QTimer::singleShot(0, [answer] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(dialog);
    });
    action->trigger();
}

// A real main window on the offscreen platform, with scripted dialogs and a fixed clock.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        state = std::make_unique<EditorState>();
        window = std::make_unique<TForm1>(*state, Environment{services, fileSystem(), clock,
                                                              SheetDecode(EmbeddedSheetJpeg()),
                                                              recovery()});
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->ui().pb->painted(); }));
        QApplication::processEvents();
    }
    void TearDown() override {
        if (window && window->ui().pb)
            QTest::mouseRelease(window->ui().pb, Qt::LeftButton, {}, QPoint(1, 1));
        window.reset();
        // The toolkit's language is the application's: a window's German would stay for
        // whatever test comes next (dimtool's messages among them).
        UseToolkitLanguage(1);
    }
    virtual FileSystem &fileSystem() { return SystemFileSystem(); }
    virtual RecoveryStore *recovery() { return nullptr; }

    // The pixel of a curve point in the chart as last laid out.
    QPoint At(int channel, int column, int level) const {
        Geometry g = state->chart.geometry;
        g.MapPoint(channel, column, level);
        return {g.PointX, g.PointY};
    }
    const Geometry &geometry() const { return state->chart.geometry; }
    // Sets cells of the curves as one step of the document, as a curve tool would.
    void SetLevels(std::initializer_list<std::tuple<int, int, int>> cells) {
        LevelTable levels = state->document.Levels();
        for (const auto &[row, column, level] : cells)
            levels[static_cast<size_t>(row)][static_cast<size_t>(column)] = level;
        state->document.change(levels, state->document.fileSettings(), ToolText::Paste);
    }
    void SetLevels(const CurveData &curves) {
        state->document.change(curves.Levels, state->document.fileSettings(), ToolText::Paste);
    }

    ScriptedServices services;
    FixedClock clock;
    std::unique_ptr<EditorState> state;
    std::unique_ptr<TForm1> window;
};

} // namespace dim::app
