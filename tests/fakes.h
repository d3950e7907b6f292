#pragma once

#include "app/services.h"
#include "model/clock.h"

#include <QFileDialog>
#include <QStringList>

#include <deque>
#include <optional>

namespace dim::app {

// Dialogs and desktop with prepared answers; records what the window asked.
class ScriptedServices : public Services {
public:
    std::deque<std::optional<QString>> fileAnswers; // nullopt: the user cancels
    std::deque<int> confirmAnswers;                 // 1 OK, 2 Cancel
    QStringList errors;                             // "title|text" of each error box
    QStringList confirmations;                      // "title|text" of each OK/Cancel box
    QStringList notices;                            // "title|text" of each notice
    std::deque<SaveAnswer> saveAnswers;             // none left: Cancel
    QStringList saveQuestions;                      // "title|text" of each
    std::deque<RestoreAnswer> restoreAnswers;       // none left: Later
    QStringList restoreQuestions;                   // "title|text|restore button" of each
    QList<QUrl> openedUrls;
    QStringList dialogNames;
    // Runs while a file dialog is "open", as the event loop would.
    std::function<void()> whileDialogOpen;

    bool runFileDialog(QFileDialog &dialog, QString *path) override {
        dialogNames << dialog.objectName();
        if (whileDialogOpen)
            whileDialogOpen();
        if (fileAnswers.empty())
            return false;
        const std::optional<QString> answer = fileAnswers.front();
        fileAnswers.pop_front();
        if (!answer)
            return false;
        *path = *answer;
        return true;
    }
    int confirm(QWidget *, const QString &text, const QString &title) override {
        confirmations << title + QLatin1Char('|') + text;
        if (confirmAnswers.empty())
            return 2;
        const int answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
    void showError(QWidget *, const QString &title, const QString &text) override {
        errors << title + QLatin1Char('|') + text;
    }
    void showNotice(QWidget *, const QString &title, const QString &text) override {
        notices << title + QLatin1Char('|') + text;
    }
    void openUrl(const QUrl &url) override { openedUrls << url; }
    SaveAnswer askToSave(QWidget *, const QString &title, const QString &text) override {
        saveQuestions << title + QLatin1Char('|') + text;
        return Next(saveAnswers, SaveAnswer::Cancel);
    }
    RestoreAnswer askToRestore(QWidget *, const QString &title, const QString &text,
                               const QString &restore) override {
        restoreQuestions << title + QLatin1Char('|') + text + QLatin1Char('|') + restore;
        return Next(restoreAnswers, RestoreAnswer::Later);
    }

private:
    template <typename T> static T Next(std::deque<T> &answers, T none) {
        if (answers.empty())
            return none;
        const T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class FixedClock : public Clock {
public:
    TimeOfDay time{14, 5, 9};
    TimeOfDay now() const override { return time; }
};

} // namespace dim::app
