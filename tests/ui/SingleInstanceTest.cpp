#include "ui/Program.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTranslator>

#include <gtest/gtest.h>

#include <memory>

#include <pwd.h>
#include <unistd.h>

namespace {

// Starts the real program in a private runtime folder, so no test ever meets
// a copy the user is running.
class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    void TearDown() override {
        for (auto& process : processes) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    QProcess& start(const QString& runtimeFolder = {}) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR",
                           runtimeFolder.isEmpty() ? folder.path() : runtimeFolder);
        environment.insert("TMPDIR", folder.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(VANTREL_PROGRAM), {});
        EXPECT_TRUE(process->waitForStarted(5000));
        processes.push_back(std::move(process));
        return *processes.back();
    }

    // The lock file names the process that holds it on its first line.
    bool waitForLockHeldBy(const QProcess& process) {
        const QString path = folder.filePath(QStringLiteral("vantrel.lock"));
        for (QDeadlineTimer deadline(10000); !deadline.hasExpired(); QThread::msleep(20)) {
            QFile lock(path);
            if (lock.open(QIODevice::ReadOnly) &&
                lock.readLine().trimmed().toLongLong() == process.processId())
                return true;
        }
        return false;
    }

    QTemporaryDir folder;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(SingleInstanceTest, SecondStartEndsSilentlyAndLeavesTheFirstRunning) {
    QProcess& first = start();
    ASSERT_TRUE(waitForLockHeldBy(first));

    QProcess& second = start();
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(second.readAllStandardError().isEmpty());

    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_TRUE(waitForLockHeldBy(first));
}

TEST_F(SingleInstanceTest, LockOfAKilledCopyDoesNotBlockTheNextStart) {
    QProcess& first = start();
    ASSERT_TRUE(waitForLockHeldBy(first));
    first.kill(); // SIGKILL: no chance to remove its lock
    ASSERT_TRUE(first.waitForFinished(5000));
    ASSERT_TRUE(QFile::exists(folder.filePath(QStringLiteral("vantrel.lock"))));

    QProcess& next = start();
    EXPECT_TRUE(waitForLockHeldBy(next));
    EXPECT_EQ(next.state(), QProcess::Running);
}

// A lock that cannot be made says nothing about other copies: the program
// starts without the guard and says why in one line. No folder can exist
// below a regular file, even for root; Qt's own fallback, runtime-<user> in
// the temporary folder, is blocked the same way.
TEST_F(SingleInstanceTest, UnusableLockFolderStartsWithoutTheGuardAndSaysWhy) {
    const QString user = QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
    for (const QString& name : {QStringLiteral("file"), QStringLiteral("runtime-") + user}) {
        QFile blocker(folder.filePath(name));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    QProcess& process = start(folder.filePath(QStringLiteral("file/runtime")));

    EXPECT_FALSE(process.waitForFinished(1500));
    EXPECT_EQ(process.state(), QProcess::Running);
    const QStringList ours = QString::fromUtf8(process.readAllStandardError())
                                 .split(QLatin1Char('\n'))
                                 .filter(QRegularExpression(QStringLiteral("^vantrel: ")));
    ASSERT_EQ(ours.size(), 1) << ours.join('|').toStdString();
    EXPECT_TRUE(ours[0].contains(QStringLiteral("starting without it")));
}

// Qt's own texts (standard buttons, the text boxes' context menus) are in
// Japanese whatever the system's language.
TEST(ProgramSetUp, QtsOwnTextsAreJapanese) {
    vantrel::setUpApplication(*qApp);
    const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
    const QString selectAll = QCoreApplication::translate("QLineEdit", "Select All");
    for (auto* translator : qApp->findChildren<QTranslator*>())
        QCoreApplication::removeTranslator(translator); // the other tests expect none
    EXPECT_EQ(cancel.toStdString(), "キャンセル");
    EXPECT_EQ(selectAll.toStdString(), "すべてを選択");
}

} // namespace
