#pragma once

#include "app/application.h"
#include "app/form1layout.h"
#include "edit/document.h"
#include "edit/pointer.h"
#include "model/clock.h"
#include "model/dimfile.h"
#include "model/filesystem.h"
#include "model/settings.h"
#include "texts/texts.h"
#include "view/chartpainter.h"
#include "view/sheet.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

class QFileDialog;
class QKeyEvent;

namespace dim {
class ChartEditor;
class FontConfigLoad;
class RecoveryStore;
} // namespace dim

namespace dim::app {

class ChartMenu;
class Services;
class UnsavedWork;
class WindowActions;

// The program's state for its whole run: one instance in the program, one per test.
struct EditorState {
    CurveDocument document; // the curves, the curve file's settings and their history
    Settings settings;
    TextTable texts;
    ChartState chart;
    CursorState cursor;
    int StepFactor = 0;
};

// Where the window meets the world outside it.
struct Environment {
    Services &services;
    FileSystem &fileSystem;
    const Clock &clock;
    SheetDecode sheet; // the sprite sheet, being decoded
    // Where unsaved curves are kept against a kill; none in tests that do not ask for it.
    RecoveryStore *recovery = nullptr;
    // The font configuration being read beside the start, waited for before the controls
    // are built; none in tests, where the toolkit reads it at the first text.
    FontConfigLoad *fontConfig = nullptr;
};

// How the main window starts. Hidden: built whole, shown by the caller. MapFirst: the window
// asks to be mapped before it builds its controls, so that the window manager frames and
// places it meanwhile rather than after; the controls are shown with it once built.
enum class WindowStart { Hidden, MapFirst };

// The main window: the chart, the status line and the control column. Its handlers hand the
// chart's events to the chart editor and the commands to the core, and show what they tell.
class TForm1 : public QWidget {
public:
    TForm1(EditorState &state, Environment environment, WindowStart start = WindowStart::Hidden,
           QWidget *parent = nullptr);
    ~TForm1() override;

    // The controls under their layout names, the editing of the chart and its menu.
    const Form1Controls &ui() const { return m_ui; }
    ChartEditor &editor() { return *m_editor; }
    ChartMenu &chartMenu() { return *m_menu; }
    WindowActions &windowActions() { return *m_actions; }

    // Painting, texts and files as the window uses them.
    void PaintCurves(bool full);
    QString GetText(int slot) const;
    void ApplyLanguage(int index);
    LoadResult LoadDimFile(const QString &path);
    // Load after its dialog, for the dialog, the command line and a drop alike: the chart's
    // guard, the file, the caption, an error box for a failed read.
    void OpenFile(const QString &path);
    void SaveDimFile(const QString &path);
    // The unsaved curves: the question before closing, their copy, the offer at start.
    UnsavedWork &unsavedWork() { return *m_unsaved; }

    // Handlers.
    void pbPaint();
    void pbMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void pbMouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void pbMouseUp(Qt::MouseButton button);
    void pbKeyDown(QKeyEvent *event);
    void Timer1Timer();
    void Timer2Timer();
    void Button1Click();
    void Button2Click();
    void Button4Click();
    void lblClick();
    void imcontrolMouseDown(int y);
    void imcontrolMouseMove(int y);
    void colorcbClick();
    void DCBChange();
    void ENKChange();
    void Channels();

    // The sprite sheet (the picture of imback), null when it could not be decoded.
    const QImage &sheet();
    // The open and save dialogs, configured; made on first use.
    QFileDialog *FOD();
    QFileDialog *FSD();

    // The top rows of the control column's picture that open the maker's web site.
    static constexpr int LinkAreaHeight = 120;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // One local curve file may be dropped on the window; anything else is refused.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void FormCreate();
    void FormActivate();
    void FormResize();
    void FormClose(QCloseEvent *event);
    void placeWindow();
    void showBuiltControls();
    void wire();
    void showSettings();
    // The one place that follows the document: bars and bands of what changed.
    void documentChanged(const CurveChange &change);
    void reportError(const QString &message);
    // The chart's guard around a file command, and an error box for its failure.
    void runFileCommand(const std::function<void()> &command);
    void loadFile(const QString &path);
    // Save with its dialog, as the button does; true when the file was written.
    bool saveWithDialog();
    // Takes the sheet once it is decoded, waiting for it, and shows it in the control column.
    void awaitSheet();
    void showPanelPicture();

    EditorState &m_state;
    Environment m_env;
    Form1Controls m_ui;
    ChartEditor *m_editor = nullptr;
    ChartMenu *m_menu = nullptr;
    WindowActions *m_actions = nullptr;
    UnsavedWork *m_unsaved = nullptr;
    QString m_sheetError;
    QSize m_frameExtra;
    QFileDialog *m_fod = nullptr;
    QFileDialog *m_fsd = nullptr;
    // The band captions of the first paint, drawn meanwhile.
    std::future<std::array<CaptionCache, 4>> m_captionsAhead;
};

} // namespace dim::app
