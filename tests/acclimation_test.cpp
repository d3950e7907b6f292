#include "dimtool_fixture.h"
#include "edit/acclimation.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace dim;
using namespace dim::cli::testing;

namespace {

TEST(Acclimation, LevelsAtTheEdgesOfTheirRanges) {
    // (2 l N + 100 (K - 1)) div (200 (K - 1)), N = S (K - 1) + (100 - S)(k - 1), worked by hand.
    struct Case {
        int level, start, steps, step, expected;
    };
    const Case cases[] = {
        {0, 1, 2, 1, 0},      {1, 1, 2, 1, 0},        {255, 1, 2, 1, 3},  // 1 % of 255 is 2.55
        {254, 1, 2, 2, 254},  {255, 1, 99, 99, 255},                      // the last: as is
        {255, 99, 2, 1, 252}, {254, 99, 99, 50, 253}, {255, 1, 99, 2, 5}, // 255 x 197 / 9800 = 5.13
        {1, 50, 2, 1, 1},     {3, 50, 2, 1, 2},                           // halves round up
        {255, 10, 7, 4, 140}, {100, 10, 7, 4, 55},                        // 55 %
    };
    for (const Case &c : cases)
        EXPECT_EQ(AcclimatedLevel(c.level, c.start, c.steps, c.step), c.expected)
            << c.level << " " << c.start << "% " << c.step << "/" << c.steps;
}

TEST(Acclimation, PercentagesRunFromTheStartToAll) {
    struct Case {
        int start, steps, step;
        double percent;
    };
    const Case cases[] = {
        {10, 7, 1, 10},  {10, 7, 4, 55},         {10, 7, 7, 100}, {1, 2, 1, 1},
        {99, 2, 2, 100}, {1, 99, 2, 197.0 / 98}, {99, 99, 1, 99}, {50, 3, 2, 75},
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(AcclimationPercent(c.start, c.steps, c.step), c.percent)
            << c.start << "% " << c.step << "/" << c.steps;
}

TEST(Acclimation, NamesComeFromTheSourcesName) {
    const std::pair<const char *, const char *> cases[] = {
        {"/x/P1.DIM", "P1"}, {"day.dim", "day"}, {"a.b.Dim", "a.b"},
        {"noext", "noext"},  {"dir/.DIM", ""},
    };
    for (const auto &[path, base] : cases)
        EXPECT_EQ(AcclimationBaseName(QLatin1String(path)), QLatin1String(base)) << path;
    EXPECT_EQ(AcclimationFileName(QStringLiteral("P1"), 1), QStringLiteral("P1-01.DIM"));
    EXPECT_EQ(AcclimationFileName(QStringLiteral("P1"), 99), QStringLiteral("P1-99.DIM"));
}

// A series made in the editor takes the name of the file its caption names; a caption that
// names none (the program's title, a failed load's message) gives "curve".
TEST(Acclimation, TheEditorsSeriesIsNamedAfterTheCaptionsFile) {
    const std::pair<const char *, const char *> cases[] = {
        {"/home/k/P1.DIM", "P1"}, {"/home/k/Tank B.dim", "Tank B"}, {"Kelmaro Brantoq", "curve"},
        {"P2.DIM", "curve"},      {"/home/k/.DIM", "curve"},        {"", "curve"},
    };
    for (const auto &[caption, base] : cases)
        EXPECT_EQ(CaptionSeriesBaseName(QString::fromUtf8(caption)), QLatin1String(base))
            << caption;
}

TEST(Acclimation, PercentagesAreWrittenToOneDecimalInTheLanguagesWay) {
    const std::tuple<double, char, const char *> cases[] = {
        {10, '.', "10%"},          {100, ',', "100%"},   {200.0 / 7, ',', "28,6%"},
        {200.0 / 7, '.', "28.6%"}, {99.96, ',', "100%"}, {1.04, ',', "1%"},
    };
    for (const auto &[percent, point, text] : cases)
        EXPECT_EQ(AcclimationPercentText(percent, QLatin1Char(point)), QLatin1String(text))
            << percent;
}

TEST(Acclimation, OnlyThePlansChannelsAreRaised) {
    const CurveData source = VariedCurves(9);
    AcclimationPlan plan{20, 5, {false, true, false, true}};
    const CurveData first = AcclimatedCurves(source, plan, 1);
    for (size_t channel = 0; channel < LevelRows; ++channel) {
        for (size_t k = 0; k < LevelColumns; ++k) {
            const int level = source.Levels[channel][k];
            const bool raised = (channel == 2 || channel == 4) && k < FilePoints;
            EXPECT_EQ(first.Levels[channel][k], raised ? (2 * level * 80 + 400) / 800 : level)
                << channel << " " << k;
        }
    }
}

class AcclimationSeries : public DimtoolTest {
protected:
    void SetUp() override {
        DimtoolTest::SetUp();
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("out")));
        folder = Path(QStringLiteral("out"));
    }
    QStringList Written() const {
        QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        files.sort();
        return files;
    }

    CurveData source = VariedCurves(4);
    FileSettings settings = StoredSettings(33, 44, 55);
    AcclimationPlan plan{25, 4, {true, true, true, true}};
    QString folder;
};

TEST_F(AcclimationSeries, WritesEveryStepAsAWholeCurveFile) {
    const std::vector<AcclimationFile> files = WriteAcclimationSeries(
        SystemFileSystem(), folder, QStringLiteral("P1"), source, settings, plan);
    ASSERT_EQ(files.size(), 4u);
    const double percents[] = {25, 50, 75, 100};
    for (int step = 1; step <= 4; ++step) {
        SCOPED_TRACE(step);
        const AcclimationFile &file = files[static_cast<size_t>(step - 1)];
        EXPECT_EQ(file.path, folder + QStringLiteral("/P1-0%1.DIM").arg(step));
        EXPECT_EQ(file.percent, percents[step - 1]);
        EXPECT_EQ(ReadAll(file.path), DimFileBytes(AcclimatedCurves(source, plan, step), settings));
    }
    EXPECT_EQ(ReadAll(files.back().path), DimFileBytes(source, settings));
    EXPECT_EQ(Written(), (QStringList{QStringLiteral("P1-01.DIM"), QStringLiteral("P1-02.DIM"),
                                      QStringLiteral("P1-03.DIM"), QStringLiteral("P1-04.DIM")}));
}

TEST_F(AcclimationSeries, ReplacesAnOldSeriesKeepingItsPermissions) {
    const QString old = folder + QStringLiteral("/P1-02.DIM");
    WriteAll(old, QByteArray("old"));
    ASSERT_EQ(::chmod(EncodePath(old).constData(), 0640), 0);
    // A hidden name left by a killed run is written over.
    WriteAll(folder + QStringLiteral("/.P1-03.DIM.part"), QByteArray("left over"));
    WriteAcclimationSeries(SystemFileSystem(), folder + QLatin1Char('/'), QStringLiteral("P1"),
                           source, settings, plan);
    EXPECT_EQ(ReadAll(old), DimFileBytes(AcclimatedCurves(source, plan, 2), settings));
    struct stat st;
    ASSERT_EQ(::stat(EncodePath(old).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Written().size(), 4);
}

TEST_F(AcclimationSeries, AFolderThatCannotTakeEveryFileKeepsNone) {
    const QString old = folder + QStringLiteral("/P1-01.DIM");
    WriteAll(old, QByteArray("old"));
    const QStringList before = Written();
    // Each file is one write; the disk fills up at the first, a middle and the last file.
    for (const int failAt : {1, 2, 4}) {
        SCOPED_TRACE(failAt);
        FailingWrites fs;
        fs.failAt = failAt;
        try {
            WriteAcclimationSeries(fs, folder, QStringLiteral("P1"), source, settings, plan);
            ADD_FAILURE() << "written";
        } catch (const IoError &error) {
            EXPECT_EQ(error.code(), ShortWriteCode);
        }
        EXPECT_EQ(Written(), before);
        EXPECT_EQ(ReadAll(old), QByteArray("old"));
    }
    // A file of the series that is no regular file refuses the series before any is written.
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("P1-03.DIM")));
    EXPECT_THROW(WriteAcclimationSeries(SystemFileSystem(), folder, QStringLiteral("P1"), source,
                                        settings, plan),
                 IoError);
    EXPECT_EQ(Written(), before);
}

} // namespace
