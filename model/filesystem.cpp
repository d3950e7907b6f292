#include "model/filesystem.h"
#include "model/posixfilesystem.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dim {

IoError::IoError(int code, QString message)
    : m_code(code), m_message(std::move(message)), m_what(m_message.toUtf8()) {}

namespace {

// The codes with messages of their own, and the general text for the others, by language.
struct IoMessages {
    int code;
    std::array<const char *, 4> text; // German, English, French, Spanish
};
const std::array<IoMessages, 7> kIoMessages{{
    {2, {"Datei nicht gefunden", "File not found", "Fichier introuvable", "Archivo no encontrado"}},
    {3,
     {"Ungültiger Dateiname", "Invalid file name", "Nom de fichier non valide",
      "Nombre de archivo no válido"}},
    {4,
     {"Zu viele geöffnete Dateien", "Too many open files", "Trop de fichiers ouverts",
      "Demasiados archivos abiertos"}},
    {5,
     {"Dateizugriff verweigert", "File access denied", "Accès au fichier refusé",
      "Acceso al archivo denegado"}},
    {ShortReadCode,
     {"Versuch hinter dem Dateiende zu lesen", "Read beyond end of file",
      "Lecture au-delà de la fin du fichier", "Lectura más allá del final del archivo"}},
    {ShortWriteCode,
     {"Zu wenig Speicherplatz", "Disk full", "Espace disque insuffisant",
      "Espacio en disco insuficiente"}},
    {0, {"E/A-Fehler %1", "I/O error %1", "Erreur d'E/S %1", "Error de E/S %1"}},
}};

const IoMessages &MessagesOf(int code) {
    for (const IoMessages &messages : kIoMessages) {
        if (messages.code == code)
            return messages;
    }
    return kIoMessages.back();
}

QString GeneralMessage(int code, int language) {
    return QString::fromUtf8(kIoMessages.back().text[static_cast<size_t>(language)]).arg(code);
}

} // namespace

IoError MakeIoError(int code) {
    const IoMessages &messages = MessagesOf(code);
    if (messages.code == 0)
        return {code, GeneralMessage(code, 0)};
    return {code, QString::fromUtf8(messages.text[0])};
}

QString IoErrorMessage(const IoError &error, int language) {
    language = std::clamp(language, 0, 3);
    // An errno that shares its number with a code of its own keeps the general text.
    const IoMessages &messages = MessagesOf(error.code());
    if (messages.code != 0 && error.message() == QString::fromUtf8(messages.text[0]))
        return QString::fromUtf8(messages.text[static_cast<size_t>(language)]);
    return GeneralMessage(error.code(), language);
}

QString ErrorBoxText(const QString &message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

QString FolderOf(const QString &path) {
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString NameOf(const QString &path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString DecodePath(const QByteArray &bytes) {
    QString path;
    path.reserve(bytes.size());
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const unsigned char lead = p[i];
        int length = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            length = 1;
            code = lead;
        } else if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
            code = lead & 0x1f;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            code = lead & 0x0f;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            code = lead & 0x07;
        }
        bool valid = length > 0 && i + length <= size;
        for (int k = 1; valid && k < length; ++k) {
            valid = (p[i + k] & 0xc0) == 0x80;
            code = (code << 6) | (p[i + k] & 0x3f);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are no valid UTF-8.
        static constexpr char32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (valid &&
            (code < kLeast[length] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)))
            valid = false;
        if (!valid) {
            path += QChar(static_cast<char16_t>(0xdc00 + lead));
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            path += QChar(QChar::highSurrogate(code));
            path += QChar(QChar::lowSurrogate(code));
        } else {
            path += QChar(static_cast<char16_t>(code));
        }
        i += length;
    }
    return path;
}

QByteArray EncodePath(const QString &path) {
    QByteArray bytes;
    bytes.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t u = path.at(i).unicode();
        if (u >= 0xdc80 && u <= 0xdcff) { // a byte kept from a name that was no UTF-8
            bytes.append(static_cast<char>(u - 0xdc00));
            continue;
        }
        qsizetype length = 1;
        if (QChar::isHighSurrogate(u) && i + 1 < path.size() &&
            QChar::isLowSurrogate(path.at(i + 1).unicode()))
            length = 2;
        bytes += QStringView(path).mid(i, length).toUtf8();
        i += length - 1;
    }
    return bytes;
}

IoError ErrorForErrno(FileSystem &fs, int err, const QString &path) {
    switch (err) {
    case ENOENT: {
        const QString folder = FolderOf(path);
        return MakeIoError(folder.isEmpty() || fs.isDirectory(folder) ? 2 : 3);
    }
    case ENOTDIR:
        return MakeIoError(3);
    case EMFILE:
    case ENFILE:
        return MakeIoError(4);
    case EACCES:
    case EPERM:
    case EROFS:
        return MakeIoError(5);
    case ENOSPC:
    case EDQUOT:
        return MakeIoError(ShortWriteCode);
    default:
        // Not through MakeIoError: errno values such as EIO (5) or EINTR (4) share their
        // numbers with the codes that have messages of their own.
        return {err, GeneralMessage(err, 0)};
    }
}

namespace {

// Temporary files of a save are named ".dimsave-<pid>-<six letters>": short enough for a
// folder that allows names of 255 bytes to take any such name, and telling which process
// made them.
const QByteArray kTemporaryPrefix = QByteArrayLiteral(".dimsave-");

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

int PosixCalls::open(const char *path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}
ssize_t PosixCalls::read(int fd, void *buffer, size_t size) {
    return ::read(fd, buffer, size);
}
ssize_t PosixCalls::write(int fd, const void *buffer, size_t size) {
    return ::write(fd, buffer, size);
}
int PosixCalls::ftruncate(int fd, off_t length) {
    return ::ftruncate(fd, length);
}
int PosixCalls::fsync(int fd) {
    return ::fsync(fd);
}
int PosixCalls::fchown(int fd, uid_t uid, gid_t gid) {
    return ::fchown(fd, uid, gid);
}
int PosixCalls::fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}
int PosixCalls::close(int fd) {
    return ::close(fd);
}
int PosixCalls::rename(const char *from, const char *to) {
    return ::rename(from, to);
}
int PosixCalls::unlink(const char *path) {
    return ::unlink(path);
}

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
    if (std::strncmp(name, kTemporaryPrefix.constData(),
                     static_cast<size_t>(kTemporaryPrefix.size())) != 0)
        return 0;
    const char *p = name + kTemporaryPrefix.size();
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

namespace {

QString TemporaryName(const QString &path) {
    static std::atomic<unsigned> counter{0};
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned seed =
        counter.fetch_add(1) * 2654435761u ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    QByteArray tail(6, 'a');
    for (char &c : tail) {
        seed = seed * 1103515245u + 12345u;
        c = kLetters[(seed >> 16) % (sizeof kLetters - 1)];
    }
    return FolderOf(path) + QString::fromLatin1(kTemporaryPrefix) + QString::number(::getpid()) +
           QLatin1Char('-') + QString::fromLatin1(tail);
}

} // namespace

FileSystem &SystemFileSystem() {
    static PosixCalls calls;
    static PosixFileSystem fs(calls);
    return fs;
}

namespace {

void WriteAll(FileSystem &fs, int fd, const QByteArray &bytes, const QString &path,
              const std::function<void(const IoError &)> &fail) {
    long done = 0;
    while (done < bytes.size()) {
        const long n =
            fs.write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0)
            fail(ErrorForErrno(fs, static_cast<int>(-n), path));
        if (n == 0)
            fail(MakeIoError(ShortWriteCode));
        done += n;
    }
}

// Rewrites an existing file: emptied first, so that a write that fails leaves a file too
// short to load rather than new bytes followed by old ones.
void WriteInPlace(FileSystem &fs, const QString &path, const QByteArray &bytes) {
    int fd = -1;
    FileOwner owner;
    if (const int err = fs.openWriteExisting(path, &fd, &owner))
        throw ErrorForErrno(fs, err, path);
    const auto fail = [&](const IoError &error) {
        fs.close(fd);
        throw error;
    };
    if (const int err = fs.truncate(fd))
        fail(ErrorForErrno(fs, err, path));
    WriteAll(fs, fd, bytes, path, fail);
    if (const int err = fs.sync(fd))
        fail(ErrorForErrno(fs, err, path));
    if (const int err = fs.close(fd))
        throw ErrorForErrno(fs, err, path);
}

} // namespace

void WriteFileReplacing(FileSystem &fs, const QString &givenPath, const QByteArray &bytes,
                        unsigned newMode) {
    QString path;
    if (const int err = fs.saveTarget(givenPath, &path))
        throw ErrorForErrno(fs, err, givenPath);

    // An existing file that may not be written, or is no regular file, is refused before
    // anything is made.
    int fd = -1;
    std::optional<FileOwner> owner;
    FileOwner existing;
    if (const int err = fs.openWriteExisting(path, &fd, &existing); err == 0) {
        owner = existing;
        fs.close(fd); // nothing was written through it, so nothing can be lost by its close
    } else if (err != ENOENT) {
        throw ErrorForErrno(fs, err, path);
    }

    fs.removeStaleTemporaries(FolderOf(path));
    QString temp;
    for (int attempt = 0;; ++attempt) {
        temp = TemporaryName(path);
        const int err = fs.createExclusive(temp, &fd, newMode);
        if (err == 0)
            break;
        // A folder that may not be written, around a file that may be: only in place.
        if ((err == EACCES || err == EPERM) && owner)
            return WriteInPlace(fs, path, bytes);
        if (err != EEXIST || attempt == 20)
            throw ErrorForErrno(fs, err, path);
    }

    auto fail = [&](const IoError &error, bool open) {
        if (open)
            fs.close(fd);
        fs.remove(temp);
        throw error;
    };
    WriteAll(fs, fd, bytes, path, [&](const IoError &error) { fail(error, true); });
    if (owner) {
        if (const int err = fs.adopt(fd, *owner))
            fail(ErrorForErrno(fs, err, path), true);
    }
    if (const int err = fs.sync(fd))
        fail(ErrorForErrno(fs, err, path), true);
    if (const int err = fs.close(fd))
        fail(ErrorForErrno(fs, err, path), false);
    if (const int err = fs.rename(temp, path))
        fail(ErrorForErrno(fs, err, path), false);
    if (const int err = fs.syncFolder(FolderOf(path)))
        throw ErrorForErrno(fs, err, path);
}

QByteArray ReadFileStart(FileSystem &fs, const QString &path, int maxBytes) {
    int fd = -1;
    if (const int err = fs.openRead(path, &fd))
        throw ErrorForErrno(fs, err, path);
    QByteArray bytes(maxBytes, '\0');
    long done = 0;
    while (done < maxBytes) {
        const long n = fs.read(fd, bytes.data() + done, static_cast<size_t>(maxBytes - done));
        if (n < 0) {
            fs.close(fd);
            throw ErrorForErrno(fs, static_cast<int>(-n), path);
        }
        if (n == 0)
            break;
        done += n;
    }
    // Every byte asked for is in: a close that fails after reading loses nothing.
    fs.close(fd);
    bytes.truncate(static_cast<int>(done));
    return bytes;
}

} // namespace dim
