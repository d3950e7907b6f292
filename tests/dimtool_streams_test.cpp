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
    const QString picture = Path(QStringLiteral("chart.png"));
    WriteAll(picture, curveBytes);
    const QString selection = Path(QStringLiteral("SEL.DAT"));
    WriteAll(selection, curveBytes);
    const QStringList before = Files();
    const QString o = QStringLiteral("-o");
    struct Case {
        QStringList args;
        QString output;
    };
    const Case cases[] = {
        {{QStringLiteral("import"), csv, o}, csv},
        {{QStringLiteral("import"), csv, o}, Path(QStringLiteral("link.csv"))},
        {{QStringLiteral("import"), csv, o}, Path(QStringLiteral("hard.csv"))},
        {{QStringLiteral("import"), csv, o}, Path(QStringLiteral("sub/../day.csv"))},
        {{QStringLiteral("import"), Path(QStringLiteral("SEL.DAT")), QStringLiteral("-f"),
          QStringLiteral("csv"), QStringLiteral("--sel"), o},
         Path(QStringLiteral("B1.DIM"))},
        {{QStringLiteral("edit"), curve, QStringLiteral("--channel=1"), QStringLiteral("--smooth"),
          o},
         Path(QStringLiteral("L1.DIM"))},
        {Words("daylight --channel 1 --start 06:00 --end 18:00 --ramp 0 --peak 9 --from") +
             QStringList{curve, o},
         Path(QStringLiteral("./A1.DIM"))},
        {{QStringLiteral("export"), curve, o}, curve},
        {{QStringLiteral("render"), picture, o}, picture},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(S(c.args.join(QLatin1Char(' ')) + QLatin1Char(' ') + c.output));
        const Outcome run = Dimtool(c.args + QStringList{c.output});
        EXPECT_EQ(run.status, ExitUsage);
        EXPECT_TRUE(run.err.contains(QStringLiteral(": the output "))) << S(run.err);
        EXPECT_EQ(Files(), before);
        EXPECT_EQ(ReadAll(curve), curveBytes);
        EXPECT_EQ(ReadAll(picture), curveBytes);
        EXPECT_EQ(ReadAll(selection), curveBytes);
        EXPECT_EQ(ReadAll(csv), ReadAll(Path(QStringLiteral("hard.csv"))));
    }
    // A file beside it, or the selection file beside another folder's output, is written.
    EXPECT_EQ(Dimtool({QStringLiteral("import"), csv, o, Path(QStringLiteral("sub/day.csv")),
                       QStringLiteral("--sel")})
                  .status,
              ExitOk);
}

TEST_F(DimtoolFiles, ADashReadsStandardInput) {
    // The input stream may go on past a curve file's end, as a file may.
    const QByteArray longer = curveBytes + QByteArray(5000, 'x');
    const QByteArray rejected = QByteArray("\x01\x60\x05") + curveBytes.mid(3);
    const QString out = Path(QStringLiteral("B1.DIM"));
    struct Case {
        QStringList args;
        QByteArray input;
        int status;
        QString expectedOut;
        QString expectedErr;
    };
    const Case cases[] = {
        {{QStringLiteral("check"), QStringLiteral("-")}, longer, CheckLoads, "ok\n", ""},
        {{QStringLiteral("check"), QStringLiteral("-")},
         rejected,
         CheckRejected,
         "",
         "dimtool: standard input: not a curve file: first header is 1, 96, 5\n"},
        {{QStringLiteral("check"), QStringLiteral("-")},
         curveBytes.left(300),
         CheckIoError,
         "",
         "dimtool: standard input: Read beyond end of file.\n"},
        {{QStringLiteral("info"), QStringLiteral("-")},
         curveBytes,
         ExitOk,
         Dimtool({QStringLiteral("info"), curve}).out,
         ""},
        {{QStringLiteral("export"), QStringLiteral("--format=json"), QStringLiteral("-")},
         curveBytes,
         ExitOk,
         Dimtool({QStringLiteral("export"), QStringLiteral("--format=json"), curve}).out,
         ""},
        {{QStringLiteral("import"), QStringLiteral("-"), QStringLiteral("-f"),
          QStringLiteral("csv"), QStringLiteral("-o"), out},
         ReadAll(csv),
         ExitOk,
         "",
         ""},
        {{QStringLiteral("edit"), QStringLiteral("-"), QStringLiteral("--channel=2"),
          QStringLiteral("--fill=0"), QStringLiteral("-o"), out},
         curveBytes,
         ExitOk,
         "",
         ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(S(c.args.join(QLatin1Char(' '))));
        QFile::remove(out);
        const Outcome run = WithInput(c.args, c.input);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(S(run.out), S(c.expectedOut));
        EXPECT_EQ(S(run.err), S(c.expectedErr));
    }
    // The last two wrote what the same commands write from the file.
    CurveData blueless = VariedCurves(5);
    std::fill_n(blueless.Levels[2].begin(), 96, 0);
    EXPECT_EQ(ReadAll(out), DimFileBytes(blueless, StoredSettings(7, 8, 9)));

    // Without a standard input to read, "-" cannot be read.
    const Outcome none = Dimtool({QStringLiteral("check"), QStringLiteral("-")});
    EXPECT_EQ(none.status, CheckIoError);
    EXPECT_EQ(S(none.err), "dimtool: standard input: cannot read\n");
}

TEST_F(DimtoolFiles, ADashWritesStandardOutput) {
    const QString png = Path(QStringLiteral("c.png"));
    ASSERT_EQ(Dimtool({QStringLiteral("render"), curve, QStringLiteral("-o"), png}).status, ExitOk);
    const QString written = Path(QStringLiteral("day.json"));
    ASSERT_EQ(Dimtool({QStringLiteral("export"), curve, QStringLiteral("-fjson"),
                       QStringLiteral("-o"), written})
                  .status,
              ExitOk);
    struct Case {
        QStringList args;
        QByteArray expected;
    };
    const Case cases[] = {
        {{QStringLiteral("export"), curve, QStringLiteral("-o"), QStringLiteral("-")},
         ReadAll(csv)},
        {{QStringLiteral("export"), curve, QStringLiteral("-fjson")}, ReadAll(written)},
        {{QStringLiteral("import"), csv, QStringLiteral("-o"), QStringLiteral("-")},
         DimFileBytes(VariedCurves(5), StoredSettings(1, 0, 0))},
        {{QStringLiteral("render"), curve, QStringLiteral("-o-")}, ReadAll(png)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(S(c.args.join(QLatin1Char(' '))));
        const Outcome run = Dimtool(c.args);
        EXPECT_EQ(run.status, ExitOk) << S(run.err);
        EXPECT_EQ(run.out.toLatin1(), c.expected); // the bytes, one character each
    }
    const Outcome sel = Dimtool({QStringLiteral("import"), csv, QStringLiteral("-o"),
                                 QStringLiteral("-"), QStringLiteral("--sel")});
    EXPECT_EQ(sel.status, ExitUsage);
    EXPECT_TRUE(sel.out.isEmpty());
}

TEST_F(DimtoolFiles, RenderWritesTheFormatItsNameEndsIn) {
    struct Case {
        const char *name;
        QByteArray start; // the format's signature; empty: refused
    };
    const Case cases[] = {
        {"c.png", QByteArray("\x89PNG")},
        {"C.PNG", QByteArray("\x89PNG")},
        {"c.jpg", QByteArray("\xff\xd8\xff")},
        {"c.jpeg", QByteArray("\xff\xd8\xff")},
        {"c.bmp", QByteArray("BM")},
        {"chart", QByteArray("\x89PNG")},
        {"c.gif", {}},
        {"c.xyz", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString output = Path(QLatin1String(c.name));
        const Outcome run = Dimtool({QStringLiteral("render"), curve, QStringLiteral("-o"), output,
                                     QStringLiteral("--size"), QStringLiteral("800x600")});
        if (c.start.isEmpty()) {
            EXPECT_EQ(run.status, ExitUsage);
            EXPECT_TRUE(run.err.contains(QStringLiteral("cannot write the picture format")))
                << S(run.err);
            EXPECT_FALSE(QFile::exists(output));
            continue;
        }
        EXPECT_EQ(run.status, ExitOk) << S(run.err);
        EXPECT_TRUE(ReadAll(output).startsWith(c.start));
        EXPECT_EQ(QImage(output).size(), QSize(800, 600));
        QFile::remove(output);
    }
}

// A picture too small for the chart's labels is the chart drawn at the full chart's scale
// and scaled down smoothly; from the smallest clear size up it is drawn at its own size.
TEST_F(DimtoolFiles, SmallPicturesAreTheFullChartScaledDown) {
    const auto rendered = [&](QSize size, const char *language) {
        const QString png = Path(QStringLiteral("r.png"));
        const Outcome run =
            Dimtool({QStringLiteral("render"), curve, QStringLiteral("-o"), png,
                     QStringLiteral("--lang"), QLatin1String(language), QStringLiteral("--size"),
                     QStringLiteral("%1x%2").arg(size.width()).arg(size.height())});
        EXPECT_EQ(run.status, ExitOk) << S(run.err);
        return QImage(png).convertToFormat(QImage::Format_RGB32);
    };
    struct Case {
        QStringList args; // with -o PICTURE
        QSize picture;
        QSize drawn;          // the render drawn at, then scaled to picture
        const char *language; // the band captions'
    };
    const Case cases[] = {
        // The thumbnail keeps the full chart's shape, 1652 x 1050, in the user's language.
        {{QStringLiteral("thumbnail"), curve, QStringLiteral("--size=256")},
         {256, 163},
         {1652, 1050},
         "fr"},
        {{QStringLiteral("thumbnail"), curve, QStringLiteral("--size=1651")},
         {1651, 1049},
         {1652, 1050},
         "fr"},
        {{QStringLiteral("thumbnail"), curve, QStringLiteral("--size=1700")},
         {1700, 1081},
         {1700, 1081},
         "fr"},
        // render's smallest clear chart is 404 x 490: a column of 4 pixels, a band of 110.
        {{QStringLiteral("render"), curve, QStringLiteral("--size=256x163"),
          QStringLiteral("--lang=fr")},
         {256, 163},
         {1652, 1052},
         "fr"},
        {{QStringLiteral("render"), curve, QStringLiteral("--size=403x490"),
          QStringLiteral("--lang=fr")},
         {403, 490},
         {1652, 2009},
         "fr"},
        {{QStringLiteral("render"), curve, QStringLiteral("--size=404x489"),
          QStringLiteral("--lang=fr")},
         {404, 489},
         {1652, 2000},
         "fr"},
        // A wide picture takes the scale of the full chart's height.
        {{QStringLiteral("render"), curve, QStringLiteral("--size=800x300"),
          QStringLiteral("--lang=fr")},
         {800, 300},
         {2800, 1050},
         "fr"},
        // Never past the largest side.
        {{QStringLiteral("render"), curve, QStringLiteral("--size=100x8000"),
          QStringLiteral("--lang=fr")},
         {100, 8000},
         {103, 8192},
         "fr"},
    };
    const DimtoolEnvironment french{SystemFileSystem(), SystemClock(), 2};
    for (const Case &c : cases) {
        SCOPED_TRACE(S(c.args.join(QLatin1Char(' '))));
        const QString png = Path(QStringLiteral("p.png"));
        const Outcome run = Dimtool(c.args + (c.args.front() == QStringLiteral("thumbnail")
                                                  ? QStringList{png}
                                                  : QStringList{QStringLiteral("-o"), png}),
                                    &french);
        ASSERT_EQ(run.status, ExitOk) << S(run.err);
        EXPECT_TRUE(run.err.isEmpty());
        const QImage picture = QImage(png).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(picture.size(), c.picture);
        QImage expected = rendered(c.drawn, c.language);
        if (c.drawn != c.picture)
            expected = expected.scaled(c.picture, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_TRUE(picture == expected);
    }
}

// The program itself, as a shell runs it: on standard error only what went wrong, and no
// display needed but to draw, even where the environment names a platform that needs one.
TEST_F(DimtoolFiles, SaysNothingUnaskedWithoutARuntimeFolderOrADisplay) {
    const QString png = Path(QStringLiteral("c.png"));
    struct Case {
        QStringList args;
        QByteArray input;
        std::function<QByteArray()> out; // after the rows before it ran
        const char *platform = nullptr;  // QT_QPA_PLATFORM, or none
    };
    const auto text = [](const char *expected) { return [=] { return QByteArray(expected); }; };
    const Case cases[] = {
        {{QStringLiteral("--version")}, {}, text("dimtool " PROJECT_VERSION "\n")},
        {{QStringLiteral("check"), curve}, {}, text("ok\n")},
        {{QStringLiteral("check"), QStringLiteral("-")}, curveBytes, text("ok\n")},
        {{QStringLiteral("info"), curve},
         {},
         [&] {
             return Dimtool({QStringLiteral("info"), curve}).out.toUtf8();
         },
         "xcb"},
        {{QStringLiteral("render"), curve, QStringLiteral("-o"), png,
          QStringLiteral("--size=200x200")},
         {},
         text("")},
        {{QStringLiteral("render"), QStringLiteral("-"), QStringLiteral("-o-"),
          QStringLiteral("--size=200x200")},
         curveBytes,
         [&] { return ReadAll(png); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(S(c.args.join(QLatin1Char(' '))));
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        if (c.platform)
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QLatin1String(c.platform));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(DIM_DIMTOOL_PATH), c.args);
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
