#include "view/sheet.h"

#include "model/filesystem.h"
#include "view/sheetcache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dim;

namespace {

void ExpectNear(QRgb actual, int r, int g, int b, int tolerance, const char *where) {
    EXPECT_NEAR(qRed(actual), r, tolerance) << where;
    EXPECT_NEAR(qGreen(actual), g, tolerance) << where;
    EXPECT_NEAR(qBlue(actual), b, tolerance) << where;
}

const QImage &Sheet() {
    static const QImage sheet = DecodeJpeg(EmbeddedSheetJpeg());
    return sheet;
}

TEST(SpriteSheet, DecodesToItsFullSize) {
    const QByteArray jpeg = EmbeddedSheetJpeg();
    ASSERT_FALSE(jpeg.isEmpty());
    // Sequential (baseline, SOF0), not progressive (SOF2): it is decoded at every start, and
    // a progressive stream takes about three times as long.
    EXPECT_TRUE(jpeg.contains(QByteArray("\xff\xc0", 2)));
    EXPECT_FALSE(jpeg.contains(QByteArray("\xff\xc2", 2)));
    ASSERT_FALSE(Sheet().isNull());
    EXPECT_EQ(Sheet().size(), QSize(SheetWidth, SheetHeight));
    EXPECT_EQ(Sheet().format(), QImage::Format_RGB32);
}

TEST(SpriteSheet, RegionsHaveTheirColours) {
    const QImage &s = Sheet();
    ExpectNear(s.pixel(1000, 0), 254, 254, 254, 4, "band 1 top");
    ExpectNear(s.pixel(1000, 249), 230, 248, 255, 5, "band 1 bottom");
    ExpectNear(s.pixel(1000, 250), 211, 226, 247, 5, "band 2 top");
    ExpectNear(s.pixel(1000, 499), 59, 23, 253, 5, "band 2 bottom");
    ExpectNear(s.pixel(0, 1050), 121, 118, 99, 5, "night gradient, left");
    ExpectNear(s.pixel(1500, 1050), 50, 51, 55, 5, "night gradient, right");
    ExpectNear(s.pixel(1999, 1104), 50, 51, 55, 5, "night gradient, corner");
    ExpectNear(s.pixel(2100, 600), 224, 223, 228, 2, "control panel");
    ExpectNear(s.pixel(2001, 1104), 224, 223, 228, 2, "control panel bottom");
    // The sky is blue with white clouds: some pixels of each.
    int sky = 0;
    int cloud = 0;
    for (int y = 500; y < 750; y += 5)
        for (int x = 0; x < 2000; x += 5) {
            const QRgb p = s.pixel(x, y);
            sky += qBlue(p) > qRed(p) + 60;
            cloud += qRed(p) > 220 && qGreen(p) > 220 && qBlue(p) > 220;
        }
    EXPECT_GT(sky, 4000);
    EXPECT_GT(cloud, 200);
    // The moon fills the top-left corner of band 4: there it differs from the plain gradient
    // of the same columns below row 1000.
    int moon = 0;
    for (int y = 760; y < 960; y += 4)
        for (int x = 0; x < 240; x += 4)
            moon += std::abs(qRed(s.pixel(x, y)) - qRed(s.pixel(x, 1050))) > 15;
    EXPECT_GT(moon, 1000);
    // The logo stands out from the grey at the top of the panel.
    int logo = 0;
    for (int y = 7; y <= 108; ++y)
        for (int x = 2005; x <= 2195; ++x)
            logo += std::abs(qRed(s.pixel(x, y)) - 224) > 30;
    EXPECT_GT(logo, 2000);
}

TEST(SpriteSheet, CorruptStreamsFailWithAReasonInsteadOfEndingTheProcess) {
    const QByteArray jpeg = EmbeddedSheetJpeg();
    QString error;
    EXPECT_TRUE(DecodeJpeg(QByteArray("not a jpeg at all"), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_TRUE(DecodeJpeg(QByteArray(), &error).isNull());
    EXPECT_FALSE(error.isEmpty());

    // A frame header that says the picture has no rows.
    QByteArray damaged = jpeg;
    const qsizetype frame = damaged.indexOf(QByteArray("\xff\xc0", 2));
    ASSERT_GT(frame, 0);
    damaged[frame + 5] = '\x00';
    damaged[frame + 6] = '\x00';
    error.clear();
    EXPECT_TRUE(DecodeJpeg(damaged, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
}

TEST(SpriteSheet, TruncatedStreamDoesNotCrash) {
    // libjpeg pads a truncated stream with a warning; what matters is that the process goes
    // on and an image of the stated size, or none, comes back.
    const QByteArray jpeg = EmbeddedSheetJpeg();
    const QImage image = DecodeJpeg(jpeg.left(jpeg.size() / 3));
    EXPECT_TRUE(image.isNull() || image.size() == QSize(SheetWidth, SheetHeight));
}

TEST(SpriteSheet, ControlPanelPictureContinuesPastTheSheet) {
    const QImage picture = ControlPanelPicture(Sheet(), 200, 1600);
    EXPECT_EQ(picture.size(), QSize(200, 1600));
    EXPECT_EQ(picture.pixel(50, 50), Sheet().pixel(2050, 50));
    EXPECT_EQ(picture.pixel(199, 1104), Sheet().pixel(2199, 1104));
    EXPECT_EQ(picture.pixel(120, 1599), Sheet().pixel(2120, 1104));
}

TEST(SpriteSheet, ControlPanelPictureInsideTheSheetSharesItsPixelsAsACopy) {
    QImage sheet = Sheet().copy();
    const QImage picture = ControlPanelPicture(sheet, 200, 1050);
    ASSERT_EQ(picture.size(), QSize(200, 1050));
    EXPECT_EQ(picture.constScanLine(7), sheet.constScanLine(7) + 2000 * 4); // no second copy
    const QRgb before = picture.pixel(10, 20);
    sheet.setPixel(2010, 20, qRgb(1, 2, 3)); // the sheet written to later: the picture stays
    EXPECT_EQ(picture.pixel(10, 20), before);
    EXPECT_EQ(sheet.pixel(2010, 20), qRgb(1, 2, 3));
}

TEST(SpriteSheet, CacheGivesBackItsPixelsOnlyWhenWholeAndOfTheSameJpeg) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/cache/sheet.cache");
    const std::uint64_t key = SheetKey(EmbeddedSheetJpeg());
    WriteSheetCache(SystemFileSystem(), path, Sheet(), key);
    EXPECT_EQ(ReadSheetCache(SystemFileSystem(), path, key), Sheet());
    EXPECT_TRUE(ReadSheetCache(SystemFileSystem(), path, key + 1).isNull());
    QByteArray otherJpeg = EmbeddedSheetJpeg();
    otherJpeg[otherJpeg.size() / 2] = static_cast<char>(otherJpeg[otherJpeg.size() / 2] ^ 1);
    EXPECT_TRUE(ReadSheetCache(SystemFileSystem(), path, SheetKey(otherJpeg)).isNull());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    file.close();
    QByteArray flipped = whole;
    flipped[whole.size() / 2] = static_cast<char>(flipped[whole.size() / 2] ^ 1);
    QByteArray wider = whole;
    wider[12] = static_cast<char>(wider[12] + 1); // the width, its lowest byte
    for (const QByteArray &damaged :
         {flipped, wider, whole.left(whole.size() - 1), whole + '\0', whole.left(40)}) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damaged);
        file.close();
        EXPECT_TRUE(ReadSheetCache(SystemFileSystem(), path, key).isNull()) << damaged.size();
    }
}

TEST(SpriteSheet, AStartDecodesOnceAndTheNextReadsTheCache) {
    QTemporaryDir dir;
    const SheetCacheFile cache{&SystemFileSystem(), dir.path() + QStringLiteral("/sheet.cache")};
    for (bool cached : {false, true}) {
        SheetDecode decode(EmbeddedSheetJpeg(), cache);
        const std::shared_future<DecodedSheet> ahead = decode.ahead();
        const DecodedSheet sheet = decode.take();
        EXPECT_EQ(sheet.fromCache, cached);
        EXPECT_EQ(sheet.image, Sheet());
        // Work ahead of the taker saw these very pixels (their key), and lets go of them.
        EXPECT_EQ(ahead.get().image.cacheKey(), sheet.image.cacheKey());
        EXPECT_FALSE(decode.ahead().valid());
        decode.fillCache(); // written before the decode is destroyed
    }
}

TEST(SpriteSheet, ACacheThatCannotBeWrittenLeavesEveryStartDecoding) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("cache"))); // a file where the folder would be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const SheetCacheFile cache{&SystemFileSystem(), dir.filePath(QStringLiteral("cache/sheet"))};
    for (int start = 0; start < 2; ++start) {
        SheetDecode decode(EmbeddedSheetJpeg(), cache);
        EXPECT_FALSE(decode.take().fromCache);
        decode.fillCache(); // fails on its own thread, without a word
    }
}

TEST(SpriteSheet, CacheLivesUnderAnAbsoluteXdgCacheHomeOnly) {
    const QByteArray saved = qgetenv("XDG_CACHE_HOME");
    const QString fallback = QDir::homePath() + QStringLiteral("/.cache/dimeditor/sheet.cache");
    const std::pair<const char *, QString> cases[] = {
        {"/var/tmp//c/", QStringLiteral("/var/tmp/c/dimeditor/sheet.cache")},
        {"relative/c", fallback},
        {"", fallback}};
    for (const auto &[value, expected] : cases) {
        qputenv("XDG_CACHE_HOME", value);
        EXPECT_EQ(SheetCachePath(), expected) << value;
    }
    if (saved.isNull())
        qunsetenv("XDG_CACHE_HOME");
    else
        qputenv("XDG_CACHE_HOME", saved);
}

} // namespace
