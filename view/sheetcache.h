#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>

namespace dim {

class FileSystem;

// The sprite sheet's pixels as an earlier start decoded them, kept in the user's cache folder:
// a later start reads them in a few milliseconds instead of decoding the JPEG again, some
// 15 ms of a core that the window's start shares. The file is a 64-byte header ("DIMSHEET",
// a format number, the width and height, the key of the pixels, a checksum of them) followed
// by the RGB32 rows, top to bottom, width * 4 bytes each, in the machine's byte order.

// $XDG_CACHE_HOME/dimeditor/sheet.cache, or under ~/.cache without an absolute XDG_CACHE_HOME.
QString SheetCachePath();

// What the pixels depend on: the JPEG's bytes and the decoder's version.
std::uint64_t SheetKey(const QByteArray &jpeg);

// The pixels kept at path under key, or a null image: no such file, pixels of another key, or
// a file that is not whole (a read error, another length, a checksum that does not match).
QImage ReadSheetCache(FileSystem &fs, const QString &path, std::uint64_t key);

// Keeps an RGB32 sheet at path under key, replacing the file whole and making its folder
// (mode 0700) if missing. A failure raises IoError.
void WriteSheetCache(FileSystem &fs, const QString &path, const QImage &sheet, std::uint64_t key);

} // namespace dim
