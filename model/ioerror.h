#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace dim {

class FileSystem;

// An input/output failure: a numeric code and its German message, as shown to the user.
class IoError : public std::exception {
public:
    IoError(int code, QString message);
    int code() const { return m_code; }
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    int m_code;
    QString m_message;
    QByteArray m_what;
};

inline constexpr int ShortReadCode = 100;
inline constexpr int ShortWriteCode = 101;

// The text the error box shows for a message: a full stop is appended when the message's
// last character sorts after it.
QString ErrorBoxText(const QString &message);

// The error for a code: 2, 3, 4, 5, 100 and 101 have their own messages, any other code n
// reads "E/A-Fehler n".
IoError MakeIoError(int code);

// An error's message in a language of the text table's rows (0 German, as the editor shows
// it; 1 English, 2 French, 3 Spanish), with its code where the message names none.
QString IoErrorMessage(const IoError &error, int language);

// The error for a failed call on path: ENOENT gives 2 when the folder exists and 3 when it
// does not; EMFILE/ENFILE 4; EACCES/EPERM/EROFS 5; ENOSPC/EDQUOT 101; anything else its
// errno.
IoError ErrorForErrno(FileSystem &fs, int err, const QString &path);

} // namespace dim
