#include "edit/acclimation.h"

#include <QSet>

#include <algorithm>
#include <cerrno>

namespace dim {

int AcclimationShare(int startPercent, int steps, int step) {
    return startPercent * (steps - 1) + (100 - startPercent) * (step - 1);
}

double AcclimationPercent(int startPercent, int steps, int step) {
    return static_cast<double>(AcclimationShare(startPercent, steps, step)) / (steps - 1);
}

int AcclimatedLevel(int level, int startPercent, int steps, int step) {
    const int share = AcclimationShare(startPercent, steps, step);
    return (2 * level * share + 100 * (steps - 1)) / (200 * (steps - 1));
}

CurveData AcclimatedCurves(const CurveData &source, const AcclimationPlan &plan, int step) {
    CurveData curves = source;
    for (int channel = 1; channel <= FileChannels; ++channel) {
        if (!plan.channels[static_cast<size_t>(channel - 1)])
            continue;
        DayCurve curve = ChannelCurve(source.Levels, channel);
        for (int &level : curve)
            level = AcclimatedLevel(level, plan.startPercent, plan.steps, step);
        SetChannelCurve(curves.Levels, channel, curve);
    }
    return curves;
}

QString AcclimationPercentText(double percent, QChar decimalPoint) {
    QString text = QString::number(percent, 'f', 1);
    if (text.endsWith(QStringLiteral(".0")))
        text.chop(2);
    text.replace(QLatin1Char('.'), decimalPoint);
    return text + QLatin1Char('%');
}

QString AcclimationBaseName(const QString &sourcePath) {
    QString name = NameOf(sourcePath);
    if (name.endsWith(QStringLiteral(".DIM"), Qt::CaseInsensitive))
        name.chop(4);
    return name;
}

QString CaptionSeriesBaseName(const QString &caption) {
    const QString base =
        caption.startsWith(QLatin1Char('/')) ? AcclimationBaseName(caption) : QString();
    return base.isEmpty() ? QStringLiteral("curve") : base;
}

QString AcclimationFileName(const QString &base, int step) {
    return QStringLiteral("%1-%2.DIM").arg(base).arg(step, 2, 10, QLatin1Char('0'));
}

namespace {

// One file of the series on its way: where it goes, and the hidden name it is written to
// first, beside it so that taking the name is a rename within one folder.
struct Staged {
    QString target;
    QString hidden;
    std::optional<FileOwner> owner; // of the file it replaces
    double percent;
};

// Gives a written file the owner and permissions of the one it is to replace.
void Adopt(FileSystem &fs, const Staged &file) {
    int fd = -1;
    FileOwner written;
    if (const int err = fs.openWriteExisting(file.hidden, &fd, &written))
        throw ErrorForErrno(fs, err, file.target);
    const int adopted = fs.adopt(fd, *file.owner);
    const int closed = fs.close(fd);
    if (adopted || closed)
        throw ErrorForErrno(fs, adopted ? adopted : closed, file.target);
}

} // namespace

std::vector<AcclimationFile> WriteAcclimationSeries(FileSystem &fs, const QString &folder,
                                                    const QString &base, const CurveData &source,
                                                    const FileSettings &settings,
                                                    const AcclimationPlan &plan) {
    const QString prefix =
        folder.isEmpty() || folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    std::vector<Staged> series;
    // Every file is looked at before anything is written: one that is no regular file, or
    // may not be written, refuses the whole series.
    for (int step = 1; step <= plan.steps; ++step) {
        Staged file;
        file.percent = AcclimationPercent(plan.startPercent, plan.steps, step);
        const QString path = prefix + AcclimationFileName(base, step);
        if (const int err = fs.saveTarget(path, &file.target))
            throw ErrorForErrno(fs, err, path);
        int fd = -1;
        FileOwner owner;
        if (const int err = fs.openWriteExisting(file.target, &fd, &owner); err == 0) {
            file.owner = owner;
            if (const int closeErr = fs.close(fd))
                throw ErrorForErrno(fs, closeErr, file.target);
        } else if (err != ENOENT) {
            throw ErrorForErrno(fs, err, file.target);
        }
        file.hidden = FolderOf(file.target) + QLatin1Char('.') + NameOf(file.target) +
                      QStringLiteral(".part");
        series.push_back(file);
    }

    size_t written = 0; // the files series[0..written) were written under their hidden names
    size_t named = 0;   // and series[0..named) have taken their names
    try {
        for (; written < series.size(); ++written) {
            const Staged &file = series[written];
            WriteFileReplacing(
                fs, file.hidden,
                DimFileBytes(AcclimatedCurves(source, plan, static_cast<int>(written) + 1),
                             settings));
            if (file.owner)
                Adopt(fs, file);
        }
        for (; named < series.size(); ++named) {
            if (const int err = fs.rename(series[named].hidden, series[named].target))
                throw ErrorForErrno(fs, err, series[named].target);
        }
    } catch (const IoError &) {
        for (size_t i = named; i < std::min(written + 1, series.size()); ++i)
            fs.remove(series[i].hidden);
        throw;
    }
    QSet<QString> folders;
    for (const Staged &file : series)
        folders.insert(FolderOf(file.target));
    for (const QString &changed : folders) {
        if (const int err = fs.syncFolder(changed))
            throw ErrorForErrno(fs, err, changed);
    }

    std::vector<AcclimationFile> files;
    for (size_t i = 0; i < series.size(); ++i)
        files.push_back(
            {prefix + AcclimationFileName(base, static_cast<int>(i) + 1), series[i].percent});
    return files;
}

} // namespace dim
