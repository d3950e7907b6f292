#include "model/savefile.h"

#include "model/filesystem.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <optional>

#include <unistd.h>

namespace dim {

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
    return FolderOf(path) + QLatin1String(TemporaryPrefix) + QString::number(::getpid()) +
           QLatin1Char('-') + QString::fromLatin1(tail);
}

} // namespace

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
