#include "edit/recoverykeeper.h"

#include <QtGlobal>

namespace dim {

RecoveryKeeper::RecoveryKeeper(CurveDocument &document, RecoveryStore &store, int delay,
                               QObject *parent)
    : QObject(parent), m_document(document), m_store(store) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(delay);
    connect(&m_timer, &QTimer::timeout, this, [this] { writeNow(); });
    connect(&m_document, &CurveDocument::changed, this, &RecoveryKeeper::followDocument);
    connect(&m_document, &CurveDocument::modifiedChanged, this, &RecoveryKeeper::followDocument);
}

void RecoveryKeeper::setCaption(const QString &caption) {
    if (caption == m_caption)
        return;
    m_caption = caption;
    followDocument();
}

void RecoveryKeeper::followDocument() {
    if (m_finished)
        return;
    if (!m_document.isModified()) {
        m_timer.stop();
        m_store.remove();
        return;
    }
    // Not restarted by later changes: a long drag is still written every delay.
    if (!m_timer.isActive())
        m_timer.start();
}

bool RecoveryKeeper::writeNow() {
    m_timer.stop();
    if (m_finished || !m_document.isModified())
        return false;
    try {
        m_store.write(RecoveryBytes(m_document.curves(), m_document.fileSettings(), m_caption));
    } catch (const IoError &error) {
        // The editor goes on; the next change tries again.
        if (!m_warned)
            qWarning("The unsaved curves could not be kept in %s: %s",
                     qPrintable(m_store.ownFile()), qPrintable(error.message()));
        m_warned = true;
        return false;
    }
    return true;
}

void RecoveryKeeper::finish() {
    m_finished = true;
    m_timer.stop();
    m_store.remove();
}

} // namespace dim
