#pragma once

#include <QByteArray>
#include <QString>

namespace dim {

class FileSystem;

// Writes bytes to path so that the old file stays whole until the new one is complete:
// the bytes go to a new file in the same folder, which then replaces path (the file a link
// points to, for a link) and takes over its owner and permissions. A failure raises IoError
// and leaves path as it was and no temporary file behind. Only a regular file, or a new one,
// is written: a pipe or a device is refused. A new file gets the permission bits of newMode
// less the umask. In a folder where no file may be made (EACCES, EPERM), an existing file
// that may be written is rewritten in place instead: emptied, written and synced; a failure
// then leaves it short.
void WriteFileReplacing(FileSystem &fs, const QString &path, const QByteArray &bytes,
                        unsigned newMode = 0666);

// Reads at most maxBytes from the start of an existing regular file, opened for reading
// only. A failure raises IoError; a shorter file simply gives fewer bytes.
QByteArray ReadFileStart(FileSystem &fs, const QString &path, int maxBytes);

} // namespace dim
