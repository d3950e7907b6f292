#include "app/desktop.h"

#include "app/mainwindow.h"
#include "model/filesystem.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace dim::app {

namespace {

const QString kProgram = QStringLiteral("dimeditor");

// The start's questions and the command line's file, once the window manager has activated
// the window, so that the window is drawn in full behind a box; after a second at the latest,
// for a window manager that does not activate new windows.
class StartupSequence : public QObject {
public:
    StartupSequence(TForm1 &window, QString path)
        : QObject(&window), m_window(window), m_path(std::move(path)) {
        if (window.isActiveWindow()) {
            QTimer::singleShot(0, this, [this] { open(); });
            return;
        }
        window.installEventFilter(this);
        QTimer::singleShot(1000, this, [this] { open(); });
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        // After the window's own handling of the activation, which draws its control column.
        if (event->type() == QEvent::WindowActivate)
            QTimer::singleShot(0, this, [this] { open(); });
        return false;
    }

private:
    void open() {
        if (m_opened)
            return;
        m_opened = true;
        m_window.removeEventFilter(this);
        m_window.offerRecovery();
        if (!m_path.isEmpty())
            m_window.OpenFile(m_path);
        deleteLater();
    }

    TForm1 &m_window;
    QString m_path;
    bool m_opened = false;
};

} // namespace

QStringList EditorArguments(int argc, char **argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << DecodePath(QByteArray(argv[i]));
    return arguments;
}

CommandLine ParseCommandLine(const QStringList &arguments) {
    CommandLine line;
    QStringList files;
    QString unknown;
    bool options = true;
    for (const QString &argument : arguments) {
        if (options && argument == QStringLiteral("--")) {
            options = false;
        } else if (options &&
                   (argument == QStringLiteral("-h") || argument == QStringLiteral("--help"))) {
            return {CommandLine::Action::Help, {}, {}};
        } else if (options &&
                   (argument == QStringLiteral("-v") || argument == QStringLiteral("--version"))) {
            line.action = CommandLine::Action::Version;
        } else if (options && argument.startsWith(QLatin1Char('-'))) {
            if (unknown.isEmpty())
                unknown = argument;
        } else {
            files << argument;
        }
    }
    if (line.action == CommandLine::Action::Version)
        return line;
    if (!unknown.isEmpty())
        return {CommandLine::Action::Usage, {}, QStringLiteral("unknown option %1").arg(unknown)};
    if (files.size() > 1)
        return {CommandLine::Action::Usage,
                {},
                QStringLiteral("one curve file at most, found %1").arg(files.size())};
    if (files.size() == 1)
        line.file = QDir::cleanPath(QDir::current().absoluteFilePath(files.front()));
    return line;
}

QString EditorHelp() {
    return QStringLiteral(
               "Usage: %1 [options] [FILE.DIM]\n"
               "Draws the daily dimming curves of a four-channel lighting controller (white,\n"
               "blue, clouds, moon) and loads and saves them as .DIM files.\n"
               "\n"
               "Arguments:\n"
               "  FILE.DIM       A curve file to open at start, as Load does.\n"
               "\n"
               "Options:\n"
               "  -h, --help     Displays this help.\n"
               "  -v, --version  Displays the version.\n"
               "  --             Ends the options: the next argument is the file.\n"
               "\n"
               "Qt's own options (-platform, -display, -style and others) are understood too.\n")
        .arg(kProgram);
}

QString EditorVersion() {
    return QStringLiteral("%1 %2\n").arg(kProgram, QStringLiteral(PROJECT_VERSION));
}

QString EditorUsage(const QString &problem) {
    return QStringLiteral("%1: %2\nUsage: %1 [options] [FILE.DIM]\n"
                          "Run \"%1 --help\" for more. Starting with no file loaded.\n")
        .arg(kProgram, problem);
}

void StartUp(TForm1 &window, const CommandLine &line) {
    new StartupSequence(window, line.action == CommandLine::Action::Run ? line.file : QString());
}

QString DroppedCurveFile(const QMimeData *data) {
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return {};
    const QFileInfo file(urls.front().toLocalFile());
    if (!file.isFile() || file.suffix().compare(QStringLiteral("dim"), Qt::CaseInsensitive) != 0)
        return {};
    return file.absoluteFilePath();
}

} // namespace dim::app
