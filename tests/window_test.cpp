#include "app/windowactions.h"
#include "window_fixture.h"

#include "edit/steptime.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include <optional>

using namespace dim;
using namespace dim::app;

namespace {

using StartState = WindowTest;

TEST_F(StartState, WindowOpensMaximisedAndGerman) {
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kelmaro Brantoq"));
    EXPECT_EQ(window->ui().Button1->text(), QStringLiteral("Laden"));
    EXPECT_EQ(window->ui().Button2->text(), QStringLiteral("Speichern"));
    EXPECT_EQ(window->ui().Button4->text(), QStringLiteral("Neu"));
    EXPECT_EQ(window->ui().Label5->text(), QStringLiteral("Wolken Tempo"));
    EXPECT_EQ(window->ui().Label6->text(), QString::fromUtf8("Wolken Intensität"));
    EXPECT_EQ(window->ui().Label7->text(), QString::fromUtf8("Mondänderung "));
    ASSERT_EQ(window->ui().lbl->count(), 4);
    EXPECT_EQ(window->ui().lbl->item(2)->text(), QString::fromUtf8("Française"));
    EXPECT_EQ(window->ui().lbl->currentRow(), 0);
    EXPECT_TRUE(window->ui().lbl->item(0)->isSelected());
    EXPECT_TRUE(window->ui().PStat->text().isEmpty());
    EXPECT_EQ(window->ui().SBWolkenT->value(), 1);
    EXPECT_EQ(window->ui().SBWolkenT->minimum(), 1);
    EXPECT_EQ(window->ui().SBWolkenT->maximum(), 255);
    EXPECT_EQ(window->ui().Timelabel->text(), QStringLiteral("Timelabel"));
    EXPECT_EQ(state->StepFactor, 830); // the window has been activated
}

TEST_F(StartState, ControlsHaveTheirNamesPlacesAndVisibility) {
    struct Place {
        const char *name;
        QRect geometry;
    };
    const Place places[] = {{"Button1", {24, 280, 153, 25}},
                            {"Button2", {24, 320, 153, 25}},
                            {"Button4", {24, 360, 153, 25}},
                            {"lbl", {24, 400, 153, 57}},
                            {"SBWolkenT", {24, 488, 153, 17}}};
    for (const Place &p : places) {
        auto *w = window->findChild<QWidget *>(QLatin1String(p.name));
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->geometry(), p.geometry) << p.name;
        EXPECT_EQ(w->parentWidget(), window->ui().Panel3) << p.name;
        EXPECT_TRUE(w->isVisible()) << p.name;
    }
    EXPECT_EQ(window->ui().Label5->pos(), QPoint(24, 472));
    EXPECT_EQ(window->ui().Panel3->width(), 200);
    EXPECT_EQ(window->ui().PStat->height(), 33);
    EXPECT_EQ(window->ui().PStat->palette().color(QPalette::Window), QColor(128, 255, 255));
    EXPECT_EQ(window->ui().PStat->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_EQ(window->ui().pb->geometry().right() + 1, window->ui().Panel3->geometry().left());
    EXPECT_EQ(window->ui().pb->geometry().bottom() + 1, window->ui().PStat->geometry().top());
    EXPECT_EQ(window->ui().imcontrol->size(), window->ui().Panel3->size());

    for (const char *hidden : {"imback",    "aText",   "GroupBox1", "GroupBox2",    "FLB",
                               "DCB",       "ENK",     "udnk",      "en",           "udn",
                               "ETempo",    "UDTempo", "colorcb",   "RadioButton1", "RadioButton2",
                               "Timelabel", "Label4",  "SBWolkenA", "SBMondA",      "sbhell",
                               "sbmond",    "Label6",  "Label7",    "Label8",       "Label9"}) {
        auto *w = window->findChild<QWidget *>(QLatin1String(hidden));
        ASSERT_NE(w, nullptr) << hidden;
        EXPECT_FALSE(w->isVisible()) << hidden;
    }
    EXPECT_EQ(window->ui().ENK->text(), QStringLiteral("4"));
    EXPECT_EQ(window->ui().en->text(), QStringLiteral("96"));
    EXPECT_EQ(window->ui().ETempo->text(), QStringLiteral("255"));
    EXPECT_TRUE(window->ui().RadioButton2->isChecked());
    EXPECT_FALSE(window->ui().RadioButton1->isChecked());
    EXPECT_FALSE(window->ui().colorcb->isChecked());
    EXPECT_EQ(window->ui().GroupBox1->title(), QStringLiteral("Alt"));
    EXPECT_EQ(window->ui().GroupBox2->title(), QStringLiteral("Nicht Sichtbar"));
    EXPECT_EQ(window->ui().aText->font().pixelSize(), 113);
    EXPECT_EQ(window->ui().sbmond->maximum(), 27);
    EXPECT_EQ(window->ui().sbhell->maximum(), 100);
}

TEST_F(StartState, TimersDialogsAndFocus) {
    EXPECT_TRUE(window->ui().Timer2->isActive());
    EXPECT_EQ(window->ui().Timer2->interval(), 50);
    EXPECT_FALSE(window->ui().Timer1->isActive());
    EXPECT_EQ(window->ui().Timer1->interval(), 500);
    for (QFileDialog *dialog : {window->FOD(), window->FSD()}) {
        EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("Dimwerte (*.DIM)")});
        EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("DIM"));
    }
    EXPECT_EQ(window->FSD()->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(window->FSD()->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(window->FOD()->fileMode(), QFileDialog::AnyFile);
    EXPECT_EQ(QApplication::focusWidget(), window->ui().Button5);
    // Tab walks the control column in its order.
    for (QWidget *next :
         {static_cast<QWidget *>(window->ui().Button1),
          static_cast<QWidget *>(window->ui().Button2),
          static_cast<QWidget *>(window->ui().Button4), static_cast<QWidget *>(window->ui().lbl),
          static_cast<QWidget *>(window->ui().SBWolkenT)}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next)
            << next->objectName().toStdString() << " "
            << QApplication::focusWidget()->objectName().toStdString();
    }
}

TEST_F(StartState, ControlColumnShowsTheSheetStripe) {
    const QImage &picture = window->ui().imcontrol->picture();
    ASSERT_FALSE(picture.isNull());
    EXPECT_GE(picture.height(), window->ui().imcontrol->height());
    EXPECT_EQ(picture.pixel(100, 300), window->sheet().pixel(2100, 300));
    EXPECT_EQ(picture.pixel(50, 50), window->sheet().pixel(2050, 50));
}

TEST_F(StartState, WindowIconFollowsTheFirstPictureAtTitleBarSize) {
    // The fixture has waited for the first paint; the icon comes in the next pass.
    ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::windowIcon().isNull(); }));
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    ASSERT_FALSE(sizes.isEmpty());
    for (const QSize &size : sizes)
        EXPECT_LE(std::max(size.width(), size.height()), 64);
}

TEST_F(StartState, WindowMappedBeforeItsControlsEndsUpTheSame) {
    // The editor's own start: the window asks to be mapped, then builds its controls.
    EditorState otherState;
    TForm1 other(otherState,
                 Environment{services, fileSystem(), clock, SheetDecode(EmbeddedSheetJpeg())},
                 WindowStart::MapFirst);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(QApplication::focusWidget(), other.ui().Button5);
    for (QWidget *mine : window->findChildren<QWidget *>()) {
        if (mine->objectName().isEmpty() || mine->objectName().startsWith(QLatin1String("qt_")) ||
            mine->isWindow())
            continue;
        const auto *theirs = other.findChild<QWidget *>(mine->objectName());
        ASSERT_NE(theirs, nullptr) << mine->objectName().toStdString();
        EXPECT_EQ(theirs->isVisible(), mine->isVisible()) << mine->objectName().toStdString();
    }
}

// Keeps a window's activation from it, as a desktop that prevents focus stealing does, or a
// display without a window manager; and notes whether a control had its picture when it was
// first painted.
class NeverActivatedWindow : public QObject {
public:
    NeverActivatedWindow(QWidget &window, ImageControl &control) : m_control(control) {
        window.installEventFilter(this);
        control.installEventFilter(this);
    }
    std::optional<bool> pictureAtFirstPaint;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == &m_control && event->type() == QEvent::Paint && !pictureAtFirstPaint)
            pictureAtFirstPaint = !m_control.picture().isNull();
        return event->type() == QEvent::WindowActivate;
    }

private:
    ImageControl &m_control;
};

TEST_F(StartState, WindowNeverActivatedShowsItsColumnPictureFromItsFirstPaint) {
    EditorState otherState;
    TForm1 other(otherState,
                 Environment{services, fileSystem(), clock, SheetDecode(EmbeddedSheetJpeg())},
                 WindowStart::MapFirst);
    NeverActivatedWindow watch(other, *other.ui().imcontrol);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    ASSERT_TRUE(QTest::qWaitFor([&] { return watch.pictureAtFirstPaint.has_value(); }));
    EXPECT_NE(otherState.StepFactor, ActivationStepFactor); // activation's own work never ran
    EXPECT_TRUE(*watch.pictureAtFirstPaint);
    const QImage &picture = other.ui().imcontrol->picture();
    ASSERT_FALSE(picture.isNull());
    EXPECT_GE(picture.height(), other.ui().imcontrol->height());
    EXPECT_EQ(picture.pixel(100, 300), other.sheet().pixel(2100, 300));
}

TEST_F(StartState, WindowCannotBeMadeSmallerThan640By480) {
    window->showNormal();
    window->setMinimumSize(0, 0); // the resize handler alone must bring the limit back
    window->resize(300, 200);
    QApplication::processEvents();
    EXPECT_GE(window->frameGeometry().width(), 640);
    EXPECT_GE(window->frameGeometry().height(), 480);
    window->resize(700, 300);
    QApplication::processEvents();
    EXPECT_EQ(window->width(), 700);
    EXPECT_GE(window->frameGeometry().height(), 480);
}

TEST_F(StartState, ApplyLanguageRelabelsTheSixCaptions) {
    window->ApplyLanguage(1);
    EXPECT_EQ(window->ui().lbl->currentRow(), 1);
    EXPECT_EQ(window->ui().Button1->text(), QStringLiteral("Load"));
    EXPECT_EQ(window->ui().Button2->text(), QStringLiteral("Save"));
    EXPECT_EQ(window->ui().Button4->text(), QStringLiteral("New"));
    EXPECT_EQ(window->ui().Label5->text(), QStringLiteral("Speed of Clouds"));
    EXPECT_EQ(window->ui().Label6->text(), QStringLiteral("Clouds amplitude"));
    EXPECT_EQ(window->ui().Label7->text(), QStringLiteral("Moon change "));
    EXPECT_EQ(window->GetText(21), QStringLiteral("W h i t e  "));
    window->ApplyLanguage(3);
    EXPECT_EQ(window->ui().Button1->text(), QStringLiteral("Tienda"));
    EXPECT_EQ(window->ui().Label6->text(), QString::fromUtf8("Wolken Intensität"));
    EXPECT_EQ(window->ui().Label7->text(), QString::fromUtf8("Mondänderung "));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kelmaro Brantoq"));
}

TEST_F(StartState, LanguageListNeverLosesItsSelection) {
    QListWidget *list = window->ui().lbl;
    const QRect first = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, first.center());
    EXPECT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->currentRow(), 0);
    const QRect second = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(window->ui().Button1->text(), QStringLiteral("Load"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, second.center());
    EXPECT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->currentRow(), 1);
    list->clearSelection();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentRow(), 2);
    EXPECT_EQ(window->ui().Button1->text(), QStringLiteral("Boutique"));
}

using StepTimeWindow = WindowTest;

TEST_F(StepTimeWindow, EditChangesRecomputeTheReadOut) {
    window->ui().UDTempo->setPosition(12);
    EXPECT_EQ(window->ui().Timelabel->text(), QStringLiteral("ca.16.34 sec."));
    QLocale::setDefault(QLocale(QLocale::German));
    window->ui().UDTempo->setPosition(1);
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(window->ui().Timelabel->text(), QStringLiteral("ca.106,24 sec."));
}

TEST_F(StepTimeWindow, FiveChannelModeLimitsTheSpinners) {
    window->ui().udnk->setPosition(7);
    EXPECT_EQ(window->ui().ENK->text(), QStringLiteral("7"));
    window->ui().RadioButton1->click();
    EXPECT_EQ(state->StepFactor, 460);
    EXPECT_EQ(window->ui().udnk->position(), 5);
    EXPECT_EQ(window->ui().ENK->text(), QStringLiteral("5"));
    EXPECT_EQ(window->ui().udn->position(), 96);
    EXPECT_EQ(state->settings.udn.Max, 24);
    EXPECT_EQ(window->ui().Timelabel->text(), QStringLiteral("ca.0.46 sec."));
    EXPECT_EQ(geometry().ChannelCount, 5);
    window->ui().RadioButton2->click();
    EXPECT_EQ(state->StepFactor, 400);
    EXPECT_EQ(window->ui().Timelabel->text(), QStringLiteral("ca.0.4 sec."));
}

// The toolkit's dialogs speak the language chosen in the list and switch with it.
TEST_F(StartState, StandardDialogsFollowTheLanguageList) {
    QFileDialog *dialog = window->FOD(); // made while German is in force
    const struct {
        int row;
        const char *cancel;
    } cases[] = {
        {0, "Abbrechen"}, {2, "Annuler"}, {3, "Cancelar"}, {1, "Cancel"}, {0, "Abbrechen"}};
    for (const auto &c : cases) {
        window->ui().lbl->setCurrentRow(c.row);
        QApplication::processEvents(); // the toolkit posts its language change
        const QAbstractButton *cancel =
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel);
        EXPECT_EQ(cancel->text().remove(QLatin1Char('&')), QString::fromUtf8(c.cancel)) << c.row;
        QMessageBox box(QMessageBox::NoIcon, {}, {}, QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove(QLatin1Char('&')),
                  QString::fromUtf8(c.cancel))
            << c.row;
    }
}

// Closing a file dialog, confirmed or not, leaves no window of it on screen, not even the
// completion list of its name field.
TEST_F(StartState, FileDialogsLeaveOnlyTheMainWindowOnScreen) {
    for (const bool confirm : {true, false}) {
        QFileDialog *dialog = confirm ? window->FSD() : window->FOD();
        QTimer::singleShot(0, dialog, [dialog, confirm] {
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            name->setText(QDir::tempPath() + QStringLiteral("/P1.DIM"));
            name->completer()->popup()->show();
            if (confirm)
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            else
                dialog->reject();
        });
        QString path;
        EXPECT_EQ(DesktopServices().runFileDialog(*dialog, &path), confirm);
        QApplication::processEvents();
        QStringList shown;
        for (const QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget != window.get())
                shown << QString::fromLatin1(widget->metaObject()->className());
        }
        EXPECT_EQ(shown, QStringList()) << confirm;
    }
}

} // namespace

namespace {

using Shortcuts = dim::app::WindowTest;

// The desktop's keys reach the window's commands wherever the focus is; the buttons' tooltips
// name them in the language in force.
TEST_F(Shortcuts, TheDesktopsKeysRunTheCommands) {
    using dim::app::SaveAnswer;
    QWidget *focus = window->ui().lbl;
    focus->setFocus();
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(services.dialogNames, (QStringList{QStringLiteral("FOD"), QStringLiteral("FSD")}));
    QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(services.confirmations.size(), 1);
    EXPECT_EQ(window->ui().Button1->toolTip(), QStringLiteral("Laden (Strg+O)"));
    window->ui().lbl->setCurrentRow(1);
    EXPECT_EQ(window->ui().Button2->toolTip(), QStringLiteral("Save (Ctrl+S)"));
    EXPECT_EQ(window->ui().Button4->toolTip(), QStringLiteral("New (Ctrl+N)"));

    QTest::keyClick(window.get(), Qt::Key_F1);
    QDialog *help = window->windowActions().helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_FALSE(help->isModal());
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Help"));
    const QString text = help->findChild<QLabel *>(QStringLiteral("helpText"))->text();
    EXPECT_TRUE(text.contains(QStringLiteral("Ctrl+O"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("the menu of the curve tools")));
    window->ui().lbl->setCurrentRow(2);
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Aide"));
    help->close();

    // Quit asks about unsaved curves as closing does; a clean editor goes at once.
    SetLevels({{1, 1, 1}});
    services.saveAnswers = {SaveAnswer::Cancel};
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(services.saveQuestions.size(), 1);
    EXPECT_TRUE(window->isVisible());
    state->document.undo();
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

} // namespace
