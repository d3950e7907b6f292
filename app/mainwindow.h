#pragma once

#include "edit/curvetools.h"
#include "edit/document.h"
#include "edit/pointcursor.h"
#include "edit/pointer.h"
#include "edit/recoverykeeper.h"
#include "model/clock.h"
#include "model/dimfile.h"
#include "model/filesystem.h"
#include "model/levels.h"
#include "model/settings.h"
#include "texts/texts.h"
#include "texts/tooltexts.h"
#include "view/chartpainter.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSessionManager;
class QTimer;

namespace dim::app {

class ChartView;
class ImageControl;
class LanguageList;
class Services;
class UpDown;

inline const char *const ApplicationTitle = "Kelmaro Brantoq";

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
    QByteArray sheetJpeg; // the embedded sprite sheet
    // Where unsaved curves are kept against a kill; none in tests that do not ask for it.
    RecoveryStore *recovery = nullptr;
};

// How the main window starts. Hidden: built whole, shown by the caller. MapFirst: the window
// asks to be mapped before it builds its controls, so that the window manager frames and
// places it meanwhile rather than after; the controls are shown with it once built.
enum class WindowStart { Hidden, MapFirst };

// The main window: the chart, the status line and the control column. Its handlers wire the
// controls to the core and write the results back.
class TForm1 : public QWidget {
public:
    TForm1(EditorState &state, Environment environment, WindowStart start = WindowStart::Hidden,
           QWidget *parent = nullptr);
    ~TForm1() override;

    // Painting, texts and files as the window uses them.
    void PaintCurves(bool full);
    QString GetText(int slot) const;
    void ApplyLanguage(int index);
    LoadResult LoadDimFile(const QString &path);
    // Load after its dialog, for the dialog, the command line and a drop alike: the chart's
    // guard, the file, the caption, an error box for a failed read.
    void OpenFile(const QString &path);
    void SaveDimFile(const QString &path);
    // At start, before a file of the command line opens: offers the curves an editor that
    // was killed left unsaved, once.
    void offerRecovery();
    // The desktop session ends: asks about unsaved curves as closing does, when the session
    // allows it; false when the user keeps the editor (the session's end is cancelled).
    bool endOfSession(bool interactionAllowed);
    void commitData(QSessionManager &manager);

    // Handlers.
    void pbPaint();
    void pbMouseMove(Qt::MouseButtons buttons, int x, int y);
    void pbMouseDown(Qt::MouseButtons buttons, int x, int y);
    void pbMouseUp(Qt::MouseButton button);
    // The drag under way is cut off: a modal box opened, the chart lost the focus or another
    // press came before its release. It ends as a release would.
    void pbCutOff();
    void Undo();
    void Redo();
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

    // The curve tools, on the current channel's 96 points (app/toolcommands.cpp).
    // The current channel: the band the pointer last passed over, 1..4; 0 for none.
    int currentChannel() const;
    void CopyCurve();
    void PasteCurve();
    void ShiftCurve(int quarters);
    void ScaleCurve();
    void SmoothCurve();
    void FillCurve();
    void ClearCurve();
    void DaylightCurve();
    // Whether strokes fill the columns between their points: the menu's check item.
    bool continuousStrokes() const;

    // Keyboard editing of the chart (app/pointkeys.cpp): the point cursor while the chart
    // has the focus.
    bool pbKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void pbFocus(bool in);
    const PointCursor &pointCursor() const { return m_point; }

    // The sprite sheet (the picture of imback), null when it could not be decoded.
    const QImage &sheet();

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
    // Asks whether to save unsaved curves; true when the editor may go.
    bool mayEnd();
    // Save with its dialog, as the button does; true when the file was written.
    bool saveWithDialog();
    void buildLayout();
    void placeWindow();
    void showBuiltControls();
    void layoutPanel2();
    void showSettings();
    void buildToolActions();
    void relabelToolActions();
    void updateToolActions();
    // One step that sets the current channel's 96 points to what tool makes of them.
    void applyToChannel(ToolText name, const std::function<DayCurve(const DayCurve &)> &tool);
    // Shows levels on the chart in place of the curves, or the curves again (nullopt).
    void showPreview(std::optional<LevelTable> levels);
    int pointLevel() const;
    // Brings the point cursor's mark and accessible value up to date.
    void showPointCursor(const QString &text = {});
    // The chart's accessible name and description in the language in force.
    void relabelChart();
    // The one place that follows the document: bars and bands of what changed.
    void documentChanged(const CurveChange &change);
    void reportError(const QString &message);
    void runFileCommand(const std::function<void()> &command);

    EditorState &m_state;
    Environment m_env;
    std::unique_ptr<RecoveryKeeper> m_keeper;
    struct DecodedSheet {
        QImage image;
        QString error;
    };
    void awaitSheet();
    std::future<DecodedSheet> m_sheetLoad;
    QString m_sheetError;
    QSize m_frameExtra;
    bool m_activated = false;
    QFileDialog *m_fod = nullptr;
    QFileDialog *m_fsd = nullptr;
    std::optional<LevelTable> m_preview;
    PointCursor m_point;
    int m_pointTag = 0; // changes when the point cursor moves: key steps merge per point
    // The drag under way, for strokes that fill the columns between their points.
    struct StrokeTrack {
        bool ctrl = false;    // Ctrl was held at some point of the drag
        bool started = false; // an accepted position of this drag is known
        int channel = 0;
        int column = 0;
        int level = 0;
    } m_track;

public:
    // Controls, under their layout names.
    QFrame *Panel2 = nullptr;
    QLabel *PStat = nullptr;
    QWidget *Panel3 = nullptr;
    ChartView *pb = nullptr;
    ImageControl *imcontrol = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button4 = nullptr;
    LanguageList *lbl = nullptr;
    QLabel *Label5 = nullptr;
    QScrollBar *SBWolkenT = nullptr;
    QPushButton *Button5 = nullptr;
    ImageControl *imback = nullptr;
    QLabel *aText = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QListWidget *FLB = nullptr;
    QComboBox *DCB = nullptr;
    QCheckBox *colorcb = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *ENK = nullptr;
    UpDown *udnk = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *en = nullptr;
    UpDown *udn = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *ETempo = nullptr;
    UpDown *UDTempo = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Timelabel = nullptr;
    QRadioButton *RadioButton1 = nullptr;
    QRadioButton *RadioButton2 = nullptr;
    QLabel *Label6 = nullptr;
    QScrollBar *SBWolkenA = nullptr;
    QLabel *Label7 = nullptr;
    QScrollBar *SBMondA = nullptr;
    QLabel *Label9 = nullptr;
    QScrollBar *sbmond = nullptr;
    QLabel *Label8 = nullptr;
    QScrollBar *sbhell = nullptr;
    // The open and save dialogs, configured; made on first use.
    QFileDialog *FOD();
    QFileDialog *FSD();
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
    // The chart's menu of curve tools and their actions, by the texts they show.
    QMenu *chartMenu = nullptr;
    std::map<ToolText, QAction *> toolActions;
};

} // namespace dim::app
