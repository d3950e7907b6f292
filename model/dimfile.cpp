#include "model/dimfile.h"

namespace dim {

namespace {

class ByteReader {
public:
    explicit ByteReader(const QByteArray &bytes) : m_bytes(bytes) {}
    bool take(int count, const uint8_t **out) {
        if (m_bytes.size() - m_pos < count)
            return false;
        *out = reinterpret_cast<const uint8_t *>(m_bytes.constData()) + m_pos;
        m_pos += count;
        return true;
    }

private:
    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
};

} // namespace

std::variant<DimContent, DimRejected, IoError> ParseDimFile(const QByteArray &bytes) {
    ByteReader reader(bytes);
    const uint8_t *p = nullptr;
    const IoError shortRead = MakeIoError(ShortReadCode);

    if (!reader.take(3, &p))
        return shortRead;
    if (p[0] != 1 || p[1] != FilePoints || p[2] != FileChannels)
        return DimRejected{};

    DimContent content;
    for (auto &channel : content.levels) {
        if (!reader.take(FilePoints, &p))
            return shortRead;
        std::copy(p, p + FilePoints, channel.begin());
    }

    if (!reader.take(3, &p))
        return shortRead;
    uint8_t tag = p[0];
    if (tag == 2) {
        const int rowLength = p[1]; // the row count is not consulted
        if (!reader.take(rowLength, &p) || !reader.take(3, &p))
            return shortRead;
        tag = p[0];
    }
    if (tag == 3) {
        if (!reader.take(3, &p))
            return shortRead;
        content.settings = FileSettings::fromStored(p[0], p[1], p[2]);
    }
    return content;
}

QByteArray DimFileBytes(const CurveData &data, const FileSettings &settings) {
    QByteArray bytes;
    bytes.reserve(DimFileSize);
    auto put = [&bytes](int value) { bytes.append(static_cast<char>(value & 0xff)); };
    put(1);
    put(FilePoints);
    put(FileChannels);
    for (int n = 1; n <= FileChannels; ++n)
        for (int k = 0; k < FilePoints; ++k)
            put(data.Levels[static_cast<size_t>(n)][static_cast<size_t>(k)]);
    put(2);
    put(30);
    put(1);
    bytes.append(30, static_cast<char>(0xff));
    put(3);
    put(20);
    put(1);
    for (const uint8_t value : settings.bytes())
        put(value);
    bytes.append(17, '\0');
    return bytes;
}

void ApplyDimContent(const DimContent &content, CurveData &data, FileSettings &settings) {
    for (int n = 0; n < FileChannels; ++n)
        for (int k = 0; k < FilePoints; ++k)
            data.Levels[static_cast<size_t>(n + 1)][static_cast<size_t>(k)] =
                content.levels[static_cast<size_t>(n)][static_cast<size_t>(k)];
    if (content.settings)
        settings = *content.settings;
}

std::optional<DimContent> ReadDimFile(FileSystem &fs, const QString &path) {
    auto parsed = ParseDimFile(ReadFileStart(fs, path, DimFileMaxReadBytes));
    if (std::holds_alternative<DimRejected>(parsed))
        return std::nullopt;
    if (auto *error = std::get_if<IoError>(&parsed))
        throw *error;
    return std::get<DimContent>(std::move(parsed));
}

LoadResult LoadDimFile(FileSystem &fs, const QString &path, CurveData &data,
                       FileSettings &settings) {
    const std::optional<DimContent> content = ReadDimFile(fs, path);
    if (!content)
        return LoadResult::Rejected;
    ApplyDimContent(*content, data, settings);
    return LoadResult::Loaded;
}

uint8_t Windows1252Code(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xa0 && u <= 0xff))
        return static_cast<uint8_t>(u);
    // The 0x80..0x9f block of Windows-1252; 0 marks the five codes it leaves unused.
    static constexpr char16_t kHigh[32] = {
        0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
        0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178};
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] != 0 && kHigh[i] == u)
            return static_cast<uint8_t>(0x80 + i);
    }
    return '?';
}

uint8_t SelectionNumber(const QString &dimPath) {
    const QString selection = NameOf(dimPath).mid(1, 1) + QLatin1Char('1');
    return static_cast<uint8_t>((Windows1252Code(selection.at(0)) - 48) & 0xff);
}

QByteArray SelFileBytes(const QString &dimPath, const TimeOfDay &time, const Settings &settings) {
    QByteArray bytes;
    bytes.append(static_cast<char>(SelectionNumber(dimPath)));
    bytes.append(static_cast<char>(time.hour));
    bytes.append(static_cast<char>(time.minute));
    bytes.append(static_cast<char>(time.second));
    bytes.append(static_cast<char>(settings.sbhell.position() & 0xff));
    bytes.append(static_cast<char>(settings.sbmond.position() & 0xff));
    return bytes;
}

void SaveDimFile(FileSystem &fs, const Clock &clock, const QString &path, const CurveData &data,
                 const FileSettings &fileSettings, const Settings &settings) {
    WriteFileReplacing(fs, path, DimFileBytes(data, fileSettings));
    const QString selPath = FolderOf(path) + QStringLiteral("SEL.DAT");
    WriteFileReplacing(fs, selPath, SelFileBytes(path, clock.now(), settings));
}

} // namespace dim
