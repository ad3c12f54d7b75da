#include "app/Program.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTranslator>

#include <gtest/gtest.h>

#include <deque>

#include <pwd.h>
#include <unistd.h>

namespace {

// Starts the real program in a private runtime folder, so no test ever meets
// a copy the user is running; a QProcess kills its program when destroyed.
class SingleInstance : public ::testing::Test {
protected:
    QProcess& start(const QString& runtimeFolder) {
        QProcess& process = processes.emplace_back();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtimeFolder);
        environment.insert("TMPDIR", folder.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(VANTREL_PROGRAM), {});
        EXPECT_TRUE(process.waitForStarted(5000));
        return process;
    }
    // The lock file names the process that holds it on its first line.
    bool lockHeldBy(const QProcess& process) {
        for (QDeadlineTimer deadline(10000); !deadline.hasExpired(); QThread::msleep(20)) {
            QFile lock(folder.filePath(QStringLiteral("vantrel.lock")));
            if (lock.open(QIODevice::ReadOnly) &&
                lock.readLine().trimmed().toLongLong() == process.processId())
                return true;
        }
        return false;
    }

    QTemporaryDir folder;
    std::deque<QProcess> processes;
};

// A second start ends silently and leaves the first running; the lock of a
// killed copy (no chance to remove it) does not block the next start. A lock
// that cannot be made says nothing about other copies: the program starts
// without the guard and says why in one line. No folder can exist below a
// regular file, even for root; Qt's own fallback, runtime-<user> in the
// temporary folder, is blocked the same way.
TEST_F(SingleInstance, SecondStartEndsSilentlyUnlessTheLockCannotBeMade) {
    QProcess& first = start(folder.path());
    ASSERT_TRUE(lockHeldBy(first));
    QProcess& second = start(folder.path());
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(second.readAllStandardOutput() + second.readAllStandardError(), QByteArray());
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    ASSERT_TRUE(first.waitForFinished(5000));
    EXPECT_TRUE(lockHeldBy(start(folder.path())));

    const QString user = QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
    for (const QString& name : {QStringLiteral("file"), QStringLiteral("runtime-") + user})
        ASSERT_TRUE(QFile(folder.filePath(name)).open(QIODevice::WriteOnly));
    QProcess& unguarded = start(folder.filePath(QStringLiteral("file/runtime")));
    EXPECT_FALSE(unguarded.waitForFinished(1500));
    const QString said = QString::fromUtf8(unguarded.readAllStandardError());
    EXPECT_EQ(said.count(QStringLiteral("vantrel: ")), 1) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("starting without it"))) << said.toStdString();
}

// Qt's own texts (standard buttons, the text boxes' context menus) are in
// Japanese whatever the system's language.
TEST(ProgramSetUp, QtsOwnTextsAreJapanese) {
    vantrel::setUpApplication(*qApp);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), "キャンセル");
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "Select All").toStdString(), "すべてを選択");
}

} // namespace
