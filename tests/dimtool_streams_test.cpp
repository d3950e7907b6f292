// dimtool's files: outputs that would overwrite an input, options given twice, "-" for
// standard input and output, the picture formats render writes, and nothing on standard
// error that the user did not ask for.

#include "cli/tool.h"
#include "dimtool_fixture.h"

#include <QBuffer>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <functional>

#include <unistd.h>

using namespace dim;
using namespace dim::cli;
using namespace dim::cli::testing;

namespace {

class DimtoolFiles : public DimtoolTest {
protected:
    void SetUp() override {
        DimtoolTest::SetUp();
        curveBytes = DimFileBytes(VariedCurves(5), StoredSettings(7, 8, 9));
        curve = Path(QStringLiteral("A1.DIM"));
        WriteAll(curve, curveBytes);
        csv = Path(QStringLiteral("day.csv"));
        WriteAll(csv, Dimtool({QStringLiteral("export"), curve}).out.toLatin1());
    }
    // Runs args with bytes on standard input.
    Outcome WithInput(const QStringList &args, const QByteArray &bytes) {
        QBuffer input;
        input.setData(bytes);
        input.open(QIODevice::ReadOnly);
        const DimtoolEnvironment environment{SystemFileSystem(), SystemClock(), 1, &input};
        return Dimtool(args, &environment);
    }

    QByteArray curveBytes;
    QString curve;
    QString csv;
};

TEST_F(DimtoolFiles, AnOutputThatIsAnInputIsRefusedAndNothingIsWritten) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    ASSERT_EQ(::symlink("day.csv", Path(QStringLiteral("link.csv")).toLocal8Bit().constData()), 0);
    ASSERT_EQ(::link(csv.toLocal8Bit().constData(),
                     Path(QStringLiteral("hard.csv")).toLocal8Bit().constData()),
              0);
    ASSERT_EQ(::symlink("A1.DIM", Path(QStringLiteral("L1.DIM")).toLocal8Bit().constData()), 0);
    // A curve file named as a picture, and one named as the selection file.
    WriteAll(Path("chart.png"), curveBytes);
    WriteAll(Path("SEL.DAT"), curveBytes);
    const auto before = Tree();
    for (const char *args :
         {"import @day.csv -o @day.csv", "import @day.csv -o @link.csv",
          "import @day.csv -o @hard.csv", "import @day.csv -o @sub/../day.csv",
          "import @SEL.DAT -f csv --sel -o @B1.DIM", "edit @A1.DIM --channel=1 --smooth -o @L1.DIM",
          "daylight --channel 1 --start 06:00 --end 18:00 --ramp 0 --peak 9 --from @A1.DIM -o "
          "@./A1.DIM",
          "export @A1.DIM -o @A1.DIM", "render @chart.png -o @chart.png"}) {
        SCOPED_TRACE(args);
        const Outcome run = Dimtool(Args(args));
        EXPECT_EQ(run.status, ExitUsage);
        EXPECT_TRUE(run.err.contains(QStringLiteral(": the output "))) << S(run.err);
        EXPECT_EQ(Tree(), before);
    }
    // A file beside it, or the selection file beside another folder's output, is written.
    EXPECT_EQ(Dimtool(Args("import @day.csv -o @sub/day.csv --sel")).status, ExitOk);
}

TEST_F(DimtoolFiles, ADashReadsStandardInput) {
    // The input stream may go on past a curve file's end, as a file may.
    const QByteArray longer = curveBytes + QByteArray(5000, 'x');
    const QByteArray rejected = QByteArray("\x01\x60\x05") + curveBytes.mid(3);
    struct Case {
        const char *args;
        QByteArray input;
        int status;
        QString expectedOut;
        QString expectedErr;
    };
    const Case cases[] = {
        {"check -", longer, CheckLoads, "ok\n", ""},
        {"check -", rejected, CheckRejected, "",
         "dimtool: standard input: not a curve file: first header is 1, 96, 5\n"},
        {"check -", curveBytes.left(300), CheckIoError, "",
         "dimtool: standard input: Read beyond end of file.\n"},
        {"info -", curveBytes, ExitOk, Dimtool(Args("info @A1.DIM")).out, ""},
        {"export --format=json -", curveBytes, ExitOk,
         Dimtool(Args("export --format=json @A1.DIM")).out, ""},
        {"import - -f csv -o @B1.DIM", ReadAll(csv), ExitOk, "", ""},
        {"edit - --channel=2 --fill=0 -o @B1.DIM", curveBytes, ExitOk, "", ""},
    };
    const QString out = Path(QStringLiteral("B1.DIM"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args);
        QFile::remove(out);
        const Outcome run = WithInput(Args(c.args), c.input);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(S(run.out), S(c.expectedOut));
        EXPECT_EQ(S(run.err), S(c.expectedErr));
    }
    // The last two wrote what the same commands write from the file.
    CurveData blueless = VariedCurves(5);
    std::fill_n(blueless.Levels[2].begin(), 96, 0);
    EXPECT_EQ(ReadAll(out), DimFileBytes(blueless, StoredSettings(7, 8, 9)));

    // Without a standard input to read, "-" cannot be read.
    const Outcome none = Dimtool(Args("check -"));
    EXPECT_EQ(none.status, CheckIoError);
    EXPECT_EQ(S(none.err), "dimtool: standard input: cannot read\n");
}

TEST_F(DimtoolFiles, ADashWritesStandardOutput) {
    ASSERT_EQ(Dimtool(Args("render @A1.DIM -o @c.png")).status, ExitOk);
    EXPECT_EQ(QImage(Path("c.png")).size(), FullChartSize); // without --size
    ASSERT_EQ(Dimtool(Args("export @A1.DIM -fjson -o @day.json")).status, ExitOk);
    const std::pair<const char *, QByteArray> cases[] = {
        {"export @A1.DIM -o -", ReadAll(csv)},
        {"export @A1.DIM -fjson", ReadAll(Path("day.json"))},
        {"import @day.csv -o -", DimFileBytes(VariedCurves(5), StoredSettings(1, 0, 0))},
        {"render @A1.DIM -o-", ReadAll(Path("c.png"))},
    };
    for (const auto &[args, expected] : cases) {
        SCOPED_TRACE(args);
        const Outcome run = Dimtool(Args(args));
        EXPECT_EQ(run.status, ExitOk) << S(run.err);
        EXPECT_EQ(run.out.toLatin1(), expected); // the bytes, one character each
    }
    const Outcome sel = Dimtool(Args("import @day.csv -o - --sel"));
    EXPECT_EQ(sel.status, ExitUsage);
    EXPECT_TRUE(sel.out.isEmpty());
}

TEST_F(DimtoolFiles, RenderWritesTheFormatItsNameEndsIn) {
    const std::pair<const char *, QByteArray> cases[] = {
        // The format's signature; empty: refused.
        {"c.png", "\x89PNG"},
        {"C.PNG", "\x89PNG"},
        {"c.jpg", "\xff\xd8\xff"},
        {"c.jpeg", "\xff\xd8\xff"},
        {"c.bmp", "BM"},
        {"chart", "\x89PNG"},
        {"c.gif", {}},
        {"c.xyz", {}},
    };
    for (const auto &[name, start] : cases) {
        SCOPED_TRACE(name);
        const QString output = Path(QLatin1String(name));
        const Outcome run =
            Dimtool(Args(QStringLiteral("render @A1.DIM --size 800x600 -o @") + name));
        if (start.isEmpty()) {
            EXPECT_EQ(run.status, ExitUsage);
            EXPECT_TRUE(run.err.contains(QStringLiteral("cannot write the picture format")))
                << S(run.err);
            EXPECT_FALSE(QFile::exists(output));
            continue;
        }
        EXPECT_EQ(run.status, ExitOk) << S(run.err);
        EXPECT_TRUE(ReadAll(output).startsWith(start));
        EXPECT_EQ(QImage(output).size(), QSize(800, 600));
        QFile::remove(output);
    }
}

// A picture too small for the chart's labels is the chart drawn at the full chart's scale
// and scaled down smoothly; from the smallest clear size up it is drawn at its own size.
TEST_F(DimtoolFiles, SmallPicturesAreTheFullChartScaledDown) {
    struct Case {
        const char *args; // writing p.png
        QSize picture;
        QSize drawn; // the render drawn at, then scaled to picture
    };
    const Case cases[] = {
        // The thumbnail keeps the full chart's shape, 1652 x 1050, in the user's language.
        {"thumbnail @A1.DIM --size=256 @p.png", {256, 163}, {1652, 1050}},
        {"thumbnail @A1.DIM --size=1651 @p.png", {1651, 1049}, {1652, 1050}},
        {"thumbnail @A1.DIM --size=1700 @p.png", {1700, 1081}, {1700, 1081}},
        // render's smallest clear chart is 404 x 490: a column of 4 pixels, a band of 110.
        {"render @A1.DIM --size=256x163 --lang=fr -o @p.png", {256, 163}, {1652, 1052}},
        {"render @A1.DIM --size=403x490 --lang=fr -o @p.png", {403, 490}, {1652, 2009}},
        {"render @A1.DIM --size=404x489 --lang=fr -o @p.png", {404, 489}, {1652, 2000}},
        // A wide picture takes the scale of the full chart's height.
        {"render @A1.DIM --size=800x300 --lang=fr -o @p.png", {800, 300}, {2800, 1050}},
        // Never past the largest side.
        {"render @A1.DIM --size=100x8000 --lang=fr -o @p.png", {100, 8000}, {103, 8192}},
    };
    const DimtoolEnvironment french{SystemFileSystem(), SystemClock(), 2};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args);
        const Outcome run = Dimtool(Args(c.args), &french);
        ASSERT_EQ(run.status, ExitOk) << S(run.err);
        EXPECT_TRUE(run.err.isEmpty());
        const QImage picture = QImage(Path("p.png")).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(picture.size(), c.picture);
        ASSERT_EQ(Dimtool(Args(QStringLiteral("render @A1.DIM --lang fr -o @r.png --size %1x%2")
                                   .arg(c.drawn.width())
                                   .arg(c.drawn.height())))
                      .status,
                  ExitOk);
        QImage expected = QImage(Path("r.png")).convertToFormat(QImage::Format_RGB32);
        if (c.drawn != c.picture)
            expected = expected.scaled(c.picture, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_TRUE(picture == expected);
    }
}

// The program itself, as a shell runs it: on standard error only what went wrong, and no
// display needed but to draw, even where the environment names a platform that needs one.
TEST_F(DimtoolFiles, SaysNothingUnaskedWithoutARuntimeFolderOrADisplay) {
    struct Case {
        const char *args;
        QByteArray input;
        std::function<QByteArray()> out; // after the rows before it ran
        const char *platform = nullptr;  // QT_QPA_PLATFORM, or none
    };
    const auto text = [](const char *expected) { return [=] { return QByteArray(expected); }; };
    const Case cases[] = {
        {"--version", {}, text("dimtool " PROJECT_VERSION "\n")},
        {"check @A1.DIM", {}, text("ok\n")},
        {"check -", curveBytes, text("ok\n")},
        {"info @A1.DIM", {}, [&] { return Dimtool(Args("info @A1.DIM")).out.toUtf8(); }, "xcb"},
        {"render @A1.DIM -o @c.png --size=200x200", {}, text("")},
        {"render - -o- --size=200x200", curveBytes, [&] { return ReadAll(Path("c.png")); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        if (c.platform)
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QLatin1String(c.platform));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(DIM_DIMTOOL_PATH), Args(c.args));
        ASSERT_TRUE(process.waitForStarted());
        process.write(c.input);
        process.closeWriteChannel();
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitCode(), 0);
        EXPECT_EQ(process.readAllStandardOutput(), c.out());
        EXPECT_EQ(process.readAllStandardError(), QByteArray());
    }
}

} // namespace
