#pragma once

#include <QString>

class QDropEvent;
class QMimeData;

namespace dim::app {

// The full path of the one local curve file (*.DIM, any case) a drag carries; empty for
// anything else: several files, a folder, a remote address, text.
QString DroppedCurveFile(const QMimeData *data);

// Answers a drag over the window: one local curve file is accepted as a copy, anything else
// refused, which the pointer shows. Returns the file's path when accepted.
QString AnswerCurveFileDrag(QDropEvent *event);

} // namespace dim::app
