#pragma once

#include <QString>
#include <QStringList>

#include <cerrno>
#include <cstddef>
#include <exception>

namespace dim {

// An input/output failure: a numeric code and its German message, as shown to the user.
class IoError : public std::exception {
public:
    IoError(int code, QString message);
    int code() const { return m_code; }
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    int m_code;
    QString m_message;
    QByteArray m_what;
};

inline constexpr int ShortReadCode = 100;
inline constexpr int ShortWriteCode = 101;

// The text the error box shows for a message: a full stop is appended when the message's
// last character sorts after it.
QString ErrorBoxText(const QString &message);

// The error for a code: 2, 3, 4, 5, 100 and 101 have their own messages, any other code n
// reads "E/A-Fehler n".
IoError MakeIoError(int code);

// An error's message in a language of the text table's rows (0 German, as the editor shows
// it; 1 English, 2 French, 3 Spanish), with its code where the message names none.
QString IoErrorMessage(const IoError &error, int language);

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
    // Removes the temporary files that saves into folder left behind when their process
    // died; touches nothing else.
    virtual void removeStaleTemporaries(const QString &folder) = 0;
    // Makes a folder and the folders above it that are missing, each with the permission bits
    // of mode less the umask; an existing folder is no error.
    virtual int makeFolder(const QString &path, unsigned mode) = 0;
    // The names in a folder, "." and ".." left out.
    virtual int listFolder(const QString &path, QStringList *names) = 0;
};

// The real file system (POSIX calls).
FileSystem &SystemFileSystem();

// The error for a failed call on path: ENOENT gives 2 when the folder exists and 3 when it
// does not; EMFILE/ENFILE 4; EACCES/EPERM/EROFS 5; ENOSPC/EDQUOT 101; anything else its
// errno.
IoError ErrorForErrno(FileSystem &fs, int err, const QString &path);

// The folder part of a path, up to and including its last '/'; empty without one.
QString FolderOf(const QString &path);
// The name part of a path, after its last '/'.
QString NameOf(const QString &path);

// File names are bytes. A path as given to the program keeps every byte: a byte that is no
// part of valid UTF-8 becomes the lone surrogate U+DC80..U+DCFF, and encoding gives the
// same bytes back.
QString DecodePath(const QByteArray &bytes);
QByteArray EncodePath(const QString &path);

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
