#include "view/sheet.h"

#include "model/processors.h"
#include "view/canvas.h"
#include "view/sheetcache.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include <jpeglib.h>

namespace dim {

namespace {

// libjpeg's default error exit ends the process; this one jumps back to the decoder.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void SilentOutput(j_common_ptr) {}

// Everything the decoder touches lives here, created before setjmp, so that a jump back
// skips no destructor and finds every member in memory.
struct DecodeContext {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    QImage image;
};

bool Decode(DecodeContext &ctx, const QByteArray &data) {
    ctx.cinfo.err = jpeg_std_error(&ctx.err.pub);
    ctx.err.pub.error_exit = ErrorExit;
    ctx.err.pub.output_message = SilentOutput;
    ctx.err.message[0] = '\0';
    if (setjmp(ctx.err.jump)) {
        jpeg_destroy_decompress(&ctx.cinfo);
        return false;
    }
    jpeg_create_decompress(&ctx.cinfo);
    jpeg_mem_src(&ctx.cinfo, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&ctx.cinfo, TRUE);
    ctx.cinfo.out_color_space = JCS_EXT_BGRA; // RGB32 in memory order, alpha 0xff
    ctx.cinfo.dct_method = JDCT_ISLOW;
    ctx.cinfo.do_fancy_upsampling = TRUE;
    jpeg_start_decompress(&ctx.cinfo);
    ctx.image = LargePageImage(static_cast<int>(ctx.cinfo.output_width),
                               static_cast<int>(ctx.cinfo.output_height));
    if (ctx.image.isNull()) {
        std::snprintf(ctx.err.message, sizeof ctx.err.message, "out of memory");
        jpeg_destroy_decompress(&ctx.cinfo);
        return false;
    }
    while (ctx.cinfo.output_scanline < ctx.cinfo.output_height) {
        JSAMPROW row = ctx.image.scanLine(static_cast<int>(ctx.cinfo.output_scanline));
        jpeg_read_scanlines(&ctx.cinfo, &row, 1);
    }
    jpeg_finish_decompress(&ctx.cinfo);
    jpeg_destroy_decompress(&ctx.cinfo);
    return true;
}

} // namespace

QByteArray EmbeddedSheetJpeg() {
    QFile file(QStringLiteral(":/LOGO"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

SheetDecode::SheetDecode(QByteArray jpeg, SheetCacheFile cache)
    : m_cache(std::move(cache)), m_key(m_cache.fileSystem ? SheetKey(jpeg) : 0) {
    m_result =
        std::async(std::launch::async, [processor = CurrentProcessor(), jpeg = std::move(jpeg),
                                        cache = m_cache, key = m_key] {
            KeepOffProcessor(processor);
            DecodedSheet decoded;
            if (cache.fileSystem) {
                decoded.image = ReadSheetCache(*cache.fileSystem, cache.path, key);
                decoded.fromCache = !decoded.image.isNull();
                if (decoded.fromCache)
                    return decoded;
            }
            decoded.image = DecodeJpeg(jpeg, &decoded.error);
            return decoded;
        }).share();
}

SheetDecode::~SheetDecode() {
    if (m_writer.joinable())
        m_writer.join();
}

DecodedSheet SheetDecode::take() {
    if (!m_result.valid())
        return {};
    // A copy that shares the pixels: whatever waits on ahead() may be reading them still.
    DecodedSheet decoded = m_result.get();
    m_result = {};
    if (m_cache.fileSystem && !decoded.fromCache && !decoded.image.isNull())
        m_decoded = decoded.image; // shares the pixels, which nobody writes to
    return decoded;
}

void SheetDecode::fillCache() {
    if (m_decoded.isNull() || m_writer.joinable())
        return;
    m_writer = std::thread([cache = m_cache, key = m_key, sheet = std::move(m_decoded)] {
        try {
            WriteSheetCache(*cache.fileSystem, cache.path, sheet, key);
        } catch (const std::exception &) {
            // Only a cache (a full disk, no memory to spare): the next start decodes again.
        }
    });
}

QImage DecodeJpeg(const QByteArray &data, QString *error) {
    DecodeContext ctx;
    std::memset(&ctx.cinfo, 0, sizeof ctx.cinfo);
    if (data.isEmpty()) {
        if (error)
            *error = QStringLiteral("empty JPEG stream");
        return {};
    }
    if (!Decode(ctx, data)) {
        if (error)
            *error = QString::fromLocal8Bit(ctx.err.message);
        return {};
    }
    return std::move(ctx.image);
}

QImage ControlPanelPicture(const QImage &sheet, int width, int height) {
    if (width > 0 && height > 0 && width <= sheet.width() - SheetPanelX &&
        height <= sheet.height() && sheet.format() == QImage::Format_RGB32) {
        // Inside the sheet the picture is the stripe itself: it shares the sheet's pixels
        // instead of holding a second copy of them. It keeps the sheet's pixels alive, and
        // whichever of the two is written to first gets pixels of its own, so the picture
        // behaves as a copy all the same.
        auto *source = new QImage(sheet);
        const uchar *stripe = source->constBits() + SheetPanelX * sizeof(QRgb);
        QImage view(
            stripe, width, height, source->bytesPerLine(), QImage::Format_RGB32,
            [](void *held) { delete static_cast<QImage *>(held); }, source);
        if (!view.isNull())
            return view;
        delete source;
    }
    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    const int copiedW = std::min(width, sheet.width() - SheetPanelX);
    const int copiedH = std::min(height, sheet.height());
    BlockCopy(picture, 0, 0, sheet, SheetPanelX, 0, copiedW, copiedH);
    if (copiedW <= 0 || copiedH <= 0) {
        picture.fill(qRgb(224, 223, 228));
        return picture;
    }
    // Past the sheet's edges the picture continues its last column and row.
    for (int y = 0; y < copiedH; ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        std::fill(row + copiedW, row + width, row[copiedW - 1]);
    }
    for (int y = copiedH; y < height; ++y)
        std::memcpy(picture.scanLine(y), picture.constScanLine(copiedH - 1),
                    static_cast<size_t>(width) * sizeof(QRgb));
    return picture;
}

} // namespace dim
