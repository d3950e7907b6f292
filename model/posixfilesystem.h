#pragma once

#include "model/filesystem.h"

#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace dim {

// The raw system calls under the real file system, one virtual per call, each answering as
// the C library does (-1 and errno on failure). A test overrides one to make a real call
// fail or be interrupted the way the kernel would.
class PosixCalls {
public:
    virtual ~PosixCalls() = default;
    virtual int open(const char *path, int flags, mode_t mode) { return ::open(path, flags, mode); }
    virtual ssize_t read(int fd, void *buffer, size_t size) { return ::read(fd, buffer, size); }
    virtual ssize_t write(int fd, const void *buffer, size_t size) {
        return ::write(fd, buffer, size);
    }
    virtual int ftruncate(int fd, off_t length) { return ::ftruncate(fd, length); }
    virtual int fsync(int fd) { return ::fsync(fd); }
    virtual int fchown(int fd, uid_t uid, gid_t gid) { return ::fchown(fd, uid, gid); }
    virtual int fchmod(int fd, mode_t mode) { return ::fchmod(fd, mode); }
    virtual int close(int fd) { return ::close(fd); }
    virtual int rename(const char *from, const char *to) { return ::rename(from, to); }
    virtual int unlink(const char *path) { return ::unlink(path); }
};

// The file system over POSIX calls. A call interrupted by a signal is made again, except
// close: on Linux the descriptor is released even when close reports EINTR.
class PosixFileSystem final : public FileSystem {
public:
    explicit PosixFileSystem(PosixCalls &calls) : m_calls(calls) {}

    int openRead(const QString &path, int *fd) override;
    int openWriteExisting(const QString &path, int *fd, FileOwner *owner) override;
    int createExclusive(const QString &path, int *fd, unsigned mode) override;
    long read(int fd, void *buffer, size_t size) override;
    long write(int fd, const void *buffer, size_t size) override;
    int truncate(int fd) override;
    int adopt(int fd, const FileOwner &owner) override;
    int sync(int fd) override;
    int close(int fd) override;
    int rename(const QString &from, const QString &to) override;
    int remove(const QString &path) override;
    int syncFolder(const QString &folder) override;
    bool isDirectory(const QString &path) override;
    int saveTarget(const QString &path, QString *target) override;
    void removeStaleTemporaries(const QString &folder) override;
    int makeFolder(const QString &path, unsigned mode) override;
    int listFolder(const QString &path, QStringList *names) override;

private:
    int openRegular(const QString &path, int access, int *fd, struct stat *st);

    PosixCalls &m_calls;
};

} // namespace dim
