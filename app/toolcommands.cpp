// The curve tools of the main window: its chart menu, their shortcuts and what each does.
// Every tool is one step of the curve document on the current channel's 96 points.

#include "app/mainwindow.h"

#include "app/controls.h"
#include "app/dialogguard.h"
#include "app/services.h"
#include "app/tooldialogs.h"
#include "model/curvetext.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>
#include <QMenu>

namespace dim::app {

namespace {

// The step's name: the menu text without its accelerator and dots.
QString StepName(ToolText text, int language) {
    QString name = GetToolText(text, language);
    name.remove(QLatin1Char('&'));
    if (name.endsWith(QLatin1String("...")))
        name.chop(3);
    return name;
}

struct ToolEntry {
    ToolText text;
    QKeySequence keys;
};

} // namespace

void TForm1::buildToolActions() {
    chartMenu = new QMenu(this);
    chartMenu->setObjectName(QStringLiteral("chartMenu"));
    const ToolEntry entries[] = {
        {ToolText::Copy, QKeySequence(Qt::CTRL | Qt::Key_C)},
        {ToolText::Paste, QKeySequence(Qt::CTRL | Qt::Key_V)},
        {ToolText::Count, {}},
        {ToolText::ShiftEarlier, QKeySequence(Qt::CTRL | Qt::Key_Left)},
        {ToolText::ShiftLater, QKeySequence(Qt::CTRL | Qt::Key_Right)},
        {ToolText::ShiftHourEarlier, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left)},
        {ToolText::ShiftHourLater, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right)},
        {ToolText::Count, {}},
        {ToolText::Scale, {}},
        {ToolText::Smooth, {}},
        {ToolText::Fill, {}},
        {ToolText::Clear, QKeySequence(Qt::Key_Delete)},
        {ToolText::Daylight, {}},
        {ToolText::Count, {}},
        {ToolText::ContinuousStrokes, {}},
    };
    for (const ToolEntry &entry : entries) {
        if (entry.text == ToolText::Count) {
            chartMenu->addSeparator();
            continue;
        }
        auto *action = new QAction(this);
        action->setShortcut(entry.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action); // the shortcuts work wherever the pointer is in the window
        chartMenu->addAction(action);
        toolActions[entry.text] = action;
    }
    QAction *continuous = toolActions[ToolText::ContinuousStrokes];
    continuous->setCheckable(true); // off at every start: nothing is remembered
    const std::pair<ToolText, std::function<void()>> handlers[] = {
        {ToolText::Copy, [this] { CopyCurve(); }},
        {ToolText::Paste, [this] { PasteCurve(); }},
        {ToolText::ShiftEarlier, [this] { ShiftCurve(-1); }},
        {ToolText::ShiftLater, [this] { ShiftCurve(1); }},
        {ToolText::ShiftHourEarlier, [this] { ShiftCurve(-4); }},
        {ToolText::ShiftHourLater, [this] { ShiftCurve(4); }},
        {ToolText::Scale, [this] { ScaleCurve(); }},
        {ToolText::Smooth, [this] { SmoothCurve(); }},
        {ToolText::Fill, [this] { FillCurve(); }},
        {ToolText::Clear, [this] { ClearCurve(); }},
        {ToolText::Daylight, [this] { DaylightCurve(); }},
    };
    for (const auto &[text, handler] : handlers)
        connect(toolActions[text], &QAction::triggered, this, handler);
    pb->onContextMenu = [this](const QPoint &at) {
        updateToolActions();
        chartMenu->popup(at);
    };
    updateToolActions();
}

void TForm1::relabelToolActions() {
    for (const auto &[text, action] : toolActions)
        action->setText(GetToolText(text, lbl->currentRow()));
}

void TForm1::updateToolActions() {
    const bool enabled = currentChannel() != 0;
    for (const auto &[text, action] : toolActions) {
        if (text != ToolText::ContinuousStrokes && action->isEnabled() != enabled)
            action->setEnabled(enabled);
    }
}

int TForm1::currentChannel() const {
    if (pb->hasFocus())
        return m_point.channel;
    const int channel = m_state.cursor.CursorChannel;
    return IsFilePoint(channel, 0) ? channel : 0;
}

bool TForm1::continuousStrokes() const {
    return toolActions.at(ToolText::ContinuousStrokes)->isChecked();
}

void TForm1::applyToChannel(ToolText name, const std::function<DayCurve(const DayCurve &)> &tool) {
    const int channel = currentChannel();
    if (channel == 0)
        return;
    LevelTable levels = m_state.document.Levels();
    SetChannelCurve(levels, channel, tool(ChannelCurve(levels, channel)));
    m_state.document.change(levels, m_state.document.fileSettings(),
                            StepName(name, lbl->currentRow()));
}

void TForm1::showPreview(std::optional<LevelTable> levels) {
    m_preview = std::move(levels);
    if (const int channel = currentChannel())
        m_state.chart.BandDirty[static_cast<size_t>(channel - 1)] = 1;
    PaintCurves(false);
}

void TForm1::CopyCurve() {
    if (const int channel = currentChannel())
        QGuiApplication::clipboard()->setText(
            CurveClipboardText(ChannelCurve(m_state.document.Levels(), channel)));
}

void TForm1::PasteCurve() {
    if (currentChannel() == 0)
        return;
    const auto parsed = ParseCurveClipboard(QGuiApplication::clipboard()->text());
    if (const auto *curve = std::get_if<DayCurve>(&parsed)) {
        applyToChannel(ToolText::Paste, [curve](const DayCurve &) { return *curve; });
        return;
    }
    const auto [heading, reason] =
        RefusedPasteText(std::get<ClipboardRefusal>(parsed), lbl->currentRow());
    m_env.services.showNotice(this, heading, reason);
}

void TForm1::ShiftCurve(int quarters) {
    const ToolText name = quarters == -1  ? ToolText::ShiftEarlier
                          : quarters == 1 ? ToolText::ShiftLater
                          : quarters < 0  ? ToolText::ShiftHourEarlier
                                          : ToolText::ShiftHourLater;
    applyToChannel(name, [quarters](const DayCurve &curve) { return ShiftLater(curve, quarters); });
}

void TForm1::ScaleCurve() {
    if (currentChannel() == 0)
        return;
    ScaleDialog dialog(lbl->currentRow(), this);
    if (RunDialog(dialog) != QDialog::Accepted)
        return;
    const int percent = dialog.percent();
    applyToChannel(ToolText::Scale,
                   [percent](const DayCurve &curve) { return Scale(curve, percent); });
}

void TForm1::SmoothCurve() {
    applyToChannel(ToolText::Smooth, [](const DayCurve &curve) { return Smooth(curve); });
}

void TForm1::FillCurve() {
    if (currentChannel() == 0)
        return;
    FillDialog dialog(lbl->currentRow(), this);
    if (RunDialog(dialog) != QDialog::Accepted)
        return;
    const int level = dialog.level();
    applyToChannel(ToolText::Fill, [level](const DayCurve &) { return Filled(level); });
}

void TForm1::ClearCurve() {
    applyToChannel(ToolText::Clear, [](const DayCurve &) { return Filled(0); });
}

void TForm1::DaylightCurve() {
    const int channel = currentChannel();
    if (channel == 0)
        return;
    // The moon shines by night; the other channels by day.
    const DaylightParams start = channel == 4 ? DaylightParams{20 * 60, 6 * 60, 60, 26, 0}
                                              : DaylightParams{8 * 60, 20 * 60, 120, MaxLevel, 0};
    DaylightDialog dialog(lbl->currentRow(), start, this);
    const auto preview = [this, channel](const DaylightParams &params) {
        LevelTable levels = m_state.document.Levels();
        SetChannelCurve(levels, channel, Daylight(params));
        showPreview(levels);
    };
    dialog.onChange = preview;
    preview(dialog.params());
    const bool accepted = RunDialog(dialog) == QDialog::Accepted;
    showPreview(std::nullopt);
    if (!accepted)
        return;
    const DaylightParams params = dialog.params();
    applyToChannel(ToolText::Daylight, [params](const DayCurve &) { return Daylight(params); });
}

} // namespace dim::app
