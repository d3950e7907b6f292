#include "app/form1layout.h"

#include "app/controls.h"
#include "texts/texts.h"
#include "view/fonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

namespace dim::app {

namespace {

constexpr int kStatusHeight = 33;
constexpr int kColumnWidth = 200;

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

QFont SystemFont(int pixelSize) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

void BuildForm1(QWidget &form, Form1Controls &ui, Settings &settings,
                const FileSettings &fileSettings) {
    ui.Panel2 = Named(new QFrame(&form), "Panel2");
    ui.Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ui.Panel2->setLineWidth(1);

    ui.PStat = Named(new QLabel(ui.Panel2), "PStat");
    ui.PStat->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ui.PStat->setAutoFillBackground(true);
    {
        QPalette palette = ui.PStat->palette();
        palette.setColor(QPalette::Window, QColor(128, 255, 255));
        palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
        ui.PStat->setPalette(palette);
    }
    ui.PStat->setFont(SystemFont(19));
    ui.PStat->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    ui.Panel3 = Named(new QWidget(ui.Panel2), "Panel3");
    ui.pb = Named(new ChartView(ui.Panel2), "pb");

    ui.imcontrol = Named(new ImageControl(ui.Panel3), "imcontrol");
    ui.imcontrol->setGeometry(0, 0, kColumnWidth, 480);

    ui.GroupBox2 = Named(new QGroupBox(QStringLiteral("Nicht Sichtbar"), ui.Panel3), "GroupBox2");
    ui.GroupBox2->setGeometry(9, 16, 176, 238);
    ui.Label6 = MakeLabel(QString::fromUtf8("Wolken Intensität"), ui.GroupBox2, "Label6", 8, 16);
    ui.SBWolkenA =
        MakeScrollBar(ui.GroupBox2, "SBWolkenA", fileSettings.SBWolkenA, {8, 32, 153, 17});
    ui.Label7 =
        MakeLabel(QString::fromUtf8("Mondänderung Intensität"), ui.GroupBox2, "Label7", 8, 64);
    ui.SBMondA = MakeScrollBar(ui.GroupBox2, "SBMondA", fileSettings.SBMondA, {8, 80, 153, 17});
    ui.Label9 = MakeLabel(QStringLiteral("Mondphase"), ui.GroupBox2, "Label9", 8, 112);
    ui.sbmond = MakeScrollBar(ui.GroupBox2, "sbmond", settings.sbmond, {8, 128, 153, 17});
    ui.Label8 = MakeLabel(QStringLiteral("Helligkeit"), ui.GroupBox2, "Label8", 8, 160);
    ui.sbhell = MakeScrollBar(ui.GroupBox2, "sbhell", settings.sbhell, {8, 176, 153, 17});
    ui.Label6->setVisible(false);
    ui.SBWolkenA->setVisible(false);
    ui.Label7->setVisible(false);
    ui.SBMondA->setVisible(false);
    ui.GroupBox2->setVisible(false);

    ui.Button1 = Named(new QPushButton(ui.Panel3), "Button1");
    ui.Button1->setGeometry(24, 280, 153, 25);
    ui.Button2 = Named(new QPushButton(ui.Panel3), "Button2");
    ui.Button2->setGeometry(24, 320, 153, 25);
    ui.Button4 = Named(new QPushButton(ui.Panel3), "Button4");
    ui.Button4->setGeometry(24, 360, 153, 25);

    ui.lbl = Named(new LanguageList(ui.Panel3), "lbl");
    ui.lbl->setGeometry(24, 400, 153, 57);
    for (const QString &name : LanguageNames()) {
        auto *item = new QListWidgetItem(name, ui.lbl);
        item->setSizeHint(QSize(0, 13));
    }

    ui.Label5 = MakeLabel(QString(), ui.Panel3, "Label5", 24, 472);
    ui.SBWolkenT =
        MakeScrollBar(ui.Panel3, "SBWolkenT", fileSettings.SBWolkenT, {24, 488, 153, 17});
    ui.SBWolkenT->setFocusPolicy(Qt::StrongFocus); // reachable with Tab, moved with the arrow keys
    ui.Label5->setBuddy(ui.SBWolkenT);             // its name for screen readers

    ui.Button5 = Named(new FocusHolder(QStringLiteral("Button5"), &form), "Button5");
    ui.Button5->setGeometry(1, 368, 0, 1);

    ui.imback = Named(new ImageControl(ui.Panel2), "imback");
    ui.imback->setGeometry(320, 240, 105, 105);
    ui.imback->setVisible(false);

    ui.aText = MakeLabel(QStringLiteral("aText"), ui.Panel2, "aText", 40, 432);
    ui.aText->setFont(CaptionFont());
    ui.aText->setVisible(false);

    ui.GroupBox1 = Named(new QGroupBox(QStringLiteral("Alt"), ui.Panel2), "GroupBox1");
    ui.GroupBox1->setGeometry(72, 40, 185, 297);
    ui.colorcb = Named(new QCheckBox(QStringLiteral("Farben anzeigen"), ui.GroupBox1), "colorcb");
    ui.colorcb->move(8, 16);
    ui.Label1 = MakeLabel(QString::fromUtf8("N Kanäle"), ui.GroupBox1, "Label1", 8, 40);
    ui.ENK = Named(new QLineEdit(ui.GroupBox1), "ENK");
    ui.ENK->setGeometry(8, 56, 121, 21);
    ui.udnk = Named(new UpDown(settings.udnk, ui.ENK, ui.GroupBox1), "udnk");
    ui.udnk->setGeometry(129, 56, 16, 21);
    ui.Label2 = MakeLabel(QString::fromUtf8("n Stützpunkte"), ui.GroupBox1, "Label2", 8, 88);
    ui.en = Named(new QLineEdit(ui.GroupBox1), "en");
    ui.en->setGeometry(8, 104, 121, 21);
    ui.udn = Named(new UpDown(settings.udn, ui.en, ui.GroupBox1), "udn");
    ui.udn->setGeometry(129, 104, 16, 21);
    ui.Label3 = MakeLabel(QStringLiteral("Tempo"), ui.GroupBox1, "Label3", 8, 136);
    ui.ETempo = Named(new QLineEdit(ui.GroupBox1), "ETempo");
    ui.ETempo->setGeometry(8, 152, 121, 21);
    ui.UDTempo = Named(new UpDown(settings.UDTempo, ui.ETempo, ui.GroupBox1), "UDTempo");
    ui.UDTempo->setGeometry(129, 152, 16, 21);
    ui.Label4 = MakeLabel(QStringLiteral("Zeit pro Schritt:"), ui.GroupBox1, "Label4", 8, 184);
    ui.Timelabel = MakeLabel(QStringLiteral("Timelabel"), ui.GroupBox1, "Timelabel", 96, 184, 81);
    ui.RadioButton1 =
        Named(new QRadioButton(QStringLiteral("5-Kanal-Steuerung"), ui.GroupBox1), "RadioButton1");
    ui.RadioButton1->move(8, 216);
    ui.RadioButton2 =
        Named(new QRadioButton(QStringLiteral("10-Kanal-Steuerung"), ui.GroupBox1), "RadioButton2");
    ui.RadioButton2->move(8, 240);
    ui.RadioButton2->setChecked(true);
    ui.udnk->showPositionQuietly();
    ui.udn->showPositionQuietly();
    ui.UDTempo->showPositionQuietly();
    ui.GroupBox1->setVisible(false);
    // Files are dropped on the window as a whole; the text fields take no drops of their own.
    for (QLineEdit *edit : {ui.ENK, ui.en, ui.ETempo})
        edit->setAcceptDrops(false);

    ui.FLB = Named(new QListWidget(ui.Panel2), "FLB");
    ui.FLB->setGeometry(264, 72, 169, 129);
    ui.FLB->setVisible(false);
    ui.DCB = Named(new QComboBox(ui.Panel2), "DCB");
    ui.DCB->setGeometry(264, 40, 169, 19);
    ui.DCB->addItem(QStringLiteral("/"));
    ui.DCB->setVisible(false);

    ui.Timer1 = Named(new QTimer(&form), "Timer1");
    ui.Timer1->setInterval(500);
    ui.Timer2 = Named(new QTimer(&form), "Timer2");
    ui.Timer2->setInterval(50);

    QWidget::setTabOrder(ui.Button5, ui.Button1);
    QWidget::setTabOrder(ui.Button1, ui.Button2);
    QWidget::setTabOrder(ui.Button2, ui.Button4);
    QWidget::setTabOrder(ui.Button4, ui.lbl);
    QWidget::setTabOrder(ui.lbl, ui.SBWolkenT);
    QWidget::setTabOrder(ui.SBWolkenT, ui.pb);
    ui.Button5->setFocus();
}

void LayOutPanel2(const Form1Controls &ui) {
    const QRect inner = ui.Panel2->contentsRect();
    ui.PStat->setGeometry(inner.left(), inner.bottom() + 1 - kStatusHeight, inner.width(),
                          kStatusHeight);
    const int top = inner.top();
    const int height = inner.height() - kStatusHeight;
    ui.Panel3->setGeometry(inner.right() + 1 - kColumnWidth, top, kColumnWidth, height);
    ui.imcontrol->setGeometry(0, 0, kColumnWidth, height);
    ui.imcontrol->lower();
    ui.pb->setGeometry(inner.left(), top, inner.width() - kColumnWidth, height);
}

} // namespace dim::app
