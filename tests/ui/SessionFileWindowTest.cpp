#include "FixedClock.h"
#include "practice/SessionFile.h"
#include "support/TestDoubles.h"
#include "ui/MessageLog.h"
#include "ui/PracticeDialogs.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct FileDialogs final : PracticeDialogs {
    bool confirm(const QString&) override { return true; }
    std::optional<QString> askMarketNumber(int) override { return std::nullopt; }
    QString askSessionSavePath() override { return path; }
    QString askSessionOpenPath() override { return path; }
    QString path;
};

class SessionFileWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.setPracticeDialogs(dialogs);
        action("MnuPause")->trigger(); // time moves only when the test steps it
    }
    QAction* action(const char* name) const {
        return window.findChild<QAction*>(QString::fromUtf8(name));
    }
    void steps(int seconds) {
        for (int i = 0; i < seconds; ++i)
            action("MnuStep")->trigger();
    }
    QString label(const char* name) const { return window.findChild<QLabel*>(name)->text(); }
    void buyAtMarket() {
        window.findChild<QRadioButton*>("optBuyOpt1")->click();
        window.findChild<QLineEdit*>("txtBuyAmount")->setText(QStringLiteral("1000"));
        window.controls().buy.placeButton->click();
    }
    void saveTo(const QString& path) {
        dialogs.path = path;
        action("MnuSaveSession")->trigger();
    }
    void open(const QString& path) {
        dialogs.path = path;
        action("MnuOpenSession")->trigger();
    }

    QTemporaryDir folder;
    test::FixedClock clock;
    RecordingPrompter prompter;
    FileDialogs dialogs;
    frmMain window{clock, prompter};
};

TEST_F(SessionFileWindowTest, SavedSessionReplaysWithButtonsInertAndCanBeTakenOver) {
    steps(2);
    buyAtMarket();
    steps(10);
    ASSERT_EQ(label("lblAmount"), QStringLiteral("1000"));
    const SessionResults played = window.session().results();
    const QString path = folder.filePath(QStringLiteral("session.json"));
    saveTo(path);
    saveTo(folder.filePath(QStringLiteral("missing/session.json")));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].prompt.rfind("練習を保存できませんでした。", 0), 0u);
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("missing"))));

    // A refused file leaves the practice as it was.
    const QString bad = folder.filePath(QStringLiteral("bad.json"));
    QFile badFile(bad);
    ASSERT_TRUE(badFile.open(QIODevice::WriteOnly));
    badFile.write("{\"format\": 1}");
    badFile.close();
    const QString log = window.messageLog().text();
    open(bad);
    ASSERT_EQ(prompter.boxes.size(), 2u);
    EXPECT_NE(prompter.boxes[1].prompt.find("program がありません"), std::string::npos);
    EXPECT_EQ(window.messageLog().text(), log);
    EXPECT_EQ(window.market().tickCount(), 12u);

    open(path);
    EXPECT_TRUE(window.messageLog().text().endsWith(
        QStringLiteral("新しい練習を始めました（市場番号 1）。\r\n")));
    EXPECT_TRUE(window.windowTitle().endsWith(QStringLiteral("再生中 0/12")));
    EXPECT_TRUE(action("MnuTakeOver")->isEnabled());
    buyAtMarket(); // inert: only the file acts
    steps(1);
    EXPECT_EQ(label("lblOrderType"), QString());
    steps(1);
    EXPECT_EQ(label("lblOrderType"), QStringLiteral("買"));
    EXPECT_TRUE(window.windowTitle().endsWith(QStringLiteral("再生中 2/12")));

    // Taken over at second 2: the recorded buy stays, and the buttons act again.
    action("MnuTakeOver")->trigger();
    EXPECT_FALSE(window.session().replaying());
    EXPECT_FALSE(action("MnuTakeOver")->isEnabled());
    EXPECT_FALSE(window.windowTitle().contains(QStringLiteral("再生中")));
    window.controls().cmdCancelOldest->click();
    EXPECT_EQ(label("lblOrderType"), QString());
    EXPECT_EQ(window.session().record().actions.size(), 2u);

    // Reaching the end of the file hands over too, at the saved result.
    open(path);
    steps(12);
    EXPECT_FALSE(window.session().replaying());
    EXPECT_EQ(window.session().results().totalAssets, played.totalAssets);
    EXPECT_EQ(window.session().results().holdings, 1000);
}

} // namespace
} // namespace vantrel
