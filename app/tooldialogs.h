#pragma once

#include "edit/curvetools.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QSpinBox;

namespace dim::app {

// The small dialogs of the curve tools, labelled in a language of the language list. Each
// control has an object name, so that tests drive them by name.

// Scale: a percentage 1..1000 ("percent").
class ScaleDialog : public QDialog {
public:
    ScaleDialog(int language, QWidget *parent);
    int percent() const;

private:
    QSpinBox *m_percent;
};

// Fill: a value ("value") as a percentage or a level ("unit": 0 percent, 1 level).
class FillDialog : public QDialog {
public:
    FillDialog(int language, QWidget *parent);
    // The level the value stands for.
    int level() const;

private:
    QSpinBox *m_value;
    QComboBox *m_unit;
};

// Daylight: start and end on the quarter-hour grid ("start", "end"), ramp in steps of 15
// minutes ("ramp"), peak and base in percent ("peak", "base"). Every change is told at once,
// so that the chart can show the curve while the dialog is open.
class DaylightDialog : public QDialog {
public:
    DaylightDialog(int language, const DaylightParams &start, QWidget *parent);
    DaylightParams params() const;
    std::function<void(const DaylightParams &)> onChange;

private:
    void changed();

    QComboBox *m_start;
    QComboBox *m_end;
    QComboBox *m_ramp;
    QSpinBox *m_peak;
    QSpinBox *m_base;
};

} // namespace dim::app
