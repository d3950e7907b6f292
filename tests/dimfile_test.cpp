#include "model/dimfile.h"
#include "model/posixfilesystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <future>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace dim;

namespace {

// ---------------------------------------------------------------------------------------
// Test doubles and helpers

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (const int value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}

QByteArray Repeat(int count, int value) {
    return QByteArray(count, static_cast<char>(value));
}

// A clock that gives its readings one after the other and then keeps giving the last one.
class ScriptedClock final : public Clock {
public:
    explicit ScriptedClock(std::vector<TimeOfDay> readings) : m_readings(std::move(readings)) {}
    TimeOfDay now() const override {
        const size_t index = std::min(m_reads, m_readings.size() - 1);
        ++m_reads;
        return m_readings[index];
    }
    size_t reads() const { return m_reads; }

private:
    std::vector<TimeOfDay> m_readings;
    mutable size_t m_reads = 0;
};

enum class Call {
    OpenRead,
    OpenWrite,
    Create,
    Read,
    Write,
    Truncate,
    Sync,
    Close,
    CloseAfterWrite,
    Rename,
    SyncFolder,
    MakeFolder
};

// The real file system with injected failures: the nth call of a kind (every one for 0) on
// a path that contains a given part fails with a given errno (a write failing with 0 writes
// nothing). Reads and writes can also be cut into small pieces.
class FaultyFileSystem final : public FileSystem {
public:
    void failOn(Call call, int nth, int err, QString pathPart = {}) {
        m_rules.push_back(Rule{call, nth, err, std::move(pathPart), 0});
    }
    void limitTransfers(size_t bytes) { m_chunk = bytes; }
    int count(Call call) const {
        const auto it = m_counts.find(call);
        return it == m_counts.end() ? 0 : it->second;
    }
    size_t openFiles() const { return m_open.size(); }

    int openRead(const QString &path, int *fd) override {
        if (const auto err = inject(Call::OpenRead, path))
            return *err;
        return opened(m_real.openRead(path, fd), fd, path);
    }
    int openWriteExisting(const QString &path, int *fd, FileOwner *owner) override {
        if (const auto err = inject(Call::OpenWrite, path))
            return *err;
        return opened(m_real.openWriteExisting(path, fd, owner), fd, path);
    }
    int createExclusive(const QString &path, int *fd, unsigned mode) override {
        if (const auto err = inject(Call::Create, path))
            return *err;
        return opened(m_real.createExclusive(path, fd, mode), fd, path);
    }
    long read(int fd, void *buffer, size_t size) override {
        if (const auto err = inject(Call::Read, pathOf(fd)))
            return -*err;
        return m_real.read(fd, buffer, std::min(size, m_chunk));
    }
    long write(int fd, const void *buffer, size_t size) override {
        if (const auto err = inject(Call::Write, pathOf(fd)))
            return -*err;
        m_open[fd].written = true;
        return m_real.write(fd, buffer, std::min(size, m_chunk));
    }
    int truncate(int fd) override {
        if (const auto err = inject(Call::Truncate, pathOf(fd)))
            return *err;
        return m_real.truncate(fd);
    }
    int adopt(int fd, const FileOwner &owner) override { return m_real.adopt(fd, owner); }
    int sync(int fd) override {
        if (const auto err = inject(Call::Sync, pathOf(fd)))
            return *err;
        return m_real.sync(fd);
    }
    int close(int fd) override {
        const OpenFile file = m_open[fd];
        m_open.erase(fd);
        const int result = m_real.close(fd); // the descriptor is gone either way
        std::optional<int> err = inject(Call::Close, file.path);
        if (file.written && !err)
            err = inject(Call::CloseAfterWrite, file.path);
        return err ? *err : result;
    }
    int rename(const QString &from, const QString &to) override {
        if (const auto err = inject(Call::Rename, to))
            return *err;
        return m_real.rename(from, to);
    }
    int remove(const QString &path) override { return m_real.remove(path); }
    int syncFolder(const QString &folder) override {
        if (const auto err = inject(Call::SyncFolder, folder))
            return *err;
        return m_real.syncFolder(folder);
    }
    bool isDirectory(const QString &path) override { return m_real.isDirectory(path); }
    int saveTarget(const QString &path, QString *target) override {
        return m_real.saveTarget(path, target);
    }
    void removeStaleTemporaries(const QString &folder) override {
        m_real.removeStaleTemporaries(folder);
    }
    int makeFolder(const QString &path, unsigned mode) override {
        if (const auto err = inject(Call::MakeFolder, path))
            return *err;
        return m_real.makeFolder(path, mode);
    }
    int listFolder(const QString &path, QStringList *names) override {
        return m_real.listFolder(path, names);
    }

private:
    struct Rule {
        Call call;
        int nth;
        int err;
        QString pathPart;
        int seen;
    };
    struct OpenFile {
        QString path;
        bool written = false;
    };

    std::optional<int> inject(Call call, const QString &path) {
        ++m_counts[call];
        for (Rule &rule : m_rules) {
            if (rule.call == call && path.contains(rule.pathPart) &&
                (++rule.seen == rule.nth || rule.nth == 0))
                return rule.err;
        }
        return std::nullopt;
    }
    int opened(int err, const int *fd, const QString &path) {
        if (err == 0)
            m_open[*fd] = OpenFile{path};
        return err;
    }
    QString pathOf(int fd) const {
        const auto it = m_open.find(fd);
        return it == m_open.end() ? QString() : it->second.path;
    }

    FileSystem &m_real = SystemFileSystem();
    std::vector<Rule> m_rules;
    size_t m_chunk = static_cast<size_t>(-1);
    std::map<Call, int> m_counts;
    std::map<int, OpenFile> m_open;
};

// A temporary folder with helpers for its files.
class Folder {
public:
    Folder() { EXPECT_TRUE(m_dir.isValid()); }
    QString path(const QString &name) const { return m_dir.path() + QLatin1Char('/') + name; }
    QString write(const QString &name, const QByteArray &bytes) const {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(bytes), bytes.size());
        return path(name);
    }
    QByteArray read(const QString &name) const {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        return file.readAll();
    }
    // Every entry, hidden ones included, sorted.
    QStringList entries() const {
        return QDir(m_dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }

private:
    QTemporaryDir m_dir;
};

std::optional<IoError> Failure(const std::function<void()> &action) {
    try {
        action();
    } catch (const IoError &error) {
        return error;
    }
    return std::nullopt;
}

void ExpectError(const std::optional<IoError> &error, int code, const char *message) {
    ASSERT_TRUE(error.has_value()) << "no error, expected code " << code;
    EXPECT_EQ(error->code(), code);
    EXPECT_EQ(error->message().toStdString(), std::string(message));
}

const char *const kNotFound = "Datei nicht gefunden";
const char *const kBadName = "Ungültiger Dateiname";
const char *const kTooMany = "Zu viele geöffnete Dateien";
const char *const kDenied = "Dateizugriff verweigert";
const char *const kPastEnd = "Versuch hinter dem Dateiende zu lesen";
const char *const kNoSpace = "Zu wenig Speicherplatz";

// A level table whose cells are all 0..255 and vary with the seed.
CurveData Pattern(int seed) {
    CurveData data;
    for (int r = 0; r < LevelRows; ++r)
        for (int c = 0; c < LevelColumns; ++c)
            data.Levels[static_cast<size_t>(r)][static_cast<size_t>(c)] =
                ((r * 53 + c * 7) ^ (seed * 37)) & 0xff;
    return data;
}

// A level table whose every cell differs from any byte a file can hold.
CurveData Sentinels() {
    CurveData data;
    for (int r = 0; r < LevelRows; ++r)
        for (int c = 0; c < LevelColumns; ++c)
            data.Levels[static_cast<size_t>(r)][static_cast<size_t>(c)] = 1000 + r * 256 + c;
    return data;
}

// Everything a save reads and a load sets: the curve file's three settings and the view's.
struct AllSettings : FileSettings, Settings {};

void Save(FileSystem &fs, const Clock &clock, const QString &path, const CurveData &data,
          const AllSettings &settings) {
    SaveDimFile(fs, clock, path, data, settings, settings);
}

AllSettings PatternSettings() {
    AllSettings settings;
    settings.udnk.setPosition(7);
    settings.udn.setPosition(40);
    settings.UDTempo.setPosition(9);
    settings.SBWolkenT.setPosition(33);
    settings.SBWolkenA.setPosition(66);
    settings.SBMondA.setPosition(99);
    settings.sbhell.setPosition(50);
    settings.sbmond.setPosition(20);
    return settings;
}

std::vector<int> SettingValues(const AllSettings &s) {
    return {s.udnk.Min,         s.udnk.Max,         s.udnk.Position,      s.udn.Min,
            s.udn.Max,          s.udn.Position,     s.UDTempo.Min,        s.UDTempo.Max,
            s.UDTempo.Position, s.SBWolkenT.Min,    s.SBWolkenT.Max,      s.SBWolkenT.Position,
            s.SBWolkenA.Min,    s.SBWolkenA.Max,    s.SBWolkenA.Position, s.SBMondA.Min,
            s.SBMondA.Max,      s.SBMondA.Position, s.sbhell.Min,         s.sbhell.Max,
            s.sbhell.Position,  s.sbmond.Min,       s.sbmond.Max,         s.sbmond.Position};
}

std::string Difference(const CurveData &expected, const CurveData &actual) {
    for (size_t r = 0; r < LevelRows; ++r)
        for (size_t c = 0; c < LevelColumns; ++c)
            if (expected.Levels[r][c] != actual.Levels[r][c])
                return "row " + std::to_string(r) + ", column " + std::to_string(c) +
                       ": expected " + std::to_string(expected.Levels[r][c]) + ", got " +
                       std::to_string(actual.Levels[r][c]);
    return {};
}

std::string ByteDifference(const QByteArray &expected, const QByteArray &actual) {
    if (expected.size() != actual.size())
        return "size " + std::to_string(actual.size()) + " instead of " +
               std::to_string(expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        if (expected[i] != actual[i])
            return "offset " + std::to_string(i) + ": expected " +
                   std::to_string(static_cast<uint8_t>(expected[i])) + ", got " +
                   std::to_string(static_cast<uint8_t>(actual[i]));
    return {};
}

std::vector<int> ByteValues(const QByteArray &bytes) {
    std::vector<int> values;
    for (const char byte : bytes)
        values.push_back(static_cast<uint8_t>(byte));
    return values;
}

// The file level of channel n (1..4) at column k in the hand-built files below.
int FileLevel(int n, int k) {
    return (n * 71 + k * 13 + 9) % 256;
}

// Block 1: its header and the 4 x 96 levels.
QByteArray Block1() {
    QByteArray bytes = Bytes({1, 96, 4});
    for (int n = 1; n <= 4; ++n)
        for (int k = 0; k < 96; ++k)
            bytes.append(static_cast<char>(FileLevel(n, k)));
    return bytes;
}

// Blocks 2 and 3 of a complete file with the three settings bytes.
QByteArray Blocks2And3(int speed, int intensity, int moon) {
    return Bytes({2, 30, 1}) + Repeat(30, 255) + Bytes({3, 20, 1, speed, intensity, moon}) +
           Repeat(17, 0);
}

void TakeFileLevels(CurveData &data) {
    for (int n = 1; n <= 4; ++n)
        for (int k = 0; k < 96; ++k)
            data.Levels[static_cast<size_t>(n)][static_cast<size_t>(k)] = FileLevel(n, k);
}

// ---------------------------------------------------------------------------------------
// Saving

TEST(DimSave, WritesChannelsOneToFourAndTheFixedBlocks) {
    CurveData data;
    for (int r = 0; r < LevelRows; ++r)
        for (int c = 0; c < LevelColumns; ++c)
            data.Levels[static_cast<size_t>(r)][static_cast<size_t>(c)] = 0xa5 + r;
    // Levels outside 0..255 are stored by their low 8 bits.
    const auto level = [](int n, int k) { return n * 97 + k * 29 - 300; };
    for (int n = 1; n <= 4; ++n)
        for (int k = 0; k < 96; ++k)
            data.Levels[static_cast<size_t>(n)][static_cast<size_t>(k)] = level(n, k);
    AllSettings settings;
    settings.udnk.setPosition(10);
    settings.udn.setPosition(2);
    ASSERT_EQ(settings.udnk.position(), 10);
    ASSERT_EQ(settings.udn.position(), 2);
    settings.SBWolkenT.setPosition(123);
    settings.SBWolkenA.setPosition(45);
    settings.SBMondA.setPosition(6);

    Folder folder;
    const ScriptedClock clock({{8, 0, 0}});
    Save(SystemFileSystem(), clock, folder.path(QStringLiteral("P3.DIM")), data, settings);

    QByteArray expected(443, '\0');
    const auto at = [&expected](int offset, int value) {
        expected[offset] = static_cast<char>(value & 0xff);
    };
    at(0, 1);
    at(1, 96);
    at(2, 4);
    for (int n = 1; n <= 4; ++n)
        for (int k = 0; k < 96; ++k)
            at(3 + 96 * (n - 1) + k, level(n, k));
    at(387, 2);
    at(388, 30);
    at(389, 1);
    for (int offset = 390; offset <= 419; ++offset)
        at(offset, 255);
    at(420, 3);
    at(421, 20);
    at(422, 1);
    at(423, 123);
    at(424, 45);
    at(425, 6);
    EXPECT_EQ(ByteDifference(expected, folder.read(QStringLiteral("P3.DIM"))), "");
}

TEST(DimSave, LoadingASavedFileRestoresChannelsAndCloudSettings) {
    struct Variant {
        int seed, speed, intensity, moon;
    };
    const Variant variants[] = {{1, 1, 0, 0}, {2, 255, 255, 255}, {3, 128, 200, 17}};
    for (const size_t chunk : {size_t{0}, size_t{7}}) {
        for (const Variant &v : variants) {
            SCOPED_TRACE("seed " + std::to_string(v.seed) + ", transfers of " +
                         (chunk ? std::to_string(chunk) + " bytes" : std::string("any size")));
            FaultyFileSystem fs;
            if (chunk)
                fs.limitTransfers(chunk);
            const CurveData source = Pattern(v.seed);
            AllSettings sourceSettings;
            sourceSettings.SBWolkenT.setPosition(v.speed);
            sourceSettings.SBWolkenA.setPosition(v.intensity);
            sourceSettings.SBMondA.setPosition(v.moon);
            Folder folder;
            const QString path = folder.path(QStringLiteral("P2.DIM"));
            Save(fs, ScriptedClock({{1, 2, 3}}), path, source, sourceSettings);

            CurveData data = Sentinels();
            AllSettings settings = PatternSettings();
            CurveData expected = data;
            AllSettings expectedSettings = settings;
            for (size_t n = 1; n <= 4; ++n)
                for (size_t k = 0; k < 96; ++k)
                    expected.Levels[n][k] = source.Levels[n][k];
            expectedSettings.SBWolkenT.Position = v.speed;
            expectedSettings.SBWolkenA.Position = v.intensity;
            expectedSettings.SBMondA.Position = v.moon;

            EXPECT_EQ(LoadDimFile(fs, path, data, settings), LoadResult::Loaded);
            EXPECT_EQ(Difference(expected, data), "");
            EXPECT_EQ(SettingValues(expectedSettings), SettingValues(settings));
            EXPECT_EQ(fs.openFiles(), 0u);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Reading

enum class Outcome { Rejected, ShortRead, Levels, LevelsAndSettings };

struct ReadCase {
    const char *name;
    QByteArray bytes;
    Outcome outcome;
    std::array<int, 3> settings{}; // SBWolkenT, SBWolkenA, SBMondA after loading
};

std::ostream &operator<<(std::ostream &out, const ReadCase &c) {
    return out << c.name;
}

class DimRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(DimRead, TakesOverAllOrNothing) {
    const ReadCase &c = GetParam();
    Folder folder;
    const QString path = folder.write(QStringLiteral("P1.DIM"), c.bytes);
    CurveData data = Sentinels();
    AllSettings settings = PatternSettings();
    CurveData expected = data;
    AllSettings expectedSettings = settings;

    std::optional<LoadResult> result;
    const auto error =
        Failure([&] { result = LoadDimFile(SystemFileSystem(), path, data, settings); });

    switch (c.outcome) {
    case Outcome::Rejected:
        ASSERT_FALSE(error.has_value()) << error->code();
        EXPECT_EQ(result, LoadResult::Rejected);
        break;
    case Outcome::ShortRead:
        ExpectError(error, 100, kPastEnd);
        break;
    case Outcome::LevelsAndSettings:
        expectedSettings.SBWolkenT.Position = c.settings[0];
        expectedSettings.SBWolkenA.Position = c.settings[1];
        expectedSettings.SBMondA.Position = c.settings[2];
        [[fallthrough]];
    case Outcome::Levels:
        ASSERT_FALSE(error.has_value()) << error->code();
        EXPECT_EQ(result, LoadResult::Loaded);
        TakeFileLevels(expected);
        break;
    }
    EXPECT_EQ(Difference(expected, data), "");
    EXPECT_EQ(SettingValues(expectedSettings), SettingValues(settings));
}

std::vector<ReadCase> ReadCases() {
    const QByteArray full = Block1() + Blocks2And3(17, 99, 201);
    const QByteArray tail = Bytes({3, 20, 1, 44, 45, 46}) + Repeat(17, 0);
    std::vector<ReadCase> cases = {
        {"Complete", full, Outcome::LevelsAndSettings, {17, 99, 201}},
        {"WithoutTrailingZeros", full.left(426), Outcome::LevelsAndSettings, {17, 99, 201}},
        {"TrailingBytesIgnored",
         full + Repeat(300, 0xee),
         Outcome::LevelsAndSettings,
         {17, 99, 201}},
        {"CloudSpeedZeroLoadsAsOne",
         Block1() + Blocks2And3(0, 7, 8),
         Outcome::LevelsAndSettings,
         {1, 7, 8}},
        {"AllSettingsMax",
         Block1() + Blocks2And3(255, 255, 255),
         Outcome::LevelsAndSettings,
         {255, 255, 255}},
        {"Intensity200",
         Block1() + Blocks2And3(9, 200, 0),
         Outcome::LevelsAndSettings,
         {9, 200, 0}},
        // Block 3 directly after block 1; its row length and count are not looked at.
        {"Block3AfterBlock1",
         Block1() + Bytes({3, 0, 0, 40, 50, 60}),
         Outcome::LevelsAndSettings,
         {40, 50, 60}},
        {"Block2OfNoBytes",
         Block1() + Bytes({2, 0, 7}) + tail,
         Outcome::LevelsAndSettings,
         {44, 45, 46}},
        // Only the row length counts: 5 bytes are skipped, not 5 x 9.
        {"Block2RowCountIgnored",
         Block1() + Bytes({2, 5, 9}) + Repeat(5, 0xaa) + tail,
         Outcome::LevelsAndSettings,
         {44, 45, 46}},
        {"Block2Longest",
         Block1() + Bytes({2, 255, 1}) + Repeat(255, 3) + Bytes({3, 1, 1}) + Bytes({11, 12, 13}),
         Outcome::LevelsAndSettings,
         {11, 12, 13}},
        // Block 2 is skipped once only; a second one ends reading.
        {"Block2Twice", Block1() + Bytes({2, 0, 0, 2, 0, 0}) + tail, Outcome::Levels},
        {"OtherTagAfterBlock2", Block1() + Bytes({2, 1, 1, 3}) + Bytes({4, 20, 1}) + tail,
         Outcome::Levels},
        {"Block3ValuesCut", Block1() + Bytes({3, 20, 1, 5, 6}), Outcome::ShortRead},
        {"Block2SkipCut", Block1() + Bytes({2, 30, 1}) + Repeat(29, 255), Outcome::ShortRead},
        {"Block2WithoutNextHeader", Block1() + Bytes({2, 30, 1}) + Repeat(30, 255),
         Outcome::ShortRead},
        {"Block2NextHeaderCut", Block1() + Bytes({2, 30, 1}) + Repeat(30, 255) + Bytes({3, 20}),
         Outcome::ShortRead},
        {"Block1Only", Block1(), Outcome::ShortRead},
        {"SecondHeaderCut", Block1() + Bytes({3, 20}), Outcome::ShortRead},
        {"LevelsCut", Block1().left(200), Outcome::ShortRead},
        {"HeaderOnly", Bytes({1, 96, 4}), Outcome::ShortRead},
        {"Empty", QByteArray(), Outcome::ShortRead},
        {"OneByte", Bytes({1}), Outcome::ShortRead},
        {"TwoBytes", Bytes({1, 96}), Outcome::ShortRead},
        // Only the first header decides; the rest of these files is complete.
        {"RejectedChannels5", Bytes({1, 96, 5}) + full.mid(3), Outcome::Rejected},
        {"RejectedPoints95", Bytes({1, 95, 4}) + full.mid(3), Outcome::Rejected},
        {"RejectedTag2", Bytes({2, 96, 4}) + full.mid(3), Outcome::Rejected},
        {"RejectedHeaderOnly", Bytes({0, 0, 0}), Outcome::Rejected},
    };
    // Any tag other than 2 or 3 after block 1 ends reading: the block 3 behind it is unread.
    static const char *const kTagNames[] = {"OtherTag0", "OtherTag1", "OtherTag4", "OtherTag128",
                                            "OtherTag255"};
    const int tags[] = {0, 1, 4, 128, 255};
    for (size_t i = 0; i < std::size(tags); ++i)
        cases.push_back({kTagNames[i], Block1() + Bytes({tags[i], 20, 1}) + tail, Outcome::Levels});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(DimFiles, DimRead, ::testing::ValuesIn(ReadCases()),
                         [](const auto &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// SEL.DAT

struct SelCase {
    const char *test;
    const char *name; // UTF-8
    int number;
};

std::ostream &operator<<(std::ostream &out, const SelCase &c) {
    return out << c.name;
}

class SelNumber : public ::testing::TestWithParam<SelCase> {};

TEST_P(SelNumber, ComesFromTheSecondCharacterOfTheName) {
    Folder folder;
    const ScriptedClock clock({{14, 5, 9}});
    Save(SystemFileSystem(), clock, folder.path(QString::fromUtf8(GetParam().name)), Pattern(1),
         AllSettings());
    const QByteArray sel = folder.read(QStringLiteral("SEL.DAT"));
    ASSERT_EQ(sel.size(), 6);
    EXPECT_EQ(static_cast<uint8_t>(sel[0]), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    SelNames, SelNumber,
    ::testing::Values(SelCase{"P3", "P3.DIM", 3}, SelCase{"P0", "P0.DIM", 0},
                      SelCase{"X9", "X9.DIM", 9}, SelCase{"SecondIsDot", "A.DIM", 254},
                      SelCase{"Upper", "AB.DIM", 18}, SelCase{"Lower", "ab.DIM", 50},
                      SelCase{"OneCharacter", "Q", 1}, SelCase{"SecondIsSpace", "P 1.DIM", 240},
                      SelCase{"Latin1", "Pé.DIM", 0xe9 - 48},
                      SelCase{"EuroSign", "P€.DIM", 0x80 - 48},
                      SelCase{"YDiaeresis", "PŸ.DIM", 0x9f - 48}),
    [](const auto &info) { return std::string(info.param.test); });

TEST(SelFile, HoldsOneClockReadingAndTheBrightnessBars) {
    Folder folder;
    const QString path = folder.path(QStringLiteral("P3.DIM"));
    folder.write(QStringLiteral("SEL.DAT"), QByteArray("an older, longer selection file"));
    const ScriptedClock clock({{14, 5, 9}});
    AllSettings settings;
    Save(SystemFileSystem(), clock, path, Pattern(1), settings);
    EXPECT_EQ(ByteValues(folder.read(QStringLiteral("SEL.DAT"))),
              (std::vector<int>{3, 14, 5, 9, 0, 0}));
    EXPECT_EQ(clock.reads(), 1u);

    settings.sbhell.setPosition(37);
    settings.sbmond.setPosition(12);
    Save(SystemFileSystem(), clock, path, Pattern(1), settings);
    EXPECT_EQ(ByteValues(folder.read(QStringLiteral("SEL.DAT"))),
              (std::vector<int>{3, 14, 5, 9, 37, 12}));
    EXPECT_EQ(clock.reads(), 2u);
    EXPECT_EQ(folder.entries(), QStringList({QStringLiteral("P3.DIM"), QStringLiteral("SEL.DAT")}));
}

TEST(SelFile, TakesTheTimeFromASingleReadingAtTheTurnOfAnHour) {
    Folder folder;
    const QString path = folder.path(QStringLiteral("P5.DIM"));
    const ScriptedClock clock({{14, 59, 59}, {15, 0, 0}});
    Save(SystemFileSystem(), clock, path, Pattern(2), AllSettings());
    EXPECT_EQ(ByteValues(folder.read(QStringLiteral("SEL.DAT"))),
              (std::vector<int>{5, 14, 59, 59, 0, 0}));
    EXPECT_EQ(clock.reads(), 1u);
    Save(SystemFileSystem(), clock, path, Pattern(2), AllSettings());
    EXPECT_EQ(ByteValues(folder.read(QStringLiteral("SEL.DAT"))),
              (std::vector<int>{5, 15, 0, 0, 0, 0}));
    EXPECT_EQ(clock.reads(), 2u);
}

// ---------------------------------------------------------------------------------------
// Input/output errors

struct LoadErrorCase {
    const char *name;
    Call call;
    int nth;
    int err;
    size_t chunk; // 0: transfers of any size
    int code;
    const char *message;
};

std::ostream &operator<<(std::ostream &out, const LoadErrorCase &c) {
    return out << c.name;
}

class FileErrorLoad : public ::testing::TestWithParam<LoadErrorCase> {};

TEST_P(FileErrorLoad, ReportsTheErrorAndChangesNothing) {
    const LoadErrorCase &c = GetParam();
    Folder folder;
    const QString path = folder.write(QStringLiteral("P1.DIM"), Block1() + Blocks2And3(5, 6, 7));
    FaultyFileSystem fs;
    fs.failOn(c.call, c.nth, c.err);
    if (c.chunk)
        fs.limitTransfers(c.chunk);
    CurveData data = Sentinels();
    AllSettings settings = PatternSettings();
    const CurveData before = data;
    const AllSettings settingsBefore = settings;

    ExpectError(Failure([&] { LoadDimFile(fs, path, data, settings); }), c.code, c.message);
    EXPECT_EQ(Difference(before, data), "");
    EXPECT_EQ(SettingValues(settingsBefore), SettingValues(settings));
    EXPECT_EQ(fs.openFiles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    FileErrorCases, FileErrorLoad,
    ::testing::Values(
        LoadErrorCase{"NotFound", Call::OpenRead, 1, ENOENT, 0, 2, kNotFound},
        LoadErrorCase{"NotADirectory", Call::OpenRead, 1, ENOTDIR, 0, 3, kBadName},
        LoadErrorCase{"ProcessFileLimit", Call::OpenRead, 1, EMFILE, 0, 4, kTooMany},
        LoadErrorCase{"SystemFileLimit", Call::OpenRead, 1, ENFILE, 0, 4, kTooMany},
        LoadErrorCase{"Access", Call::OpenRead, 1, EACCES, 0, 5, kDenied},
        LoadErrorCase{"Permission", Call::OpenRead, 1, EPERM, 0, 5, kDenied},
        LoadErrorCase{"ReadOnlyFileSystem", Call::OpenRead, 1, EROFS, 0, 5, kDenied},
        LoadErrorCase{"Busy", Call::OpenRead, 1, EBUSY, 0, EBUSY, "E/A-Fehler 16"},
        // errno values that share their number with a code of its own keep the general text
        LoadErrorCase{"InterruptedIsNotCode4", Call::OpenRead, 1, EINTR, 0, 4, "E/A-Fehler 4"},
        LoadErrorCase{"InputOutputIsNotCode5", Call::Read, 1, EIO, 0, 5, "E/A-Fehler 5"},
        LoadErrorCase{"NetworkDownIsNotCode100", Call::Read, 1, ENETDOWN, 0, 100, "E/A-Fehler 100"},
        // reading 3 bytes at a time, the 5th read is well past the first header
        LoadErrorCase{"ReadAfterHeader", Call::Read, 5, EIO, 3, 5, "E/A-Fehler 5"},
        LoadErrorCase{"ReadAtEnd", Call::Read, 2, EIO, 0, 5, "E/A-Fehler 5"}),
    [](const auto &info) { return std::string(info.param.name); });

// A descriptor through which nothing was written loses nothing when its close fails: the
// load that read its bytes, and the save whose writability probe it was, go on.
TEST(FileErrorClose, AFailedCloseOfADescriptorOnlyReadFailsNothing) {
    for (const bool save : {false, true}) {
        SCOPED_TRACE(save ? "save" : "load");
        Folder folder;
        const QString path =
            folder.write(QStringLiteral("P1.DIM"), Block1() + Blocks2And3(5, 6, 7));
        FaultyFileSystem fs;
        fs.failOn(Call::Close, 1, EIO);
        CurveData data = Sentinels();
        AllSettings settings = PatternSettings();
        const auto error = Failure([&] {
            if (save)
                Save(fs, ScriptedClock({{1, 2, 3}}), path, Pattern(2), settings);
            else
                LoadDimFile(fs, path, data, settings);
        });
        ASSERT_FALSE(error.has_value()) << error->code();
        if (save) {
            EXPECT_EQ(ByteDifference(DimFileBytes(Pattern(2), settings),
                                     folder.read(QStringLiteral("P1.DIM"))),
                      "");
        } else {
            EXPECT_EQ(settings.SBMondA.position(), 7);
        }
        EXPECT_EQ(fs.openFiles(), 0u);
    }
}

TEST(FileErrorLoad, ReadOnlyFileLoadsWithoutAnyWritingCall) {
    Folder folder;
    const QString path = folder.write(QStringLiteral("P1.DIM"), Block1() + Blocks2And3(5, 6, 7));
    ASSERT_TRUE(
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    FaultyFileSystem fs;
    CurveData data = Sentinels();
    AllSettings settings = PatternSettings();
    EXPECT_EQ(LoadDimFile(fs, path, data, settings), LoadResult::Loaded);
    EXPECT_EQ(settings.SBMondA.position(), 7);
    EXPECT_EQ(fs.count(Call::OpenRead), 1);
    for (const Call call : {Call::OpenWrite, Call::Create, Call::Write, Call::Sync, Call::Rename})
        EXPECT_EQ(fs.count(call), 0) << static_cast<int>(call);
    EXPECT_EQ(fs.openFiles(), 0u);
}

TEST(FileErrorPaths, MissingFilesFoldersAndFilesUsedAsFolders) {
    Folder folder;
    folder.write(QStringLiteral("P1.DIM"), Block1() + Blocks2And3(5, 6, 7));
    struct Case {
        const char *path;
        bool save;
        int code;
        const char *message;
    };
    const Case cases[] = {
        {"P2.DIM", false, 2, kNotFound},
        {"gone/P2.DIM", false, 3, kBadName},
        {"gone/deeper/P2.DIM", false, 3, kBadName},
        {"P1.DIM/P2.DIM", false, 3, kBadName},
        {"gone/P2.DIM", true, 3, kBadName},
        {"P1.DIM/P2.DIM", true, 3, kBadName},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.save ? "saving " : "loading ") + c.path);
        const QString path = folder.path(QString::fromUtf8(c.path));
        CurveData data = Sentinels();
        AllSettings settings = PatternSettings();
        ExpectError(
            Failure([&] {
                if (c.save)
                    Save(SystemFileSystem(), ScriptedClock({{1, 2, 3}}), path, data, settings);
                else
                    LoadDimFile(SystemFileSystem(), path, data, settings);
            }),
            c.code, c.message);
        EXPECT_EQ(Difference(Sentinels(), data), "");
        EXPECT_EQ(SettingValues(PatternSettings()), SettingValues(settings));
        EXPECT_EQ(folder.entries(), QStringList({QStringLiteral("P1.DIM")}));
    }
}

struct SaveErrorCase {
    const char *name;
    Call call;
    int err;
    const char *pathPart; // the temporary files carry neither name: those count calls instead
    int nth;
    int code;
    const char *message;
    bool dimReplaced; // the curve file was complete before SEL.DAT failed
};

std::ostream &operator<<(std::ostream &out, const SaveErrorCase &c) {
    return out << c.name;
}

class FileErrorSave : public ::testing::TestWithParam<SaveErrorCase> {};

TEST_P(FileErrorSave, KeepsTheOldFilesWholeAndLeavesNoTemporaryFile) {
    const SaveErrorCase &c = GetParam();
    Folder folder;
    const QByteArray oldDim = Block1() + Blocks2And3(5, 6, 7);
    const QByteArray oldSel = Bytes({3, 9, 8, 7, 0, 0});
    const QString path = folder.write(QStringLiteral("P3.DIM"), oldDim);
    folder.write(QStringLiteral("SEL.DAT"), oldSel);
    FaultyFileSystem fs;
    fs.failOn(c.call, c.nth, c.err, QString::fromLatin1(c.pathPart));
    const CurveData data = Pattern(4);
    const AllSettings settings = PatternSettings();

    ExpectError(Failure([&] {
                    Save(fs, ScriptedClock({{1, 2, 3}}), path, data, settings);
                }),
                c.code, c.message);
    EXPECT_EQ(ByteDifference(c.dimReplaced ? DimFileBytes(data, settings) : oldDim,
                             folder.read(QStringLiteral("P3.DIM"))),
              "");
    EXPECT_EQ(ByteDifference(oldSel, folder.read(QStringLiteral("SEL.DAT"))), "");
    EXPECT_EQ(folder.entries(), QStringList({QStringLiteral("P3.DIM"), QStringLiteral("SEL.DAT")}));
    EXPECT_EQ(fs.openFiles(), 0u);
    if (c.call == Call::OpenWrite) { // refused before any temporary file was made
        EXPECT_EQ(fs.count(Call::Create), c.dimReplaced ? 1 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    FileErrorCases, FileErrorSave,
    ::testing::Values(
        SaveErrorCase{"DimReadOnly", Call::OpenWrite, EACCES, "P3.DIM", 1, 5, kDenied, false},
        SaveErrorCase{"DimCreate", Call::Create, EMFILE, "", 1, 4, kTooMany, false},
        SaveErrorCase{"DimWriteNoSpace", Call::Write, ENOSPC, "", 1, 101, kNoSpace, false},
        SaveErrorCase{"DimWriteNothing", Call::Write, 0, "", 1, 101, kNoSpace, false},
        SaveErrorCase{"DimSync", Call::Sync, EIO, "", 1, 5, "E/A-Fehler 5", false},
        SaveErrorCase{"DimCloseQuota", Call::CloseAfterWrite, EDQUOT, "", 1, 101, kNoSpace, false},
        SaveErrorCase{"DimRename", Call::Rename, EBUSY, "P3.DIM", 1, EBUSY, "E/A-Fehler 16", false},
        SaveErrorCase{"DimFolderSync", Call::SyncFolder, EIO, "", 1, 5, "E/A-Fehler 5", true},
        SaveErrorCase{"SelReadOnly", Call::OpenWrite, EPERM, "SEL.DAT", 1, 5, kDenied, true},
        SaveErrorCase{"SelCreate", Call::Create, ENOSPC, "", 2, 101, kNoSpace, true},
        SaveErrorCase{"SelWrite", Call::Write, ENOSPC, "", 2, 101, kNoSpace, true},
        SaveErrorCase{"SelRename", Call::Rename, EXDEV, "SEL.DAT", 1, EXDEV, "E/A-Fehler 18",
                      true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(FileErrorSave, FailedFirstSaveLeavesAnEmptyFolder) {
    Folder folder;
    FaultyFileSystem fs;
    fs.failOn(Call::Write, 1, ENOSPC);
    ExpectError(Failure([&] {
                    Save(fs, ScriptedClock({{1, 2, 3}}), folder.path(QStringLiteral("P3.DIM")),
                         Pattern(1), AllSettings());
                }),
                101, kNoSpace);
    EXPECT_EQ(folder.entries(), QStringList());
    EXPECT_EQ(fs.openFiles(), 0u);
}

struct InPlaceCase {
    const char *name;
    int createErr;                            // every create in the folder fails with it
    std::optional<std::pair<Call, int>> then; // and then this call fails
    bool existing;                            // P3.DIM and SEL.DAT are there before
    int code;                                 // 0: saved
    const char *message;
};

std::ostream &operator<<(std::ostream &out, const InPlaceCase &c) {
    return out << c.name;
}

class FileInPlace : public ::testing::TestWithParam<InPlaceCase> {};

// A folder where no file may be made, as for a user who may write the files but not the
// folder: existing files are rewritten in place (the same file, emptied first), with the
// error codes of any save; nothing new appears.
TEST_P(FileInPlace, FilesThatMayBeWrittenAreSavedInAFolderThatMayNot) {
    const InPlaceCase &c = GetParam();
    Folder folder;
    const QByteArray oldDim = Block1() + Blocks2And3(5, 6, 7);
    const QByteArray oldSel("an older, longer selection file");
    const QString path = folder.path(QStringLiteral("P3.DIM"));
    struct stat before {};
    if (c.existing) {
        folder.write(QStringLiteral("P3.DIM"), oldDim);
        folder.write(QStringLiteral("SEL.DAT"), oldSel);
        ASSERT_EQ(::stat(EncodePath(path).constData(), &before), 0);
    }
    FaultyFileSystem fs;
    fs.failOn(Call::Create, 0, c.createErr);
    if (c.then)
        fs.failOn(c.then->first, 1, c.then->second);
    const AllSettings settings = PatternSettings();

    const auto error = Failure([&] {
        Save(fs, ScriptedClock({{1, 2, 3}}), path, Pattern(4), settings);
    });
    EXPECT_EQ(fs.openFiles(), 0u);
    if (!c.existing) {
        ExpectError(error, c.code, c.message);
        EXPECT_EQ(folder.entries(), QStringList());
        return;
    }
    EXPECT_EQ(folder.entries(), QStringList({QStringLiteral("P3.DIM"), QStringLiteral("SEL.DAT")}));
    if (c.code) {
        ExpectError(error, c.code, c.message);
        const QByteArray dim = folder.read(QStringLiteral("P3.DIM"));
        if (!c.then || c.then->first == Call::Truncate) { // refused before it was emptied
            EXPECT_EQ(ByteDifference(oldDim, dim), "");
        } else if (c.then->first == Call::Write) { // emptied: too short to load
            EXPECT_EQ(dim, QByteArray());
        }
        EXPECT_EQ(folder.read(QStringLiteral("SEL.DAT")), oldSel);
        return;
    }
    ASSERT_FALSE(error.has_value()) << error->code();
    EXPECT_EQ(
        ByteDifference(DimFileBytes(Pattern(4), settings), folder.read(QStringLiteral("P3.DIM"))),
        "");
    EXPECT_EQ(ByteValues(folder.read(QStringLiteral("SEL.DAT"))),
              (std::vector<int>{3, 1, 2, 3, 50, 20}));
    struct stat after {};
    ASSERT_EQ(::stat(EncodePath(path).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "rewritten, not replaced";
}

INSTANTIATE_TEST_SUITE_P(
    FileErrorCases, FileInPlace,
    ::testing::Values(
        InPlaceCase{"FolderDenied", EACCES, {}, true, 0, ""},
        InPlaceCase{"FolderImmutable", EPERM, {}, true, 0, ""},
        InPlaceCase{"NewFileInDeniedFolder", EACCES, {}, false, 5, kDenied},
        InPlaceCase{"ReadOnlyFileSystem", EROFS, {}, true, 5, kDenied},
        InPlaceCase{"TruncateFails", EACCES, std::pair(Call::Truncate, EIO), true, 5,
                    "E/A-Fehler 5"},
        InPlaceCase{"WriteFails", EACCES, std::pair(Call::Write, ENOSPC), true, 101, kNoSpace},
        InPlaceCase{"SyncFails", EACCES, std::pair(Call::Sync, EIO), true, 5, "E/A-Fehler 5"},
        InPlaceCase{"CloseFails", EACCES, std::pair(Call::CloseAfterWrite, EDQUOT), true, 101,
                    kNoSpace}),
    [](const auto &info) { return std::string(info.param.name); });

// Loads and saves of what is no regular file are refused at once: a pipe without a writer
// or reader would otherwise block the caller for good.
TEST(FileKinds, PipesDevicesAndFoldersAreRefusedAtOnce) {
    Folder folder;
    const QString fifo = folder.path(QStringLiteral("P1.DIM"));
    ASSERT_EQ(::mkfifo(EncodePath(fifo).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(fifo, folder.path(QStringLiteral("P2.DIM"))));
    ASSERT_TRUE(QDir().mkdir(folder.path(QStringLiteral("P3.DIM"))));
    struct Case {
        const char *what;
        QString path;
        bool save;
        bool withReader; // the pipe has its other end open
        int code;
    };
    const Case cases[] = {
        {"load pipe", fifo, false, false, ENXIO},
        {"save pipe", fifo, true, false, ENXIO},
        {"save pipe with a reader", fifo, true, true, ENXIO},
        {"save link to pipe", folder.path(QStringLiteral("P2.DIM")), true, false, ENXIO},
        {"load device", QStringLiteral("/dev/null"), false, false, ENXIO},
        {"save device", QStringLiteral("/dev/full"), true, false, ENXIO},
        {"load folder", folder.path(QStringLiteral("P3.DIM")), false, false, EISDIR},
        {"save folder", folder.path(QStringLiteral("P3.DIM")), true, false, EISDIR},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const int reader =
            c.withReader ? ::open(EncodePath(fifo).constData(), O_RDONLY | O_NONBLOCK) : -1;
        CurveData data = Sentinels();
        AllSettings settings = PatternSettings();
        auto run = std::async(std::launch::async, [&] {
            return Failure([&] {
                if (c.save)
                    Save(SystemFileSystem(), ScriptedClock({{1, 2, 3}}), c.path, data, settings);
                else
                    LoadDimFile(SystemFileSystem(), c.path, data, settings);
            });
        });
        if (run.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            // Release the blocked call so that the suite fails instead of hanging.
            ::close(::open(EncodePath(fifo).constData(), O_RDWR | O_NONBLOCK));
            ADD_FAILURE() << "blocked";
        }
        const std::optional<IoError> error = run.get();
        if (reader >= 0)
            ::close(reader);
        ExpectError(error, c.code,
                    QStringLiteral("E/A-Fehler %1").arg(c.code).toUtf8().constData());
        EXPECT_EQ(Difference(Sentinels(), data), "");
    }
    EXPECT_EQ(folder.entries(), QStringList({QStringLiteral("P1.DIM"), QStringLiteral("P2.DIM"),
                                             QStringLiteral("P3.DIM")}));
}

TEST(FileReplace, KeepsThePermissionsOfTheFileItReplaces) {
    Folder folder;
    const QString kept = folder.write(QStringLiteral("P1.DIM"), Block1());
    ASSERT_EQ(::chmod(EncodePath(kept).constData(), 0640), 0);
    const mode_t mask = ::umask(027);
    ::umask(mask);
    Save(SystemFileSystem(), ScriptedClock({{1, 2, 3}}), kept, Pattern(1), AllSettings());
    struct stat st {};
    ASSERT_EQ(::stat(EncodePath(kept).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    ASSERT_EQ(::stat(EncodePath(folder.path(QStringLiteral("SEL.DAT"))).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0666u & ~mask) << "a new file takes the umask";
}

TEST(FileReplace, TakesNamesUpToTheFolderLimit) {
    Folder folder;
    for (const int length : {241, 255}) {
        const QString name =
            QStringLiteral("P") + QString(length - 5, QLatin1Char('x')) + QStringLiteral(".DIM");
        const QString path = folder.path(name);
        Save(SystemFileSystem(), ScriptedClock({{1, 2, 3}}), path, Pattern(length), AllSettings());
        EXPECT_EQ(folder.read(name), DimFileBytes(Pattern(length), AllSettings())) << length;
    }
}

// Follows a link to a missing file (and a chain of them) instead of replacing the link;
// a loop of links is refused.
TEST(FileReplace, FollowsLinksToNewFilesAndRefusesLoops) {
    Folder folder;
    ASSERT_TRUE(
        QFile::link(QStringLiteral("curves/day.DIM"), folder.path(QStringLiteral("P1.DIM"))));
    ASSERT_TRUE(
        QFile::link(folder.path(QStringLiteral("P1.DIM")), folder.path(QStringLiteral("P2.DIM"))));
    ASSERT_TRUE(QDir().mkdir(folder.path(QStringLiteral("curves"))));
    Save(SystemFileSystem(), ScriptedClock({{1, 2, 3}}), folder.path(QStringLiteral("P2.DIM")),
         Pattern(3), AllSettings());
    EXPECT_EQ(folder.read(QStringLiteral("curves/day.DIM")),
              DimFileBytes(Pattern(3), AllSettings()));
    EXPECT_EQ(QFileInfo(folder.path(QStringLiteral("P1.DIM"))).symLinkTarget(),
              folder.path(QStringLiteral("curves/day.DIM")));
    EXPECT_TRUE(QFileInfo(folder.path(QStringLiteral("P2.DIM"))).isSymLink());
    EXPECT_EQ(folder.read(QStringLiteral("SEL.DAT")).size(), 6); // beside the name given

    ASSERT_TRUE(QFile::link(QStringLiteral("P4.DIM"), folder.path(QStringLiteral("P3.DIM"))));
    ASSERT_TRUE(QFile::link(QStringLiteral("P3.DIM"), folder.path(QStringLiteral("P4.DIM"))));
    ExpectError(Failure([&] {
                    WriteFileReplacing(SystemFileSystem(), folder.path(QStringLiteral("P3.DIM")),
                                       QByteArray(443, 'x'));
                }),
                ELOOP, "E/A-Fehler 40");
    EXPECT_TRUE(QFileInfo(folder.path(QStringLiteral("P3.DIM"))).isSymLink());
}

// A save removes what a killed save into the same folder left, and only that.
TEST(FileReplace, RemovesOnlyTheLeftoversOfSavesWhoseProcessIsGone) {
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    Folder folder;
    const auto leftover = [&](const QString &name, bool old) {
        const QString path = folder.write(name, QByteArray("half a curve"));
        if (old) {
            const timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 3600, 0}};
            EXPECT_EQ(::utimensat(AT_FDCWD, EncodePath(path).constData(), times, 0), 0);
        }
    };
    const QString dead = QStringLiteral(".dimsave-%1-").arg(gone);
    leftover(dead + QStringLiteral("aB3xYz"), true);                       // removed
    leftover(dead + QStringLiteral("recent"), false);                      // too young
    leftover(QStringLiteral(".dimsave-%1-aB3xYz").arg(::getppid()), true); // alive
    leftover(dead + QStringLiteral("aB3xYz.keep"), true);                  // not our name
    leftover(QStringLiteral(".dimsave-0%1-aB3xYz").arg(QString()), true);  // no process
    Save(SystemFileSystem(), ScriptedClock({{1, 2, 3}}), folder.path(QStringLiteral("P1.DIM")),
         Pattern(1), AllSettings());
    QStringList expected{QStringLiteral(".dimsave-0-aB3xYz"),
                         dead + QStringLiteral("aB3xYz.keep"),
                         dead + QStringLiteral("recent"),
                         QStringLiteral(".dimsave-%1-aB3xYz").arg(::getppid()),
                         QStringLiteral("P1.DIM"),
                         QStringLiteral("SEL.DAT")};
    QStringList entries = folder.entries();
    expected.sort();
    entries.sort();
    EXPECT_EQ(entries, expected);
}

// ---------------------------------------------------------------------------------------
// The system calls under the real file system

enum class Raw { Open, Read, Write, Fsync, Fchown, Fchmod, Close, Rename, Unlink };

// The real calls, where every call of one kind is first interrupted by a signal, as the
// kernel reports it: nothing done and EINTR, except that close has released the descriptor.
// Another kind can be made to fail with an errno.
class InterruptedCalls final : public PosixCalls {
public:
    InterruptedCalls(Raw interrupted, std::optional<std::pair<Raw, int>> failing = {})
        : m_interrupted(interrupted), m_failing(failing) {}
    int interruptions() const { return m_interruptions; }

    int open(const char *path, int flags, mode_t mode) override {
        return take(Raw::Open) ? -1 : PosixCalls::open(path, flags, mode);
    }
    ssize_t read(int fd, void *buffer, size_t size) override {
        return take(Raw::Read) ? -1 : PosixCalls::read(fd, buffer, size);
    }
    ssize_t write(int fd, const void *buffer, size_t size) override {
        return take(Raw::Write) ? -1 : PosixCalls::write(fd, buffer, size);
    }
    int fsync(int fd) override { return take(Raw::Fsync) ? -1 : PosixCalls::fsync(fd); }
    int fchown(int fd, uid_t uid, gid_t gid) override {
        return take(Raw::Fchown) ? -1 : PosixCalls::fchown(fd, uid, gid);
    }
    int fchmod(int fd, mode_t mode) override {
        return take(Raw::Fchmod) ? -1 : PosixCalls::fchmod(fd, mode);
    }
    int close(int fd) override {
        if (m_interrupted == Raw::Close) {
            if (PosixCalls::close(fd) != 0)
                return -1; // EBADF for a descriptor closed already
            ++m_interruptions;
            errno = EINTR;
            return -1;
        }
        return PosixCalls::close(fd);
    }
    int rename(const char *from, const char *to) override {
        return take(Raw::Rename) ? -1 : PosixCalls::rename(from, to);
    }
    int unlink(const char *path) override {
        return take(Raw::Unlink) ? -1 : PosixCalls::unlink(path);
    }

private:
    // Whether this call gives up with errno set instead of being made.
    bool take(Raw call) {
        if (m_failing && m_failing->first == call) {
            errno = m_failing->second;
            return true;
        }
        if (call != m_interrupted)
            return false;
        m_pending = !m_pending; // the call made again after an interruption goes through
        if (!m_pending)
            return false;
        ++m_interruptions;
        errno = EINTR;
        return true;
    }

    Raw m_interrupted;
    std::optional<std::pair<Raw, int>> m_failing;
    bool m_pending = false;
    int m_interruptions = 0;
};

struct InterruptCase {
    const char *name;
    Raw call;
    std::optional<std::pair<Raw, int>> failing; // a failure that makes the call happen
    int code;                                   // 0: the save succeeds
};

std::ostream &operator<<(std::ostream &out, const InterruptCase &c) {
    return out << c.name;
}

class FileInterrupted : public ::testing::TestWithParam<InterruptCase> {};

// A save over an existing file and a load of it, with every call of one kind interrupted
// once: the call is made again (close is not), and the files come out as without signals.
TEST_P(FileInterrupted, CallsInterruptedBySignalsAreMadeAgain) {
    const InterruptCase &c = GetParam();
    Folder folder;
    const QByteArray oldDim = Block1() + Blocks2And3(5, 6, 7);
    const QString path = folder.write(QStringLiteral("P3.DIM"), oldDim);
    InterruptedCalls calls(c.call, c.failing);
    PosixFileSystem fs(calls);
    const AllSettings settings = PatternSettings();

    const auto error = Failure([&] {
        Save(fs, ScriptedClock({{1, 2, 3}}), path, Pattern(4), settings);
    });
    if (c.code) {
        ExpectError(error, c.code, kNoSpace);
        EXPECT_EQ(ByteDifference(oldDim, folder.read(QStringLiteral("P3.DIM"))), "");
        EXPECT_EQ(folder.entries(), QStringList({QStringLiteral("P3.DIM")}));
    } else {
        ASSERT_FALSE(error.has_value()) << error->code();
        CurveData data = Sentinels();
        AllSettings loaded = PatternSettings();
        ASSERT_EQ(LoadDimFile(fs, path, data, loaded), LoadResult::Loaded);
        CurveData expected = Sentinels();
        for (size_t n = 1; n <= 4; ++n)
            for (size_t k = 0; k < 96; ++k)
                expected.Levels[n][k] = Pattern(4).Levels[n][k];
        EXPECT_EQ(Difference(expected, data), "");
        EXPECT_EQ(ByteValues(folder.read(QStringLiteral("SEL.DAT"))),
                  (std::vector<int>{3, 1, 2, 3, 50, 20}));
        EXPECT_EQ(folder.entries(),
                  QStringList({QStringLiteral("P3.DIM"), QStringLiteral("SEL.DAT")}));
    }
    EXPECT_GT(calls.interruptions(), 0);
}

// The real calls, where a write takes at most a few bytes, as a signal after some data or a
// network file system may leave it.
class ShortWrites final : public PosixCalls {
public:
    ssize_t write(int fd, const void *buffer, size_t size) override {
        return PosixCalls::write(fd, buffer, std::min<size_t>(size, 5));
    }
};

TEST(FileShortWrites, ASaveGoesOnUntilEveryByteIsWritten) {
    Folder shortly, whole;
    ShortWrites calls;
    PosixFileSystem fs(calls);
    for (auto [folder, system] : {std::pair<Folder *, FileSystem *>{&shortly, &fs},
                                  std::pair<Folder *, FileSystem *>{&whole, &SystemFileSystem()}}) {
        const QString path =
            folder->write(QStringLiteral("P3.DIM"), Block1() + Blocks2And3(5, 6, 7));
        Save(*system, ScriptedClock({{1, 2, 3}}), path, Pattern(4), PatternSettings());
    }
    for (const QString &name : {QStringLiteral("P3.DIM"), QStringLiteral("SEL.DAT")})
        EXPECT_EQ(shortly.read(name), whole.read(name)) << name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    FileInterruptions, FileInterrupted,
    ::testing::Values(
        InterruptCase{"Open", Raw::Open, {}, 0}, InterruptCase{"Read", Raw::Read, {}, 0},
        InterruptCase{"Write", Raw::Write, {}, 0}, InterruptCase{"Fsync", Raw::Fsync, {}, 0},
        InterruptCase{"Fchown", Raw::Fchown, {}, 0}, InterruptCase{"Fchmod", Raw::Fchmod, {}, 0},
        InterruptCase{"Close", Raw::Close, {}, 0}, InterruptCase{"Rename", Raw::Rename, {}, 0},
        // the temporary file of a failed save is still removed
        InterruptCase{"Unlink", Raw::Unlink, std::pair(Raw::Write, ENOSPC), 101}),
    [](const auto &info) { return std::string(info.param.name); });

// Only the answers of a file system that cannot sync a folder are let pass when the folder
// is opened or synced after a rename.
TEST(FileFolderSync, OnlyWhatMeansCannotSyncAFolderIsIgnored) {
    // The real calls, with the folder's open or its fsync failing.
    class FolderCalls final : public PosixCalls {
    public:
        FolderCalls(bool atOpen, int err) : m_atOpen(atOpen), m_err(err) {}
        int open(const char *path, int flags, mode_t mode) override {
            if (m_atOpen && (flags & O_DIRECTORY)) {
                errno = m_err;
                return -1;
            }
            const int fd = PosixCalls::open(path, flags, mode);
            if (flags & O_DIRECTORY)
                m_folder = fd;
            return fd;
        }
        int fsync(int fd) override {
            if (!m_atOpen && fd == m_folder) {
                errno = m_err;
                return -1;
            }
            return PosixCalls::fsync(fd);
        }

    private:
        bool m_atOpen;
        int m_err;
        int m_folder = -1;
    };
    // {at open, errno, what syncFolder answers}
    const std::tuple<bool, int, int> cases[] = {
        {true, EACCES, 0},  {true, EIO, EIO},       {true, ENOMEM, ENOMEM}, {true, EROFS, 0},
        {false, EINVAL, 0}, {false, ENOTSUP, 0},    {false, EROFS, 0},      {false, EBADF, 0},
        {false, EIO, EIO},  {false, EDQUOT, EDQUOT}};
    Folder folder;
    for (const auto &[atOpen, err, expected] : cases) {
        FolderCalls calls(atOpen, err);
        PosixFileSystem fs(calls);
        EXPECT_EQ(fs.syncFolder(folder.path(QString())), expected)
            << (atOpen ? "open " : "fsync ") << std::strerror(err);
    }
}

TEST(FilePaths, NamesThatAreNoUtf8KeepTheirBytes) {
    for (const QByteArray &bytes :
         {QByteArray("plain/P1.DIM"),
          QByteArray("bad\xff"
                     "name.DIM"),
          QByteArray("\xc3\xa9t\xc3\xa9"), QByteArray("\xe2\x82\xac\xf0\x9f\x92\xa1"),
          QByteArray("\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80"), QByteArray("cut\xe2\x82")}) {
        EXPECT_EQ(EncodePath(DecodePath(bytes)), bytes) << bytes.toHex().toStdString();
    }
    EXPECT_EQ(DecodePath("\xc3\xa9"), QString::fromUtf8("é"));
}

} // namespace
