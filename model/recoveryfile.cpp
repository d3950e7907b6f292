#include "model/recoveryfile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <tuple>
#include <vector>

#include <signal.h>

namespace dim {

namespace {

// The most a recovery file holds: the curve file, then a caption of at most a long path.
constexpr int kMaxRecoveryBytes = DimFileSize + 16384;

const QString kOwnKind = QStringLiteral("recovery");
const QString kTakenKind = QStringLiteral("taken");

} // namespace

QByteArray RecoveryBytes(const CurveData &data, const FileSettings &settings,
                         const QString &caption) {
    return DimFileBytes(data, settings) + EncodePath(caption);
}

std::optional<RecoveredWork> ParseRecovery(const QByteArray &bytes) {
    if (bytes.size() < DimFileSize)
        return std::nullopt;
    const QByteArray dim = bytes.left(DimFileSize);
    auto parsed = ParseDimFile(dim);
    auto *content = std::get_if<DimContent>(&parsed);
    // Exactly what the editor writes: the three blocks with their headers.
    if (!content || !content->settings ||
        DimFileBytes(CurveData{}, *content->settings).mid(FileChannels * FilePoints + 3) !=
            dim.mid(FileChannels * FilePoints + 3))
        return std::nullopt;
    return RecoveredWork{std::move(*content), DecodePath(bytes.mid(DimFileSize))};
}

QString RecoveryFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(state) + QStringLiteral("/dimeditor");
}

bool ProcessAlive(long pid) {
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)
        return false;
    // A process that was killed but not yet reaped by its parent holds no work any more.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')'); // the name may hold spaces and parentheses
    return end < 0 || end + 2 >= line.size() || (line[end + 2] != 'Z' && line[end + 2] != 'X');
}

RecoveryStore::RecoveryStore(FileSystem &fs, QString folder, long pid,
                             std::function<bool(long)> alive)
    : m_fs(fs), m_folder(std::move(folder)), m_pid(pid), m_alive(std::move(alive)) {}

QString RecoveryStore::fileOf(const QString &kind, long pid) const {
    return m_folder + QStringLiteral("/%1-%2.dim").arg(kind).arg(pid);
}

QString RecoveryStore::ownFile() const {
    return fileOf(kOwnKind, m_pid);
}

QString RecoveryStore::takenFile() const {
    return fileOf(kTakenKind, m_pid);
}

void RecoveryStore::write(const QByteArray &bytes) {
    if (const int err = m_fs.makeFolder(m_folder, 0700))
        throw ErrorForErrno(m_fs, err, m_folder);
    // What this process finds under its own name from now on is its own.
    m_written = true;
    WriteFileReplacing(m_fs, ownFile(), bytes, 0600);
}

void RecoveryStore::remove() {
    if (m_written)
        m_fs.remove(ownFile());
}

std::optional<RecoveredWork> RecoveryStore::takeAbandoned() {
    if (m_asked)
        return std::nullopt;
    m_asked = true;
    QStringList names;
    if (m_fs.listFolder(m_folder, &names) != 0)
        return std::nullopt;
    static const QRegularExpression pattern(
        QStringLiteral("^(recovery|taken)-([1-9][0-9]{0,9})\\.dim$"));
    struct Candidate {
        QString kind;
        long pid;
    };
    std::vector<Candidate> candidates;
    for (const QString &name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch())
            continue;
        const long pid = match.captured(2).toLong();
        const bool own = pid == m_pid;
        if ((own && m_written) || (!own && m_alive(pid)))
            continue; // the work of a running editor, this one's included
        candidates.push_back({match.captured(1), pid});
    }
    // This process's own taken name first: nothing else may be moved onto it before.
    std::sort(candidates.begin(), candidates.end(), [this](const Candidate &a, const Candidate &b) {
        const bool aTaken = a.kind == kTakenKind && a.pid == m_pid;
        const bool bTaken = b.kind == kTakenKind && b.pid == m_pid;
        if (aTaken != bTaken)
            return aTaken;
        return std::tie(a.pid, a.kind) < std::tie(b.pid, b.kind);
    });
    for (const Candidate &candidate : candidates) {
        const QString from = fileOf(candidate.kind, candidate.pid);
        // Another editor starting at the same time may take it first: then it is gone here.
        if (from != takenFile() && m_fs.rename(from, takenFile()) != 0)
            continue;
        std::optional<RecoveredWork> work;
        try {
            work = ParseRecovery(ReadFileStart(m_fs, takenFile(), kMaxRecoveryBytes));
        } catch (const IoError &) {
        }
        if (work)
            return work;
        m_fs.remove(takenFile());
    }
    return std::nullopt;
}

void RecoveryStore::dropTaken() {
    m_fs.remove(takenFile());
}

} // namespace dim
