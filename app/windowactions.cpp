#include "app/windowactions.h"

#include "app/form1layout.h"
#include "app/services.h"
#include "texts/helptexts.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace dim::app {

namespace {

// An action of the window whose keys are the desktop's for key, or fallback where the desktop
// binds none (Quit on some).
QAction *WindowAction(QWidget &window, QObject *parent, QKeySequence::StandardKey key,
                      const QKeySequence &fallback = {}) {
    auto *action = new QAction(parent);
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (keys.isEmpty() && !fallback.isEmpty())
        keys << fallback;
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);
    return action;
}

QString HelpHtml(int language) {
    QString html = QStringLiteral("<table cellspacing='0' cellpadding='3'>");
    for (const HelpSection &section : HelpContents(language)) {
        html += QStringLiteral("<tr><td colspan='2'><b>%1</b></td></tr>")
                    .arg(section.title.toHtmlEscaped());
        for (const HelpRow &row : section.rows)
            html += QStringLiteral("<tr><td style='padding-right:16px'>%1</td><td>%2</td></tr>")
                        .arg(row.keys.toHtmlEscaped(), row.what.toHtmlEscaped());
    }
    return html + QStringLiteral("</table>");
}

} // namespace

WindowActions::WindowActions(QWidget &window, const Form1Controls &ui)
    : QObject(&window), m_window(window), m_ui(ui),
      m_open(WindowAction(window, this, QKeySequence::Open)),
      m_save(WindowAction(window, this, QKeySequence::Save)),
      m_new(WindowAction(window, this, QKeySequence::New)),
      m_quit(WindowAction(window, this, QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q))),
      m_help(WindowAction(window, this, QKeySequence::HelpContents)) {
    // As if the buttons were clicked: the same commands, the same guards.
    connect(m_open, &QAction::triggered, ui.Button1, &QPushButton::click);
    connect(m_save, &QAction::triggered, ui.Button2, &QPushButton::click);
    connect(m_new, &QAction::triggered, ui.Button4, &QPushButton::click);
    connect(m_quit, &QAction::triggered, &window, &QWidget::close);
    connect(m_help, &QAction::triggered, this, &WindowActions::showHelp);
}

void WindowActions::relabel(int language) {
    m_language = language;
    // The shortcut's name follows the toolkit's translation, installed with the language.
    for (auto [button, action] : {std::pair{m_ui.Button1, m_open}, std::pair{m_ui.Button2, m_save},
                                  std::pair{m_ui.Button4, m_new}})
        button->setToolTip(QStringLiteral("%1 (%2)").arg(
            button->text(), action->shortcut().toString(QKeySequence::NativeText)));
    if (m_helpWindow)
        fillHelp();
}

void WindowActions::showHelp() {
    if (!m_helpWindow) {
        m_helpWindow = new QDialog(&m_window);
        m_helpWindow->setObjectName(QStringLiteral("HelpWindow"));
        auto *layout = new QVBoxLayout(m_helpWindow);
        auto *text = new QLabel(m_helpWindow);
        text->setObjectName(QStringLiteral("helpText"));
        text->setTextFormat(Qt::RichText);
        layout->addWidget(text);
        fillHelp();
    }
    m_helpWindow->show(); // not modal: the editor goes on beside it
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
}

void WindowActions::fillHelp() {
    m_helpWindow->setWindowTitle(HelpTitle(m_language));
    m_helpWindow->findChild<QLabel *>(QStringLiteral("helpText"))->setText(HelpHtml(m_language));
    FitTitle(*m_helpWindow);
}

} // namespace dim::app
