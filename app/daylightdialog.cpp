#include "app/daylightdialog.h"

#include "edit/places.h"
#include "model/curvetext.h"
#include "texts/tooltexts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>

namespace dim::app {

namespace {

// Times of the quarter-hour grid, "00:00" to "23:45"; the item's data is its minute.
QComboBox *TimeBox(QWidget *parent, const char *name, int minutes) {
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    for (int column = 0; column < FilePoints; ++column)
        box->addItem(QuarterHourText(column), column * MinutesPerColumn);
    box->setCurrentIndex(std::clamp(minutes / MinutesPerColumn, 0, FilePoints - 1));
    return box;
}

// Minutes from -limit to limit in quarter-hours, shown by text; the item's data is the minute.
QComboBox *MinutesBox(QWidget *parent, const char *name, int limit, QString (*text)(int minutes)) {
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    for (int minutes = -limit; minutes <= limit; minutes += MinutesPerColumn)
        box->addItem(text(minutes), minutes);
    box->setCurrentIndex(box->findData(0));
    return box;
}

QString ShiftText(int minutes) {
    return minutes > 0 ? QStringLiteral("+%1").arg(minutes) : QString::number(minutes);
}

QString OffsetText(int minutes) {
    return QStringLiteral("UTC") + UtcOffsetText(minutes);
}

// Shown in percent; the curve takes the level a percentage stands for.
int PercentOf(int level) {
    return (level * 100 + MaxLevel / 2) / MaxLevel;
}

// The locale of a language of the list, for the calendar's names of months and days.
QLocale LocaleOf(int language) {
    static const QLocale::Language languages[] = {QLocale::German, QLocale::English,
                                                  QLocale::French, QLocale::Spanish};
    return QLocale(languages[std::clamp(language, 0, 3)]);
}

constexpr int kLatitude = static_cast<int>(MaxLatitude);
constexpr int kLongitude = static_cast<int>(MaxLongitude);

QString Degrees(double value) {
    return QString::number(value, 'f', 2);
}

// Sunrise, sunset and day length as the dialog tells them, or the polar day or night.
QString SunTimesText(const SunTimes &sun, int language) {
    switch (sun.day) {
    case SunDay::PolarDay:
        return GetToolText(ToolText::DaylightPolarDay, language);
    case SunDay::PolarNight:
        return GetToolText(ToolText::DaylightPolarNight, language);
    case SunDay::RisesAndSets:
        break;
    }
    return GetToolText(ToolText::DaylightSunTimes, language)
        .arg(ClockText(NearestMinuteOfDay(sun.sunrise)), ClockText(NearestMinuteOfDay(sun.sunset)),
             DurationText(sun.dayLength));
}

} // namespace

DaylightDialog::DaylightDialog(int language, const DaylightParams &start, QWidget *parent)
    : ToolDialog(language, GetToolText(ToolText::DaylightTitle, language), parent), m_last(start) {
    setObjectName(QStringLiteral("DaylightDialog"));
    // The rows in the order the keyboard goes through them.
    addSunRows();
    m_start = TimeBox(this, "start", start.startMinutes);
    m_end = TimeBox(this, "end", start.endMinutes);
    m_ramp = new QComboBox(this);
    m_ramp->setObjectName(QStringLiteral("ramp"));
    for (int minutes = 0; minutes <= MinutesPerDay / 2; minutes += MinutesPerColumn)
        m_ramp->addItem(QString::number(minutes), minutes);
    m_ramp->setCurrentIndex(
        std::clamp(start.rampMinutes / MinutesPerColumn, 0, MinutesPerDay / 2 / MinutesPerColumn));
    addRow(GetToolText(ToolText::DaylightStart, language), m_start);
    addRow(GetToolText(ToolText::DaylightEnd, language), m_end);
    addRow(GetToolText(ToolText::DaylightRamp, language), m_ramp);
    m_peak =
        addNumber(GetToolText(ToolText::DaylightPeak, language), "peak", PercentOf(start.peak), [] {
            return std::pair{0, 100};
        });
    m_base =
        addNumber(GetToolText(ToolText::DaylightBase, language), "base", PercentOf(start.base), [] {
            return std::pair{0, 100};
        });
    setFirstField(m_start);

    for (QComboBox *box : {m_start, m_end, m_ramp, m_shift})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { changed(); });
    for (QLineEdit *edit : {m_peak, m_base, m_latitude, m_longitude})
        connect(edit, &QLineEdit::textChanged, this, [this] { changed(); });
    // Coordinates typed by hand are a place of one's own.
    for (QLineEdit *edit : {m_latitude, m_longitude})
        connect(edit, &QLineEdit::textEdited, this, [this] {
            m_filling = true;
            m_place->setCurrentIndex(m_place->count() - 1);
            m_filling = false;
        });
    connect(m_place, &QComboBox::currentIndexChanged, this, &DaylightDialog::pickPlace);
    connect(m_date, &QDateEdit::dateChanged, this, [this] {
        followClock();
        changed();
    });
    connect(m_offset, &QComboBox::currentIndexChanged, this, [this] {
        if (m_filling)
            return;
        m_offsetByHand = true;
        changed();
    });
    connect(m_sun, &QRadioButton::toggled, this, &DaylightDialog::useSun);
    useSun(false);
}

void DaylightDialog::addSunRows() {
    const int language = m_language;
    auto *choice = new QWidget(this);
    auto *choiceRow = new QHBoxLayout(choice);
    choiceRow->setContentsMargins(0, 0, 0, 0);
    m_typed = new QRadioButton(GetToolText(ToolText::DaylightTypedTimes, language), choice);
    m_typed->setObjectName(QStringLiteral("typedTimes"));
    m_sun = new QRadioButton(GetToolText(ToolText::DaylightFromSun, language), choice);
    m_sun->setObjectName(QStringLiteral("fromSun"));
    m_typed->setChecked(true);
    choiceRow->addWidget(m_typed);
    choiceRow->addWidget(m_sun);
    choiceRow->addStretch();
    addRow(QString(), choice);

    m_place = new QComboBox(this);
    m_place->setObjectName(QStringLiteral("place"));
    for (const NativePlace &place : NativePlaces())
        m_place->addItem(GetToolText(place.name, language));
    m_place->addItem(GetToolText(ToolText::PlaceOwn, language));
    addRow(GetToolText(ToolText::DaylightPlace, language), m_place);
    const NativePlace &first = NativePlaces().front();
    m_latitude = addDecimal(GetToolText(ToolText::DaylightLatitude, language), "latitude",
                            Degrees(first.latitude), -kLatitude, kLatitude);
    m_longitude = addDecimal(GetToolText(ToolText::DaylightLongitude, language), "longitude",
                             Degrees(first.longitude), -kLongitude, kLongitude);
    m_date = new QDateEdit(QDate::currentDate(), this);
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_date->setDateRange(QDate(FirstSunYear, 1, 1), QDate(LastSunYear, 12, 31));
    m_date->setCalendarPopup(true);
    m_date->setLocale(LocaleOf(language));
    addRow(GetToolText(ToolText::DaylightDate, language), m_date);
    m_offset = MinutesBox(this, "utcOffset", MaxUtcOffsetMinutes, &OffsetText);
    addRow(GetToolText(ToolText::DaylightUtcOffset, language), m_offset);
    m_shift = MinutesBox(this, "shift", MaxSunShiftMinutes, &ShiftText);
    addRow(GetToolText(ToolText::DaylightShift, language), m_shift);
    m_sunTimes = new QLabel(this);
    m_sunTimes->setObjectName(QStringLiteral("sunTimes"));
    // As wide as its longest text, so that the dialog does not change its size.
    int width = 0;
    SunTimes longest;
    longest.sunrise = longest.sunset = longest.dayLength = 23 * 60;
    for (const SunDay day : {SunDay::RisesAndSets, SunDay::PolarDay, SunDay::PolarNight}) {
        longest.day = day;
        width = std::max(
            width, m_sunTimes->fontMetrics().horizontalAdvance(SunTimesText(longest, language)));
    }
    m_sunTimes->setMinimumWidth(width);
    addRow(QString(), m_sunTimes);
    followClock();
}

void DaylightDialog::useSun(bool on) {
    for (QWidget *field : std::initializer_list<QWidget *>{m_place, m_latitude->parentWidget(),
                                                           m_longitude->parentWidget(), m_date,
                                                           m_offset, m_shift, m_sunTimes})
        setRowEnabled(field, on);
    setRowEnabled(m_start, !on);
    setRowEnabled(m_end, !on);
    updateOk();
    changed();
}

void DaylightDialog::pickPlace(int index) {
    if (m_filling)
        return;
    const bool native = index >= 0 && index < NativePlaceCount;
    if (native) {
        const NativePlace &place = NativePlaces()[static_cast<size_t>(index)];
        m_filling = true;
        m_latitude->setText(Degrees(place.latitude));
        m_longitude->setText(Degrees(place.longitude));
        m_filling = false;
    }
    changed();
}

void DaylightDialog::followClock() {
    if (m_offsetByHand)
        return;
    const QDate date = m_date->date();
    setOffset(UtcOffsetOn(date, QTimeZone::systemTimeZone()));
}

void DaylightDialog::setOffset(int minutes) {
    m_filling = true;
    m_offset->setCurrentIndex(
        std::max(0, m_offset->findData(minutes / MinutesPerColumn * MinutesPerColumn)));
    m_filling = false;
}

void DaylightDialog::changed() {
    if (m_filling)
        return;
    // The preview follows what is typed as long as it is a value; OK refuses the rest.
    const std::optional<int> peak = valueOf(m_peak);
    const std::optional<int> base = valueOf(m_base);
    DaylightParams params{m_start->currentData().toInt(), m_end->currentData().toInt(),
                          m_ramp->currentData().toInt(), LevelOfPercent(peak.value_or(0)),
                          LevelOfPercent(base.value_or(0))};
    // The sun is told whenever the place is good, also while the times are typed.
    SunDay day = SunDay::RisesAndSets;
    const std::optional<double> latitude = decimalOf(m_latitude);
    const std::optional<double> longitude = decimalOf(m_longitude);
    if (!latitude || !longitude) {
        m_sunTimes->clear();
        if (m_sun->isChecked())
            return;
    } else {
        const SunTimes sun =
            SunriseSunset(*latitude, *longitude, m_date->date(), m_offset->currentData().toInt());
        m_sunTimes->setText(SunTimesText(sun, m_language));
        const SunLight light = SunLightOfDay(sun, m_shift->currentData().toInt());
        if (m_sun->isChecked()) {
            day = light.day;
            if (day == SunDay::RisesAndSets) {
                params.startMinutes = light.startMinutes;
                params.endMinutes = light.endMinutes;
                m_filling = true;
                m_start->setCurrentIndex(light.startMinutes / MinutesPerColumn);
                m_end->setCurrentIndex(light.endMinutes / MinutesPerColumn);
                m_filling = false;
            }
        }
    }
    if (!peak || !base)
        return;
    m_last = params;
    m_day = day;
    emit curveChanged(curve());
}

} // namespace dim::app
