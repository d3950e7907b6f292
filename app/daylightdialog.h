#pragma once

#include "app/tooldialogs.h"
#include "edit/curvetools.h"
#include "edit/sun.h"

class QButtonGroup;
class QDateEdit;
class QRadioButton;

namespace dim::app {

// Daylight: start and end on the quarter-hour grid ("start", "end"), ramp in steps of 15
// minutes ("ramp"), peak and base in percent ("peak", "base"). Start and end are typed
// ("typedTimes") or come from the sun ("fromSun") of a place ("place": a native place, or
// the last item for coordinates of one's own) at a latitude and longitude ("latitude",
// "longitude") on a date ("date") in a clock ("utcOffset"), moved by a shift ("shift");
// "sunTimes" tells sunrise, sunset and day length. A native place keeps its own clock; one's
// own place the system's. The clock follows the place and the date until it is chosen by
// hand. Every change of valid values is told at once, so that the chart can show the
// curve while the dialog is open.
class DaylightDialog : public ToolDialog {
    Q_OBJECT

public:
    DaylightDialog(int language, const DaylightParams &start, QWidget *parent);
    // The last good values and the sun's day they stand under (RisesAndSets for typed times).
    DaylightParams params() const { return m_last; }
    SunDay day() const { return m_day; }
    DayCurve curve() const { return DaylightUnder(m_day, m_last); }

signals:
    void curveChanged(const DayCurve &curve);

private:
    void addSunRows();
    void useSun(bool on);
    void pickPlace(int index);
    void followClock();
    void setOffset(int minutes);
    void changed();

    QRadioButton *m_typed;
    QRadioButton *m_sun;
    QComboBox *m_place;
    QLineEdit *m_latitude;
    QLineEdit *m_longitude;
    QDateEdit *m_date;
    QComboBox *m_offset;
    QComboBox *m_shift;
    QLabel *m_sunTimes;
    QComboBox *m_start;
    QComboBox *m_end;
    QComboBox *m_ramp;
    QLineEdit *m_peak;
    QLineEdit *m_base;
    DaylightParams m_last;
    SunDay m_day = SunDay::RisesAndSets;
    bool m_offsetByHand = false; // the offset was chosen, it no longer follows
    bool m_filling = false;      // fields are being filled in, not changed by the user
};

} // namespace dim::app
