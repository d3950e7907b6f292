#pragma once

#include "cli/tool.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <string>

// What the dimtool tests share: running a command line in the process, reading and writing
// whole files, and curves to write.
namespace dim::cli::testing {

struct Outcome {
    int status;
    QString out;
    QString err;
};

// Runs a command line with English messages unless the environment asks for another
// language, whatever the machine's.
inline Outcome Dimtool(const QStringList &args, const DimtoolEnvironment *environment = nullptr) {
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const DimtoolEnvironment english{SystemFileSystem(), SystemClock(), 1};
    const int status = RunDimtool(args, outStream, errStream, environment ? *environment : english);
    outStream.flush();
    errStream.flush();
    return {status, out, err};
}

inline QByteArray ReadAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteAll(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline std::string S(const QString &text) {
    return text.toStdString();
}

// Curves that use the whole level range and differ from channel to channel.
inline CurveData VariedCurves(int seed) {
    CurveData data;
    for (size_t n = 1; n <= 4; ++n)
        for (size_t k = 0; k < 96; ++k)
            data.Levels[n][k] = static_cast<int>((seed + n * 53 + k * k * 7 + k) % 256);
    data.Levels[1][0] = 0;
    data.Levels[2][95] = 255;
    data.Levels[3][40] = 255;
    data.Levels[4][41] = 0;
    return data;
}

inline FileSettings StoredSettings(int cloudSpeed, int cloudIntensity, int moonChange) {
    return FileSettings::fromStored(cloudSpeed, cloudIntensity, moonChange);
}

// The real file system, whose write call number failAt (counted from 1; 0: none) fails
// with error, and with onward every write after it too: a disk that fills up part way
// through, or is full.
class FailingWrites final : public FileSystem {
public:
    int failAt = 0;
    bool onward = false;
    int error = ENOSPC;
    int writes = 0;

    int openRead(const QString &path, int *fd) override { return real().openRead(path, fd); }
    int openWriteExisting(const QString &path, int *fd, FileOwner *owner) override {
        return real().openWriteExisting(path, fd, owner);
    }
    int createExclusive(const QString &path, int *fd, unsigned mode) override {
        return real().createExclusive(path, fd, mode);
    }
    long read(int fd, void *buffer, size_t size) override { return real().read(fd, buffer, size); }
    long write(int fd, const void *buffer, size_t size) override {
        ++writes;
        if (failAt > 0 && (writes == failAt || (onward && writes > failAt)))
            return -error;
        return real().write(fd, buffer, size);
    }
    int truncate(int fd) override { return real().truncate(fd); }
    int adopt(int fd, const FileOwner &owner) override { return real().adopt(fd, owner); }
    int sync(int fd) override { return real().sync(fd); }
    int close(int fd) override { return real().close(fd); }
    int rename(const QString &from, const QString &to) override { return real().rename(from, to); }
    int remove(const QString &path) override { return real().remove(path); }
    int syncFolder(const QString &folder) override { return real().syncFolder(folder); }
    bool isDirectory(const QString &path) override { return real().isDirectory(path); }
    int saveTarget(const QString &path, QString *target) override {
        return real().saveTarget(path, target);
    }
    void removeStaleTemporaries(const QString &folder) override {
        real().removeStaleTemporaries(folder);
    }
    int makeFolder(const QString &path, unsigned mode) override {
        return real().makeFolder(path, mode);
    }
    int listFolder(const QString &path, QStringList *names) override {
        return real().listFolder(path, names);
    }

private:
    static FileSystem &real() { return SystemFileSystem(); }
};

// A test with a folder of its own.
class DimtoolTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Path(const QString &name) const { return dir.filePath(name); }
    QString WriteCurveFile(const QString &name, const CurveData &data,
                           const FileSettings &settings) {
        const QString path = Path(name);
        WriteAll(path, DimFileBytes(data, settings));
        return path;
    }
    QStringList Files() const {
        QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        files.sort();
        return files;
    }
    // Every file in the folder and below, through links, with its bytes.
    std::map<QString, QByteArray> Tree() const {
        std::map<QString, QByteArray> tree;
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            tree[path] = ReadAll(path);
        }
        return tree;
    }
    // A command line written as one string of words, where @NAME is the file NAME in the
    // test's folder.
    QStringList Args(const QString &line) const {
        QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (QString &word : words)
            if (word.startsWith(QLatin1Char('@')))
                word = Path(word.mid(1));
        return words;
    }

    QTemporaryDir dir;
};

} // namespace dim::cli::testing
