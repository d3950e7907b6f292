// Feeds arbitrary bytes to the path codec and traps when a name does not come back byte for
// byte, when valid UTF-8 is decoded otherwise than Qt's own decoder does, when a byte that is
// no part of valid UTF-8 is not kept as its lone surrogate, or when a path's folder and name
// do not make up the path.

#include "fuzz_support.h"
#include "model/filesystem.h"

#include <QStringDecoder>

#include <cstddef>
#include <cstdint>

using namespace dim;
using namespace dim::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size) {
    const QByteArray name = Bytes(bytes, size);
    const QString path = DecodePath(name);
    Check(EncodePath(path) == name);

    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString decoded = utf8(name);
    if (!utf8.hasError())
        Check(path == decoded);
    qsizetype kept = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t u = path[i].unicode();
        // A kept byte is one of 0x80..0xff, never a pair's half.
        if (u >= 0xdc00 && u <= 0xdfff &&
            (i == 0 || !QChar::isHighSurrogate(path[i - 1].unicode()))) {
            Check(u >= 0xdc80);
            ++kept;
        }
        if (QChar::isHighSurrogate(u))
            Check(i + 1 < path.size() && QChar::isLowSurrogate(path[i + 1].unicode()));
    }
    Check((kept > 0) == utf8.hasError());

    Check(FolderOf(path) + NameOf(path) == path);
    Check(!NameOf(path).contains(QLatin1Char('/')));
    Check(FolderOf(path).isEmpty() || FolderOf(path).endsWith(QLatin1Char('/')));
    return 0;
}
