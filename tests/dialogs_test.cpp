// The file dialogs as the user meets them: folders that never answer, names typed with and
// without their suffix, and file names that are no UTF-8.

#include "app/commandline.h"
#include "app/drops.h"
#include "app/filedialogs.h"
#include "app/services.h"
#include "app/startup.h"
#include "model/filesystem.h"

#include <QApplication>
#include <QFile>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

using namespace dim;
using namespace dim::app;

namespace {

// Ends the test program when the test has not finished in time: a file list that blocks
// would otherwise hang the suite.
class Watchdog {
public:
    explicit Watchdog(int seconds)
        : m_thread([this, seconds] {
              for (int i = 0; i < seconds * 10 && !m_done; ++i)
                  std::this_thread::sleep_for(std::chrono::milliseconds(100));
              if (!m_done) {
                  std::fputs("The file dialog blocked: no answer in time\n", stderr);
                  ::_exit(3);
              }
          }) {}
    ~Watchdog() {
        m_done = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

TEST(FileDialogs, ListFoldersWithoutReadingTheirFiles) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Named as no known type, but with the first bytes of a PDF: only reading tells.
    QFile sniffed(dir.filePath(QStringLiteral("report")));
    ASSERT_TRUE(sniffed.open(QIODevice::WriteOnly));
    sniffed.write("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n");
    sniffed.close();
    const NameOnlyIcons icons;
    EXPECT_NE(icons.type(QFileInfo(sniffed.fileName())),
              QMimeDatabase().mimeTypeForName(QStringLiteral("application/pdf")).comment());

    const Watchdog watchdog(30);
    for (const QString &folder : {QStringLiteral("/proc"), dir.path(), QStringLiteral("/dev")}) {
        SCOPED_TRACE(folder.toStdString());
        std::unique_ptr<QFileDialog> dialog(
            MakeCurveFileDialog(nullptr, "FOD", QFileDialog::AcceptOpen));
        dialog->setViewMode(QFileDialog::Detail);
        dialog->setNameFilter(QStringLiteral("*"));
        auto *model = dialog->findChild<QFileSystemModel *>();
        ASSERT_NE(model, nullptr);
        bool loaded = false;
        QObject::connect(model, &QFileSystemModel::directoryLoaded, [&] { loaded = true; });
        dialog->setDirectory(folder);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return loaded; }, 10000));
        QTest::qWait(300); // the types and icons of what is shown
        EXPECT_GT(model->rowCount(model->index(folder)), 0);
    }
}

// A name that exists opens as typed; only a name without a suffix that does not exist gets
// ".DIM", as the dialog's default suffix.
TEST(FileDialogs, TheOpenDialogAddsTheSuffixOnlyToANameThatDoesNotExist) {
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("noext"));
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const struct {
        QString typed;
        QString opened;
    } cases[] = {
        {existing, existing},
        {dir.filePath(QStringLiteral("fresh")), dir.filePath(QStringLiteral("fresh.DIM"))},
        {dir.filePath(QStringLiteral("old.txt")), dir.filePath(QStringLiteral("old.txt"))},
    };
    std::unique_ptr<QFileDialog> dialog(
        MakeCurveFileDialog(nullptr, "FOD", QFileDialog::AcceptOpen));
    for (const auto &c : cases) {
        QTimer::singleShot(0, [&] {
            auto *open = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(open, nullptr);
            // Typed into the name field, then Return.
            auto *name = open->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(c.typed);
            QTest::keyClick(name, Qt::Key_Return);
        });
        QString path;
        ASSERT_TRUE(DesktopServices().runFileDialog(*dialog, &path));
        EXPECT_EQ(path, c.opened);
        EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("DIM"));
    }
}

TEST(EditorCommandLine, KeepsTheBytesOfANameThatIsNoUtf8) {
    char program[] = "dimeditor";
    char name[] = "lat\xe4.DIM";
    char *argv[] = {program, name, nullptr};
    const QStringList arguments = EditorArguments(2, argv);
    ASSERT_EQ(arguments.size(), 1);
    EXPECT_EQ(EncodePath(arguments[0]), QByteArray(name));
    EXPECT_EQ(EncodePath(ParseCommandLine(arguments).file).right(8), QByteArray(name));
}

} // namespace
