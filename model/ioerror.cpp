#include "model/ioerror.h"

#include "model/filesystem.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

namespace dim {

IoError::IoError(int code, QString message)
    : m_code(code), m_message(std::move(message)), m_what(m_message.toUtf8()) {}

namespace {

// The codes with messages of their own, and the general text for the others, by language.
struct IoMessages {
    int code;
    std::array<const char *, 4> text; // German, English, French, Spanish
};
const std::array<IoMessages, 7> kIoMessages{{
    {2, {"Datei nicht gefunden", "File not found", "Fichier introuvable", "Archivo no encontrado"}},
    {3,
     {"Ungültiger Dateiname", "Invalid file name", "Nom de fichier non valide",
      "Nombre de archivo no válido"}},
    {4,
     {"Zu viele geöffnete Dateien", "Too many open files", "Trop de fichiers ouverts",
      "Demasiados archivos abiertos"}},
    {5,
     {"Dateizugriff verweigert", "File access denied", "Accès au fichier refusé",
      "Acceso al archivo denegado"}},
    {ShortReadCode,
     {"Versuch hinter dem Dateiende zu lesen", "Read beyond end of file",
      "Lecture au-delà de la fin du fichier", "Lectura más allá del final del archivo"}},
    {ShortWriteCode,
     {"Zu wenig Speicherplatz", "Disk full", "Espace disque insuffisant",
      "Espacio en disco insuficiente"}},
    {0, {"E/A-Fehler %1", "I/O error %1", "Erreur d'E/S %1", "Error de E/S %1"}},
}};

const IoMessages &MessagesOf(int code) {
    for (const IoMessages &messages : kIoMessages) {
        if (messages.code == code)
            return messages;
    }
    return kIoMessages.back();
}

QString GeneralMessage(int code, int language) {
    return QString::fromUtf8(kIoMessages.back().text[static_cast<size_t>(language)]).arg(code);
}

} // namespace

IoError MakeIoError(int code) {
    const IoMessages &messages = MessagesOf(code);
    if (messages.code == 0)
        return {code, GeneralMessage(code, 0)};
    return {code, QString::fromUtf8(messages.text[0])};
}

QString IoErrorMessage(const IoError &error, int language) {
    language = std::clamp(language, 0, 3);
    // An errno that shares its number with a code of its own keeps the general text.
    const IoMessages &messages = MessagesOf(error.code());
    if (messages.code != 0 && error.message() == QString::fromUtf8(messages.text[0]))
        return QString::fromUtf8(messages.text[static_cast<size_t>(language)]);
    return GeneralMessage(error.code(), language);
}

QString ErrorBoxText(const QString &message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

IoError ErrorForErrno(FileSystem &fs, int err, const QString &path) {
    switch (err) {
    case ENOENT: {
        const QString folder = FolderOf(path);
        return MakeIoError(folder.isEmpty() || fs.isDirectory(folder) ? 2 : 3);
    }
    case ENOTDIR:
        return MakeIoError(3);
    case EMFILE:
    case ENFILE:
        return MakeIoError(4);
    case EACCES:
    case EPERM:
    case EROFS:
        return MakeIoError(5);
    case ENOSPC:
    case EDQUOT:
        return MakeIoError(ShortWriteCode);
    default:
        // Not through MakeIoError: errno values such as EIO (5) or EINTR (4) share their
        // numbers with the codes that have messages of their own.
        return {err, GeneralMessage(err, 0)};
    }
}

} // namespace dim
