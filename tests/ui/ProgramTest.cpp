#include "app/Program.h"
#include "practice/SessionFile.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTranslator>

#include <gtest/gtest.h>

#include <deque>
#include <sstream>

#include <csignal>

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
    bool lockHeldBy(const QProcess& process, const QString& runtimeFolder = {}) {
        const QDir where(runtimeFolder.isEmpty() ? folder.path() : runtimeFolder);
        for (QDeadlineTimer deadline(10000); !deadline.hasExpired(); QThread::msleep(20)) {
            QFile lock(where.filePath(QStringLiteral("vantrel.lock")));
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

// A lock that does not read as a live copy on this machine is stale: the start
// removes it and runs, silently. One that cannot be removed (a folder with
// something in it) does not keep the program away either: it runs without the
// guard and says so in one line.
TEST_F(SingleInstance, ADamagedLockIsTakenOverOrPassedBy) {
    struct Row {
        const char* name;
        QByteArray contents; // the lock's bytes, or a folder's when isFolder
        bool isFolder;
        bool removable;
    };
    const QByteArray otherHost =
        QByteArray::number(QCoreApplication::applicationPid()) + "\nvantrel\nsome-other-host\n";
    for (const Row& row :
         {Row{"empty", "", false, true}, Row{"garbage", "x\x01\n\n", false, true},
          Row{"other host", otherHost, false, true}, Row{"empty folder", "", true, true},
          Row{"full folder", "kept", true, false}}) {
        const QString runtime = folder.filePath(QString::fromUtf8(row.name));
        const QDir dir(runtime);
        ASSERT_TRUE(
            dir.mkpath(row.isFolder ? QStringLiteral("vantrel.lock") : QStringLiteral(".")));
        // A runtime folder others can read is one Qt complains about.
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile lock(dir.filePath(row.isFolder ? QStringLiteral("vantrel.lock/kept")
                                             : QStringLiteral("vantrel.lock")));
        if (!row.isFolder || !row.contents.isEmpty()) {
            ASSERT_TRUE(lock.open(QIODevice::WriteOnly) && lock.write(row.contents) >= 0);
            lock.close();
        }

        QProcess& process = start(runtime);
        // A start that takes the lock over runs; one that cannot still runs.
        if (row.removable) {
            EXPECT_TRUE(lockHeldBy(process, runtime)) << row.name;
        } else {
            EXPECT_FALSE(process.waitForFinished(1500)) << row.name;
        }
        const QString said = QString::fromUtf8(process.readAllStandardError());
        EXPECT_EQ(said.count(QStringLiteral("vantrel: ")), row.removable ? 0 : 1)
            << row.name << said.toStdString();
        process.kill();
        process.waitForFinished(5000);
    }
}

// Ending by a signal (a shutdown, a closed terminal, Ctrl+C) is closing the
// window: the practice is kept with its press, and the program ends
// normally. No regular keep comes in between.
TEST_F(SingleInstance, EndingSignalsKeepThePracticeAsClosingDoes) {
    // 0: the display goes away (a logout), where Qt's X11 plugin ends the
    // program inside exit() at once; tried where an X server can be started.
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    for (const int signal : {SIGTERM, SIGHUP, SIGINT, 0}) {
        if (signal == 0 && xvfb.isEmpty())
            continue;
        QTemporaryDir history;
        QProcess display;
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", history.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        if (signal == 0) {
            // The server names a free display on standard output once it listens.
            display.start(xvfb,
                          {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1366x768x24"});
            ASSERT_TRUE(display.waitForReadyRead(10000));
            environment.insert("DISPLAY", ":" + QString::fromLatin1(display.readAll()).trimmed());
            environment.insert("QT_QPA_PLATFORM", "xcb");
            // Under the sanitizers the system's X11 libraries fail the strict
            // string checks and leak at exit: their faults, not the program's.
            if (environment.contains("ASAN_OPTIONS"))
                environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") +
                                                       ":strict_string_checks=0:detect_leaks=0");
        }
        environment.insert("VANTREL_HISTORY_DIR", history.path());
        environment.insert("VANTREL_KEEP_INTERVAL_MS", "3600000");
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(VANTREL_KEEP_PROBE), {QStringLiteral("--program")});
        ASSERT_TRUE(process.waitForReadyRead(10000))
            << signal << process.readAllStandardError().toStdString();
        if (signal == 0) {
            display.kill();
        } else {
            ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), signal), 0);
        }
        ASSERT_TRUE(process.waitForFinished(10000)) << signal;
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << signal;
        if (signal != 0) {
            EXPECT_EQ(process.exitCode(), 0) << signal;
        }
        const QStringList kept = QDir(history.path()).entryList({QStringLiteral("*.json")});
        ASSERT_EQ(kept.size(), 1) << signal;
        const vantrel::SessionFileRead read =
            vantrel::openSessionFile(QDir(history.path()).filePath(kept.front()).toStdString());
        ASSERT_TRUE(read.record) << read.error;
        EXPECT_EQ(read.record->actions.size(), 1u) << signal;
    }
}

// The window's command line: its own options once, in any spelling of the
// number; Qt's arguments pass until Qt has taken them; anything else stops
// the program with status 2 and one line.
TEST(ProgramCommandLine, ArgumentsGiveTheMarketOrOneLineAndStatusTwo) {
    struct Row {
        QStringList args;
        bool qtArgumentsRemoved;
        int status; // -1: the program starts
        int market;
        const char* said;
    };
    for (const Row& row : std::vector<Row>{
             {{}, true, -1, 1, ""},
             {{"--market", "17"}, true, -1, 17, ""},
             {{"--market=0017"}, true, -1, 17, ""},
             {{"-market", "00001"}, true, -1, 1, ""},
             {{"-platform", "offscreen", "--market", "3"}, false, -1, 3, ""},
             {{"--market=9999", "-platform", "offscreen"}, false, -1, 9999, ""},
             {{"--markte", "5"}, true, 2, 1, "vantrel: unknown argument '--markte' (see --help)\n"},
             {{"-bogus"}, true, 2, 1, "vantrel: unknown argument '-bogus' (see --help)\n"},
             {{"17"}, true, 2, 1, "vantrel: unknown argument '17' (see --help)\n"},
             {{"--market", "2", "--market", "3"},
              false,
              2,
              1,
              "vantrel: --market given more than once\n"},
             {{"--market", "0"},
              false,
              2,
              1,
              "vantrel: --market takes a whole number from 1 to 9999, not '0'\n"},
             {{"--market=-1"},
              false,
              2,
              1,
              "vantrel: --market takes a whole number from 1 to 9999, not '-1'\n"},
             {{"--market"}, false, 2, 1, "vantrel: --market needs a market number\n"},
             {{"--no-history", "--market", "4"}, true, -1, 4, ""},
             // Read whole before Qt (and a display) is there: Qt's own
             // arguments are set aside, anything else is refused at once.
             {{"--markte", "5"},
              false,
              2,
              1,
              "vantrel: unknown argument '--markte' (see --help)\n"},
             {{"-style", "Fusion", "17"},
              false,
              2,
              1,
              "vantrel: unknown argument '17' (see --help)\n"},
             {{"--no-history=1"}, false, 2, 1, "vantrel: --no-history takes no value\n"},
             {{"--reverse", "-style=Fusion", "--market", "8"}, false, -1, 8, ""},
             {{"--market", "1\n2"},
              false,
              2,
              1,
              "vantrel: --market takes a whole number from 1 to 9999, not '1\\n2'\n"},
             {{"--x\ty"}, false, 2, 1, "vantrel: unknown argument '--x\\ty' (see --help)\n"},
             {{"--no-history", "--no-history"},
              true,
              2,
              1,
              "vantrel: --no-history given more than once\n"},
         }) {
        vantrel::StartOptions options;
        std::ostringstream out, err;
        const std::optional<int> status =
            vantrel::readCommandLine(row.args, options, out, err, row.qtArgumentsRemoved);
        const std::string where = row.args.join(' ').toStdString();
        EXPECT_EQ(status.value_or(-1), row.status) << where;
        EXPECT_EQ(options.marketNumber, row.market) << where;
        if (row.status == -1) {
            EXPECT_EQ(options.keepHistory, !row.args.contains("--no-history")) << where;
        }
        EXPECT_EQ(err.str(), row.said) << where;
        EXPECT_EQ(out.str(), "") << where;
    }
    std::ostringstream out, err;
    vantrel::StartOptions options;
    EXPECT_EQ(vantrel::readCommandLine({"-platform", "offscreen", "-h"}, options, out, err, false),
              0);
    EXPECT_EQ(out.str().rfind("usage: vantrel", 0), 0u);
}

// Qt's own texts (standard buttons, the text boxes' context menus) are in
// Japanese whatever the system's language.
TEST(ProgramSetUp, QtsOwnTextsAreJapanese) {
    vantrel::setUpApplication(*qApp);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), "キャンセル");
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "Select All").toStdString(), "すべてを選択");
}

} // namespace
