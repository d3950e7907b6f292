#include "model/filesystem.h"

#include <QByteArray>
#include <QFile>

#include <functional>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

IoError::IoError(int code, QString message)
    : m_code(code), m_message(std::move(message)), m_what(m_message.toUtf8()) {}

IoError MakeIoError(int code) {
    switch (code) {
    case 2:
        return {code, QStringLiteral("Datei nicht gefunden")};
    case 3:
        return {code, QString::fromUtf8("Ungültiger Dateiname")};
    case 4:
        return {code, QString::fromUtf8("Zu viele geöffnete Dateien")};
    case 5:
        return {code, QStringLiteral("Dateizugriff verweigert")};
    case ShortReadCode:
        return {code, QStringLiteral("Versuch hinter dem Dateiende zu lesen")};
    case ShortWriteCode:
        return {code, QStringLiteral("Zu wenig Speicherplatz")};
    default:
        return {code, QStringLiteral("E/A-Fehler %1").arg(code)};
    }
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
        return MakeIoError(ShortWriteCode);
    default:
        // Not through MakeIoError: errno values such as EIO (5) or EINTR (4) share their
        // numbers with the codes that have messages of their own.
        return {err, QStringLiteral("E/A-Fehler %1").arg(err)};
    }
}

namespace {

class PosixFileSystem final : public FileSystem {
public:
    int openRead(const QString &path, int *fd) override {
        return openWith(path, O_RDONLY | O_CLOEXEC, fd);
    }
    int openWriteExisting(const QString &path, int *fd) override {
        return openWith(path, O_WRONLY | O_CLOEXEC, fd);
    }
    int createExclusive(const QString &path, int *fd) override {
        return openWith(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, fd);
    }
    long read(int fd, void *buffer, size_t size) override {
        ssize_t n;
        do
            n = ::read(fd, buffer, size);
        while (n < 0 && errno == EINTR);
        return n < 0 ? -errno : static_cast<long>(n);
    }
    long write(int fd, const void *buffer, size_t size) override {
        ssize_t n;
        do
            n = ::write(fd, buffer, size);
        while (n < 0 && errno == EINTR);
        return n < 0 ? -errno : static_cast<long>(n);
    }
    int sync(int fd) override {
        // Devices and pipes cannot be synced; that is no failure of the data.
        if (::fsync(fd) == 0 || errno == EINVAL || errno == EROFS)
            return 0;
        return errno;
    }
    int close(int fd) override { return ::close(fd) == 0 ? 0 : errno; }
    int rename(const QString &from, const QString &to) override {
        return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0
                   ? 0
                   : errno;
    }
    int remove(const QString &path) override {
        return ::unlink(QFile::encodeName(path).constData()) == 0 ? 0 : errno;
    }
    Kind kind(const QString &path) override {
        struct stat st;
        if (::stat(QFile::encodeName(path).constData(), &st) != 0)
            return Kind::Missing;
        if (S_ISREG(st.st_mode))
            return Kind::Regular;
        return S_ISDIR(st.st_mode) ? Kind::Directory : Kind::Other;
    }
    QString resolved(const QString &path) override {
        char buffer[PATH_MAX];
        if (::realpath(QFile::encodeName(path).constData(), buffer) == nullptr)
            return path;
        return QFile::decodeName(buffer);
    }

private:
    static int openWith(const QString &path, int flags, int *fd) {
        do
            *fd = ::open(QFile::encodeName(path).constData(), flags, 0666);
        while (*fd < 0 && errno == EINTR);
        return *fd < 0 ? errno : 0;
    }
};

QString TemporaryName(const QString &path, int attempt) {
    static std::atomic<unsigned> counter{0};
    return FolderOf(path) + QLatin1Char('.') + NameOf(path) +
           QStringLiteral(".%1-%2-%3.tmp").arg(::getpid()).arg(counter.fetch_add(1)).arg(attempt);
}

} // namespace

FileSystem &SystemFileSystem() {
    static PosixFileSystem fs;
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

} // namespace

void WriteFileReplacing(FileSystem &fs, const QString &givenPath, const QByteArray &bytes) {
    const QString path = fs.resolved(givenPath);
    const FileSystem::Kind kind = fs.kind(path);
    int fd = -1;
    // An existing file that may not be written is refused, as writing it in place would be.
    if (kind != FileSystem::Kind::Missing && kind != FileSystem::Kind::Directory) {
        if (const int err = fs.openWriteExisting(path, &fd))
            throw ErrorForErrno(fs, err, path);
        if (kind == FileSystem::Kind::Other) { // a device: nothing to replace
            WriteAll(fs, fd, bytes, path, [&](const IoError &error) {
                fs.close(fd);
                throw error;
            });
            if (const int err = fs.close(fd))
                throw ErrorForErrno(fs, err, path);
            return;
        }
        if (const int err = fs.close(fd))
            throw ErrorForErrno(fs, err, path);
    }

    QString temp;
    for (int attempt = 0;; ++attempt) {
        temp = TemporaryName(path, attempt);
        const int err = fs.createExclusive(temp, &fd);
        if (err == 0)
            break;
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
    if (const int err = fs.sync(fd))
        fail(ErrorForErrno(fs, err, path), true);
    if (const int err = fs.close(fd))
        fail(ErrorForErrno(fs, err, path), false);
    if (const int err = fs.rename(temp, path))
        fail(ErrorForErrno(fs, err, path), false);
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
    if (const int err = fs.close(fd))
        throw ErrorForErrno(fs, err, path);
    bytes.truncate(static_cast<int>(done));
    return bytes;
}
