#include "FixedClock.h"
#include "trading/TestDoubles.h"
#include "ui/MessageBoxPrompter.h"
#include "ui/MessageLog.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using vantrel::frmMain;
using vantrel::MessageBoxText;
using vantrel::test::FixedClock;

namespace {

const QString kStamp = QStringLiteral("2024/03/05 9:07:03  ");

class TradingWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The tests drive the timers' handlers themselves.
        window.timer1().stop();
        window.show();
    }
    template <class Widget = QWidget> Widget* find(const char* name) const {
        auto* widget = window.findChild<Widget*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString label(const char* name) const { return find<QLabel>(name)->text(); }
    void type(const char* box, const QString& text) {
        find<QLineEdit>(box)->clear();
        QTest::keyClicks(find<QLineEdit>(box), text);
    }
    void click(const char* button) {
        QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton);
    }
    QString log() const { return window.messageLog().text(); }
    QStringList orderLabels() const {
        return {label("lblOrderType"), label("lblOrderPrice"), label("lblOrderPriceView"),
                label("lblOrderAmount")};
    }
    // One second of the program: the market ticks, then execution looks.
    void second() {
        window.Timer1_Timer();
        window.Timer2_Timer();
    }

    FixedClock clock;
    vantrel::RecordingPrompter prompter;
    frmMain window{clock, prompter};
};

} // namespace

TEST_F(TradingWindowTest, TheRoadOfOneBuy) {
    // Limit 500, by shares, 1000 shares, and the buy button.
    click("optBuyOpt0");
    type("txtBuyPrice", QStringLiteral("500"));
    click("optBuyAmount0");
    type("txtBuyAmount", QStringLiteral("1000"));
    click("cmdBuyNow");

    EXPECT_TRUE(prompter.boxes.empty());
    EXPECT_EQ(log(), kStamp + QStringLiteral("ヴァントレルを500円で1000株購入します。\r\n"));
    EXPECT_EQ(label("lblPower"), QStringLiteral("2500000"));
    EXPECT_EQ(orderLabels(), QStringList({"買", "500", "500", "1000"}));

    // The first attempt comes on the sixth Timer2 event; the board's ask is
    // still 501 then, and falls to 500 with the seventh tick.
    for (int event = 1; event <= 6; ++event)
        second();
    EXPECT_EQ(window.market().quotes().dblAskPrice, 501);
    EXPECT_EQ(label("lblOrderType"), QStringLiteral("買"));
    second();
    EXPECT_EQ(window.market().quotes().dblAskPrice, 500);
    EXPECT_EQ(log(), kStamp + QStringLiteral("ヴァントレルを500円で1000株購入します。\r\n") +
                         kStamp +
                         QStringLiteral("株価500円で1000株約定しました。（500000円）\r\n"));
    EXPECT_EQ(label("lblAmount"), QStringLiteral("1000"));
    EXPECT_EQ(label("lblPower"), QStringLiteral("2500000"));
    EXPECT_EQ(orderLabels(), QStringList({"", "", "", ""}));
}

TEST_F(TradingWindowTest, RefusedFormsShowOneBoxAndChangeNothing) {
    click("cmdBuyNow");
    click("cmdSellNow");
    type("txtBuyPrice", QStringLiteral("399"));
    click("cmdBuyNow");
    type("txtSellPrice", QStringLiteral("399"));
    click("cmdSellNow");
    const std::vector<MessageBoxText> expected = {
        {"指値を入力してください。", "必須項目"},
        {"指値を入力してください。", "必須項目"},
        {"指値が制限値幅（400円）を下回っています。", "Vantrel"},
        {"指値が制限値幅（400円）を下回っています。", "必須項目"},
    };
    EXPECT_EQ(prompter.boxes, expected);
    EXPECT_EQ(log(), QString());
    EXPECT_EQ(label("lblPower"), QStringLiteral("3000000"));
    EXPECT_EQ(label("lblAmount"), QString());
    EXPECT_EQ(orderLabels(), QStringList({"", "", "", ""}));
}

TEST_F(TradingWindowTest, MarketBuyOfEverythingThenCancel) {
    click("optBuyOpt1");
    click("optBuyAmount2");
    click("cmdBuyNow");
    EXPECT_EQ(orderLabels(), QStringList({"買", "600", "成行", "4000"}));
    EXPECT_FALSE(find<QLabel>("lblOrderPrice")->isVisible());
    EXPECT_EQ(label("lblPower"), QStringLiteral("600000"));

    click("cmdCancelOldest");
    click("cmdCancelOldest"); // nothing left to cancel: silent
    EXPECT_EQ(label("lblPower"), QStringLiteral("3000000"));
    EXPECT_EQ(orderLabels(), QStringList({"", "", "", ""}));
    EXPECT_EQ(log(), kStamp + QStringLiteral("ヴァントレルを成行で4000株購入します。\r\n") +
                         kStamp + QStringLiteral("注文をキャンセルしました。\r\n"));
}

TEST_F(TradingWindowTest, SellingWhatWasBoughtCreditsTheProceeds) {
    click("optBuyOpt1");
    type("txtBuyAmount", QStringLiteral("2000"));
    click("cmdBuyNow");
    for (int event = 1; event <= 6; ++event)
        second();
    ASSERT_EQ(label("lblAmount"), QStringLiteral("2000")); // filled at the ask of 501

    click("optSellOpt1");
    click("optSellAmount2");
    click("cmdSellNow");
    EXPECT_EQ(orderLabels(), QStringList({"売", "400", "成行", "2000"}));
    for (int event = 1; event <= 6; ++event)
        second();
    EXPECT_EQ(label("lblAmount"), QStringLiteral("0"));
    EXPECT_EQ(orderLabels(), QStringList({"", "", "", ""}));
    // 3000000 - 2000 x 501 + 2000 x the bid the sale met.
    const double bid = window.market().quotes().dblBidPrice;
    EXPECT_EQ(label("lblPower").toDouble(), 3000000 - 2000 * 501 + 2000 * bid);
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST(MessageBoxPrompter, ShowsAModalBoxWithOneOkAndNoIcon) {
    QWidget owner;
    owner.show();
    vantrel::MessageBoxPrompter prompter;
    prompter.setParentWindow(&owner);

    struct Seen {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::Information;
        int buttons = 0;
        bool modal = false;
    } seen;
    // The box runs its own event loop; look at it from inside, then press OK.
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->icon(),
                static_cast<int>(box->buttons().size()), box->isModal()};
        box->button(QMessageBox::Ok)->click();
    });
    prompter.ShowMessage("指値を入力してください。", "必須項目");
    EXPECT_EQ(seen.title, QStringLiteral("必須項目"));
    EXPECT_EQ(seen.text, QStringLiteral("指値を入力してください。"));
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_TRUE(seen.modal);
}

// Ending the program while an order check's box is open: the box's own event
// loop must give way, and the program must end with status 0.
TEST(ProgramEnd, ExitOrCloseWhileAMessageBoxIsOpenEndsCleanly) {
    for (const bool viaMenu : {true, false}) {
        SCOPED_TRACE(viaMenu ? "終了" : "close box");
        FixedClock clock;
        vantrel::MessageBoxPrompter prompter;
        frmMain window(clock, prompter);
        prompter.setParentWindow(&window);
        window.show();

        bool boxWasOpen = false;
        QTimer::singleShot(0, &window, [&] {
            // The empty limit price makes the buy check show its box.
            QTimer::singleShot(50, &window, [&] {
                boxWasOpen = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (viaMenu)
                    window.controls().MnuEnd->trigger();
                else
                    window.close();
            });
            window.cmdBuyNow_Click();
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        guard.start(5000);
        EXPECT_EQ(QApplication::exec(), 0);
        EXPECT_TRUE(boxWasOpen);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}
