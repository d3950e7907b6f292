#pragma once

// The file-system seam and everything a caller of it needs: its errors, the path codec, and
// whole-file reads and writes over it.
#include "model/ioerror.h"
#include "model/pathcodec.h"
#include "model/savefile.h"

#include <QString>
#include <QStringList>

#include <cerrno>
#include <cstddef>

namespace dim {

// Temporary files of a save are named ".dimsave-<pid>-<six letters>": short enough for a
// folder that allows names of 255 bytes to take any such name, and telling which process
// made them.
inline constexpr char TemporaryPrefix[] = ".dimsave-";

// The owner and permission bits of a file that a save replaces: the new file takes them over.
struct FileOwner {
    unsigned mode = 0; // permission bits, 07777 at most
    unsigned uid = 0;
    unsigned gid = 0;
};

// The file-system calls the curve files go through, so that a test can make any of them
// fail with any error. Calls return 0 (or a byte count) on success and a positive errno on
// failure (read and write return minus the errno).
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Opens an existing regular file for reading. Never waits: a pipe, a device or a socket
    // is refused with ENXIO, a folder with EISDIR.
    virtual int openRead(const QString &path, int *fd) = 0;
    // Opens an existing regular file for writing without changing it, which tests that it
    // may be written, and tells its owner and permissions. Refuses what openRead refuses.
    virtual int openWriteExisting(const QString &path, int *fd, FileOwner *owner) = 0;
    // Creates a new file that must not exist yet, with the permission bits of mode less the
    // umask.
    virtual int createExclusive(const QString &path, int *fd, unsigned mode) = 0;
    virtual long read(int fd, void *buffer, size_t size) = 0;
    virtual long write(int fd, const void *buffer, size_t size) = 0;
    // Empties an open file, for a save in place; one that cannot (the default) answers
    // ENOTSUP.
    virtual int truncate(int fd) {
        (void)fd;
        return ENOTSUP;
    }
    // Gives an open file the owner and permissions of the file it replaces; an owner that the
    // process may not set is left as it is.
    virtual int adopt(int fd, const FileOwner &owner) = 0;
    virtual int sync(int fd) = 0;
    virtual int close(int fd) = 0;
    virtual int rename(const QString &from, const QString &to) = 0;
    virtual int remove(const QString &path) = 0;
    // Makes a rename in a folder durable; a file system that cannot sync folders is no error.
    virtual int syncFolder(const QString &folder) = 0;
    virtual bool isDirectory(const QString &path) = 0;
    // The file a save to path writes: path with its links followed, also a link to a file
    // that does not exist yet. ELOOP for a loop of links.
    virtual int saveTarget(const QString &path, QString *target) = 0;
    // Removes the temporary files (TemporaryPrefix) that saves into folder left behind when
    // their process died; touches nothing else.
    virtual void removeStaleTemporaries(const QString &folder) = 0;
    // Makes a folder and the folders above it that are missing, each with the permission bits
    // of mode less the umask; an existing folder is no error.
    virtual int makeFolder(const QString &path, unsigned mode) = 0;
    // The names in a folder, "." and ".." left out.
    virtual int listFolder(const QString &path, QStringList *names) = 0;
};

// The real file system (POSIX calls).
FileSystem &SystemFileSystem();

} // namespace dim
