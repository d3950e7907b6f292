#pragma once

#include "edit/document.h"
#include "model/recoveryfile.h"

#include <QObject>
#include <QString>
#include <QTimer>

namespace dim {

// Keeps the document's unsaved work in this process's recovery file: written within a second
// or two of any change while the document is modified, removed as soon as it is clean again
// and at a normal end. Nothing is written while the document is clean.
class RecoveryKeeper : public QObject {
    Q_OBJECT

public:
    static constexpr int DefaultDelay = 1000; // ms from the first change to the write

    RecoveryKeeper(CurveDocument &document, RecoveryStore &store, int delay = DefaultDelay,
                   QObject *parent = nullptr);

    // The window's caption, which the file keeps with the curves.
    void setCaption(const QString &caption);
    // Writes the file now when the document is modified; true when the file holds the work.
    bool writeNow();
    // A normal end (saved, discarded or clean): the file goes and nothing is written again.
    void finish();

private:
    void followDocument();

    CurveDocument &m_document;
    RecoveryStore &m_store;
    QString m_caption;
    QTimer m_timer;
    bool m_finished = false;
    bool m_warned = false;
};

} // namespace dim
