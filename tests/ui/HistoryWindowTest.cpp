#include "WindowFixture.h"
#include "history/PracticeFolder.h"
#include "practice/SessionFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>
#include <memory>

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

QString freshFolder(const char* name) {
    const fs::path folder = fs::path(::testing::TempDir()) / name;
    fs::remove_all(folder);
    return QString::fromStdString(folder.string());
}

std::vector<ListedPractice> kept(const QString& folder) {
    return listPractices(folder.toStdString());
}

class HistoryWindow : public WindowFixture {
protected:
    HistoryWindow() {
        window.useHistory(folder, true, 3600 * 1000);
        pause();
        // Deleting moves to the trash: a trash of the test's own.
        const QString trash = freshFolder("history-trash");
        QDir().mkpath(trash);
        qputenv("XDG_DATA_HOME", trash.toLocal8Bit());
    }
    void newPractice(const char* market) {
        dialogs.typed = QString::fromLatin1(market);
        action("MnuNewPractice")->trigger();
        pause(); // a fresh practice runs at once
    }
    QWidget* history() const { return topLevel("frmHistory"); }
    QTreeWidget* list() const { return history()->findChild<QTreeWidget*>("lvwPractices"); }
    void click(const char* button) const {
        history()->findChild<QPushButton*>(QString::fromLatin1(button))->click();
    }

    QString folder = freshFolder("history-window");
};

// Through the real menu: a practice without a press is not kept; one with a
// press is kept when a fresh start finalises it, and 練習の記録 lists it,
// saves a copy elsewhere, opens it as a replay (not kept again) and deletes
// it after asking.
TEST_F(HistoryWindow, AFreshStartKeepsThePracticeAndTheWindowListsAndHandlesIt) {
    newPractice("2");
    EXPECT_TRUE(kept(folder).empty());
    buyAtMarket();
    seconds(10);
    newPractice("1");
    ASSERT_EQ(kept(folder).size(), 1u);

    action("MnuHistory")->trigger();
    ASSERT_NE(history(), nullptr);
    EXPECT_TRUE(history()->isVisible());
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    const QTreeWidgetItem* row = list()->topLevelItem(0);
    EXPECT_EQ(row->text(1), QStringLiteral("2"));    // market
    EXPECT_EQ(row->text(2), QStringLiteral("0:10")); // length
    EXPECT_EQ(row->text(3), QStringLiteral("1"));    // fills
    EXPECT_EQ(row->text(4), QStringLiteral("0"));    // round trips
    EXPECT_EQ(row->text(7), QStringLiteral("—"));    // no trip, no comparison
    const QString path = QString::fromStdString(kept(folder).front().path);

    list()->topLevelItem(0)->setSelected(true);
    dialogs.path = freshFolder("history-copy") + QStringLiteral(".json");
    click("cmdSaveCopy");
    QFile copy(dialogs.path), original(path);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), original.readAll());

    click("cmdOpen");
    EXPECT_TRUE(window.windowTitle().contains(QStringLiteral("市場番号 2 - 再生中 0/10")))
        << window.windowTitle().toStdString();
    // A replayed file is not kept again unless a press follows its end.
    seconds(12);
    newPractice("3");
    EXPECT_EQ(kept(folder).size(), 1u);

    dialogs.answer = false;
    click("cmdDelete");
    EXPECT_TRUE(QFile::exists(path));
    dialogs.answer = true;
    click("cmdDelete");
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(
        dialogs.questions.last().startsWith(QStringLiteral("この練習の記録を削除しますか？")));
    EXPECT_EQ(list()->topLevelItemCount(), 0);
}

// Closing the window after trading leaves the practice kept; a folder that
// cannot be written costs one line on standard error and nothing else.
TEST(HistoryKeeping, ClosingKeepsThePracticeAndAnUnwritableFolderCostsOneLine) {
    const QString good = freshFolder("history-close");
    const QString blocked = freshFolder("history-blocked");
    QFile(blocked).open(QIODevice::WriteOnly); // a file where the folder would be
    for (const QString& folder : {good, blocked + QStringLiteral("/practices")}) {
        FixedClock clock;
        ScriptedDialogs dialogs;
        auto window = std::make_unique<frmMain>(clock, dialogs);
        window->useHistory(folder, true, 3600 * 1000);
        window->findChild<QAction*>("MnuPause")->trigger();
        window->findChild<QRadioButton*>("optBuyOpt1")->click();
        window->findChild<QLineEdit*>("txtBuyAmount")->setText(QStringLiteral("1000"));
        ::testing::internal::CaptureStderr();
        window->findChild<QPushButton*>("cmdBuyNow")->click();
        for (int second = 0; second < 8; ++second)
            window->findChild<QAction*>("MnuStep")->trigger();
        dialogs.typed = QStringLiteral("1");
        window->findChild<QAction*>("MnuNewPractice")->trigger();
        window->findChild<QPushButton*>("cmdBuyNow")->click();
        window->close(); // ends the event loop; the program then destroys the window
        window.reset();
        const std::string errors = ::testing::internal::GetCapturedStderr();
        if (folder == good) {
            EXPECT_EQ(errors, "");
            const std::vector<ListedPractice> practices = kept(folder);
            ASSERT_EQ(practices.size(), 2u);
            const SessionFileRead read = openSessionFile(practices.back().path);
            ASSERT_TRUE(read.record) << read.error;
            EXPECT_EQ(read.record->results.seconds, 8u);
            EXPECT_EQ(practices.back().summary->fills, 1u);
        } else {
            EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
            EXPECT_EQ(errors.rfind("vantrel: practice not kept in ", 0), 0u) << errors;
        }
    }
}

// SIGKILL in the middle of the regular saves (every 2 ms here) leaves the
// last save whole: the file reads strictly every time.
TEST(HistoryKeeping, AKilledProgramLeavesItsLastSaveReadable) {
    for (int round = 0; round < 3; ++round) {
        const QString folder = freshFolder("history-kill");
        QProcess probe;
        probe.start(QStringLiteral(VANTREL_KEEP_PROBE), {folder});
        ASSERT_TRUE(probe.waitForStarted());
        for (int waited = 0; waited < 10000 && kept(folder).empty(); waited += 10)
            QTest::qWait(10);
        QTest::qWait(50 + 37 * round);
        probe.kill();
        probe.waitForFinished();
        const std::vector<ListedPractice> practices = kept(folder);
        ASSERT_EQ(practices.size(), 1u);
        const SessionFileRead read = openSessionFile(practices.front().path);
        ASSERT_TRUE(read.record) << read.error;
        EXPECT_EQ(read.record->actions.size(), 1u);
        EXPECT_TRUE(practices.front().summary);
    }
}

} // namespace
} // namespace vantrel::test
