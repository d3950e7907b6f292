#pragma once

#include "model/settings.h"

class QCheckBox;
class QComboBox;
class QFont;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;
class QWidget;

namespace dim::app {

class ChartView;
class FocusHolder;
class ImageControl;
class LanguageList;
class UpDown;

// The controls of the main window under their layout names, as the layout builds them.
struct Form1Controls {
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
    FocusHolder *Button5 = nullptr;
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
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
};

// The window's font: "MS Sans Serif" (a sans serif where it is missing) of a pixel size.
QFont SystemFont(int pixelSize);

// Builds the window's controls into form with their start values (the settings' positions,
// the layout's captions), hidden where the layout hides them, in the layout's tab order, and
// the start focus on Button5.
void BuildForm1(QWidget &form, Form1Controls &ui, Settings &settings,
                const FileSettings &fileSettings);

// Places the status line, the control column and the chart in Panel2's inside.
void LayOutPanel2(const Form1Controls &ui);

} // namespace dim::app
