#include "model/pathcodec.h"

namespace dim {

QString FolderOf(const QString &path) {
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString NameOf(const QString &path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString DecodePath(const QByteArray &bytes) {
    QString path;
    path.reserve(bytes.size());
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const unsigned char lead = p[i];
        int length = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            length = 1;
            code = lead;
        } else if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
            code = lead & 0x1f;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            code = lead & 0x0f;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            code = lead & 0x07;
        }
        bool valid = length > 0 && i + length <= size;
        for (int k = 1; valid && k < length; ++k) {
            valid = (p[i + k] & 0xc0) == 0x80;
            code = (code << 6) | (p[i + k] & 0x3f);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are no valid UTF-8.
        static constexpr char32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (valid &&
            (code < kLeast[length] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)))
            valid = false;
        if (!valid) {
            path += QChar(static_cast<char16_t>(0xdc00 + lead));
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            path += QChar(QChar::highSurrogate(code));
            path += QChar(QChar::lowSurrogate(code));
        } else {
            path += QChar(static_cast<char16_t>(code));
        }
        i += length;
    }
    return path;
}

QByteArray EncodePath(const QString &path) {
    QByteArray bytes;
    bytes.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t u = path.at(i).unicode();
        if (u >= 0xdc80 && u <= 0xdcff) { // a byte kept from a name that was no UTF-8
            bytes.append(static_cast<char>(u - 0xdc00));
            continue;
        }
        qsizetype length = 1;
        if (QChar::isHighSurrogate(u) && i + 1 < path.size() &&
            QChar::isLowSurrogate(path.at(i + 1).unicode()))
            length = 2;
        bytes += QStringView(path).mid(i, length).toUtf8();
        i += length - 1;
    }
    return bytes;
}

} // namespace dim
