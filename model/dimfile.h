#pragma once

#include "model/clock.h"
#include "model/filesystem.h"
#include "model/levels.h"
#include "model/settings.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <variant>

namespace dim {

// The curve file: block 1 (tag 1, 96 x 4 levels), block 2 (tag 2, 30 x 1 bytes of 255),
// block 3 (tag 3, 20 x 1: cloud speed, cloud intensity, moon-change intensity, 17 zeros).
inline constexpr int DimFileSize = 443;
// The most bytes the reading rules can consume: block 1, a block 2 of the longest row,
// and a header and three values of block 3.
inline constexpr int DimFileMaxReadBytes = 3 + FileChannels * FilePoints + 3 + 255 + 3 + 3;

// What a curve file holds, read completely before anything is taken over.
struct DimContent {
    std::array<std::array<uint8_t, FilePoints>, FileChannels> levels{};
    std::optional<FileSettings> settings; // present when block 3 was read
};

enum class LoadResult { Loaded, Rejected };
struct DimRejected {};

// Reads the bytes of a curve file: only the first header is tested (1, 96, 4, or the file
// is rejected); a block 2 directly after block 1 is skipped by its row length; a block 3
// directly after block 1 or 2 gives the settings; any other tag ends reading. Returns the
// short-read code when the bytes end before a read is done.
std::variant<DimContent, DimRejected, IoError> ParseDimFile(const QByteArray &bytes);

// The 443 bytes of a curve file for the table and the three cloud and moon settings.
QByteArray DimFileBytes(const CurveData &data, const FileSettings &settings);

// Takes a read file over: rows 1..4, columns 0..95, and the three settings when present.
void ApplyDimContent(const DimContent &content, CurveData &data, FileSettings &settings);

// Reads a curve file completely: its content, or nullopt when its first header rejects it.
// An input/output failure raises IoError.
std::optional<DimContent> ReadDimFile(FileSystem &fs, const QString &path);

// Loads a curve file: all or nothing. A rejected file changes nothing; an input/output
// failure raises IoError and changes nothing either.
LoadResult LoadDimFile(FileSystem &fs, const QString &path, CurveData &data,
                       FileSettings &settings);

// The six bytes of the selection file for a curve file at dimPath.
QByteArray SelFileBytes(const QString &dimPath, const TimeOfDay &time, const Settings &settings);

// The selection number: the Windows-1252 code of the name's second character ('1' for a
// shorter name) minus 48, modulo 256.
uint8_t SelectionNumber(const QString &dimPath);

// The Windows-1252 code of a character, '?' for one it lacks.
uint8_t Windows1252Code(QChar c);

// Saves the curve file, then SEL.DAT in its folder. Each file replaces its old version only
// once complete. Raises IoError on a failure.
void SaveDimFile(FileSystem &fs, const Clock &clock, const QString &path, const CurveData &data,
                 const FileSettings &fileSettings, const Settings &settings);

} // namespace dim
