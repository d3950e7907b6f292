#pragma once

#include "edit/charteditor.h"

#include <QPoint>
#include <QStringList>

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <tuple>

namespace dim {

// A clock of the day's play that the test moves by hand.
struct HandClock final : PlayClock {
    qint64 now = 100000;
    qint64 elapsedMs() const override { return now; }
};

// The chart editor over a document, without any window: a chart of 1652 x 1050 pixels, the
// texts filled, and what the editor tells recorded as a window would show it.
class EditorTest : public ::testing::Test {
protected:
    EditorTest() {
        FillTexts(texts);
        geometry.UpdateLayout(1652, 1050, FilePoints, FileChannels);
        QObject::connect(&editor, &ChartEditor::statusTextChanged,
                         [this](const QString &text) { status = text; });
        QObject::connect(&editor, &ChartEditor::pointChanged,
                         [this](const QRect &, const QString &text, int, const QString &said) {
                             pointText = text;
                             description = said;
                         });
        QObject::connect(&editor, &ChartEditor::bandTouched,
                         [this](int flag) { flags[static_cast<size_t>(flag)] = 1; });
        QObject::connect(&editor, &ChartEditor::notice,
                         [this](const QString &title, const QString &text) {
                             notices << title + QLatin1Char('|') + text;
                         });
    }

    // The pixel of a curve point on the chart.
    QPoint At(int channel, int column, int level) const {
        Geometry g = geometry;
        g.MapPoint(channel, column, level);
        return {g.PointX, g.PointY};
    }
    bool Inside(QPoint p) const { return p.x() >= 0 && p.y() >= 0 && p.x() < 1652 && p.y() < 1050; }
    void Move(QPoint p, Qt::MouseButtons buttons = {}, Qt::KeyboardModifiers modifiers = {}) {
        editor.pointerMoved(buttons, modifiers, p.x(), p.y(), Inside(p));
    }
    void Press(QPoint p, Qt::MouseButtons buttons = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = {}) {
        editor.pointerPressed(buttons, modifiers, p.x(), p.y());
    }
    void Release(Qt::MouseButton button = Qt::LeftButton) { editor.pointerReleased(button); }
    // A drag with the left button through the points, pressed at the first.
    void Drag(std::initializer_list<QPoint> points, Qt::KeyboardModifiers modifiers = {}) {
        bool first = true;
        for (const QPoint p : points) {
            if (first)
                Press(p, Qt::LeftButton, modifiers);
            else
                Move(p, Qt::LeftButton, modifiers);
            first = false;
        }
        Release();
    }
    bool Key(int key, Qt::KeyboardModifiers modifiers = {}) { return editor.key(key, modifiers); }
    void Focus() { editor.focusChanged(true); }
    std::pair<int, int> Point() const {
        return {editor.pointCursor().channel, editor.pointCursor().column};
    }
    int Level(int channel, int column) const {
        return document.Levels()[static_cast<size_t>(channel)][static_cast<size_t>(column)];
    }
    LevelRow Row(int channel) const { return document.Levels()[static_cast<size_t>(channel)]; }
    int Steps() const { return document.undoStack().count(); }
    // Sets cells as one step of the document.
    void SetLevels(std::initializer_list<std::tuple<int, int, int>> cells) {
        LevelTable levels = document.Levels();
        for (const auto &[row, column, level] : cells)
            levels[static_cast<size_t>(row)][static_cast<size_t>(column)] = level;
        document.change(levels, document.fileSettings(), ToolText::Paste);
    }
    void SetLevels(const CurveData &curves) {
        document.change(curves.Levels, document.fileSettings(), ToolText::Paste);
    }

    CurveDocument document;
    CursorState cursor;
    Geometry geometry;
    Settings settings;
    TextTable texts;
    ChartEditor editor{document, cursor, geometry, settings, texts};
    QString status;
    QString pointText;
    QString description;
    QStringList notices;
    std::array<uint8_t, 4> flags{};
};

} // namespace dim
