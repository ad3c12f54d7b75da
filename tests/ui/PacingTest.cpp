#include "WindowFixture.h"
#include "ui/mainwindow/MessageLog.h"
#include "ui/results/TradeHistoryModel.h"
#include "ui/results/frmResults.h"

#include <QTableView>
#include <QTest>

#include <algorithm>
#include <tuple>

namespace {

struct PacingTest : vantrel::test::WindowFixture {
    void SetUp() override {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

} // namespace

TEST_F(PacingTest, PauseStopsTheClockAndF6StepsOneSecond) {
    EXPECT_TRUE(clockTimer().isActive());
    EXPECT_FALSE(action("MnuStep")->isEnabled());
    QTest::keyClick(&window, Qt::Key_F5);
    EXPECT_TRUE(action("MnuPause")->isChecked());
    EXPECT_FALSE(clockTimer().isActive());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Vantrel - 一時停止"));

    buyAtMarket(); // orders can still be placed; they wait for time to move
    const auto ticks = window.session().market().tickCount();
    QTest::keyClick(&window, Qt::Key_F6);
    EXPECT_EQ(window.session().market().tickCount(), ticks + 1);
    EXPECT_EQ(window.session().trader().account().dblExecWait, 1);

    QTest::keyClick(&window, Qt::Key_F5);
    EXPECT_TRUE(clockTimer().isActive());
    EXPECT_FALSE(action("MnuStep")->isEnabled());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Vantrel"));
}

TEST_F(PacingTest, SpeedScalesTheClockAndShowsInTheCaption) {
    for (const auto& [name, interval, title] :
         std::vector<std::tuple<const char*, int, QString>>{{"MnuSpeed5", 200, "Vantrel - ×5"},
                                                            {"MnuSpeed10", 100, "Vantrel - ×10"},
                                                            {"MnuSpeed2", 500, "Vantrel - ×2"},
                                                            {"MnuSpeed1", 1000, "Vantrel"}}) {
        action(name)->trigger();
        EXPECT_EQ(clockTimer().interval(), interval) << name;
        EXPECT_TRUE(clockTimer().isActive());
        EXPECT_EQ(window.windowTitle(), title);
    }
}

TEST_F(PacingTest, NewPracticeAsksRefusesBadNumbersThenStartsAfresh) {
    action("MnuSpeed5")->trigger();
    buyAtMarket();
    pause();
    seconds(6);
    ASSERT_EQ(label("lblAmount"), QStringLiteral("1000"));
    action("MnuResults")->trigger();
    ASSERT_EQ(results()->findChild<QTableView*>("historyTable")->model()->rowCount(), 1);
    const QString before = log();

    dialogs.answer = false; // shares are held: asked first, and declined
    action("MnuNewPractice")->trigger();
    EXPECT_EQ(dialogs.questions, QStringList({"保有株または注文中の注文があります。"
                                              "破棄して新しい練習を始めますか？"}));
    EXPECT_EQ(dialogs.offered, 0);
    dialogs.answer = true;
    for (const char* typed : {"0", "10000", "-1", "two"}) {
        dialogs.typed = QString::fromUtf8(typed);
        action("MnuNewPractice")->trigger();
    }
    EXPECT_EQ(dialogs.boxes, 4);
    EXPECT_EQ(dialogs.asked, 8); // each refusal asks again
    EXPECT_EQ(dialogs.lastBox, "市場番号は 1 から 9999 の整数で指定してください。 | Vantrel");
    EXPECT_EQ(dialogs.offered, 1);
    EXPECT_EQ(label("lblAmount"), QStringLiteral("1000"));
    EXPECT_EQ(log(), before);

    dialogs.typed = QStringLiteral("2");
    action("MnuNewPractice")->trigger();
    EXPECT_EQ(log(), before + QStringLiteral(
                                  "\n2024/03/05 9:07:03  新しい練習を始めました（市場番号 2）。"));
    EXPECT_EQ(label("lblPower"), QStringLiteral("3000000"));
    EXPECT_EQ(label("lblAmount"), QString());
    EXPECT_EQ(window.session().market().tickCount(), 0u);
    // The results start afresh with the practice.
    EXPECT_EQ(results()->findChild<QTableView*>("historyTable")->model()->rowCount(), 0);
    EXPECT_EQ(window.session().prices().prices.size(), 1u);
    EXPECT_FALSE(action("MnuPause")->isChecked());
    EXPECT_TRUE(clockTimer().isActive());
    EXPECT_EQ(clockTimer().interval(), 200);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Vantrel - ×5 - 市場番号 2"));
}
