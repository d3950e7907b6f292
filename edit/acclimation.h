#pragma once

#include "model/dimfile.h"
#include "model/filesystem.h"
#include "model/levels.h"
#include "model/settings.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace dim {

// An acclimation series: K curve files that raise the light from a start percentage of the
// curves to all of them, for corals and plants that must get used to it over weeks.

inline constexpr int MinAcclimationStart = 1; // percent
inline constexpr int MaxAcclimationStart = 99;
inline constexpr int MinAcclimationSteps = 2;
inline constexpr int MaxAcclimationSteps = 99;

struct AcclimationPlan {
    int startPercent = 10;                                           // 1..99
    int steps = 7;                                                   // 2..99
    std::array<bool, FileChannels> channels{true, true, true, true}; // those that are raised
};

// The share of the source in file step (1..steps) of the series: N = S (K - 1) +
// (100 - S)(k - 1), of which N / (K - 1) is the percentage, S for the first file and 100
// for the last.
int AcclimationShare(int startPercent, int steps, int step);
double AcclimationPercent(int startPercent, int steps, int step);

// A percentage of the series to one decimal, without a ".0": "22.9%", "10%"; the decimal
// point may be a language's.
QString AcclimationPercentText(double percent, QChar decimalPoint = QLatin1Char('.'));

// Level l in file step: floor(l N / (100 (K - 1)) + 1/2), worked in integers as
// (2 l N + 100 (K - 1)) div (200 (K - 1)).
int AcclimatedLevel(int level, int startPercent, int steps, int step);

// The curves of file step: the plan's channels acclimated, the others as they are.
CurveData AcclimatedCurves(const CurveData &source, const AcclimationPlan &plan, int step);

// The name a series takes from its source's path: the file name without ".DIM" in any case.
QString AcclimationBaseName(const QString &sourcePath);
// The name a series made in the editor takes from the window's caption: that of the file
// it names (a full path, as after a load or a save), otherwise "curve".
QString CaptionSeriesBaseName(const QString &caption);
// The name of file step: "<base>-01.DIM" (two digits).
QString AcclimationFileName(const QString &base, int step);

struct AcclimationFile {
    QString path;
    double percent;
};

// Writes the plan's series of the curves and settings into folder (its path, with or
// without a final '/'), every file a whole curve file with the settings kept. All or
// nothing: each file is first written complete under a hidden name beside its own
// (".<name>.part"), and only once all of them are do they take their names, replacing old
// files there with the old ones' owner and permissions. A failure raises IoError; one while
// the files are written (a full disk, a file that may not be written) leaves the folder as
// it was. Only a rename that fails after all are written (the folder changed meanwhile)
// can leave the first files renamed. Gives the files written, in order.
std::vector<AcclimationFile> WriteAcclimationSeries(FileSystem &fs, const QString &folder,
                                                    const QString &base, const CurveData &source,
                                                    const FileSettings &settings,
                                                    const AcclimationPlan &plan);

} // namespace dim
