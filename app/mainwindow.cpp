#include "app/mainwindow.h"

#include "app/application.h"
#include "app/chartmenu.h"
#include "app/controls.h"
#include "app/dayplayview.h"
#include "app/drops.h"
#include "app/services.h"
#include "app/unsavedwork.h"
#include "app/windowactions.h"
#include "edit/charteditor.h"
#include "edit/steptime.h"
#include "view/fonts.h"
#include "view/sheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QWindow>

namespace dim::app {

namespace {

constexpr int kMinOuterWidth = 640;
constexpr int kMinOuterHeight = 480;
constexpr int kStartLanguage = 0; // the first row of the language list

} // namespace

TForm1::TForm1(EditorState &state, Environment environment, WindowStart start, QWidget *parent)
    : QWidget(parent), m_state(state), m_env(std::move(environment)) {
    setObjectName(QStringLiteral("Form1"));
    placeWindow();
    if (start == WindowStart::MapFirst)
        show();
    if (m_env.fontConfig)
        m_env.fontConfig->wait(); // the controls' build measures the first texts
    FillTexts(m_state.texts);
    if (m_env.sheet.pending())
        m_captionsAhead =
            PrepareCaptionsAhead(m_env.sheet.ahead(), BandCaptions(m_state.texts, kStartLanguage),
                                 palette().color(QPalette::WindowText).rgb());
    BuildForm1(*this, m_ui, m_state.settings, m_state.document.fileSettings());
    m_ui.Panel2->installEventFilter(this);
    m_editor = new ChartEditor(m_state.document, m_state.cursor, m_state.chart.geometry,
                               m_state.settings, m_state.texts, this);
    m_menu =
        new ChartMenu(*m_editor, m_state.document, *this,
                      {&m_env.services, &m_env.fileSystem,
                       [this](const std::function<void()> &command) { runFileCommand(command); }});
    m_actions = new WindowActions(*this, m_ui);
    wire();
    ShowPlayOnChart(*m_ui.pb, *m_editor);
    m_unsaved =
        new UnsavedWork(*this, m_state.document, m_env.services, m_env.recovery,
                        {[this] { return m_ui.lbl->currentRow(); },
                         [this] { return saveWithDialog(); }, [this] { m_editor->cutOff(); }});
    DCBChange();
    FormCreate();
    setAcceptDrops(true); // files dropped on the window as a whole
    if (start == WindowStart::MapFirst)
        showBuiltControls();
}

TForm1::~TForm1() {
    // The chart loses the focus while the window goes: nothing of the window may answer. Only
    // the window's own connections go: the toolkit's accessibility cache hears of the chart's
    // end through one of its own.
    const std::initializer_list<const QObject *> receivers = {this, m_editor, m_menu, m_ui.pb};
    for (const QObject *receiver : receivers)
        m_ui.pb->disconnect(receiver);
    m_state.document.disconnect(this);
}

// What the window manager needs of the window: its size and place before maximising, its
// state and its title.
void TForm1::placeWindow() {
    resize(857, 739);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setWindowState(windowState() | Qt::WindowMaximized);
    setWindowTitle(QString::fromLatin1(ApplicationTitle));
    setFont(SystemFont(11));
    setAutoFillBackground(true);
}

void TForm1::showBuiltControls() {
    // The resizes of the window's showing came before there was a panel to follow them.
    m_ui.Panel2->setGeometry(rect());
    // Children made after their window was shown wait to be shown themselves; the ones the
    // window keeps hidden stay hidden.
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow() && !child->testAttribute(Qt::WA_WState_ExplicitShowHide))
            child->show();
}

void TForm1::wire() {
    const Form1Controls &ui = m_ui;
    ChartView *pb = ui.pb;
    connect(pb, &ChartView::paintRequested, this, &TForm1::pbPaint);
    connect(pb, &ChartView::mouseMoved, this, &TForm1::pbMouseMove);
    connect(pb, &ChartView::mousePressed, this, &TForm1::pbMouseDown);
    connect(pb, &ChartView::mouseReleased, this, &TForm1::pbMouseUp);
    connect(pb, &ChartView::keyPressed, this, &TForm1::pbKeyDown);
    connect(pb, &ChartView::focusChanged, m_editor, &ChartEditor::focusChanged);
    connect(pb, &ChartView::contextMenuRequested, m_menu, &ChartMenu::popup);

    connect(m_editor, &ChartEditor::statusTextChanged, ui.PStat, &QLabel::setText);
    connect(m_editor, &ChartEditor::pointChanged, this,
            [pb](const QRect &mark, const QString &text, int level, const QString &description) {
                pb->setPointMark(mark, text);
                pb->setAccessibleValue(level, description);
            });
    connect(m_editor, &ChartEditor::bandTouched, this,
            [this](int flag) { m_state.chart.BandDirty[static_cast<size_t>(flag)] = 1; });
    connect(m_editor, &ChartEditor::previewChanged, this, [this](int channel) {
        if (channel >= 1)
            m_state.chart.BandDirty[static_cast<size_t>(std::min(channel, DirtyFlagCount) - 1)] = 1;
        PaintCurves(false);
    });
    connect(m_editor, &ChartEditor::notice, this,
            [this](const QString &title, const QString &text) {
                m_env.services.showNotice(this, title, text);
            });
    connect(&m_state.document, &CurveDocument::changed, this, &TForm1::documentChanged);

    connect(ui.imcontrol, &ImageControl::mousePressed, this,
            [this](Qt::MouseButton, int, int y) { imcontrolMouseDown(y); });
    connect(ui.imcontrol, &ImageControl::mouseMoved, this,
            [this](int, int y) { imcontrolMouseMove(y); });
    connect(ui.Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(ui.Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(ui.Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    connect(ui.lbl, &QListWidget::currentRowChanged, this, &TForm1::lblClick);
    connect(ui.SBWolkenT, &QScrollBar::valueChanged, &m_state.document,
            &CurveDocument::setCloudSpeed);
    connect(ui.colorcb, &QCheckBox::clicked, this, &TForm1::colorcbClick);
    connect(ui.DCB, &QComboBox::currentIndexChanged, this, &TForm1::DCBChange);
    for (QLineEdit *edit : {ui.ENK, ui.en, ui.ETempo})
        connect(edit, &QLineEdit::textChanged, this, &TForm1::ENKChange);
    connect(ui.RadioButton1, &QRadioButton::clicked, this, &TForm1::Channels);
    connect(ui.RadioButton2, &QRadioButton::clicked, this, &TForm1::Channels);
    connect(ui.Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(ui.Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
}

void TForm1::FormCreate() {
    // The window is maximised and titled from the start (placeWindow).
    m_state.chart.geometry.ColumnWidth = 1;
    m_state.chart.geometry.BandHeight = 1;
    ApplyLanguage(kStartLanguage);
    m_ui.Timer2->start(); // the sheet is being decoded meanwhile
}

void TForm1::FormActivate() {
    m_state.StepFactor = ActivationStepFactor;
    showPanelPicture();
}

void TForm1::showPanelPicture() {
    // Shown with the sheet, and again at activation: a window manager may activate the window
    // before it has maximised it. The picture is made tall enough for the screen, so that the
    // column never shows a blank lower part.
    ImageControl *imcontrol = m_ui.imcontrol;
    int height = imcontrol->height();
    if (const QScreen *s = screen())
        height = std::max(height, s->availableGeometry().height());
    imcontrol->setPicture(ControlPanelPicture(sheet(), imcontrol->width(), height));
}

void TForm1::FormResize() {
    const QSize outer = frameGeometry().size();
    m_frameExtra = outer - size();
    setMinimumSize(kMinOuterWidth - m_frameExtra.width(), kMinOuterHeight - m_frameExtra.height());
    if (outer.width() < kMinOuterWidth || outer.height() < kMinOuterHeight)
        resize(std::max(outer.width(), kMinOuterWidth) - m_frameExtra.width(),
               std::max(outer.height(), kMinOuterHeight) - m_frameExtra.height());
}

void TForm1::closeEvent(QCloseEvent *event) {
    FormClose(event);
}

bool TForm1::event(QEvent *event) {
    switch (event->type()) {
    case QEvent::WindowActivate:
        FormActivate();
        break;
    case QEvent::Show: // the first expose of the window takes the sheet (eventFilter)
        if (m_env.sheet.pending() && windowHandle())
            windowHandle()->installEventFilter(this);
        break;
    case QEvent::WindowBlocked:
    case QEvent::WindowDeactivate:
        m_editor->cutOff(); // a modal box or another window takes the pointer
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TForm1::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (m_ui.Panel2) // a window mapped before its controls are built is resized without them
        m_ui.Panel2->setGeometry(rect());
    FormResize();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_ui.Panel2 && event->type() == QEvent::Resize)
        LayOutPanel2(m_ui);
    // The window is about to be painted for the first time: the picture waits for the sheet
    // here, before any control paints, so that the first picture is the complete one.
    if (watched == static_cast<QObject *>(windowHandle()) && event->type() == QEvent::Expose) {
        watched->removeEventFilter(this);
        awaitSheet();
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::dragEnterEvent(QDragEnterEvent *event) {
    AnswerCurveFileDrag(event);
}

void TForm1::dragMoveEvent(QDragMoveEvent *event) {
    AnswerCurveFileDrag(event);
}

void TForm1::dropEvent(QDropEvent *event) {
    const QString path = AnswerCurveFileDrag(event);
    // Loaded after the drop has been answered, so that an error box does not hold up the
    // program the file came from.
    if (!path.isEmpty())
        QTimer::singleShot(0, this, [this, path] { OpenFile(path); });
}

void TForm1::awaitSheet() {
    if (!m_env.sheet.pending())
        return;
    DecodedSheet decoded = m_env.sheet.take();
    m_sheetError = decoded.error;
    if (decoded.image.isNull()) {
        // Without its artwork the window still works: the backgrounds stay plain.
        qWarning("The sprite sheet could not be decoded: %s", qPrintable(m_sheetError));
        decoded.image = QImage(SheetWidth, SheetHeight, QImage::Format_RGB32);
        decoded.image.fill(palette().color(QPalette::Button));
    }
    m_ui.imback->setPicture(std::move(decoded.image));
    showPanelPicture(); // without waiting for an activation that may never come
    // The icon, the heap's trim and the sheet's cache follow the first picture.
    QTimer::singleShot(0, this, [this] { FinishStart(m_env.sheet); });
}

const QImage &TForm1::sheet() {
    awaitSheet();
    return m_ui.imback->picture();
}

QString TForm1::GetText(int slot) const {
    return dim::GetText(m_state.texts, m_ui.lbl->currentRow(), slot);
}

void TForm1::ApplyLanguage(int index) {
    const Form1Controls &ui = m_ui;
    {
        const QSignalBlocker blocker(ui.lbl);
        ui.lbl->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    }
    UseToolkitLanguage(index);
    ui.Button1->setText(GetText(SlotLoadButton));
    ui.Button2->setText(GetText(SlotSaveButton));
    ui.Button4->setText(GetText(SlotNewButton));
    ui.Label5->setText(GetText(SlotCloudSpeedLabel));
    ui.lbl->setAccessibleName(GetToolText(ToolText::LanguageListName, index));
    ui.Button5->setAccessibleName(GetToolText(ToolText::EditorPurpose, index));
    ui.Label6->setText(GetText(SlotCloudIntensityLabel));
    ui.Label7->setText(GetText(SlotMoonChangeLabel));
    ui.pb->setAccessibleName(GetToolText(ToolText::ChartName, index));
    ui.pb->setAccessibleDescription(GetToolText(ToolText::ChartDescription, index));
    m_state.document.setLanguage(index);
    m_menu->relabel(index);
    m_actions->relabel(index);
    m_editor->setLanguage(index);
}

void TForm1::PaintCurves(bool full) {
    ChartView *pb = m_ui.pb;
    if (pb->surface().isNull())
        return;
    if (m_captionsAhead.valid())
        m_state.chart.prepared = m_captionsAhead.get();
    const PaintInputs inputs = EditorPaintInputs(sheet(), m_editor->shownLevels(), m_state.settings,
                                                 m_state.texts, m_ui.lbl->currentRow(), palette());
    const QRegion changed = dim::PaintCurves(pb->surface(), m_state.chart, inputs, full);
    if (!changed.isEmpty())
        pb->update(changed);
}

void TForm1::pbPaint() {
    PaintCurves(true);
}

void TForm1::pbMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y) {
    m_editor->pointerMoved(buttons, modifiers, x, y, m_ui.pb->rect().contains(x, y));
}

void TForm1::pbMouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y) {
    m_editor->pointerPressed(buttons, modifiers, x, y);
}

void TForm1::pbMouseUp(Qt::MouseButton button) {
    m_editor->pointerReleased(button);
}

void TForm1::pbKeyDown(QKeyEvent *event) {
    event->setAccepted(m_editor->key(event->key(), event->modifiers()));
}

void TForm1::documentChanged(const CurveChange &change) {
    if (change.stroke)
        return; // drawn by the repaint tick, as the pointer flagged its bands
    if (change.settings)
        showSettings();
    // Rows past the fourth share the fourth band's flag; row 0 is on no band.
    for (int row = 1; row < LevelRows; ++row) {
        if (change.row(row))
            m_state.chart.BandDirty[static_cast<size_t>(std::min(row, DirtyFlagCount) - 1)] = 1;
    }
    if (m_ui.pb->painted())
        PaintCurves(false);
}

void TForm1::Timer1Timer() {
    m_ui.Timer1->stop();
    m_ui.pb->setEnabled(true);
}

void TForm1::Timer2Timer() {
    if (m_ui.pb->painted()) // nothing to bring up to date before the chart's first paint
        PaintCurves(false);
}

void TForm1::showSettings() {
    const Settings &s = m_state.settings;
    const FileSettings &f = m_state.document.fileSettings();
    for (auto [bar, setting] :
         {std::pair{m_ui.SBWolkenT, &f.SBWolkenT}, std::pair{m_ui.SBWolkenA, &f.SBWolkenA},
          std::pair{m_ui.SBMondA, &f.SBMondA}, std::pair{m_ui.sbhell, &s.sbhell},
          std::pair{m_ui.sbmond, &s.sbmond}}) {
        const QSignalBlocker blocker(bar);
        bar->setValue(setting->Position);
    }
}

void TForm1::lblClick() {
    ApplyLanguage(m_ui.lbl->currentRow());
    PaintCurves(true);
}

void TForm1::imcontrolMouseDown(int y) {
    if (y < LinkAreaHeight)
        m_env.services.openUrl(QUrl(QStringLiteral(DIM_MAKER_URL)));
}

void TForm1::imcontrolMouseMove(int y) {
    m_ui.imcontrol->setCursor(y < LinkAreaHeight ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TForm1::colorcbClick() {
    PaintCurves(true);
}

void TForm1::DCBChange() {
    // The file list shows the folder of the drive chosen in the drive box.
    m_ui.FLB->setProperty("directory", m_ui.DCB->currentText());
}

void TForm1::ENKChange() {
    m_ui.Timelabel->setText(
        StepTimeText(m_ui.UDTempo->position(), m_state.StepFactor, QLocale().decimalPoint().at(0)));
    PaintCurves(true);
}

void TForm1::Channels() {
    if (m_ui.RadioButton1->isChecked())
        m_state.StepFactor = ApplyChannelMode(m_state.settings, ChannelMode::Five);
    if (m_ui.RadioButton2->isChecked())
        m_state.StepFactor = ApplyChannelMode(m_state.settings, ChannelMode::Ten);
    m_ui.udnk->showPositionQuietly();
    PaintCurves(true);
    ENKChange();
}

} // namespace dim::app
