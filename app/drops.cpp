#include "app/drops.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace dim::app {

QString DroppedCurveFile(const QMimeData *data) {
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return {};
    const QFileInfo file(urls.front().toLocalFile());
    if (!file.isFile() || file.suffix().compare(QStringLiteral("dim"), Qt::CaseInsensitive) != 0)
        return {};
    return file.absoluteFilePath();
}

QString AnswerCurveFileDrag(QDropEvent *event) {
    const QString path = DroppedCurveFile(event->mimeData());
    if (path.isEmpty() || !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return {};
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return path;
}

} // namespace dim::app
