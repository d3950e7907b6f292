#include "app/tooldialogs.h"

#include "app/services.h"
#include "edit/curvetools.h"
#include "model/curvetext.h"
#include "texts/tooltexts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace dim::app {

namespace {

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

std::optional<double> TypedDecimal(const QString &text) {
    static const QRegularExpression number(
        QStringLiteral("^\\s*([-+\u2212]?)\\s*([0-9]{1,9}(?:[.,][0-9]{0,9})?|[.,][0-9]{1,9})"
                       "\\s*\u00b0?\\s*$"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    QString digits = match.captured(2);
    digits.replace(QLatin1Char(','), QLatin1Char('.'));
    const double value = QLocale::c().toDouble(digits);
    return match.captured(1).isEmpty() || match.captured(1) == QStringLiteral("+") ? value : -value;
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

QLineEdit *ToolDialog::addDecimal(const QString &label, const char *name, const QString &value,
                                  int min, int max) {
    QLineEdit *edit = addNumber(label, name, 0, [min, max] { return std::pair{min, max}; });
    m_numbers.back().decimal = true;
    edit->setText(value);
    return edit;
}

void ToolDialog::setRowEnabled(QWidget *field, bool enabled) {
    field->setEnabled(enabled);
    if (QWidget *label = m_form->labelForField(field))
        label->setEnabled(enabled);
}

const ToolDialog::NumberField *ToolDialog::fieldOf(const QLineEdit *edit) const {
    for (const NumberField &field : m_numbers) {
        if (field.edit == edit)
            return &field;
    }
    return nullptr;
}

bool ToolDialog::fits(const NumberField &field) const {
    const auto [min, max] = field.range();
    if (field.decimal) {
        const std::optional<double> value = TypedDecimal(field.edit->text());
        return value && *value >= min && *value <= max;
    }
    const std::optional<int> value = TypedWholeNumber(field.edit->text());
    return value && *value >= min && *value <= max;
}

std::optional<int> ToolDialog::valueOf(const QLineEdit *edit) const {
    const NumberField *field = fieldOf(edit);
    if (!field || field->decimal || !fits(*field))
        return std::nullopt;
    return TypedWholeNumber(edit->text());
}

std::optional<double> ToolDialog::decimalOf(const QLineEdit *edit) const {
    const NumberField *field = fieldOf(edit);
    if (!field || !field->decimal || !fits(*field))
        return std::nullopt;
    return TypedDecimal(edit->text());
}

void ToolDialog::updateOk() {
    bool filled = true;
    for (const NumberField &field : m_numbers)
        filled = filled && (!field.edit->isEnabled() || !field.edit->text().trimmed().isEmpty());
    m_ok->setEnabled(filled);
}

void ToolDialog::accept() {
    bool good = true;
    for (const NumberField &field : m_numbers) {
        if (!field.edit->isEnabled() || fits(field))
            continue;
        const auto [min, max] = field.range();
        const ToolText refusal = field.decimal ? ToolText::DecimalRange : ToolText::NumberRange;
        field.problem->setText(GetToolText(refusal, m_language).arg(min).arg(max));
        field.problem->show();
        if (good) {
            field.edit->setFocus();
            field.edit->selectAll();
        }
        good = false;
    }
    if (good) {
        QDialog::accept();
        return;
    }
    // The dialog grows to show the refusals whole: its minimum width is its title's, so its
    // layout does not widen it by itself.
    m_form->activate();
    resize(size().expandedTo(sizeHint()));
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

AcclimationDialog::AcclimationDialog(int language, const QString &base, QWidget *parent)
    : ToolDialog(language, GetToolText(ToolText::AcclimationTitle, language), parent),
      m_base(base) {
    setObjectName(QStringLiteral("AcclimationDialog"));
    const AcclimationPlan plan;
    m_start = addNumber(GetToolText(ToolText::AcclimationStart, language), "startPercent",
                        plan.startPercent,
                        [] { return Range(MinAcclimationStart, MaxAcclimationStart); });
    m_steps = addNumber(GetToolText(ToolText::AcclimationSteps, language), "steps", plan.steps,
                        [] { return Range(MinAcclimationSteps, MaxAcclimationSteps); });
    m_files = new QLabel(this);
    m_files->setObjectName(QStringLiteral("files"));
    addRow(QString(), m_files);
    connect(m_steps, &QLineEdit::textChanged, this, &AcclimationDialog::showFiles);
    showFiles();
    setFirstField(m_start);
}

AcclimationPlan AcclimationDialog::plan() const {
    AcclimationPlan plan;
    plan.startPercent = valueOf(m_start).value_or(plan.startPercent);
    plan.steps = valueOf(m_steps).value_or(plan.steps);
    return plan;
}

void AcclimationDialog::showFiles() {
    const std::optional<int> steps = valueOf(m_steps);
    m_files->setText(
        !steps ? QString()
               : GetToolText(ToolText::AcclimationFiles, m_language)
                     .arg(AcclimationFileName(m_base, 1), AcclimationFileName(m_base, *steps)));
}

} // namespace dim::app
