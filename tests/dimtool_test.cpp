#include "cli/tool.h"
#include "dimtool_fixture.h"
#include "model/curvetext.h"
#include "window_fixture.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <utility>
#include <vector>

using namespace dim;
using namespace dim::app;
using namespace dim::cli;
using namespace dim::cli::testing;

namespace {

// ---------------------------------------------------------------------------------------
// Export and import

using DimtoolRoundTrip = DimtoolTest;

TEST_F(DimtoolRoundTrip, ExportThenImportGivesTheSameBytes) {
    struct Case {
        const char *format;
        int seed;
        FileSettings settings;
    };
    // CSV carries no settings, so its files have the ones an import gives.
    const Case cases[] = {{"csv", 0, StoredSettings(1, 0, 0)},
                          {"csv", 91, StoredSettings(1, 0, 0)},
                          {"json", 17, StoredSettings(12, 200, 7)},
                          {"json", 200, StoredSettings(255, 255, 255)},
                          {"json", 5, StoredSettings(1, 0, 0)}};
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.format) + " seed " + std::to_string(c.seed));
        const QString original = WriteCurveFile("A1.DIM", VariedCurves(c.seed), c.settings);
        const Outcome exported = Dimtool(Args("export @A1.DIM --format ") << c.format);
        ASSERT_EQ(exported.status, ExitOk) << S(exported.err);
        EXPECT_TRUE(exported.err.isEmpty());
        WriteAll(Path(QStringLiteral("day.") + c.format), exported.out.toUtf8());

        const Outcome imported =
            Dimtool(Args(QStringLiteral("import @day.%1 -o @B2.DIM").arg(c.format)));
        ASSERT_EQ(imported.status, ExitOk) << S(imported.err);
        EXPECT_TRUE(imported.out.isEmpty());
        EXPECT_TRUE(imported.err.isEmpty());
        EXPECT_EQ(ReadAll(Path("B2.DIM")), ReadAll(original));
        EXPECT_FALSE(Files().contains(QStringLiteral("SEL.DAT")));
    }
}

TEST_F(DimtoolRoundTrip, ExportWritesTimeAndLevelsInTheFileChannelOrder) {
    CurveData data;
    for (size_t n = 1; n <= 4; ++n)
        data.Levels[n][29] = std::array{12, 0, 255, 3}[n - 1];
    const QByteArray bytes = ReadAll(WriteCurveFile("A1.DIM", data, StoredSettings(9, 8, 7)));

    const Outcome csv = Dimtool(Args("export @A1.DIM"));
    ASSERT_EQ(csv.status, ExitOk);
    const QStringList lines = csv.out.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 1 + 96 + 1); // and a final newline
    EXPECT_EQ(lines[0], QStringLiteral("time,white,blue,clouds,moon"));
    EXPECT_EQ(lines[1], QStringLiteral("00:00,0,0,0,0"));
    EXPECT_EQ(lines[1 + 29], QStringLiteral("07:15,12,0,255,3"));
    EXPECT_EQ(lines[96], QStringLiteral("23:45,0,0,0,0"));
    EXPECT_TRUE(lines[97].isEmpty());

    const Outcome json = Dimtool(Args("export @A1.DIM -f json"));
    ASSERT_EQ(json.status, ExitOk);
    const QJsonObject root = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(root.value(QStringLiteral("cloudSpeed")).toInt(-1), 9);
    EXPECT_EQ(root.value(QStringLiteral("cloudIntensity")).toInt(-1), 8);
    EXPECT_EQ(root.value(QStringLiteral("moonChange")).toInt(-1), 7);
    const QJsonArray points = root.value(QStringLiteral("points")).toArray();
    ASSERT_EQ(points.size(), 96);
    const char *const keys[] = {"white", "blue", "clouds", "moon"};
    for (int k = 0; k < 96; ++k) {
        const QJsonObject point = points.at(k).toObject();
        EXPECT_EQ(point.value(QStringLiteral("time")).toString(), QuarterHourText(k));
        for (int n = 1; n <= 4; ++n) // the level byte of channel n, column k
            EXPECT_EQ(point.value(QLatin1String(keys[n - 1])).toInt(-1),
                      static_cast<uint8_t>(bytes[3 + 96 * (n - 1) + k]))
                << "column " << k << " channel " << n;
    }
}

TEST_F(DimtoolRoundTrip, ImportReplacesAnExistingFileAndTellsTheFormatByOptionOrName) {
    const QString original = WriteCurveFile("A1.DIM", VariedCurves(1), StoredSettings(1, 0, 0));
    const QByteArray csv = Dimtool(Args("export @A1.DIM")).out.toUtf8();
    WriteAll(Path("DAY.CSV"), csv);
    WriteAll(Path("day.txt"), csv);
    const QString out = Path("B1.DIM");
    for (const auto &[args, status] : {std::pair{"import @DAY.CSV -o @B1.DIM", ExitOk},
                                       std::pair{"import @day.txt -o @B1.DIM", ExitUsage},
                                       std::pair{"import @day.txt -o @B1.DIM -f csv", ExitOk}}) {
        SCOPED_TRACE(args);
        WriteAll(out, QByteArray(443, 'x'));
        const Outcome run = Dimtool(Args(args));
        EXPECT_EQ(run.status, status);
        EXPECT_EQ(ReadAll(out), status == ExitOk ? ReadAll(original) : QByteArray(443, 'x'));
        if (status == ExitUsage) {
            EXPECT_TRUE(run.err.startsWith("dimtool: import: cannot tell the format"))
                << S(run.err);
        }
    }
    // And no temporary file left over.
    EXPECT_EQ(Files(), (QStringList{"A1.DIM", "B1.DIM", "DAY.CSV", "day.txt"}));
}

// ---------------------------------------------------------------------------------------
// Refusals of bad import input

class DimtoolImportRefusal : public DimtoolTest {
protected:
    void SetUp() override {
        DimtoolTest::SetUp();
        source = WriteCurveFile("A1.DIM", VariedCurves(4), StoredSettings(20, 30, 40));
        csvLines = Dimtool(Args("export @A1.DIM")).out.split(QLatin1Char('\n'));
        json =
            QJsonDocument::fromJson(Dimtool(Args("export @A1.DIM -f json")).out.toUtf8()).object();
        ASSERT_EQ(csvLines.size(), 98);
        ASSERT_EQ(json.value(QStringLiteral("points")).toArray().size(), 96);
    }

    // Imports text and expects the refusal message, and that neither a new output file nor
    // an existing one was touched.
    void ExpectRefused(const QString &name, const QByteArray &text, const QString &message) {
        SCOPED_TRACE(S(name + QStringLiteral(": ") + message));
        const QString input = Path(name);
        WriteAll(input, text);
        const QStringList before = Files();

        const QString fresh = Path(QStringLiteral("NEW.DIM"));
        const Outcome run = Dimtool({QStringLiteral("import"), input, QStringLiteral("-o"), fresh});
        EXPECT_EQ(run.status, ExitDataError);
        EXPECT_EQ(S(run.err), S(QStringLiteral("dimtool: ") + input + QStringLiteral(": ") +
                                message + QLatin1Char('\n')));
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_FALSE(QFile::exists(fresh));

        const QString existing = Path(QStringLiteral("OLD.DIM"));
        const QByteArray old = ReadAll(source);
        WriteAll(existing, old);
        const Outcome again = Dimtool({QStringLiteral("import"), input, QStringLiteral("-o"),
                                       existing, QStringLiteral("--sel")});
        EXPECT_EQ(again.status, ExitDataError);
        EXPECT_EQ(ReadAll(existing), old);
        QStringList expected = before;
        expected << QStringLiteral("OLD.DIM");
        expected.sort();
        EXPECT_EQ(Files(), expected);
        QFile::remove(existing);
    }

    QString source;
    // Line n of the CSV is csvLines[n - 1]: the header, the rows of 00:00..23:45, and the
    // empty rest after the last newline.
    QStringList csvLines;
    QJsonObject json;
};

TEST_F(DimtoolImportRefusal, Csv) {
    struct Case {
        int line;         // the index in csvLines of the line replaced
        const char *text; // nullptr: the line is removed
        const char *message;
    };
    const Case cases[] = {
        {96, nullptr, "line 97: the file ends after 95 data rows; expected 96"},
        {97, "00:00,0,0,0,0", "line 98: more than 96 data rows"},
        {30, "07:15,1,2,256,4", "line 31: clouds level 256 is out of range 0..255"},
        {5, "01:00,1,2.5,3,4", "line 6: blue level \"2.5\" is not an integer"},
        {5, "01:00,1,,3,4", "line 6: blue level \"\" is not an integer"},
        {30, "7:15,1,2,3,4", "line 31: malformed time \"7:15\" (expected HH:MM)"},
        {10, "02:30,1,2,3,4", "line 11: expected time 02:15, found 02:30"},
        {7, "01:30,1,2,3", "line 8: expected 5 columns, found 4"},
        {7, "01:30,1,2,3,4,5", "line 8: expected 5 columns, found 6"},
        {50, "", "line 51: expected 5 columns, found 1"},
        {0, "time,blue,white,clouds,moon",
         "line 1: bad header \"time,blue,white,clouds,moon\"; expected "
         "\"time,white,blue,clouds,moon\""},
    };
    for (const Case &c : cases) {
        QStringList lines = csvLines;
        if (c.text)
            lines[c.line] = QLatin1String(c.text);
        else
            lines.removeAt(c.line);
        ExpectRefused("day.csv", lines.join(QLatin1Char('\n')).toUtf8(), c.message);
    }
    ExpectRefused("empty.csv", "\n\n",
                  "line 1: the file is empty; expected the header \"time,white,blue,clouds,moon\"");
}

TEST_F(DimtoolImportRefusal, Json) {
    QJsonArray fewer = json.value(QStringLiteral("points")).toArray();
    fewer.removeLast();
    const QJsonValue removed(QJsonValue::Undefined);
    struct Case {
        int point; // the point changed; -1: the top level
        const char *key;
        QJsonValue value; // undefined: the key is removed
        const char *message;
    };
    const Case cases[] = {
        {-1, "moonChange", removed, "missing key \"moonChange\""},
        {-1, "points", removed, "missing key \"points\""},
        {-1, "cloudSpeed", 0, "cloudSpeed 0 is out of range 1..255"},
        {-1, "cloudIntensity", 256, "cloudIntensity 256 is out of range 0..255"},
        {-1, "moonChange", "7", "moonChange \"7\" is not an integer"},
        {-1, "points", fewer, "points: expected 96 points, found 95"},
        {7, "blue", removed, "points[7]: missing key \"blue\""},
        {95, "white", 300, "points[95]: white level 300 is out of range 0..255"},
        {3, "moon", 1.5, "points[3]: moon level 1.5 is not an integer"},
        {8, "time", "02:15", "points[8]: expected time 02:00, found 02:15"},
        {8, "time", "2 pm", "points[8]: malformed time \"2 pm\" (expected HH:MM)"},
    };
    for (const Case &c : cases) {
        QJsonObject root = json;
        QJsonArray points = root.value(QStringLiteral("points")).toArray();
        QJsonObject target = c.point < 0 ? root : points.at(c.point).toObject();
        if (c.value.isUndefined())
            target.remove(QLatin1String(c.key));
        else
            target.insert(QLatin1String(c.key), c.value);
        if (c.point < 0) {
            root = target;
        } else {
            points.replace(c.point, target);
            root.insert(QStringLiteral("points"), points);
        }
        ExpectRefused("day.json", QJsonDocument(root).toJson(), c.message);
    }
    const QByteArray whole = QJsonDocument(json).toJson();
    const QByteArray cut = whole.left(whole.size() / 2);
    QJsonParseError expected;
    QJsonDocument::fromJson(cut, &expected);
    ASSERT_NE(expected.error, QJsonParseError::NoError);
    ExpectRefused(
        "cut.json", cut,
        QStringLiteral("offset %1: bad JSON: %2").arg(expected.offset).arg(expected.errorString()));
    ExpectRefused("array.json", "[1, 2]", "the JSON document is not an object");
}

// ---------------------------------------------------------------------------------------
// check, info, and failures of the files

using DimtoolCheck = DimtoolTest;

TEST_F(DimtoolCheck, AnswersWhetherTheEditorLoadsTheFile) {
    const QString good = WriteCurveFile("A1.DIM", VariedCurves(2), FileSettings{});
    const Outcome ok = Dimtool(Args("check @A1.DIM"));
    EXPECT_EQ(ok.status, CheckLoads);
    EXPECT_EQ(S(ok.out), "ok\n");
    EXPECT_TRUE(ok.err.isEmpty());

    // Only block 1 and a block 3 are needed.
    WriteAll(Path("A2.DIM"),
             ReadAll(good).left(3 + 384) + QByteArray("\x03\x14\x01\x05\x06\x07", 6));
    EXPECT_EQ(Dimtool(Args("check @A2.DIM")).status, CheckLoads);

    QByteArray foreign = ReadAll(good);
    foreign[2] = 5;
    WriteAll(Path("A3.DIM"), foreign);
    const Outcome no = Dimtool(Args("check @A3.DIM"));
    EXPECT_EQ(no.status, CheckRejected);
    EXPECT_TRUE(no.out.isEmpty());
    EXPECT_EQ(S(no.err),
              S("dimtool: " + Path("A3.DIM") + ": not a curve file: first header is 1, 96, 5\n"));
}

TEST_F(DimtoolCheck, ReportsInputOutputErrorsWithTheEditorsMessage) {
    WriteAll(Path("A1.DIM"), DimFileBytes(VariedCurves(0), FileSettings{}).left(200));
    const std::pair<const char *, const char *> cases[] = {
        {"NONE.DIM", "File not found."},
        {"nowhere/A1.DIM", "Invalid file name."},
        {"A1.DIM", "Read beyond end of file."},
    };
    for (const auto &[name, message] : cases) {
        const Outcome run = Dimtool(Args(QStringLiteral("check @") + name));
        EXPECT_EQ(run.status, CheckIoError);
        EXPECT_EQ(S(run.err), S("dimtool: " + Path(name) + ": " + message + "\n"));
    }
}

// Every other command that reads a curve file tells a rejected one (65) from one that
// cannot be read (74), and writes nothing.
TEST_F(DimtoolCheck, OtherCommandsTellBadFilesApartByStatus) {
    QByteArray foreign = DimFileBytes(VariedCurves(0), FileSettings{});
    foreign[0] = 7;
    WriteAll(Path("R.DIM"), foreign);
    const auto before = Tree();
    for (const char *command :
         {"info", "export", "render -o @c.png", "edit --channel 1 --smooth -o @B1.DIM",
          "daylight --channel 1 --start 06:00 --end 18:00 --ramp 60 --peak 100 -o @B1.DIM "
          "--from"}) {
        for (const auto &[name, status, message] :
             {std::tuple{"R.DIM", ExitDataError, ": not a curve file: first header is 7, 96, 4\n"},
              std::tuple{"NONE.DIM", ExitIoError, ": File not found.\n"}}) {
            const Outcome run = Dimtool(Args(QLatin1String(command) + " @" + name));
            SCOPED_TRACE(std::string(command) + " " + name);
            EXPECT_EQ(run.status, status);
            EXPECT_EQ(S(run.err), S("dimtool: " + Path(name) + message));
            EXPECT_TRUE(run.out.isEmpty());
            EXPECT_EQ(Tree(), before);
        }
    }
}

TEST_F(DimtoolCheck, AFailedWriteLeavesTheOldFileAndReportsAnInputOutputError) {
    WriteCurveFile("A1.DIM", VariedCurves(6), StoredSettings(1, 0, 0));
    WriteAll(Path("day.csv"), Dimtool(Args("export @A1.DIM")).out.toUtf8());
    WriteAll(Path("B1.DIM"), "old");
    FailingWrites disk; // full
    disk.failAt = 1;
    disk.onward = true;
    FixedClock clock;
    const DimtoolEnvironment environment{disk, clock, 1};
    const Outcome run = Dimtool(Args("import @day.csv -o @B1.DIM"), &environment);
    EXPECT_EQ(run.status, ExitIoError);
    EXPECT_EQ(S(run.err), S("dimtool: " + Path("B1.DIM") + ": Disk full.\n"));
    EXPECT_EQ(ReadAll(Path("B1.DIM")), QByteArray("old"));
    EXPECT_EQ(Dimtool(Args("render @A1.DIM -o @chart.png"), &environment).status, ExitIoError);
    EXPECT_EQ(Files(), (QStringList{"A1.DIM", "B1.DIM", "day.csv"}));
}

TEST_F(DimtoolTest, InfoOfAFileWithoutSettingsShowsTheEditorsDefaults) {
    QByteArray bytes = DimFileBytes(VariedCurves(0), StoredSettings(99, 99, 99)).left(3 + 384);
    WriteAll(Path("A1.DIM"), bytes + QByteArray("\x09\x00\x00", 3)); // ends at an unknown block
    const Outcome run = Dimtool(Args("info @A1.DIM"));
    ASSERT_EQ(run.status, ExitOk) << S(run.err);
    EXPECT_TRUE(run.out.startsWith("cloud speed      1\ncloud intensity  0\nmoon change      0\n"))
        << S(run.out);
}

// ---------------------------------------------------------------------------------------
// The command line

TEST_F(DimtoolTest, HelpListsTheCommandsAndEachCommandDescribesItsOptions) {
    for (const char *args : {"--help", "help", "-h"}) {
        const Outcome run = Dimtool(Args(args));
        EXPECT_EQ(run.status, ExitOk);
        EXPECT_TRUE(run.out.startsWith(QStringLiteral("Usage: dimtool COMMAND")));
        for (const char *command : {"info", "export", "import", "edit", "daylight", "sun",
                                    "acclimate", "render", "thumbnail", "check", "help"})
            EXPECT_TRUE(run.out.contains(QStringLiteral("\n  %1 ").arg(QLatin1String(command))))
                << command;
    }
    // Each command's help, with one of its own options.
    const std::pair<const char *, const char *> commands[] = {{"info", "--watts <W1,W2,W3,W4>"},
                                                              {"export", "--format <csv|json>"},
                                                              {"import", "--sel"},
                                                              {"edit", "--copy-from <M>"},
                                                              {"daylight", "--from <FILE.DIM>"},
                                                              {"sun", "--utc-offset <+HH:MM>"},
                                                              {"acclimate", "--steps <K>"},
                                                              {"render", "--lang <de|en|fr|es>"},
                                                              {"thumbnail", "--size <SIZE>"},
                                                              {"check", "Arguments:"}};
    for (const auto &[name, option] : commands) {
        const QString command = QLatin1String(name);
        const Outcome own = Dimtool({command, QStringLiteral("--help")});
        EXPECT_EQ(own.status, ExitOk);
        EXPECT_TRUE(own.out.startsWith("Usage: dimtool " + command + " [options]")) << S(own.out);
        EXPECT_TRUE(own.out.contains(QLatin1String(option))) << name;
        // The description between the usage line and the options fits a terminal of 80.
        const QStringList lines = own.out.split(QLatin1Char('\n'));
        for (qsizetype i = 1; i < lines.size() && lines[i] != QStringLiteral("Options:"); ++i)
            EXPECT_LE(lines[i].size(), 79) << name << " " << S(lines[i]);
        EXPECT_EQ(S(Dimtool({QStringLiteral("help"), command}).out), S(own.out));
        EXPECT_EQ(S(Dimtool({QStringLiteral("--help"), command}).out), S(own.out));
    }
}

// ---------------------------------------------------------------------------------------
// render against the editor's own chart

class DimtoolRender : public WindowTest {
protected:
    // Renders the window's curves at the chart's size and returns the picture.
    QImage Rendered(const QString &language) {
        const QString path = dir.filePath(QStringLiteral("A1.DIM"));
        WriteAll(path, DimFileBytes(state->document.curves(), state->document.fileSettings()));
        const QSize size = window->ui().pb->size();
        const QString png = dir.filePath(QStringLiteral("chart.png"));
        const Outcome run = Dimtool({QStringLiteral("render"), path, QStringLiteral("-o"), png,
                                     QStringLiteral("--size"),
                                     QStringLiteral("%1x%2").arg(size.width()).arg(size.height()),
                                     QStringLiteral("--lang"), language});
        EXPECT_EQ(run.status, ExitOk) << S(run.err);
        EXPECT_TRUE(run.err.isEmpty());
        return QImage(png).convertToFormat(QImage::Format_RGB32);
    }
    void ExpectSamePixels(const QImage &rendered, const QImage &editor) {
        ASSERT_EQ(rendered.size(), editor.size());
        int differing = 0;
        QPoint first;
        for (int y = 0; y < editor.height(); ++y)
            for (int x = 0; x < editor.width(); ++x)
                if (rendered.pixel(x, y) != editor.pixel(x, y) && differing++ == 0)
                    first = QPoint(x, y);
        EXPECT_EQ(differing, 0) << "first at " << first.x() << "," << first.y();
    }

    QTemporaryDir dir;
};

TEST_F(DimtoolRender, DrawsTheSamePixelsAsTheEditorsChart) {
    ASSERT_TRUE(dir.isValid());
    SetLevels(VariedCurves(33));
    window->PaintCurves(true);
    ASSERT_FALSE(window->ui().pb->surface().isNull());
    ASSERT_GE(window->ui().pb->width(), 100);
    ASSERT_GE(window->ui().pb->height(), 100);
    ExpectSamePixels(Rendered(QStringLiteral("de")), window->ui().pb->surface());

    // The English captions are other pixels, and the same ones as the editor's.
    const QImage german = window->ui().pb->surface().copy();
    window->ApplyLanguage(1);
    window->PaintCurves(true);
    ASSERT_NE(window->ui().pb->surface(), german);
    ExpectSamePixels(Rendered(QStringLiteral("en")), window->ui().pb->surface());

    // The smallest chart that render draws at its own size, rather than scaled down.
    window->ui().pb->resize(404, 490);
    window->ui().pb->repaint(); // makes the surface of the new size and paints it
    ASSERT_EQ(window->ui().pb->surface().size(), QSize(404, 490));
    ExpectSamePixels(Rendered(QStringLiteral("en")), window->ui().pb->surface());
}

} // namespace

// ---------------------------------------------------------------------------------------
// Messages, names and output faults

TEST(DimtoolMessages, InputOutputErrorsSpeakTheUsersLanguage) {
    struct Case {
        int language;
        IoError error;
        const char *message;
    };
    const Case cases[] = {
        {0, MakeIoError(2), "Datei nicht gefunden"},
        {1, MakeIoError(2), "File not found"},
        {2, MakeIoError(5), "Accès au fichier refusé"},
        {3, MakeIoError(101), "Espacio en disco insuficiente"},
        {2, MakeIoError(100), "Lecture au-delà de la fin du fichier"},
        {1, IoError(5, QStringLiteral("E/A-Fehler 5")), "I/O error 5"}, // EIO, not code 5
        {3, MakeIoError(16), "Error de E/S 16"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(S(IoErrorMessage(c.error, c.language)), c.message) << c.language;
}

TEST_F(DimtoolTest, ShowsOffendingInputShortAndEscaped) {
    const QString csv = Path(QStringLiteral("day.csv"));
    WriteAll(csv, QByteArray("time\x1b[31m", 9) + QByteArray(1, '\0') +
                      QByteArray(900 * 1024, 'w') + "\nrest\n");
    const Outcome header = Dimtool(
        {QStringLiteral("import"), csv, QStringLiteral("-o"), Path(QStringLiteral("A.DIM"))});
    EXPECT_EQ(header.status, ExitDataError);
    EXPECT_LT(header.err.size(), 200 + csv.size()) << S(header.err.left(300));
    EXPECT_TRUE(header.err.contains(QStringLiteral("time\\x1b[31m\\x00www")));
    EXPECT_TRUE(header.err.contains(QStringLiteral("w...\"")));
    const Outcome command = Dimtool({QStringLiteral("ex\x07port\n")});
    EXPECT_EQ(command.status, ExitUsage);
    EXPECT_TRUE(command.err.contains(QStringLiteral("\"ex\\x07port\\n\""))) << S(command.err);
    for (const QChar c : header.err + command.err)
        EXPECT_TRUE(c == QLatin1Char('\n') || c.unicode() >= 0x20) << static_cast<int>(c.unicode());
}

TEST_F(DimtoolTest, FileNamesThatAreNoUtf8AreUsedAsGiven) {
    const QString name = DecodePath(QByteArray("bad\xff"
                                               "name.DIM"));
    const QString source = Path(name);
    WriteFileReplacing(SystemFileSystem(), source,
                       DimFileBytes(VariedCurves(2), StoredSettings(1, 0, 0)));
    EXPECT_EQ(Dimtool({QStringLiteral("check"), source}).status, CheckLoads);
    const QString csv = Path(QStringLiteral("day.csv"));
    WriteAll(csv, Dimtool({QStringLiteral("export"), source}).out.toUtf8());
    const QString out = Path(DecodePath(QByteArray("o\xff.DIM")));
    EXPECT_EQ(Dimtool({QStringLiteral("import"), csv, QStringLiteral("-o"), out}).status, ExitOk);
    EXPECT_EQ(ReadAll(QFile::decodeName(EncodePath(out))).size(), 0) << "no lossy twin";
    QFile written;
    const int fd = ::open(EncodePath(out).constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(written.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle));
    EXPECT_EQ(written.readAll(), DimFileBytes(VariedCurves(2), StoredSettings(1, 0, 0)));
    const Outcome gone = Dimtool({QStringLiteral("check"), Path(DecodePath("x\xfe.DIM"))});
    EXPECT_TRUE(gone.err.contains(QStringLiteral("x\\xfe.DIM: File not found."))) << S(gone.err);
}

// A full standard output makes a command fail, but check's status still answers the file.
TEST_F(DimtoolTest, FullStandardOutputKeepsChecksContract) {
    const QString source =
        WriteCurveFile(QStringLiteral("A1.DIM"), VariedCurves(1), FileSettings{});
    for (const auto &[command, status] : {std::pair{QStringLiteral("check"), CheckLoads},
                                          std::pair{QStringLiteral("info"), ExitIoError}}) {
        QFile full(QStringLiteral("/dev/full"));
        ASSERT_TRUE(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QTextStream out(&full);
        QString errText;
        QTextStream err(&errText);
        const DimtoolEnvironment english{SystemFileSystem(), SystemClock(), 1};
        EXPECT_EQ(RunDimtool({command, source}, out, err, english), status) << S(command);
        err.flush();
        EXPECT_EQ(S(errText), "dimtool: standard output: cannot write\n");
    }
}

// ---------------------------------------------------------------------------------------
// edit and daylight

namespace {

// A channel's 96 levels: level everywhere but at the given columns.
LevelRow Row(int level, const std::vector<std::pair<int, int>> &points) {
    LevelRow row{};
    std::fill_n(row.begin(), 96, level);
    for (const auto &[column, value] : points)
        row[static_cast<size_t>(column)] = value;
    return row;
}

class DimtoolChannelTest : public DimtoolTest {
protected:
    // White 100, 200 at 00:00, 00:15 and 60 at 23:45; blue 40 at 02:30; clouds, moon varied.
    void SetUp() override {
        DimtoolTest::SetUp();
        source = VariedCurves(4);
        source.Levels[1] = Row(0, {{0, 100}, {1, 200}, {95, 60}});
        source.Levels[2] = Row(0, {{10, 40}});
        WriteCurveFile(QStringLiteral("A1.DIM"), source, settings);
    }
    // Runs the command and expects exactly the start file with one channel's row replaced.
    void ExpectWritten(const QStringList &args, int channel, const LevelRow &row,
                       const CurveData &start, const FileSettings &startSettings) {
        SCOPED_TRACE(S(args.join(QLatin1Char(' '))));
        const Outcome run = Dimtool(args + QStringList{QStringLiteral("-o"), out});
        ASSERT_EQ(run.status, ExitOk) << S(run.err);
        EXPECT_TRUE(run.out.isEmpty() && run.err.isEmpty());
        CurveData expected = start;
        expected.Levels[static_cast<size_t>(channel)] = row;
        const QByteArray written = ReadAll(out);
        EXPECT_EQ(written.size(), DimFileSize);
        EXPECT_EQ(written, DimFileBytes(expected, startSettings));
        QFile::remove(out);
    }

    CurveData source;
    FileSettings settings = StoredSettings(9, 8, 7);
    QString out = Path(QStringLiteral("B2.DIM"));
};

TEST_F(DimtoolChannelTest, EditAppliesCopyFillShiftScaleSmoothInThatOrder) {
    struct Case {
        const char *edits;
        int channel;
        LevelRow expected;
    };
    const Case cases[] = {
        // Copied white 100, 200 (00:00, 00:15), 60 (23:45); a quarter later 60, 100, 200;
        // 150 % 90, 150, 255 (capped); smoothed (b + 2x + a + 2) / 4 around midnight.
        {"--smooth --scale 150 --shift 15 --copy-from 1", 2,
         Row(0, {{95, 23}, {0, 83}, {1, 161}, {2, 165}, {3, 64}})},
        // The fill replaces the copy, then is halved: (100 * 50 + 50) / 100.
        {"--scale 50 --copy-from 1 --fill 100", 2, Row(50, {})},
        // Scaled 120, 255, 200 before smoothing (smoothing first would give 250 at 00:15).
        {"--scale=200 --smooth", 1, Row(0, {{94, 30}, {95, 110}, {0, 194}, {1, 178}, {2, 64}})},
        {"--shift -30", 1, Row(0, {{93, 60}, {94, 100}, {95, 200}})},
        {"--shift=1440", 2, source.Levels[2]},
        {"--fill 0", 4, Row(0, {})},
        {"--copy-from 2 --shift -1425", 3, Row(0, {{11, 40}})},
    };
    for (const Case &c : cases)
        ExpectWritten(Args(QStringLiteral("edit @A1.DIM --channel %1 ").arg(c.channel) + c.edits),
                      c.channel, c.expected, source, settings);
}

TEST_F(DimtoolChannelTest, DaylightWritesTheCurveIntoOneChannel) {
    // 06:00..18:00: rising over 06:00..07:00 by (1 - cos(pi u / 60)) / 2 of 255, falling over
    // 17:00..18:00 likewise.
    LevelRow day = Row(0, {{25, 37}, {26, 128}, {27, 218}, {69, 218}, {70, 128}, {71, 37}});
    std::fill(day.begin() + 28, day.begin() + 69, 255);
    // Over midnight without a ramp: 50 % is 128 from 22:00 to 02:00, 10 % (26) otherwise.
    LevelRow night = Row(128, {});
    std::fill(night.begin() + 9, night.begin() + 88, 26);
    struct Case {
        const char *args;
        int channel;
        LevelRow expected;
        bool fromSource;
    };
    const Case cases[] = {
        {"--channel 1 --start 06:00 --end 18:00 --ramp 60 --peak 100", 1, day, false},
        {"--channel 3 --start 06:00 --end 18:00 --ramp 60 --peak 100", 3, day, true},
        {"--channel 4 --start 22:00 --end 02:00 --ramp 0 --peak 50 --base 10", 4, night, true},
        // A ramp of 30 in one hour from 20 % (51): 51 + 204 / 2 a quarter in and before the end.
        {"--channel 2 --start 08:00 --end 09:00 --ramp 30 --peak 100 --base 20", 2,
         Row(51, {{33, 153}, {34, 255}, {35, 153}}), true},
    };
    for (const Case &c : cases) {
        ExpectWritten(
            Args(QStringLiteral("daylight ") + c.args + (c.fromSource ? " --from @A1.DIM" : "")),
            c.channel, c.expected, c.fromSource ? source : CurveData{},
            c.fromSource ? settings : FileSettings{});
    }
}

TEST_F(DimtoolChannelTest, SelWritesTheSelectionFileBesideTheOutput) {
    WriteAll(Path("day.json"), Dimtool(Args("export @A1.DIM --format=json")).out.toUtf8());
    FixedClock clock; // 14:05:09
    const DimtoolEnvironment environment{SystemFileSystem(), clock, 1};
    for (const char *args :
         {"import @day.json", "edit @A1.DIM --channel 2 --smooth",
          "daylight --channel 2 --start 06:00 --end 18:00 --ramp 60 --peak 100"}) {
        SCOPED_TRACE(args);
        const Outcome run = Dimtool(Args(args) + Args("-o @A7.DIM --sel"), &environment);
        ASSERT_EQ(run.status, ExitOk) << S(run.err);
        // The curve file is the one written without --sel.
        ASSERT_EQ(Dimtool(Args(args) + Args("-o @B7.DIM")).status, ExitOk);
        EXPECT_EQ(ReadAll(Path("A7.DIM")).size(), DimFileSize);
        EXPECT_EQ(ReadAll(Path("A7.DIM")), ReadAll(Path("B7.DIM")));
        // Selection 7 (the name's second character), the time, brightness and moon phase 0.
        EXPECT_EQ(ReadAll(Path("SEL.DAT")), QByteArray("\x07\x0e\x05\x09\x00\x00", 6));
        QFile::remove(Path("SEL.DAT"));
    }
}

} // namespace
