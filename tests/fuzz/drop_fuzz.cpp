// Feeds the editor's drop decision with drags made of picks from a folder of known entries
// (curve files in any case, other files, a folder, links, a pipe, remote and missing
// addresses) and with arbitrary uri lists, and traps when a drag is taken that is not exactly
// one local regular curve file, or one that is such a file is refused.

#include "app/drops.h"
#include "fuzz_support.h"
#include "model/filesystem.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <cstddef>
#include <cstdint>

#include <sys/stat.h>

using namespace dim;
using namespace dim::app;
using namespace dim::fuzz;

namespace {

struct Entry {
    const char *name;
    bool curve; // a regular file (through its link) named *.dim in any case
};

const Entry kEntries[] = {{"P1.DIM", true},        {"p2.dim", true},    {"P3.Dim", true},
                          {".DIM", true},          {"link.DIM", true},  {"x.txt", false},
                          {"P4.DIM.txt", false},   {"noext", false},    {"folder.DIM", false},
                          {"dangling.DIM", false}, {"fifo.DIM", false}, {"missing.DIM", false}};

// The folder of entries, made once.
const QString &Folder() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString root = dir.path();
        for (const char *name :
             {"P1.DIM", "p2.dim", "P3.Dim", ".DIM", "x.txt", "P4.DIM.txt", "noext"}) {
            QFile file(root + QLatin1Char('/') + QLatin1String(name));
            Check(file.open(QIODevice::WriteOnly));
        }
        Check(QDir(root).mkdir(QStringLiteral("folder.DIM")));
        Check(QFile::link(root + QStringLiteral("/P1.DIM"), root + QStringLiteral("/link.DIM")));
        Check(QFile::link(root + QStringLiteral("/gone"), root + QStringLiteral("/dangling.DIM")));
        Check(::mkfifo(EncodePath(root + QStringLiteral("/fifo.DIM")).constData(), 0600) == 0);
        return root;
    }();
    return path;
}

bool IsRegularFile(const QString &path) {
    struct stat st;
    return ::stat(EncodePath(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size) {
    if (size == 0)
        return 0;
    const QString &folder = Folder();
    QMimeData data;
    if (bytes[0] % 2 == 0) {
        // Picks: an entry of the folder, a remote address or plain text.
        constexpr size_t kCount = std::size(kEntries);
        QList<QUrl> urls;
        QString expected;
        for (size_t i = 1; i < size; ++i) {
            const size_t pick = bytes[i] % (kCount + 1);
            if (pick == kCount) {
                urls.append(QUrl(QStringLiteral("https://example.org/P1.DIM")));
                continue;
            }
            const QString path = folder + QLatin1Char('/') + QLatin1String(kEntries[pick].name);
            urls.append(QUrl::fromLocalFile(path));
            expected = kEntries[pick].curve ? path : QString();
        }
        if (urls.size() != 1)
            expected.clear();
        if (!urls.isEmpty())
            data.setUrls(urls);
        if (bytes[0] % 4 == 2)
            data.setText(QStringLiteral("P1.DIM"));
        Check(DroppedCurveFile(&data) == expected);
        return 0;
    }
    // Any uri list: what is taken is one local regular file named *.dim.
    data.setData(QStringLiteral("text/uri-list"), Bytes(bytes + 1, size - 1));
    const QString taken = DroppedCurveFile(&data);
    if (taken.isEmpty())
        return 0;
    Check(data.urls().size() == 1);
    Check(taken.startsWith(QLatin1Char('/')));
    Check(IsRegularFile(taken));
    const QString name = NameOf(taken);
    Check(name.size() >= 4 &&
          name.right(4).compare(QLatin1String(".dim"), Qt::CaseInsensitive) == 0);
    return 0;
}
