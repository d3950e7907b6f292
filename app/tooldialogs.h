#pragma once

#include "edit/acclimation.h"

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
// A decimal number typed into a field: a sign, digits with a point or a comma (as the
// languages of the list write them), spaces and a degree sign around. Nullopt for anything else.
std::optional<double> TypedDecimal(const QString &text);

// A dialog of number fields (whole or decimal), each with a range. OK is disabled while a
// field is empty; a value that is no number in its range is refused beside the field when
// OK is pressed, and the dialog stays open. Disabled fields are not asked.
class ToolDialog : public QDialog {
public:
    ToolDialog(int language, const QString &title, QWidget *parent);
    void accept() override;

protected:
    struct NumberField {
        QLineEdit *edit;
        QLabel *problem;
        std::function<std::pair<int, int>()> range; // read when OK is pressed
        bool decimal = false;
    };
    // Adds a row with a field; the range may follow other fields (a unit).
    QLineEdit *addNumber(const QString &label, const char *name, int value,
                         std::function<std::pair<int, int>()> range);
    // A field of a decimal number in a fixed range.
    QLineEdit *addDecimal(const QString &label, const char *name, const QString &value, int min,
                          int max);
    void addRow(const QString &label, QWidget *field);
    // A field and its label, enabled or not.
    void setRowEnabled(QWidget *field, bool enabled);
    // The value of a field as typed, nullopt while it is no whole number in its range.
    std::optional<int> valueOf(const QLineEdit *edit) const;
    std::optional<double> decimalOf(const QLineEdit *edit) const;
    // OK follows the fields: to be told when fields are enabled or disabled.
    void updateOk();
    // Opens with the focus in this field, its text selected.
    void setFirstField(QWidget *field);
    void showEvent(QShowEvent *event) override;

    int m_language;

private:
    const NumberField *fieldOf(const QLineEdit *edit) const;
    bool fits(const NumberField &field) const;

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

// Acclimation series: the start in percent of the curves ("startPercent", 1..99) and the
// number of files ("steps", 2..99); "files" names the first and the last file of the
// series of that base name.
class AcclimationDialog : public ToolDialog {
public:
    AcclimationDialog(int language, const QString &base, QWidget *parent);
    // The series of all channels.
    AcclimationPlan plan() const;

private:
    void showFiles();

    QString m_base;
    QLineEdit *m_start;
    QLineEdit *m_steps;
    QLabel *m_files;
};

} // namespace dim::app
