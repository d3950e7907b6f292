#include "app/chartmenu.h"

#include "app/budgetwindow.h"
#include "app/daylightdialog.h"
#include "app/dialogguard.h"
#include "app/filedialogs.h"
#include "app/services.h"
#include "app/tooldialogs.h"
#include "edit/acclimation.h"
#include "edit/charteditor.h"
#include "edit/document.h"
#include "texts/helptexts.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QUndoStack>

#include <memory>
#include <optional>

namespace dim::app {

namespace {

// A row of the menu: a tool with its shortcut, or a separator.
struct Entry {
    std::optional<ToolText> text;
    QKeySequence keys;
    QKeySequence::StandardKey standard = QKeySequence::UnknownKey;
};

const Entry kEntries[] = {
    {ToolText::Copy, {}, QKeySequence::Copy},
    {ToolText::Paste, {}, QKeySequence::Paste},
    {std::nullopt, {}},
    {ToolText::ShiftEarlier, QKeySequence(Qt::CTRL | Qt::Key_Left)},
    {ToolText::ShiftLater, QKeySequence(Qt::CTRL | Qt::Key_Right)},
    {ToolText::ShiftHourEarlier, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left)},
    {ToolText::ShiftHourLater, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right)},
    {std::nullopt, {}},
    {ToolText::Scale, {}},
    {ToolText::Smooth, {}},
    {ToolText::Fill, {}},
    {ToolText::Clear, {}, QKeySequence::Delete},
    {ToolText::Daylight, {}},
    {std::nullopt, {}},
    {ToolText::Acclimation, {}},
    {std::nullopt, {}},
    {ToolText::ContinuousStrokes, {}},
    {std::nullopt, {}},
    {ToolText::PlayDay, QKeySequence(Qt::Key_F5)},
    {ToolText::LightBudget, {}},
};

// The entries that act on the current channel, disabled without one.
bool OnChannel(ToolText text) {
    return text != ToolText::ContinuousStrokes && text != ToolText::PlayDay &&
           text != ToolText::LightBudget && text != ToolText::Acclimation;
}

} // namespace

ChartMenu::ChartMenu(ChartEditor &editor, CurveDocument &document, QWidget &window, MenuFiles files)
    : QObject(&window), m_editor(editor), m_document(document), m_window(window),
      m_files(std::move(files)), m_menu(new QMenu(&window)) {
    m_menu->setObjectName(QStringLiteral("chartMenu"));
    for (const Entry &entry : kEntries) {
        if (!entry.text) {
            m_menu->addSeparator();
            continue;
        }
        auto *action = new QAction(this);
        if (entry.standard != QKeySequence::UnknownKey)
            action->setShortcuts(entry.standard); // the desktop's own keys for the verb
        else
            action->setShortcut(entry.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        window.addAction(action); // the shortcuts work wherever the pointer is in the window
        m_menu->addAction(action);
        m_actions[*entry.text] = action;
        if (!m_firstTool)
            m_firstTool = action;
    }
    m_menu->insertSeparator(m_firstTool);

    QAction *continuous = m_actions.at(ToolText::ContinuousStrokes);
    continuous->setCheckable(true); // off at every start: nothing is remembered
    connect(continuous, &QAction::toggled, this,
            [this](bool on) { m_editor.setContinuousStrokes(on); });
    const auto apply = [this](ToolText name, DayCurve (*tool)(const DayCurve &)) {
        return [this, name, tool] { m_editor.apply(name, tool); };
    };
    const std::pair<ToolText, std::function<void()>> handlers[] = {
        {ToolText::Copy, [this] { copy(); }},
        {ToolText::Paste, [this] { paste(); }},
        {ToolText::ShiftEarlier,
         apply(ToolText::ShiftEarlier, [](const DayCurve &c) { return ShiftLater(c, -1); })},
        {ToolText::ShiftLater,
         apply(ToolText::ShiftLater, [](const DayCurve &c) { return ShiftLater(c, 1); })},
        {ToolText::ShiftHourEarlier,
         apply(ToolText::ShiftHourEarlier,
               [](const DayCurve &c) { return ShiftLater(c, -ColumnsPerHour); })},
        {ToolText::ShiftHourLater,
         apply(ToolText::ShiftHourLater,
               [](const DayCurve &c) { return ShiftLater(c, ColumnsPerHour); })},
        {ToolText::Scale, [this] { scale(); }},
        {ToolText::Smooth, apply(ToolText::Smooth, &Smooth)},
        {ToolText::Fill, [this] { fill(); }},
        {ToolText::Clear, apply(ToolText::Clear, [](const DayCurve &) { return Filled(0); })},
        {ToolText::Daylight, [this] { daylight(); }},
        {ToolText::Acclimation, [this] { acclimation(); }},
        {ToolText::PlayDay, [this] { m_editor.togglePlay(); }},
        {ToolText::LightBudget, [this] { showBudget(); }},
    };
    for (const auto &[text, handler] : handlers)
        connect(m_actions.at(text), &QAction::triggered, this, handler);
    // Escape stops a play wherever the focus is; it is nobody's key while nothing plays.
    m_stopPlay = new QAction(this);
    m_stopPlay->setObjectName(QStringLiteral("stopPlay"));
    m_stopPlay->setShortcut(QKeySequence(Qt::Key_Escape));
    m_stopPlay->setShortcutContext(Qt::WindowShortcut);
    m_stopPlay->setEnabled(false);
    window.addAction(m_stopPlay);
    connect(m_stopPlay, &QAction::triggered, this, [this] { m_editor.stopPlay(); });
    connect(&m_editor.player(), &DayPlayer::stateChanged, this, [this](DayPlayer::State state) {
        m_stopPlay->setEnabled(state != DayPlayer::State::Stopped);
    });
    connect(&m_editor, &ChartEditor::currentChannelChanged, this, &ChartMenu::followChannel);
    followChannel(m_editor.currentChannel());
    relabel(0);
}

void ChartMenu::buildHistoryActions() {
    // The history's own actions take their names from the steps when they are made: they are
    // made again when the language changes.
    QAction *oldUndo = m_undo;
    QAction *oldRedo = m_redo;
    m_undo = m_document.undoStack().createUndoAction(this);
    m_redo = m_document.undoStack().createRedoAction(this);
    m_undo->setObjectName(QStringLiteral("undo"));
    m_redo->setObjectName(QStringLiteral("redo"));
    m_undo->setShortcuts(QKeySequence::Undo);
    m_redo->setShortcuts(RedoKeys());
    for (QAction *action : {m_undo, m_redo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        m_window.addAction(action);
    }
    // A stroke under way ends before the history moves, so it is the step undone: the
    // document's own undo and redo do that.
    QUndoStack *stack = &m_document.undoStack();
    disconnect(m_undo, &QAction::triggered, stack, nullptr);
    disconnect(m_redo, &QAction::triggered, stack, nullptr);
    connect(m_undo, &QAction::triggered, this, [this] {
        m_editor.cutOff();
        m_document.undo();
    });
    connect(m_redo, &QAction::triggered, this, [this] {
        m_editor.cutOff();
        m_document.redo();
    });
    m_menu->insertAction(m_menu->actions().value(0), m_undo);
    m_menu->insertAction(m_menu->actions().value(1), m_redo);
    delete oldUndo;
    delete oldRedo;
}

void ChartMenu::relabel(int language) {
    m_language = language;
    for (const auto &[text, action] : m_actions)
        action->setText(GetToolText(text, language));
    buildHistoryActions();
    if (m_budget)
        m_budget->relabel(language);
}

void ChartMenu::popup(const QPoint &globalPosition) {
    m_menu->popup(globalPosition);
}

void ChartMenu::followChannel(int channel) {
    for (const auto &[text, action] : m_actions) {
        if (text == ToolText::Acclimation) // of all channels
            action->setEnabled(m_files.services && m_files.fileSystem && m_files.guard);
        else if (OnChannel(text))
            action->setEnabled(channel != 0);
    }
}

void ChartMenu::copy() {
    const QString text = m_editor.copyText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void ChartMenu::paste() {
    m_editor.paste(QGuiApplication::clipboard()->text());
}

void ChartMenu::scale() {
    if (m_editor.currentChannel() == 0)
        return;
    ScaleDialog dialog(m_language, &m_window);
    if (RunDialog(dialog) != QDialog::Accepted)
        return;
    const int percent = dialog.percent();
    m_editor.apply(ToolText::Scale,
                   [percent](const DayCurve &curve) { return Scale(curve, percent); });
}

void ChartMenu::fill() {
    if (m_editor.currentChannel() == 0)
        return;
    FillDialog dialog(m_language, &m_window);
    if (RunDialog(dialog) != QDialog::Accepted)
        return;
    const int level = dialog.level();
    m_editor.apply(ToolText::Fill, [level](const DayCurve &) { return Filled(level); });
}

void ChartMenu::daylight() {
    const int channel = m_editor.currentChannel();
    if (channel == 0)
        return;
    DaylightDialog dialog(m_language, DaylightStart(channel), &m_window);
    connect(&dialog, &DaylightDialog::curveChanged, this,
            [this](const DayCurve &curve) { m_editor.preview(curve); });
    m_editor.preview(dialog.curve());
    const bool accepted = RunDialog(dialog) == QDialog::Accepted;
    // However the dialog ended, the chart shows the curves again.
    m_editor.endPreview();
    if (!accepted)
        return;
    const DayCurve curve = dialog.curve();
    m_editor.apply(ToolText::Daylight, [curve](const DayCurve &) { return curve; });
}

void ChartMenu::acclimation() {
    if (!m_files.services || !m_files.fileSystem || !m_files.guard)
        return;
    // The series is named after the file the caption names, and goes where it lies unless
    // another folder is chosen.
    const QString caption = m_window.windowTitle();
    const QString base = CaptionSeriesBaseName(caption);
    AcclimationDialog dialog(m_language, base, &m_window);
    if (RunDialog(dialog) != QDialog::Accepted)
        return;
    const AcclimationPlan plan = dialog.plan();
    m_files.guard([&] {
        const std::unique_ptr<QFileDialog> folders(MakeFolderDialog(
            &m_window, "FolderDialog", GetToolText(ToolText::AcclimationFolder, m_language)));
        if (caption.startsWith(QLatin1Char('/')))
            folders->setDirectory(QFileInfo(caption).absolutePath());
        QString folder;
        if (!m_files.services->runFileDialog(*folders, &folder))
            return;
        const std::vector<AcclimationFile> files =
            WriteAcclimationSeries(*m_files.fileSystem, folder, base, m_document.curves(),
                                   m_document.fileSettings(), plan);
        const QChar point = m_language == 1 ? QLatin1Char('.') : QLatin1Char(',');
        QString text = GetToolText(ToolText::AcclimationWritten, m_language)
                           .arg(files.size())
                           .arg(QDir::toNativeSeparators(folder));
        for (const AcclimationFile &file : files)
            text += QStringLiteral("\n%1  %2")
                        .arg(QFileInfo(file.path).fileName(),
                             AcclimationPercentText(file.percent, point));
        m_files.services->showNotice(&m_window, GetToolText(ToolText::AcclimationTitle, m_language),
                                     text);
    });
}

void ChartMenu::showBudget() {
    if (!m_budget) {
        m_budget = new BudgetWindow(m_document, m_editor.texts(), &m_window);
        m_budget->relabel(m_language);
    }
    m_budget->showBeside(m_window.findChild<QWidget *>(QStringLiteral("pb")));
}

} // namespace dim::app
