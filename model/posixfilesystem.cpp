#include "model/posixfilesystem.h"

#include <QByteArray>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dim {

namespace {

QByteArray Native(const QString &path) {
    return EncodePath(path);
}

// The call's result, made again while a signal interrupts it.
template <typename Call> auto Retrying(const Call &call) {
    decltype(call()) result;
    do
        result = call();
    while (result < 0 && errno == EINTR);
    return result;
}

// 0 when the call succeeded, its errno otherwise.
int Status(int result) {
    return result == 0 ? 0 : errno;
}

// The regular file open on fd, or why it is refused: a folder or anything that is no
// regular file (a pipe, a device, a socket) is no curve file.
int RegularOnly(int fd, struct stat *st) {
    if (Retrying([&] { return ::fstat(fd, st); }) != 0)
        return errno;
    if (S_ISREG(st->st_mode))
        return 0;
    return S_ISDIR(st->st_mode) ? EISDIR : ENXIO;
}

// The answers of a file system that cannot sync a folder: no fsync for folders (EINVAL,
// ENOTSUP), a read-only one (EROFS), one that wants the folder open for writing (EBADF), or a
// folder that may be written but not read (EACCES), so that there is nothing to sync through.
bool CannotSyncFolder(int err) {
    return err == EINVAL || err == ENOTSUP || err == EROFS || err == EBADF || err == EACCES;
}

} // namespace

int PosixFileSystem::openRead(const QString &path, int *fd) {
    struct stat st;
    return openRegular(path, O_RDONLY, fd, &st);
}

int PosixFileSystem::openWriteExisting(const QString &path, int *fd, FileOwner *owner) {
    struct stat st;
    if (const int err = openRegular(path, O_WRONLY, fd, &st))
        return err;
    owner->mode = st.st_mode & 07777;
    owner->uid = st.st_uid;
    owner->gid = st.st_gid;
    return 0;
}

int PosixFileSystem::createExclusive(const QString &path, int *fd, unsigned mode) {
    const QByteArray native = Native(path);
    *fd = Retrying([&] {
        return m_calls.open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                            static_cast<mode_t>(mode));
    });
    return *fd < 0 ? errno : 0;
}

long PosixFileSystem::read(int fd, void *buffer, size_t size) {
    const ssize_t n = Retrying([&] { return m_calls.read(fd, buffer, size); });
    return n < 0 ? -errno : static_cast<long>(n);
}

long PosixFileSystem::write(int fd, const void *buffer, size_t size) {
    const ssize_t n = Retrying([&] { return m_calls.write(fd, buffer, size); });
    return n < 0 ? -errno : static_cast<long>(n);
}

int PosixFileSystem::truncate(int fd) {
    return Status(Retrying([&] { return m_calls.ftruncate(fd, 0); }));
}

int PosixFileSystem::adopt(int fd, const FileOwner &owner) {
    // The owner first: changing it may clear the set-id bits that the mode then restores.
    if (Retrying([&] { return m_calls.fchown(fd, owner.uid, owner.gid); }) != 0 && errno != EPERM)
        return errno;
    return Status(Retrying([&] { return m_calls.fchmod(fd, owner.mode); }));
}

int PosixFileSystem::sync(int fd) {
    // A file system without fsync for files (some network and FUSE ones) is no failure of
    // the data.
    const int err = Status(Retrying([&] { return m_calls.fsync(fd); }));
    return err == EINVAL || err == ENOTSUP ? 0 : err;
}

int PosixFileSystem::close(int fd) {
    // Not made again on EINTR: the descriptor is gone, and its number may already be another's.
    const int err = Status(m_calls.close(fd));
    return err == EINTR ? 0 : err;
}

int PosixFileSystem::rename(const QString &from, const QString &to) {
    const QByteArray nativeFrom = Native(from), nativeTo = Native(to);
    return Status(
        Retrying([&] { return m_calls.rename(nativeFrom.constData(), nativeTo.constData()); }));
}

int PosixFileSystem::remove(const QString &path) {
    const QByteArray native = Native(path);
    return Status(Retrying([&] { return m_calls.unlink(native.constData()); }));
}

int PosixFileSystem::syncFolder(const QString &folder) {
    const QByteArray native = Native(folder.isEmpty() ? QStringLiteral(".") : folder);
    const int fd = Retrying(
        [&] { return m_calls.open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0); });
    if (fd < 0)
        return CannotSyncFolder(errno) ? 0 : errno;
    int err = Status(Retrying([&] { return m_calls.fsync(fd); }));
    if (CannotSyncFolder(err))
        err = 0;
    close(fd); // only read: nothing of the rename depends on it
    return err;
}

bool PosixFileSystem::isDirectory(const QString &path) {
    const QByteArray native = Native(path);
    struct stat st;
    return Retrying([&] { return ::stat(native.constData(), &st); }) == 0 && S_ISDIR(st.st_mode);
}

int PosixFileSystem::saveTarget(const QString &path, QString *target) {
    QByteArray current = Native(path);
    // As many links as the kernel itself follows before it calls it a loop.
    for (int hops = 0; hops < 40; ++hops) {
        char buffer[PATH_MAX];
        if (::realpath(current.constData(), buffer) != nullptr) {
            *target = DecodePath(QByteArray(buffer));
            return 0;
        }
        if (errno == ELOOP)
            return ELOOP;
        if (errno == EINTR)
            continue;
        // A missing file, or a link to one: follow the link to the name it gives.
        const ssize_t n =
            Retrying([&] { return ::readlink(current.constData(), buffer, sizeof buffer); });
        if (n < 0) {
            *target = DecodePath(current);
            return 0; // a name to create; the create step reports what is wrong with it
        }
        const QByteArray link(buffer, static_cast<qsizetype>(n));
        current = link.startsWith('/') ? link : current.left(current.lastIndexOf('/') + 1) + link;
    }
    return ELOOP;
}

int PosixFileSystem::makeFolder(const QString &path, unsigned mode) {
    const QByteArray native = Native(path);
    // Each missing folder from the top down; one that exists, or that another process
    // makes meanwhile, is as good.
    for (qsizetype slash = native.indexOf('/', 1);; slash = native.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? native : native.left(slash);
        if (!part.isEmpty() &&
            Retrying([&] { return ::mkdir(part.constData(), static_cast<mode_t>(mode)); }) != 0 &&
            errno != EEXIST)
            return errno;
        if (slash < 0)
            break;
    }
    return isDirectory(path) ? 0 : ENOTDIR;
}

int PosixFileSystem::listFolder(const QString &path, QStringList *names) {
    const QByteArray native = Native(path.isEmpty() ? QStringLiteral(".") : path);
    DIR *dir = nullptr;
    do
        dir = ::opendir(native.constData());
    while (!dir && errno == EINTR);
    if (!dir)
        return errno;
    names->clear();
    int err = 0;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir);
        if (!entry && errno == EINTR)
            continue;
        if (!entry) {
            err = errno;
            break;
        }
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            *names << DecodePath(name);
    }
    ::closedir(dir);
    return err;
}

int PosixFileSystem::openRegular(const QString &path, int access, int *fd, struct stat *st) {
    const QByteArray native = Native(path);
    // Without O_NONBLOCK, opening a pipe waits for its other end.
    *fd = Retrying([&] {
        return m_calls.open(native.constData(), access | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0);
    });
    if (*fd < 0)
        return errno;
    if (const int err = RegularOnly(*fd, st)) {
        close(*fd);
        *fd = -1;
        return err;
    }
    return 0;
}

namespace {

// The process id in a temporary file's name, or 0 when the name is not one of ours.
pid_t TemporaryOwner(const char *name) {
    if (std::strncmp(name, TemporaryPrefix, std::strlen(TemporaryPrefix)) != 0)
        return 0;
    const char *p = name + std::strlen(TemporaryPrefix);
    long pid = 0;
    const char *digits = p;
    while (*p >= '0' && *p <= '9' && p - digits < 10)
        pid = pid * 10 + (*p++ - '0');
    if (p == digits || *p++ != '-' || pid <= 0 || pid > INT_MAX)
        return 0;
    for (int k = 0; k < 6; ++k, ++p) {
        if (!std::isalnum(static_cast<unsigned char>(*p)))
            return 0;
    }
    return *p == '\0' ? static_cast<pid_t>(pid) : 0;
}

} // namespace

void PosixFileSystem::removeStaleTemporaries(const QString &folder) {
    const QByteArray native = Native(folder.isEmpty() ? QStringLiteral(".") : folder);
    DIR *dir = nullptr;
    do
        dir = ::opendir(native.constData());
    while (!dir && errno == EINTR);
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    const time_t now = ::time(nullptr);
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir);
        if (!entry && errno == EINTR)
            continue;
        if (!entry)
            break;
        const pid_t pid = TemporaryOwner(entry->d_name);
        // Another process's save is still going on, or its process lives elsewhere (a folder
        // shared over the network): only a file of a process that is gone here, untouched for
        // a while and of this user, is left over.
        if (pid == 0 || pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH)
            continue;
        struct stat st;
        if (Retrying([&] { return ::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW); }) !=
                0 ||
            !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || now - st.st_mtime < 60)
            continue;
        Retrying([&] { return ::unlinkat(dirFd, entry->d_name, 0); });
    }
    ::closedir(dir);
}

FileSystem &SystemFileSystem() {
    static PosixCalls calls;
    static PosixFileSystem fs(calls);
    return fs;
}

} // namespace dim
