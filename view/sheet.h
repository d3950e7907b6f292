#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <future>
#include <thread>

namespace dim {

// The sprite sheet: band backgrounds, the axis strip and the control-panel picture.
inline constexpr int SheetWidth = 2200;
inline constexpr int SheetHeight = 1105;
inline constexpr int SheetBandWidth = 2000; // band backgrounds span x 0..1999
inline constexpr int SheetBandHeight = 250; // band b starts at row (b - 1) * 250
inline constexpr int SheetPanelX = 2000;    // the control-panel picture, 200 wide
// Band 4's region (the night) runs from this row to the sheet's end, taller than a band: the
// axis strip is taken from right below the rows band 4 shows.
inline constexpr int SheetNightTop = 3 * SheetBandHeight;
// The sheet row of the axis strip under bands of a height.
constexpr int SheetAxisTop(int bandHeight) {
    return SheetNightTop + bandHeight;
}
// Past the band columns a background goes on back and forth over the band's last columns.
inline constexpr int SheetMirrorRun = 800;

// The embedded sprite sheet (the resource LOGO) as its JPEG bytes; empty when the program
// was linked without it.
QByteArray EmbeddedSheetJpeg();

// Decodes a JPEG with libjpeg into an RGB32 image. On a corrupt or unreadable stream the
// result is a null image and *error (when given) says why; the process goes on.
QImage DecodeJpeg(const QByteArray &data, QString *error = nullptr);

// A decoded sheet, or why there is none (a null image).
struct DecodedSheet {
    QImage image;
    QString error;
    bool fromCache = false; // read from the cache of an earlier start, not decoded
};

class FileSystem;

// Where the pixels of an earlier start's decode are kept; none without a file system.
struct SheetCacheFile {
    FileSystem *fileSystem = nullptr;
    QString path;
};

// A JPEG decoded on a thread of its own from the moment this is made, so that the decode
// overlaps whatever the program does meanwhile (the window's build and mapping); with a cache
// file that holds this JPEG's pixels, they are read from it instead. take() waits for the
// result and hands it over, once.
class SheetDecode {
public:
    SheetDecode() = default;
    explicit SheetDecode(QByteArray jpeg, SheetCacheFile cache = {});
    SheetDecode(SheetDecode &&) = default;
    SheetDecode &operator=(SheetDecode &&) = delete;
    // Waits for a cache write still under way.
    ~SheetDecode();
    // True until the result has been taken.
    bool pending() const { return m_result.valid(); }
    DecodedSheet take();
    // The result for work that starts before take() and waits for the pixels on another
    // thread (reading them only); empty once taken.
    std::shared_future<DecodedSheet> ahead() const { return m_result; }
    // Puts the pixels taken, if they were decoded rather than read, into the cache file for
    // the next start: on a thread of its own, called once the window shows them. A failure
    // leaves the cache as it was, and the next start decodes again.
    void fillCache();

private:
    SheetCacheFile m_cache;
    std::uint64_t m_key = 0; // of the JPEG's pixels, in the cache
    std::shared_future<DecodedSheet> m_result;
    QImage m_decoded; // taken, to go into the cache
    std::thread m_writer;
};

// The control-panel picture for a column of the given size: the sheet's stripe from
// x 2000, y 0; rows below the sheet's end continue its last row. A picture that fits in the
// sheet shares its pixels until either is written to.
QImage ControlPanelPicture(const QImage &sheet, int width, int height);

} // namespace dim
