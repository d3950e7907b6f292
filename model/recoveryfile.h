#pragma once

#include "model/dimfile.h"
#include "model/filesystem.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace dim {

// Curves that no file holds yet, kept for a later start in case this editor is killed: the
// curve file's 443 bytes of the curves and settings, then the window's caption (its bytes as
// EncodePath gives them, so that a path comes back byte for byte).
struct RecoveredWork {
    DimContent content;
    QString caption;
};

QByteArray RecoveryBytes(const CurveData &data, const FileSettings &settings,
                         const QString &caption);
// Nullopt for bytes that no editor wrote.
std::optional<RecoveredWork> ParseRecovery(const QByteArray &bytes);

// Where recovery files live: $XDG_STATE_HOME/dimeditor, or ~/.local/state/dimeditor when
// that variable is unset or not an absolute path.
QString RecoveryFolder();

// Whether a process of this id runs on this machine.
bool ProcessAlive(long pid);

// The recovery files of the editors of one user, named after their process:
// "recovery-<pid>.dim" is the unsaved work of that process, "taken-<pid>.dim" work left
// behind by a killed editor that process has taken over to offer it. A file whose process is
// gone is work left behind; a file of a live process belongs to that process and is never
// read or touched.
class RecoveryStore {
public:
    RecoveryStore(FileSystem &fs, QString folder, long pid,
                  std::function<bool(long)> alive = ProcessAlive);

    // Writes this process's file, replacing it only once complete: mode 0600 in a folder of
    // mode 0700, made when missing. Raises IoError.
    void write(const QByteArray &bytes);
    // Removes this process's file; nothing when there is none.
    void remove();
    QString ownFile() const;

    // Work left behind, taken over under this process's name so that no other editor offers
    // it meanwhile: a file of a process that is gone, or one of this process's id that this
    // process did not write (the id was used before). Nullopt when there is none; asked
    // once. A file that holds no recovered work is removed. Left as it is, the taken file is
    // offered again once this process has ended.
    std::optional<RecoveredWork> takeAbandoned();
    // Removes the taken file: its work has been restored (and written again as this
    // process's own) or discarded.
    void dropTaken();
    QString takenFile() const;

private:
    QString fileOf(const QString &kind, long pid) const;

    FileSystem &m_fs;
    QString m_folder;
    long m_pid;
    std::function<bool(long)> m_alive;
    bool m_asked = false;
    bool m_written = false;
};

} // namespace dim
