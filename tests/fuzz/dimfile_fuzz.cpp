// Feeds arbitrary bytes to the curve-file reader, directly and through LoadDimFile over a file
// held in memory, and traps when a file is not taken over either completely or not at all.

#include "fuzz_support.h"
#include "model/dimfile.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

using namespace dim;
using namespace dim::fuzz;

namespace {

// The table every load starts from, made once.
const CurveData &StartData() {
    static const CurveData data = [] {
        CurveData start;
        for (size_t r = 0; r < LevelRows; ++r)
            for (size_t c = 0; c < LevelColumns; ++c)
                start.Levels[r][c] = static_cast<int32_t>((r * 37 + c * 11 + 5) & 0xff);
        return start;
    }();
    return data;
}

FileSettings StartSettings() {
    return FileSettings::fromStored(77, 5, 250);
}

bool SameSettings(const FileSettings &a, const FileSettings &b) {
    return a == b;
}

// What the reading rules say about a file, worked out straight from its bytes.
struct Expectation {
    enum { Rejected, ShortRead, Loaded } outcome;
    std::optional<std::array<uint8_t, 3>> settings;
};

Expectation Expect(const uint8_t *bytes, size_t size) {
    if (size < 3)
        return {Expectation::ShortRead, {}};
    if (bytes[0] != 1 || bytes[1] != 96 || bytes[2] != 4)
        return {Expectation::Rejected, {}};
    size_t header = 3 + 4 * 96;
    if (size < header + 3)
        return {Expectation::ShortRead, {}};
    if (bytes[header] == 2) {
        header += 3 + bytes[header + 1];
        if (size < header + 3)
            return {Expectation::ShortRead, {}};
    }
    if (bytes[header] != 3)
        return {Expectation::Loaded, {}};
    if (size < header + 6)
        return {Expectation::ShortRead, {}};
    return {Expectation::Loaded,
            std::array<uint8_t, 3>{bytes[header + 3], bytes[header + 4], bytes[header + 5]}};
}

// Checks a table and settings after a file was taken over, or after it was not: the cells a
// file stores hold its bytes or their start values, every other cell its start value.
void CheckTakenOver(const Expectation &expected, const uint8_t *bytes, const CurveData &data,
                    const FileSettings &settings) {
    const CurveData &start = StartData();
    static const FileSettings startSettings = StartSettings();
    const bool loaded = expected.outcome == Expectation::Loaded;
    const auto same = [&](size_t row, size_t from, size_t to) {
        return std::memcmp(&data.Levels[row][from], &start.Levels[row][from],
                           (to - from) * sizeof(int32_t)) == 0;
    };
    for (size_t r = 0; r < LevelRows; ++r) {
        const bool storedRow = r >= 1 && r <= FileChannels;
        Check(same(r, storedRow ? FilePoints : 0, LevelColumns));
        if (!storedRow)
            continue;
        if (!loaded) {
            Check(same(r, 0, FilePoints));
            continue;
        }
        for (size_t c = 0; c < FilePoints; ++c)
            Check(data.Levels[r][c] == bytes[3 + FilePoints * (r - 1) + c]);
    }
    if (!loaded || !expected.settings) {
        Check(SameSettings(settings, startSettings));
        return;
    }
    const auto &values = *expected.settings;
    Check(settings.SBWolkenT.position() == std::max<int>(1, values[0]));
    Check(settings.SBWolkenA.position() == values[1]);
    Check(settings.SBMondA.position() == values[2]);
    for (const ScrollSetting *bar : {&settings.SBWolkenT, &settings.SBWolkenA, &settings.SBMondA})
        Check(bar->position() >= bar->Min && bar->position() <= bar->Max);
}

// One file held in memory, handed out in pieces of a chosen size; one read can be made to
// fail. Loading must never write.
class MemoryFileSystem final : public FileSystem {
public:
    MemoryFileSystem(const uint8_t *bytes, size_t size, size_t piece, int failingRead)
        : m_bytes(bytes), m_size(size), m_piece(piece), m_failingRead(failingRead) {}
    bool failed() const { return m_failed; }

    int openRead(const QString &, int *fd) override {
        *fd = kFd;
        return 0;
    }
    int openWriteExisting(const QString &, int *, FileOwner *) override { return Refuse(); }
    int createExclusive(const QString &, int *, unsigned) override { return Refuse(); }
    long read(int fd, void *buffer, size_t size) override {
        Check(fd == kFd);
        if (++m_reads == m_failingRead) {
            m_failed = true;
            return -EIO;
        }
        const size_t n = std::min({size, m_piece, m_size - m_pos});
        if (n > 0)
            std::memcpy(buffer, m_bytes + m_pos, n);
        m_pos += n;
        return static_cast<long>(n);
    }
    long write(int, const void *, size_t) override { return Refuse(); }
    int truncate(int) override { return Refuse(); }
    int adopt(int, const FileOwner &) override { return Refuse(); }
    int sync(int) override { return Refuse(); }
    int close(int fd) override {
        Check(fd == kFd);
        return 0;
    }
    int rename(const QString &, const QString &) override { return Refuse(); }
    int remove(const QString &) override { return Refuse(); }
    int syncFolder(const QString &) override { return Refuse(); }
    bool isDirectory(const QString &) override { return true; }
    int saveTarget(const QString &, QString *) override { return Refuse(); }
    void removeStaleTemporaries(const QString &) override { Refuse(); }
    int makeFolder(const QString &, unsigned) override { return Refuse(); }
    int listFolder(const QString &, QStringList *) override { return Refuse(); }

private:
    static constexpr int kFd = 3;
    static int Refuse() { __builtin_trap(); }

    const uint8_t *m_bytes;
    size_t m_size;
    size_t m_piece;
    int m_failingRead;
    int m_reads = 0;
    size_t m_pos = 0;
    bool m_failed = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size) {
    const Expectation expected = Expect(bytes, size);
    const auto parsed = ParseDimFile(Bytes(bytes, size));

    Check(size >= 3 || std::holds_alternative<IoError>(parsed));
    if (std::holds_alternative<DimRejected>(parsed))
        Check(bytes[0] != 1 || bytes[1] != FilePoints || bytes[2] != FileChannels);
    if (const auto *error = std::get_if<IoError>(&parsed))
        Check(error->code() == ShortReadCode);
    switch (expected.outcome) {
    case Expectation::Rejected:
        Check(std::holds_alternative<DimRejected>(parsed));
        break;
    case Expectation::ShortRead:
        Check(std::holds_alternative<IoError>(parsed));
        break;
    case Expectation::Loaded:
        Check(std::holds_alternative<DimContent>(parsed));
        Check(std::get<DimContent>(parsed).settings.has_value() == expected.settings.has_value());
        break;
    }

    CurveData data = StartData();
    FileSettings settings = StartSettings();
    if (const auto *content = std::get_if<DimContent>(&parsed))
        ApplyDimContent(*content, data, settings);
    CheckTakenOver(expected, bytes, data, settings);

    // The same file loaded through the file system, read in pieces, once whole and once with
    // a failing read: all or nothing either way.
    const size_t piece = size % 97 + 1;
    for (const int failingRead : {0, static_cast<int>(size % 7) + 1}) {
        MemoryFileSystem fs(bytes, size, piece, failingRead);
        CurveData loaded = StartData();
        FileSettings loadedSettings = StartSettings();
        std::optional<LoadResult> result;
        std::optional<int> code;
        try {
            result = LoadDimFile(fs, QStringLiteral("P1.DIM"), loaded, loadedSettings);
        } catch (const IoError &error) {
            code = error.code();
        }
        if (fs.failed()) {
            Check(code == EIO);
            CheckTakenOver({Expectation::ShortRead, {}}, bytes, loaded, loadedSettings);
            continue;
        }
        switch (expected.outcome) {
        case Expectation::Rejected:
            Check(result == LoadResult::Rejected);
            break;
        case Expectation::ShortRead:
            Check(code == ShortReadCode);
            break;
        case Expectation::Loaded:
            Check(result == LoadResult::Loaded);
            break;
        }
        CheckTakenOver(expected, bytes, loaded, loadedSettings);
    }
    return 0;
}
