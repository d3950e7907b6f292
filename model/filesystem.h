#pragma once

#include <QString>

#include <cstddef>
#include <exception>

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

// The file-system calls the curve files go through, so that a test can make any of them
// fail with any error. Calls return 0 (or a byte count) on success and a positive errno on
// failure (read and write return minus the errno).
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual int openRead(const QString &path, int *fd) = 0;
    // Opens an existing file for writing without changing it: tests that it may be written.
    virtual int openWriteExisting(const QString &path, int *fd) = 0;
    // Creates a new file that must not exist yet.
    virtual int createExclusive(const QString &path, int *fd) = 0;
    virtual long read(int fd, void *buffer, size_t size) = 0;
    virtual long write(int fd, const void *buffer, size_t size) = 0;
    virtual int sync(int fd) = 0;
    virtual int close(int fd) = 0;
    virtual int rename(const QString &from, const QString &to) = 0;
    virtual int remove(const QString &path) = 0;
    enum class Kind { Missing, Regular, Directory, Other };
    // What path names, following links.
    virtual Kind kind(const QString &path) = 0;
    bool isDirectory(const QString &path) { return kind(path) == Kind::Directory; }
    // The path with links resolved, for an existing path; path itself otherwise.
    virtual QString resolved(const QString &path) = 0;
};

// The real file system (POSIX calls).
FileSystem &SystemFileSystem();

// The error for a failed call on path: ENOENT gives 2 when the folder exists and 3 when it
// does not; EMFILE/ENFILE 4; EACCES/EPERM/EROFS 5; ENOSPC 101; anything else its errno.
IoError ErrorForErrno(FileSystem &fs, int err, const QString &path);

// The folder part of a path, up to and including its last '/'; empty without one.
QString FolderOf(const QString &path);
// The name part of a path, after its last '/'.
QString NameOf(const QString &path);

// Writes bytes to path so that the old file stays whole until the new one is complete:
// the bytes go to a new file in the same folder, which then replaces path (the file a link
// points to, for a link). A failure raises IoError and leaves path as it was and no
// temporary file behind. A path that names no regular file (a device) is written in place.
void WriteFileReplacing(FileSystem &fs, const QString &path, const QByteArray &bytes);

// Reads at most maxBytes from the start of an existing file, opened for reading only.
// A failure raises IoError; a shorter file simply gives fewer bytes.
QByteArray ReadFileStart(FileSystem &fs, const QString &path, int maxBytes);
