#include "app/tooldialogs.h"

#include "model/curvetext.h"
#include "texts/tooltexts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

namespace dim::app {

namespace {

QSpinBox *SpinBox(QWidget *parent, const char *name, int min, int max, int value) {
    auto *box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(min, max);
    box->setValue(value);
    return box;
}

// Times of the quarter-hour grid, "00:00" to "23:45"; the item's data is its minute.
QComboBox *TimeBox(QWidget *parent, const char *name, int minutes) {
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    for (int column = 0; column < FilePoints; ++column)
        box->addItem(QuarterHourText(column), column * MinutesPerColumn);
    box->setCurrentIndex(std::clamp(minutes / MinutesPerColumn, 0, FilePoints - 1));
    return box;
}

// OK and Cancel under a form of labelled fields.
QFormLayout *Form(QDialog *dialog, const QString &title) {
    dialog->setWindowTitle(title);
    auto *form = new QFormLayout(dialog);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    form->addRow(buttons);
    return form;
}

void AddRow(QFormLayout *form, const QString &label, QWidget *field) {
    form->insertRow(form->rowCount() - 1, label, field);
}

} // namespace

ScaleDialog::ScaleDialog(int language, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ScaleDialog"));
    QFormLayout *form = Form(this, GetToolText(ToolText::ScaleTitle, language));
    m_percent = SpinBox(this, "percent", 1, 1000, 100);
    m_percent->setSuffix(QStringLiteral(" %"));
    AddRow(form, GetToolText(ToolText::ScalePercent, language), m_percent);
}

int ScaleDialog::percent() const {
    return m_percent->value();
}

FillDialog::FillDialog(int language, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FillDialog"));
    QFormLayout *form = Form(this, GetToolText(ToolText::FillTitle, language));
    m_value = SpinBox(this, "value", 0, 100, 100);
    m_unit = new QComboBox(this);
    m_unit->setObjectName(QStringLiteral("unit"));
    m_unit->addItem(GetToolText(ToolText::FillPercentUnit, language));
    m_unit->addItem(GetToolText(ToolText::FillLevelUnit, language));
    connect(m_unit, &QComboBox::currentIndexChanged, this,
            [this](int unit) { m_value->setMaximum(unit == 0 ? 100 : MaxLevel); });
    AddRow(form, GetToolText(ToolText::FillValue, language), m_value);
    AddRow(form, QString(), m_unit);
}

int FillDialog::level() const {
    return m_unit->currentIndex() == 0 ? LevelOfPercent(m_value->value()) : m_value->value();
}

DaylightDialog::DaylightDialog(int language, const DaylightParams &start, QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("DaylightDialog"));
    QFormLayout *form = Form(this, GetToolText(ToolText::DaylightTitle, language));
    m_start = TimeBox(this, "start", start.startMinutes);
    m_end = TimeBox(this, "end", start.endMinutes);
    m_ramp = new QComboBox(this);
    m_ramp->setObjectName(QStringLiteral("ramp"));
    for (int minutes = 0; minutes <= 720; minutes += MinutesPerColumn)
        m_ramp->addItem(QString::number(minutes), minutes);
    m_ramp->setCurrentIndex(std::clamp(start.rampMinutes / MinutesPerColumn, 0, 48));
    // Shown in percent; the curve takes the level a percentage stands for.
    auto percentOf = [](int level) { return (level * 100 + MaxLevel / 2) / MaxLevel; };
    m_peak = SpinBox(this, "peak", 0, 100, percentOf(start.peak));
    m_base = SpinBox(this, "base", 0, 100, percentOf(start.base));
    AddRow(form, GetToolText(ToolText::DaylightStart, language), m_start);
    AddRow(form, GetToolText(ToolText::DaylightEnd, language), m_end);
    AddRow(form, GetToolText(ToolText::DaylightRamp, language), m_ramp);
    AddRow(form, GetToolText(ToolText::DaylightPeak, language), m_peak);
    AddRow(form, GetToolText(ToolText::DaylightBase, language), m_base);
    for (QComboBox *box : {m_start, m_end, m_ramp})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { changed(); });
    for (QSpinBox *box : {m_peak, m_base})
        connect(box, &QSpinBox::valueChanged, this, [this] { changed(); });
}

DaylightParams DaylightDialog::params() const {
    return {m_start->currentData().toInt(), m_end->currentData().toInt(),
            m_ramp->currentData().toInt(), LevelOfPercent(m_peak->value()),
            LevelOfPercent(m_base->value())};
}

void DaylightDialog::changed() {
    if (onChange)
        onChange(params());
}

} // namespace dim::app
