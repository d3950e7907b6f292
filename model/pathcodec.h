#pragma once

#include <QByteArray>
#include <QString>

namespace dim {

// The folder part of a path, up to and including its last '/'; empty without one.
QString FolderOf(const QString &path);
// The name part of a path, after its last '/'.
QString NameOf(const QString &path);

// File names are bytes. A path as given to the program keeps every byte: a byte that is no
// part of valid UTF-8 becomes the lone surrogate U+DC80..U+DCFF, and encoding gives the
// same bytes back.
QString DecodePath(const QByteArray &bytes);
QByteArray EncodePath(const QString &path);

} // namespace dim
