// Runs dimtool's whole command line over a file system held in memory, with standard input
// and one file system call that may fail, and traps when:
// - the exit status is none that dimtool documents, or a failure says nothing;
// - a refused command line or input (64, 65) changed any file;
// - a file that was written or replaced is not whole: every one is what its command writes
//   (a 443-byte curve file that reads back to the same bytes and SEL.DAT of 6 bytes for
//   import, edit, daylight and acclimate; a CSV or JSON day for export; a picture for render
//   and thumbnail), and no temporary file is left but where removing it was the failure.
//
// The input: lines of arguments (one argument a line) up to a NUL byte, then the bytes of
// standard input, which are also the file /m/input. An argument line "!CALL N ERRNO" makes
// the Nth call of that kind fail (open, read, write, adopt, sync, close, rename, remove,
// syncfolder) with that errno instead of being an argument. The folder /m/ holds a curve
// file A1.DIM, its CSV and JSON, SEL.DAT and an empty folder out/.

#include "cli/tool.h"
#include "fuzz_support.h"
#include "model/curvetext.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <set>

using namespace dim;
using namespace dim::cli;
using namespace dim::fuzz;

namespace {

enum class Call { Open, Read, Write, Adopt, Sync, Close, Rename, Remove, SyncFolder, Count };

const std::map<QString, Call> kCallNames{{QStringLiteral("open"), Call::Open},
                                         {QStringLiteral("read"), Call::Read},
                                         {QStringLiteral("write"), Call::Write},
                                         {QStringLiteral("adopt"), Call::Adopt},
                                         {QStringLiteral("sync"), Call::Sync},
                                         {QStringLiteral("close"), Call::Close},
                                         {QStringLiteral("rename"), Call::Rename},
                                         {QStringLiteral("remove"), Call::Remove},
                                         {QStringLiteral("syncfolder"), Call::SyncFolder}};

// Files and folders in memory. Folders are paths ending in '/'; a file's folder must exist.
class MemoryFileSystem final : public FileSystem {
public:
    std::map<QString, QByteArray> files;
    std::set<QString> folders{QStringLiteral("/"), QStringLiteral("/m/")};
    Call failing = Call::Count;
    int failAt = 0;
    int error = EIO;
    bool failed = false;

    int openRead(const QString &path, int *fd) override { return open(path, false, fd); }
    int openWriteExisting(const QString &path, int *fd, FileOwner *owner) override {
        *owner = FileOwner{0644, 0, 0};
        return open(path, true, fd);
    }
    int createExclusive(const QString &path, int *fd, unsigned) override {
        if (const int err = fault(Call::Open))
            return err;
        if (files.count(path) || isDirectory(path))
            return EEXIST;
        if (!folders.count(Folder(path)))
            return ENOENT;
        files[path];
        return handle(path, true, fd);
    }
    long read(int fd, void *buffer, size_t size) override {
        if (const int err = fault(Call::Read))
            return -err;
        Open &file = m_open.at(fd);
        const QByteArray &bytes = files.at(file.path);
        const size_t n = std::min(size, static_cast<size_t>(bytes.size() - file.position));
        std::memcpy(buffer, bytes.constData() + file.position, n);
        file.position += static_cast<qsizetype>(n);
        return static_cast<long>(n);
    }
    long write(int fd, const void *buffer, size_t size) override {
        if (const int err = fault(Call::Write))
            return -err;
        Open &file = m_open.at(fd);
        Check(file.writable);
        QByteArray &bytes = files.at(file.path);
        bytes.replace(file.position, static_cast<qsizetype>(size),
                      QByteArray(static_cast<const char *>(buffer), static_cast<qsizetype>(size)));
        file.position += static_cast<qsizetype>(size);
        return static_cast<long>(size);
    }
    int truncate(int fd) override {
        Open &file = m_open.at(fd);
        Check(file.writable);
        files.at(file.path).clear();
        file.position = 0;
        return 0;
    }
    int adopt(int fd, const FileOwner &) override {
        Check(m_open.count(fd) == 1);
        return fault(Call::Adopt);
    }
    int sync(int fd) override {
        Check(m_open.count(fd) == 1);
        return fault(Call::Sync);
    }
    int close(int fd) override {
        Check(m_open.erase(fd) == 1); // never twice, never one that is not open
        return fault(Call::Close);
    }
    int rename(const QString &from, const QString &to) override {
        if (const int err = fault(Call::Rename))
            return err;
        if (!files.count(from))
            return ENOENT;
        if (isDirectory(to))
            return EISDIR;
        if (!folders.count(Folder(to)))
            return ENOENT;
        files[to] = files[from];
        files.erase(from);
        return 0;
    }
    int remove(const QString &path) override {
        if (const int err = fault(Call::Remove))
            return err;
        return files.erase(path) == 1 ? 0 : ENOENT;
    }
    int syncFolder(const QString &) override { return fault(Call::SyncFolder); }
    bool isDirectory(const QString &path) override {
        return folders.count(path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/')) == 1;
    }
    int saveTarget(const QString &path, QString *target) override {
        *target = path;
        return 0;
    }
    void removeStaleTemporaries(const QString &) override {}
    int makeFolder(const QString &path, unsigned) override {
        folders.insert(path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/'));
        return 0;
    }
    int listFolder(const QString &path, QStringList *names) override {
        const QString folder = path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
        if (!folders.count(folder))
            return ENOENT;
        for (const auto &[file, bytes] : files)
            if (Folder(file) == folder)
                *names << file.mid(folder.size());
        return 0;
    }

    bool allClosed() const { return m_open.empty(); }

private:
    struct Open {
        QString path;
        bool writable;
        qsizetype position = 0;
    };

    static QString Folder(const QString &path) {
        return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
    }
    int fault(Call call) {
        if (call != failing || ++m_calls != failAt)
            return 0;
        failed = true;
        return error;
    }
    int open(const QString &path, bool writable, int *fd) {
        if (const int err = fault(Call::Open))
            return err;
        if (isDirectory(path))
            return EISDIR;
        if (!files.count(path))
            return ENOENT;
        return handle(path, writable, fd);
    }
    int handle(const QString &path, bool writable, int *fd) {
        *fd = m_next++;
        m_open[*fd] = Open{path, writable};
        return 0;
    }

    std::map<int, Open> m_open;
    int m_next = 3;
    int m_calls = 0;
};

class FixedClock final : public Clock {
public:
    TimeOfDay now() const override { return {14, 5, 9}; }
};

// The files every run starts with.
std::map<QString, QByteArray> StartFiles() {
    CurveData data;
    for (size_t n = 1; n <= FileChannels; ++n)
        for (size_t k = 0; k < FilePoints; ++k)
            data.Levels[n][k] = static_cast<int>((n * 61 + k * k * 3) % 256);
    const FileSettings settings = FileSettings::fromStored(9, 8, 7);
    return {{QStringLiteral("/m/A1.DIM"), DimFileBytes(data, settings)},
            {QStringLiteral("/m/day.csv"), CurveCsv(data)},
            {QStringLiteral("/m/day.json"), CurveJson(data, settings)},
            {QStringLiteral("/m/SEL.DAT"), QByteArray("\x01\x02\x03\x04\x05\x06", 6)}};
}

bool IsCurveFile(const QByteArray &bytes) {
    if (bytes.size() != DimFileSize)
        return false;
    const auto parsed = ParseDimFile(bytes);
    const auto *content = std::get_if<DimContent>(&parsed);
    if (!content || !content->settings)
        return false;
    CurveData data;
    FileSettings settings;
    ApplyDimContent(*content, data, settings);
    return DimFileBytes(data, settings) == bytes;
}

// Whether a file written by command is whole: what that command writes.
bool IsWholeOutput(const QString &command, const QString &path, const QByteArray &bytes) {
    if (command == QStringLiteral("export"))
        return std::holds_alternative<DimContent>(ParseCurveCsv(bytes)) ||
               std::holds_alternative<DimContent>(ParseCurveJson(bytes));
    if (command == QStringLiteral("render") || command == QStringLiteral("thumbnail"))
        return !QImage::fromData(bytes).isNull();
    // SEL.DAT beside a curve file written with --sel, or a curve file named so.
    if (path.endsWith(QStringLiteral("/SEL.DAT")) && bytes.size() == 6)
        return true;
    return (command == QStringLiteral("import") || command == QStringLiteral("edit") ||
            command == QStringLiteral("daylight") || command == QStringLiteral("acclimate")) &&
           IsCurveFile(bytes);
}

bool IsTemporary(const QString &path) {
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return name.startsWith(QStringLiteral(".dimsave-")) || name.endsWith(QStringLiteral(".part"));
}

// Runs a command line over fs; gives the status, with standard error in err.
int Run(MemoryFileSystem &fs, const QStringList &args, const QByteArray &input, QString &err) {
    QBuffer standardInput;
    standardInput.setData(input);
    standardInput.open(QIODevice::ReadOnly);
    FixedClock clock;
    const DimtoolEnvironment environment{fs, clock, 1, &standardInput, QTimeZone::utc()};
    QString out;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int status = RunDimtool(args, outStream, errStream, environment);
    errStream.flush();
    return status;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    // render and thumbnail draw text: the toolkit's fonts, off screen. The font machinery
    // keeps what it loads at its first use for the whole run: one picture drawn here.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    MemoryFileSystem fs;
    fs.files = StartFiles();
    QString err;
    Run(fs,
        {QStringLiteral("render"), QStringLiteral("/m/A1.DIM"), QStringLiteral("-o"),
         QStringLiteral("/m/c.png")},
        {}, err);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const qsizetype end = bytes.indexOf('\0');
    const QByteArray input = end < 0 ? QByteArray() : bytes.mid(end + 1);
    if (input.size() > 2 * MaxCurveTextBytes)
        return 0;

    static const std::map<QString, QByteArray> start = StartFiles();
    MemoryFileSystem fs;
    fs.files = start;
    fs.files[QStringLiteral("/m/input")] = input;
    fs.folders.insert(QStringLiteral("/m/out/"));
    QStringList args;
    for (const QByteArray &line : bytes.left(end < 0 ? bytes.size() : end).split('\n')) {
        const QString word = DecodePath(line);
        const QStringList fault = word.split(QLatin1Char(' '));
        if (word.startsWith(QLatin1Char('!')) && fault.size() == 3 &&
            kCallNames.count(fault[0].mid(1))) {
            fs.failing = kCallNames.at(fault[0].mid(1));
            fs.failAt = fault[1].toInt();
            fs.error = std::clamp(fault[2].toInt(), 1, 133);
            continue;
        }
        args << word;
    }
    if (args.size() > 40)
        return 0;
    const std::map<QString, QByteArray> before = fs.files;

    QString err;
    const int status = Run(fs, args, input, err);

    const QString command = args.isEmpty() ? QString() : args.front();
    static const std::set<int> documented{ExitOk, ExitUsage, ExitDataError, ExitSoftware,
                                          ExitIoError};
    if (command == QStringLiteral("check"))
        Check(status == CheckLoads || status == CheckRejected || status == CheckIoError ||
              status == ExitUsage);
    else
        Check(documented.count(status) == 1);
    Check(status == ExitOk || !err.isEmpty());
    Check(fs.allClosed());

    for (const auto &[path, content] : fs.files) {
        const auto old = before.find(path);
        if (old != before.end() && old->second == content)
            continue;
        // Refusals write nothing; whatever else was written is whole.
        Check(status != ExitUsage && status != ExitDataError);
        if (IsTemporary(path)) {
            Check(fs.failed && fs.failing == Call::Remove);
            continue;
        }
        Check(IsWholeOutput(command, path, content));
    }
    // Nothing that was there went missing.
    for (const auto &[path, content] : before)
        Check(fs.files.count(path) == 1);
    return 0;
}
