#include "view/sheetcache.h"

#include "model/filesystem.h"
#include "view/canvas.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>

#include <jpeglib.h>

namespace dim {

namespace {

constexpr char kMagic[8] = {'D', 'I', 'M', 'S', 'H', 'E', 'E', 'T'};
constexpr std::uint32_t kFormat = 1;
constexpr std::uint32_t kMaxSide = 16384;

struct Header {
    char magic[8];
    std::uint32_t format;
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t unused;
    std::uint64_t key;
    std::uint64_t checksum;
    char padding[24];
};
static_assert(sizeof(Header) == 64);

// Two running sums over 64-bit words (Fletcher's scheme): a changed, lost or moved word
// changes the result. About a millisecond for the sheet.
std::uint64_t Checksum(const uchar *data, std::size_t size) {
    std::uint64_t a = 0x9e3779b97f4a7c15u;
    std::uint64_t b = 0;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, 8);
        a += word;
        b += a;
    }
    for (; i < size; ++i) {
        a += data[i];
        b += a;
    }
    return a ^ (b << 32 | b >> 32);
}

bool ReadWhole(FileSystem &fs, int fd, void *buffer, std::size_t size) {
    auto *at = static_cast<char *>(buffer);
    while (size > 0) {
        const long n = fs.read(fd, at, size);
        if (n <= 0)
            return false;
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

QImage ReadOpen(FileSystem &fs, int fd, std::uint64_t key) {
    Header header;
    if (!ReadWhole(fs, fd, &header, sizeof header) ||
        std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.format != kFormat ||
        header.key != key || header.width == 0 || header.width > kMaxSide || header.height == 0 ||
        header.height > kMaxSide)
        return {};
    QImage image = LargePageImage(static_cast<int>(header.width), static_cast<int>(header.height));
    const auto bytes = static_cast<std::size_t>(image.sizeInBytes());
    if (image.isNull() || image.bytesPerLine() != static_cast<qsizetype>(header.width) * 4 ||
        !ReadWhole(fs, fd, image.bits(), bytes))
        return {};
    char beyond;
    if (fs.read(fd, &beyond, 1) != 0 || Checksum(image.constBits(), bytes) != header.checksum)
        return {};
    return image;
}

} // namespace

QString SheetCachePath() {
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    return QDir::cleanPath(cache) + QStringLiteral("/dimeditor/sheet.cache");
}

std::uint64_t SheetKey(const QByteArray &jpeg) {
    std::uint64_t version = JPEG_LIB_VERSION;
#ifdef LIBJPEG_TURBO_VERSION_NUMBER
    version = version * 100000000u + LIBJPEG_TURBO_VERSION_NUMBER;
#endif
    return Checksum(reinterpret_cast<const uchar *>(jpeg.constData()),
                    static_cast<std::size_t>(jpeg.size())) ^
           version * 0x100000001b3u;
}

QImage ReadSheetCache(FileSystem &fs, const QString &path, std::uint64_t key) {
    int fd = -1;
    if (fs.openRead(path, &fd) != 0)
        return {};
    QImage image = ReadOpen(fs, fd, key);
    fs.close(fd);
    return image;
}

void WriteSheetCache(FileSystem &fs, const QString &path, const QImage &sheet, std::uint64_t key) {
    if (sheet.format() != QImage::Format_RGB32 || sheet.bytesPerLine() != sheet.width() * 4)
        throw IoError(EINVAL, QStringLiteral("not an RGB32 picture: %1").arg(path));
    const QString folder = QFileInfo(path).path();
    if (const int err = fs.makeFolder(folder, 0700))
        throw ErrorForErrno(fs, err, folder);
    const auto bytes = static_cast<std::size_t>(sheet.sizeInBytes());
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.format = kFormat;
    header.width = static_cast<std::uint32_t>(sheet.width());
    header.height = static_cast<std::uint32_t>(sheet.height());
    header.key = key;
    header.checksum = Checksum(sheet.constBits(), bytes);
    QByteArray file(static_cast<qsizetype>(sizeof header + bytes), Qt::Uninitialized);
    std::memcpy(file.data(), &header, sizeof header);
    std::memcpy(file.data() + sizeof header, sheet.constBits(), bytes);
    WriteFileReplacing(fs, path, file, 0600);
}

} // namespace dim
