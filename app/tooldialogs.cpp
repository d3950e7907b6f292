#include "app/tooldialogs.h"

#include "app/services.h"
#include "model/curvetext.h"
#include "texts/tooltexts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

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

// Shown in percent; the curve takes the level a percentage stands for.
int PercentOf(int level) {
    return (level * 100 + MaxLevel / 2) / MaxLevel;
}

std::pair<int, int> Range(int min, int max) {
    return {min, max};
}

} // namespace

std::optional<int> TypedWholeNumber(const QString &text) {
    static const QRegularExpression number(QStringLiteral("^\\s*\\+?([0-9]{1,9})\\s*$"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

ToolDialog::ToolDialog(int language, const QString &title, QWidget *parent)
    : QDialog(parent), m_language(language) {
    setWindowTitle(title);
    m_form = new QFormLayout(this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &ToolDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_form->addRow(buttons);
    FitTitle(*this);
}

void ToolDialog::addRow(const QString &label, QWidget *field) {
    m_form->insertRow(m_form->rowCount() - 1, label, field);
}

QLineEdit *ToolDialog::addNumber(const QString &label, const char *name, int value,
                                 std::function<std::pair<int, int>()> range) {
    auto *edit = new QLineEdit(QString::number(value), this);
    edit->setObjectName(QLatin1String(name));
    auto *problem = new QLabel(this);
    problem->setObjectName(QLatin1String(name) + QStringLiteral("Problem"));
    problem->setStyleSheet(QStringLiteral("color: #b00000"));
    problem->hide();
    auto *cell = new QWidget(this);
    auto *column = new QVBoxLayout(cell);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(edit);
    column->addWidget(problem);
    addRow(label, cell);
    m_numbers.push_back({edit, problem, std::move(range)});
    connect(edit, &QLineEdit::textChanged, this, [this, problem] {
        problem->hide();
        updateOk();
    });
    return edit;
}

std::optional<int> ToolDialog::valueOf(const QLineEdit *edit) const {
    for (const NumberField &field : m_numbers) {
        if (field.edit != edit)
            continue;
        const std::optional<int> value = TypedWholeNumber(edit->text());
        const auto [min, max] = field.range();
        if (!value || *value < min || *value > max)
            return std::nullopt;
        return value;
    }
    return std::nullopt;
}

void ToolDialog::updateOk() {
    bool filled = true;
    for (const NumberField &field : m_numbers)
        filled = filled && !field.edit->text().trimmed().isEmpty();
    m_ok->setEnabled(filled);
}

void ToolDialog::accept() {
    bool good = true;
    for (const NumberField &field : m_numbers) {
        if (valueOf(field.edit))
            continue;
        const auto [min, max] = field.range();
        field.problem->setText(GetToolText(ToolText::NumberRange, m_language).arg(min).arg(max));
        field.problem->show();
        if (good) {
            field.edit->setFocus();
            field.edit->selectAll();
        }
        good = false;
    }
    if (good)
        QDialog::accept();
}

void ToolDialog::setFirstField(QWidget *field) {
    m_first = field;
}

void ToolDialog::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!m_first)
        return;
    m_first->setFocus(Qt::OtherFocusReason);
    if (auto *edit = qobject_cast<QLineEdit *>(m_first))
        edit->selectAll();
}

ScaleDialog::ScaleDialog(int language, QWidget *parent)
    : ToolDialog(language, GetToolText(ToolText::ScaleTitle, language), parent) {
    setObjectName(QStringLiteral("ScaleDialog"));
    m_percent = addNumber(GetToolText(ToolText::ScalePercent, language), "percent", 100,
                          [] { return Range(1, 1000); });
    setFirstField(m_percent);
}

int ScaleDialog::percent() const {
    return valueOf(m_percent).value_or(100);
}

FillDialog::FillDialog(int language, QWidget *parent)
    : ToolDialog(language, GetToolText(ToolText::FillTitle, language), parent) {
    setObjectName(QStringLiteral("FillDialog"));
    m_unit = new QComboBox(this);
    m_unit->setObjectName(QStringLiteral("unit"));
    m_unit->addItem(GetToolText(ToolText::FillPercentUnit, language));
    m_unit->addItem(GetToolText(ToolText::FillLevelUnit, language));
    // The range is the one of the unit in force when OK is pressed.
    m_value = addNumber(GetToolText(ToolText::FillValue, language), "value", 100,
                        [this] { return Range(0, m_unit->currentIndex() == 0 ? 100 : MaxLevel); });
    addRow(QString(), m_unit);
    setFirstField(m_value);
}

int FillDialog::level() const {
    const int value = valueOf(m_value).value_or(0);
    return m_unit->currentIndex() == 0 ? LevelOfPercent(value) : value;
}

DaylightDialog::DaylightDialog(int language, const DaylightParams &start, QWidget *parent)
    : ToolDialog(language, GetToolText(ToolText::DaylightTitle, language), parent), m_last(start) {
    setObjectName(QStringLiteral("DaylightDialog"));
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
    m_peak = addNumber(GetToolText(ToolText::DaylightPeak, language), "peak", PercentOf(start.peak),
                       [] { return Range(0, 100); });
    m_base = addNumber(GetToolText(ToolText::DaylightBase, language), "base", PercentOf(start.base),
                       [] { return Range(0, 100); });
    setFirstField(m_start);
    for (QComboBox *box : {m_start, m_end, m_ramp})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { changed(); });
    for (QLineEdit *edit : {m_peak, m_base})
        connect(edit, &QLineEdit::textChanged, this, [this] { changed(); });
    changed();
}

DaylightParams DaylightDialog::params() const {
    return m_last;
}

void DaylightDialog::changed() {
    // The preview follows what is typed as long as it is a value; OK refuses the rest.
    const std::optional<int> peak = valueOf(m_peak);
    const std::optional<int> base = valueOf(m_base);
    if (!peak || !base)
        return;
    m_last = {m_start->currentData().toInt(), m_end->currentData().toInt(),
              m_ramp->currentData().toInt(), LevelOfPercent(*peak), LevelOfPercent(*base)};
    emit paramsChanged(m_last);
}

} // namespace dim::app
