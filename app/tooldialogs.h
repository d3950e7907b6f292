#pragma once

#include "edit/curvetools.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace dim::app {

// The small dialogs of the curve tools, labelled in a language of the language list. Each
// control has an object name, so that tests drive them by name. They open with the focus in
// their first field; Return is OK.

// A whole number typed into a field: read as typed (an optional "+", leading zeros, spaces
// around), never cut to its range. Nullopt for anything else.
std::optional<int> TypedWholeNumber(const QString &text);

// A dialog of whole-number fields, each with a range. OK is disabled while a field is empty;
// a value that is no whole number in its range is refused beside the field when OK is
// pressed, and the dialog stays open.
class ToolDialog : public QDialog {
public:
    ToolDialog(int language, const QString &title, QWidget *parent);
    void accept() override;

protected:
    struct NumberField {
        QLineEdit *edit;
        QLabel *problem;
        std::function<std::pair<int, int>()> range; // read when OK is pressed
    };
    // Adds a row with a field; the range may follow other fields (a unit).
    QLineEdit *addNumber(const QString &label, const char *name, int value,
                         std::function<std::pair<int, int>()> range);
    void addRow(const QString &label, QWidget *field);
    // The value of a field as typed, nullopt while it is no whole number in its range.
    std::optional<int> valueOf(const QLineEdit *edit) const;
    // Opens with the focus in this field, its text selected.
    void setFirstField(QWidget *field);
    void showEvent(QShowEvent *event) override;

    int m_language;

private:
    void updateOk();

    QFormLayout *m_form;
    QPushButton *m_ok;
    QWidget *m_first = nullptr;
    std::vector<NumberField> m_numbers;
};

// Scale: a percentage 1..1000 ("percent").
class ScaleDialog : public ToolDialog {
public:
    ScaleDialog(int language, QWidget *parent);
    int percent() const;

private:
    QLineEdit *m_percent;
};

// Fill: a value ("value") as a percentage or a level ("unit": 0 percent, 1 level).
class FillDialog : public ToolDialog {
public:
    FillDialog(int language, QWidget *parent);
    // The level the value stands for.
    int level() const;

private:
    QLineEdit *m_value;
    QComboBox *m_unit;
};

// Daylight: start and end on the quarter-hour grid ("start", "end"), ramp in steps of 15
// minutes ("ramp"), peak and base in percent ("peak", "base"). Every change of valid values
// is told at once, so that the chart can show the curve while the dialog is open.
class DaylightDialog : public ToolDialog {
    Q_OBJECT

public:
    DaylightDialog(int language, const DaylightParams &start, QWidget *parent);
    DaylightParams params() const;

signals:
    void paramsChanged(const DaylightParams &params);

private:
    void changed();

    QComboBox *m_start;
    QComboBox *m_end;
    QComboBox *m_ramp;
    QLineEdit *m_peak;
    QLineEdit *m_base;
    DaylightParams m_last;
};

} // namespace dim::app
