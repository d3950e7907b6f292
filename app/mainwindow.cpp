#include "app/mainwindow.h"

#include "app/application.h"
#include "app/controls.h"
#include "app/desktop.h"
#include "app/filedialogs.h"
#include "app/services.h"
#include "edit/steptime.h"
#include "view/fonts.h"
#include "view/sheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSessionManager>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>

#include <optional>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#ifndef DIM_MAKER_URL
#define DIM_MAKER_URL "https://www.kelmaro-brantoq.example/"
#endif

namespace dim::app {

namespace {

constexpr int kMinOuterWidth = 640;
constexpr int kMinOuterHeight = 480;
constexpr int kStatusHeight = 33;
constexpr int kColumnWidth = 200;

QFont SystemFont(int pixelSize) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

template <typename T> T *Named(T *widget, const char *name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// Labels get a fixed size rather than one measured from their text: measuring would load the
// fonts before the window is first shown, which delays its appearance.
QLabel *MakeLabel(const QString &text, QWidget *parent, const char *name, int x, int y,
                  int width = 153) {
    auto *label = Named(new QLabel(text, parent), name);
    label->setGeometry(x, y, width, 13);
    return label;
}

QScrollBar *MakeScrollBar(QWidget *parent, const char *name, const ScrollSetting &setting,
                          QRect geometry) {
    auto *bar = Named(new QScrollBar(Qt::Horizontal, parent), name);
    bar->setRange(setting.Min, setting.Max);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setValue(setting.Position);
    bar->setGeometry(geometry);
    return bar;
}

} // namespace

TForm1::TForm1(EditorState &state, Environment environment, WindowStart start, QWidget *parent)
    : QWidget(parent), m_state(state), m_env(std::move(environment)) {
    setObjectName(QStringLiteral("Form1"));
    placeWindow();
    if (start == WindowStart::MapFirst)
        show();
    buildLayout();
    connect(&m_state.document, &CurveDocument::changed, this, &TForm1::documentChanged);
    if (m_env.recovery) {
        m_keeper = std::make_unique<RecoveryKeeper>(m_state.document, *m_env.recovery);
        m_keeper->setCaption(windowTitle());
    }
    FormCreate();
    // Files are dropped on the window as a whole; the text fields take no drops of their own.
    setAcceptDrops(true);
    for (QLineEdit *edit : {ENK, en, ETempo})
        edit->setAcceptDrops(false);
    if (start == WindowStart::MapFirst)
        showBuiltControls();
}

TForm1::~TForm1() {
    disconnect(&m_state.document, nullptr, this, nullptr);
    // The chart loses the focus while the window goes: nothing of the window may answer.
    pb->onFocus = nullptr;
    pb->onKey = nullptr;
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
    Panel2->setGeometry(rect());
    // Children made after their window was shown wait to be shown themselves; the ones the
    // window keeps hidden stay hidden.
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow() && !child->testAttribute(Qt::WA_WState_ExplicitShowHide))
            child->show();
}

void TForm1::buildLayout() {
    Settings &s = m_state.settings;
    const FileSettings &f = m_state.document.fileSettings();

    Panel2 = Named(new QFrame(this), "Panel2");
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setLineWidth(1);
    Panel2->installEventFilter(this);

    PStat = Named(new QLabel(Panel2), "PStat");
    PStat->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    PStat->setAutoFillBackground(true);
    {
        QPalette palette = PStat->palette();
        palette.setColor(QPalette::Window, QColor(128, 255, 255));
        palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
        PStat->setPalette(palette);
    }
    PStat->setFont(SystemFont(19));
    PStat->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    Panel3 = Named(new QWidget(Panel2), "Panel3");
    pb = Named(new ChartView(Panel2), "pb");

    imcontrol = Named(new ImageControl(Panel3), "imcontrol");
    imcontrol->setGeometry(0, 0, kColumnWidth, 480);

    GroupBox2 = Named(new QGroupBox(QStringLiteral("Nicht Sichtbar"), Panel3), "GroupBox2");
    GroupBox2->setGeometry(9, 16, 176, 238);
    Label6 = MakeLabel(QString::fromUtf8("Wolken Intensität"), GroupBox2, "Label6", 8, 16);
    SBWolkenA = MakeScrollBar(GroupBox2, "SBWolkenA", f.SBWolkenA, {8, 32, 153, 17});
    Label7 = MakeLabel(QString::fromUtf8("Mondänderung Intensität"), GroupBox2, "Label7", 8, 64);
    SBMondA = MakeScrollBar(GroupBox2, "SBMondA", f.SBMondA, {8, 80, 153, 17});
    Label9 = MakeLabel(QStringLiteral("Mondphase"), GroupBox2, "Label9", 8, 112);
    sbmond = MakeScrollBar(GroupBox2, "sbmond", s.sbmond, {8, 128, 153, 17});
    Label8 = MakeLabel(QStringLiteral("Helligkeit"), GroupBox2, "Label8", 8, 160);
    sbhell = MakeScrollBar(GroupBox2, "sbhell", s.sbhell, {8, 176, 153, 17});
    Label6->setVisible(false);
    SBWolkenA->setVisible(false);
    Label7->setVisible(false);
    SBMondA->setVisible(false);
    GroupBox2->setVisible(false);

    Button1 = Named(new QPushButton(Panel3), "Button1");
    Button1->setGeometry(24, 280, 153, 25);
    Button2 = Named(new QPushButton(Panel3), "Button2");
    Button2->setGeometry(24, 320, 153, 25);
    Button4 = Named(new QPushButton(Panel3), "Button4");
    Button4->setGeometry(24, 360, 153, 25);

    lbl = Named(new LanguageList(Panel3), "lbl");
    lbl->setGeometry(24, 400, 153, 57);
    for (const QString &name : LanguageNames()) {
        auto *item = new QListWidgetItem(name, lbl);
        item->setSizeHint(QSize(0, 13));
    }

    Label5 = MakeLabel(QString(), Panel3, "Label5", 24, 472);
    SBWolkenT = MakeScrollBar(Panel3, "SBWolkenT", f.SBWolkenT, {24, 488, 153, 17});
    SBWolkenT->setFocusPolicy(Qt::StrongFocus); // reachable with Tab, moved with the arrow keys
    Label5->setBuddy(SBWolkenT); // its name for screen readers

    Button5 = Named(new FocusHolder(QStringLiteral("Button5"), this), "Button5");
    Button5->setGeometry(1, 368, 0, 1);

    imback = Named(new ImageControl(Panel2), "imback");
    imback->setGeometry(320, 240, 105, 105);
    imback->setVisible(false);

    aText = MakeLabel(QStringLiteral("aText"), Panel2, "aText", 40, 432);
    aText->setFont(CaptionFont());
    aText->setVisible(false);

    GroupBox1 = Named(new QGroupBox(QStringLiteral("Alt"), Panel2), "GroupBox1");
    GroupBox1->setGeometry(72, 40, 185, 297);
    colorcb = Named(new QCheckBox(QStringLiteral("Farben anzeigen"), GroupBox1), "colorcb");
    colorcb->move(8, 16);
    Label1 = MakeLabel(QString::fromUtf8("N Kanäle"), GroupBox1, "Label1", 8, 40);
    ENK = Named(new QLineEdit(GroupBox1), "ENK");
    ENK->setGeometry(8, 56, 121, 21);
    udnk = Named(new UpDown(s.udnk, ENK, GroupBox1), "udnk");
    udnk->setGeometry(129, 56, 16, 21);
    Label2 = MakeLabel(QString::fromUtf8("n Stützpunkte"), GroupBox1, "Label2", 8, 88);
    en = Named(new QLineEdit(GroupBox1), "en");
    en->setGeometry(8, 104, 121, 21);
    udn = Named(new UpDown(s.udn, en, GroupBox1), "udn");
    udn->setGeometry(129, 104, 16, 21);
    Label3 = MakeLabel(QStringLiteral("Tempo"), GroupBox1, "Label3", 8, 136);
    ETempo = Named(new QLineEdit(GroupBox1), "ETempo");
    ETempo->setGeometry(8, 152, 121, 21);
    UDTempo = Named(new UpDown(s.UDTempo, ETempo, GroupBox1), "UDTempo");
    UDTempo->setGeometry(129, 152, 16, 21);
    Label4 = MakeLabel(QStringLiteral("Zeit pro Schritt:"), GroupBox1, "Label4", 8, 184);
    Timelabel = MakeLabel(QStringLiteral("Timelabel"), GroupBox1, "Timelabel", 96, 184, 81);
    RadioButton1 =
        Named(new QRadioButton(QStringLiteral("5-Kanal-Steuerung"), GroupBox1), "RadioButton1");
    RadioButton1->move(8, 216);
    RadioButton2 =
        Named(new QRadioButton(QStringLiteral("10-Kanal-Steuerung"), GroupBox1), "RadioButton2");
    RadioButton2->move(8, 240);
    RadioButton2->setChecked(true);
    udnk->showPositionQuietly();
    udn->showPositionQuietly();
    UDTempo->showPositionQuietly();
    GroupBox1->setVisible(false);

    FLB = Named(new QListWidget(Panel2), "FLB");
    FLB->setGeometry(264, 72, 169, 129);
    FLB->setVisible(false);
    DCB = Named(new QComboBox(Panel2), "DCB");
    DCB->setGeometry(264, 40, 169, 19);
    DCB->addItem(QStringLiteral("/"));
    DCB->setVisible(false);
    DCBChange();

    Timer1 = Named(new QTimer(this), "Timer1");
    Timer1->setInterval(500);
    Timer2 = Named(new QTimer(this), "Timer2");
    Timer2->setInterval(50);

    setTabOrder(Button5, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button4);
    setTabOrder(Button4, lbl);
    setTabOrder(lbl, SBWolkenT);
    setTabOrder(SBWolkenT, pb);
    Button5->setFocus();

    // Wiring.
    pb->onPaintRequest = [this] { pbPaint(); };
    pb->onMouseMove = [this](Qt::MouseButtons b, int x, int y) { pbMouseMove(b, x, y); };
    pb->onMouseDown = [this](Qt::MouseButtons b, int x, int y) { pbMouseDown(b, x, y); };
    pb->onMouseUp = [this](Qt::MouseButton b) { pbMouseUp(b); };
    // Undo and redo wherever the focus is in the window.
    auto *undo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    connect(undo, &QShortcut::activated, this, [this] { Undo(); });
    for (const QKeySequence &keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
        auto *redo = new QShortcut(keys, this);
        connect(redo, &QShortcut::activated, this, [this] { Redo(); });
    }
    buildToolActions();
    pb->onKey = [this](int key, Qt::KeyboardModifiers modifiers) {
        return pbKeyDown(key, modifiers);
    };
    pb->onFocus = [this](bool in) { pbFocus(in); };
    imcontrol->onMouseDown = [this](Qt::MouseButton, int, int y) { imcontrolMouseDown(y); };
    imcontrol->onMouseMove = [this](int, int y) { imcontrolMouseMove(y); };
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(lbl, &QListWidget::currentRowChanged, this, [this] { lblClick(); });
    connect(SBWolkenT, &QScrollBar::valueChanged, this,
            [this](int value) { m_state.document.setCloudSpeed(value); });
    connect(colorcb, &QCheckBox::clicked, this, [this] { colorcbClick(); });
    connect(DCB, &QComboBox::currentIndexChanged, this, [this] { DCBChange(); });
    for (QLineEdit *edit : {ENK, en, ETempo})
        connect(edit, &QLineEdit::textChanged, this, [this] { ENKChange(); });
    connect(RadioButton1, &QRadioButton::clicked, this, [this] { Channels(); });
    connect(RadioButton2, &QRadioButton::clicked, this, [this] { Channels(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
}

void TForm1::FormCreate() {
    // The window is maximised and titled from the start (placeWindow).
    m_state.chart.geometry.ColumnWidth = 1;
    m_state.chart.geometry.BandHeight = 1;
    FillTexts(m_state.texts);
    ApplyLanguage(0);

    // The sheet is decoded while the window is built and shown; painting waits for it.
    m_sheetLoad = std::async(std::launch::async, [jpeg = std::move(m_env.sheetJpeg)] {
        DecodedSheet decoded;
        decoded.image = DecodeJpeg(jpeg, &decoded.error);
        return decoded;
    });
    Timer2->start();
}

void TForm1::FormActivate() {
    m_state.StepFactor = ActivationStepFactor;
    // A window manager may activate the window before it has maximised it: the picture is
    // made tall enough for the screen, so that the column never shows a blank lower part.
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

void TForm1::FormClose(QCloseEvent *event) {
    // Curves that no file holds are not lost without a word.
    if (!mayEnd()) {
        event->ignore();
        return;
    }
    if (m_keeper)
        m_keeper->finish();
    event->accept();
}

bool TForm1::mayEnd() {
    if (!m_state.document.isModified())
        return true;
    switch (m_env.services.askToSave(this, QString::fromLatin1(ApplicationTitle),
                                     GetToolText(ToolText::CloseQuestion, lbl->currentRow()))) {
    case SaveAnswer::Save:
        return saveWithDialog();
    case SaveAnswer::Discard:
        return true;
    case SaveAnswer::Cancel:
        break;
    }
    return false;
}

bool TForm1::endOfSession(bool interactionAllowed) {
    if (!interactionAllowed) {
        // The curves stay in the recovery file, to be offered at the next start.
        if (m_keeper)
            m_keeper->writeNow();
        return true;
    }
    if (!mayEnd())
        return false;
    if (m_keeper)
        m_keeper->finish();
    return true;
}

void TForm1::commitData(QSessionManager &manager) {
    const bool allowed = m_state.document.isModified() && manager.allowsInteraction();
    if (!endOfSession(allowed))
        manager.cancel();
    if (allowed)
        manager.release();
}

void TForm1::closeEvent(QCloseEvent *event) {
    FormClose(event);
}

bool TForm1::event(QEvent *event) {
    switch (event->type()) {
    case QEvent::WindowActivate:
        FormActivate();
        break;
    case QEvent::WindowBlocked:
    case QEvent::WindowDeactivate:
        pbCutOff(); // a modal box or another window takes the pointer
        break;
    case QEvent::WindowTitleChange:
        if (m_keeper)
            m_keeper->setCaption(windowTitle());
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TForm1::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (Panel2) // a window mapped before its controls are built is resized without them
        Panel2->setGeometry(rect());
    FormResize();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Panel2 && event->type() == QEvent::Resize)
        layoutPanel2();
    return QWidget::eventFilter(watched, event);
}

namespace {

// Accepts a drag that carries one local curve file as a copy; refuses it otherwise, which the
// pointer shows. Returns the file's path when accepted.
QString AnswerDrag(QDropEvent *event) {
    const QString path = DroppedCurveFile(event->mimeData());
    if (path.isEmpty() || !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return {};
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return path;
}

} // namespace

void TForm1::dragEnterEvent(QDragEnterEvent *event) {
    AnswerDrag(event);
}

void TForm1::dragMoveEvent(QDragMoveEvent *event) {
    AnswerDrag(event);
}

void TForm1::dropEvent(QDropEvent *event) {
    const QString path = AnswerDrag(event);
    // Loaded after the drop has been answered, so that an error box does not hold up the
    // program the file came from.
    if (!path.isEmpty())
        QTimer::singleShot(0, this, [this, path] { OpenFile(path); });
}

void TForm1::layoutPanel2() {
    const QRect inner = Panel2->contentsRect();
    PStat->setGeometry(inner.left(), inner.bottom() + 1 - kStatusHeight, inner.width(),
                       kStatusHeight);
    const int top = inner.top();
    const int height = inner.height() - kStatusHeight;
    Panel3->setGeometry(inner.right() + 1 - kColumnWidth, top, kColumnWidth, height);
    imcontrol->setGeometry(0, 0, kColumnWidth, height);
    imcontrol->lower();
    pb->setGeometry(inner.left(), top, inner.width() - kColumnWidth, height);
}

QFileDialog *TForm1::FOD() {
    // The dialogs are made when first needed: together they hold some 10 MB.
    if (!m_fod)
        m_fod = MakeCurveFileDialog(this, "FOD", QFileDialog::AcceptOpen);
    return m_fod;
}

QFileDialog *TForm1::FSD() {
    if (!m_fsd)
        m_fsd = MakeCurveFileDialog(this, "FSD", QFileDialog::AcceptSave);
    return m_fsd;
}

void TForm1::awaitSheet() {
    if (!m_sheetLoad.valid())
        return;
    DecodedSheet decoded = m_sheetLoad.get();
    m_sheetError = decoded.error;
    if (decoded.image.isNull()) {
        // Without its artwork the window still works: the backgrounds stay plain.
        qWarning("The sprite sheet could not be decoded: %s", qPrintable(m_sheetError));
        decoded.image = QImage(SheetWidth, SheetHeight, QImage::Format_RGB32);
        decoded.image.fill(palette().color(QPalette::Button));
    }
    imback->setPicture(std::move(decoded.image));
    // The icon follows the first picture: it would otherwise compete with the window's
    // mapping and first paint.
    QTimer::singleShot(0, this, [] {
        SetApplicationIcon();
#ifdef __GLIBC__
        // Starting up has freed much working memory: the decoder's (a progressive picture's
        // coefficients), the first paint's scratch pictures, the icon's full-size picture.
        // Give it back to the system rather than keep it in the heap.
        malloc_trim(0);
#endif
    });
}

const QImage &TForm1::sheet() {
    awaitSheet();
    return imback->picture();
}

QString TForm1::GetText(int slot) const {
    return dim::GetText(m_state.texts, lbl->currentRow(), slot);
}

void TForm1::ApplyLanguage(int index) {
    {
        const QSignalBlocker blocker(lbl);
        lbl->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    }
    UseToolkitLanguage(index);
    Button1->setText(GetText(SlotLoadButton));
    Button2->setText(GetText(SlotSaveButton));
    Button4->setText(GetText(SlotNewButton));
    Label5->setText(GetText(SlotCloudSpeedLabel));
    lbl->setAccessibleName(GetToolText(ToolText::LanguageListName, index));
    Button5->setAccessibleName(GetToolText(ToolText::EditorPurpose, index));
    Label6->setText(GetText(SlotCloudIntensityLabel));
    Label7->setText(GetText(SlotMoonChangeLabel));
    relabelToolActions();
    relabelChart();
}

void TForm1::PaintCurves(bool full) {
    if (pb->surface().isNull())
        return;
    const PaintInputs inputs =
        EditorPaintInputs(sheet(), m_preview ? *m_preview : m_state.document.Levels(),
                          m_state.settings, m_state.texts, lbl->currentRow(), palette());
    const QRegion changed = dim::PaintCurves(pb->surface(), m_state.chart, inputs, full);
    if (!changed.isEmpty())
        pb->update(changed);
}

void TForm1::pbPaint() {
    PaintCurves(true);
}

void TForm1::pbMouseMove(Qt::MouseButtons buttons, int x, int y) {
    const bool left = buttons.testFlag(Qt::LeftButton);
    // Only the left button captures the pointer: a drag with another button that leaves the
    // chart is not followed, as a move outside it without any button is never seen.
    if (!left && !pb->rect().contains(x, y))
        return;
    if (left && pb->modifiers().testFlag(Qt::ControlModifier))
        m_track.ctrl = true; // Ctrl during a drag makes that drag continuous
    const PointerResult result = PointerEvent(m_state.cursor, m_state.chart, m_state.document,
                                              m_state.texts, lbl->currentRow(), left, x, y);
    if (result.status) {
        PStat->setText(*result.status);
        const CursorState &at = m_state.cursor;
        if (pb->hasFocus() && IsFilePoint(at.CursorChannel, at.CursorColumn)) {
            // the point cursor follows the pointer
            m_point = StartPointCursor(at.CursorChannel, at.CursorColumn);
            ++m_pointTag;
            showPointCursor();
        }
        updateToolActions();
    }
    if (!result.wrote)
        return;
    const CursorState &at = m_state.cursor;
    // A quick stroke skips columns between two of its points; a continuous one fills them
    // along the straight line between the two.
    if ((continuousStrokes() || m_track.ctrl) && m_track.started &&
        m_track.channel == at.CursorChannel) {
        for (const auto &[column, level] :
             StrokeGapFill(m_track.column, m_track.level, at.CursorColumn, at.CursorLevel,
                           m_state.settings.udn.position()))
            m_state.document.writeStrokeCell(at.CursorChannel, column, level);
    }
    m_track = {m_track.ctrl, true, at.CursorChannel, at.CursorColumn, at.CursorLevel};
}

void TForm1::pbMouseDown(Qt::MouseButtons buttons, int x, int y) {
    // Every press comes after the end of the drag before it: a press while one is still under
    // way means its release was missed, or another button joined in.
    pbCutOff();
    pbMouseMove(buttons, x, y);
}

void TForm1::pbMouseUp(Qt::MouseButton button) {
    if (button == Qt::LeftButton)
        pbCutOff();
}

void TForm1::pbCutOff() {
    m_state.document.endStroke();
    m_track = {};
}

void TForm1::Undo() {
    m_state.document.undo();
}

void TForm1::Redo() {
    m_state.document.redo();
}

void TForm1::documentChanged(const CurveChange &change) {
    if (change.stroke)
        return; // drawn by the repaint tick, as the pointer flagged its bands
    if (change.settings)
        showSettings();
    if (pb->hasFocus())
        showPointCursor(pb->pointText());
    // Rows past the fourth share the fourth band's flag; row 0 is on no band.
    for (int row = 1; row < LevelRows; ++row) {
        if (change.row(row))
            m_state.chart.BandDirty[static_cast<size_t>(std::min(row, DirtyFlagCount) - 1)] = 1;
    }
    if (pb->painted())
        PaintCurves(false);
}

void TForm1::Timer1Timer() {
    Timer1->stop();
    pb->setEnabled(true);
}

void TForm1::Timer2Timer() {
    if (pb->painted()) // nothing to bring up to date before the chart's first paint
        PaintCurves(false);
}

LoadResult TForm1::LoadDimFile(const QString &path) {
    const LoadResult result = m_state.document.load(m_env.fileSystem, path, QStringLiteral("load"));
    if (result == LoadResult::Rejected)
        setWindowTitle(GetText(SlotLoadError));
    return result;
}

void TForm1::SaveDimFile(const QString &path) {
    m_state.document.save(m_env.fileSystem, m_env.clock, path, m_state.settings);
}

void TForm1::showSettings() {
    const Settings &s = m_state.settings;
    const FileSettings &f = m_state.document.fileSettings();
    for (auto [bar, setting] : {std::pair{SBWolkenT, &f.SBWolkenT},
                                std::pair{SBWolkenA, &f.SBWolkenA}, std::pair{SBMondA, &f.SBMondA},
                                std::pair{sbhell, &s.sbhell}, std::pair{sbmond, &s.sbmond}}) {
        const QSignalBlocker blocker(bar);
        bar->setValue(setting->Position);
    }
}

void TForm1::reportError(const QString &message) {
    m_env.services.showError(this, QString::fromLatin1(ApplicationTitle), ErrorBoxText(message));
}

void TForm1::runFileCommand(const std::function<void()> &command) {
    pb->setEnabled(false);
    std::optional<IoError> failure;
    try {
        command();
    } catch (const IoError &error) {
        failure = error;
    }
    // However the command ended, the chart takes the pointer again 500 ms later; a running
    // timer is not restarted.
    if (!Timer1->isActive())
        Timer1->start();
    if (failure)
        reportError(failure->message());
}

void TForm1::OpenFile(const QString &path) {
    runFileCommand([this, &path] {
        if (LoadDimFile(path) == LoadResult::Loaded)
            setWindowTitle(path);
    });
}

void TForm1::Button1Click() {
    // The chart is guarded from the dialog on; the load's own guard leaves the running timer be.
    runFileCommand([this] {
        QString path;
        if (m_env.services.runFileDialog(*FOD(), &path))
            OpenFile(path);
    });
}

void TForm1::Button2Click() {
    saveWithDialog();
}

bool TForm1::saveWithDialog() {
    bool written = false;
    runFileCommand([this, &written] {
        QString path;
        if (m_env.services.runFileDialog(*FSD(), &path)) {
            SaveDimFile(path);
            setWindowTitle(path);
            written = true;
        }
    });
    return written;
}

void TForm1::offerRecovery() {
    if (!m_env.recovery)
        return;
    const std::optional<RecoveredWork> work = m_env.recovery->takeAbandoned();
    if (!work)
        return;
    const int language = lbl->currentRow();
    switch (m_env.services.askToRestore(this, QString::fromLatin1(ApplicationTitle),
                                        GetToolText(ToolText::RestoreQuestion, language),
                                        GetToolText(ToolText::RestoreButton, language))) {
    case RestoreAnswer::Restore: {
        // One step, unsaved, under the caption it had.
        CurveData curves = m_state.document.curves();
        FileSettings settings = m_state.document.fileSettings();
        ApplyDimContent(work->content, curves, settings);
        m_state.document.change(curves.Levels, settings,
                                GetToolText(ToolText::RestoreStep, language));
        setWindowTitle(work->caption);
        // The taken file goes once this process's own file holds the work.
        if (!m_state.document.isModified() || (m_keeper && m_keeper->writeNow()))
            m_env.recovery->dropTaken();
        break;
    }
    case RestoreAnswer::Discard:
        m_env.recovery->dropTaken();
        break;
    case RestoreAnswer::Later:
        break;
    }
}

void TForm1::Button4Click() {
    if (m_env.services.confirm(this, GetText(SlotNewQuestion), GetText(SlotNewTitle)) != 1)
        return;
    m_state.document.clear(QStringLiteral("new"));
}

void TForm1::lblClick() {
    ApplyLanguage(lbl->currentRow());
    PaintCurves(true);
}

void TForm1::imcontrolMouseDown(int y) {
    if (y < LinkAreaHeight)
        m_env.services.openUrl(QUrl(QStringLiteral(DIM_MAKER_URL)));
}

void TForm1::imcontrolMouseMove(int y) {
    imcontrol->setCursor(y < LinkAreaHeight ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TForm1::colorcbClick() {
    PaintCurves(true);
}

void TForm1::DCBChange() {
    // The file list shows the folder of the drive chosen in the drive box.
    FLB->setProperty("directory", DCB->currentText());
}

void TForm1::ENKChange() {
    Timelabel->setText(
        StepTimeText(UDTempo->position(), m_state.StepFactor, QLocale().decimalPoint().at(0)));
    PaintCurves(true);
}

void TForm1::Channels() {
    if (RadioButton1->isChecked())
        m_state.StepFactor = ApplyChannelMode(m_state.settings, ChannelMode::Five);
    if (RadioButton2->isChecked())
        m_state.StepFactor = ApplyChannelMode(m_state.settings, ChannelMode::Ten);
    udnk->showPositionQuietly();
    PaintCurves(true);
    ENKChange();
}

} // namespace dim::app
