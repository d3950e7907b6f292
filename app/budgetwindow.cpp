#include "app/budgetwindow.h"

#include "edit/budget.h"
#include "edit/document.h"
#include "texts/figures.h"
#include "texts/texts.h"
#include "texts/tooltexts.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include <optional>

namespace dim::app {

namespace {

// Shown for a figure that cannot be given: no value typed, or one refused.
const QString kOpen = QStringLiteral("–");

const ToolText kHeadings[] = {
    ToolText::BudgetChannel, ToolText::BudgetLit,    ToolText::BudgetDark, ToolText::BudgetHours,
    ToolText::BudgetWatts,   ToolText::BudgetEnergy, ToolText::BudgetPpfd, ToolText::BudgetDli};

// A typed value: none when the field is empty, refused when it is no number of 0 or more.
struct Typed {
    bool given = false;
    bool refused = false;
    double value = 0;
};

Typed ReadField(const QLineEdit *field) {
    if (field->text().trimmed().isEmpty())
        return {};
    const std::optional<double> value = ParseFigure(field->text());
    return value ? Typed{true, false, *value} : Typed{true, true, 0};
}

// A field marked as refused, or not.
void MarkRefused(QLineEdit *field, bool refused, const QString &why) {
    field->setProperty("refused", refused);
    field->setToolTip(refused ? why : QString());
    QPalette palette = field->parentWidget()->palette();
    if (refused)
        palette.setColor(QPalette::Base, QColor(255, 208, 208));
    field->setPalette(palette);
}

QLabel *Figure(QWidget *parent, const QString &name) {
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

BudgetWindow::BudgetWindow(const CurveDocument &document, const TextTable &texts, QWidget *parent)
    : QDialog(parent), m_document(document), m_texts(texts) {
    setObjectName(QStringLiteral("BudgetWindow"));
    build();
    connect(&m_document, &CurveDocument::changed, this, &BudgetWindow::refresh);
    // It goes with the main window: no window of the editor is left behind it.
    if (parent)
        parent->window()->installEventFilter(this);
    relabel(0);
}

void BudgetWindow::build() {
    auto *grid = new QGridLayout(this);
    grid->setHorizontalSpacing(14);
    for (size_t c = 0; c < m_headings.size(); ++c) {
        m_headings[c] = new QLabel(this);
        m_headings[c]->setAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignBottom
                                           : Qt::AlignRight | Qt::AlignBottom);
        m_headings[c]->setWordWrap(true);
        grid->addWidget(m_headings[c], 0, static_cast<int>(c));
    }
    const auto field = [this](const QString &name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setAlignment(Qt::AlignRight);
        edit->setPlaceholderText(QStringLiteral("0"));
        edit->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000000")));
        connect(edit, &QLineEdit::textChanged, this, &BudgetWindow::refresh);
        return edit;
    };
    for (int channel = 1; channel <= FileChannels; ++channel) {
        const QString n = QString::number(channel);
        ChannelRow &row = m_rows[static_cast<size_t>(channel - 1)];
        row = {new QLabel(this),
               Figure(this, QStringLiteral("lit") + n),
               Figure(this, QStringLiteral("dark") + n),
               Figure(this, QStringLiteral("hours") + n),
               field(QStringLiteral("watts") + n),
               Figure(this, QStringLiteral("energy") + n),
               field(QStringLiteral("ppfd") + n),
               Figure(this, QStringLiteral("dli") + n)};
        QWidget *cells[] = {row.name,  row.lit,    row.dark, row.hours,
                            row.watts, row.energy, row.ppfd, row.dli};
        for (int c = 0; c < 8; ++c)
            grid->addWidget(cells[c], channel, c,
                            c == 4 || c == 6 ? Qt::AlignRight : Qt::Alignment());
    }
    const int totals = FileChannels + 1;
    m_total = new QLabel(this);
    m_energyTotal = Figure(this, QStringLiteral("energyTotal"));
    m_dliTotal = Figure(this, QStringLiteral("dliTotal"));
    QFont bold = font();
    bold.setBold(true);
    for (QLabel *label : {m_total, m_energyTotal, m_dliTotal})
        label->setFont(bold);
    grid->addWidget(m_total, totals, 0);
    grid->addWidget(m_energyTotal, totals, 5);
    grid->addWidget(m_dliTotal, totals, 7);
    m_linear = new QLabel(this);
    m_linear->setObjectName(QStringLiteral("linearNote"));
    m_linear->setWordWrap(true);
    grid->addWidget(m_linear, totals + 1, 0, 1, 8);
    m_refused = new QLabel(this);
    m_refused->setObjectName(QStringLiteral("refusedNote"));
    m_refused->setWordWrap(true);
    m_refused->setStyleSheet(QStringLiteral("color: #b00000"));
    grid->addWidget(m_refused, totals + 2, 0, 1, 8);
}

void BudgetWindow::relabel(int language) {
    m_language = language;
    setWindowTitle(GetToolText(ToolText::BudgetTitle, language));
    for (size_t c = 0; c < m_headings.size(); ++c)
        m_headings[c]->setText(GetToolText(kHeadings[c], language));
    for (int channel = 1; channel <= FileChannels; ++channel)
        m_rows[static_cast<size_t>(channel - 1)].name->setText(
            ChannelName(m_texts, language, channel).trimmed());
    m_total->setText(GetToolText(ToolText::BudgetTotal, language));
    m_linear->setText(GetToolText(ToolText::BudgetLinear, language));
    refresh();
}

void BudgetWindow::refresh() {
    const QString why = GetToolText(ToolText::BudgetRefused, m_language);
    std::array<Typed, FileChannels> watts;
    std::array<Typed, FileChannels> ppfd;
    std::array<double, FileChannels> wattValues{};
    std::array<double, FileChannels> ppfdValues{};
    for (size_t i = 0; i < m_rows.size(); ++i) {
        watts[i] = ReadField(m_rows[i].watts);
        ppfd[i] = ReadField(m_rows[i].ppfd);
        MarkRefused(m_rows[i].watts, watts[i].refused, why);
        MarkRefused(m_rows[i].ppfd, ppfd[i].refused, why);
        wattValues[i] = watts[i].value;
        ppfdValues[i] = ppfd[i].value;
    }
    const LightBudget budget = DayLightBudget(m_document.Levels(), wattValues, ppfdValues);
    // A figure is given when its value was typed and taken.
    const auto figure = [this](const Typed &typed, double value, int decimals) {
        return typed.given && !typed.refused ? DecimalFigure(value, decimals, m_language) : kOpen;
    };
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const ChannelBudget &channel = budget.channels[i];
        const ChannelRow &row = m_rows[i];
        row.lit->setText(ClockTime(channel.litMinutes));
        row.dark->setText(ClockTime(channel.longestDarkMinutes));
        row.hours->setText(DecimalFigure(channel.fullPowerHours, 2, m_language));
        row.energy->setText(figure(watts[i], channel.energyWh, 1));
        row.dli->setText(figure(ppfd[i], channel.dli, 2));
    }
    // A total is given when one value at least was typed and every one typed was taken.
    const auto column = [](const std::array<Typed, FileChannels> &typed) {
        Typed all;
        for (const Typed &t : typed) {
            all.given = all.given || t.given;
            all.refused = all.refused || t.refused;
        }
        return all;
    };
    const Typed allWatts = column(watts);
    const Typed allPpfd = column(ppfd);
    m_energyTotal->setText(figure(allWatts, budget.totalEnergyWh, 1));
    m_dliTotal->setText(figure(allPpfd, budget.totalDli, 2));
    const bool refused = allWatts.refused || allPpfd.refused;
    m_refused->setText(refused ? why : QString());
    m_refused->setVisible(refused);
    // A note that appears, or headings in another language, may need more room.
    if (isVisible())
        resize(size().expandedTo(sizeHint()));
}

void BudgetWindow::showBeside(const QWidget *chart) {
    if (!m_placed && chart) {
        adjustSize();
        const QPoint corner = chart->mapToGlobal(QPoint(chart->width(), 0));
        QPoint at(corner.x() - width() - 24, corner.y() + 24);
        if (const QScreen *s = chart->screen())
            at.setX(std::max(at.x(), s->availableGeometry().left()));
        move(at);
        m_placed = true;
    }
    show(); // not modal: the editor goes on beside it
    raise();
    activateWindow();
}

bool BudgetWindow::eventFilter(QObject *watched, QEvent *event) {
    // The main window closes (a hide it asked for, not one of being minimised).
    if (event->type() == QEvent::Hide && !event->spontaneous() && watched == parentWidget())
        close();
    return QDialog::eventFilter(watched, event);
}

} // namespace dim::app
