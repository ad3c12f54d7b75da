#include "trading/OrderExecution.h"

#include "base/NumberText.h"
#include "support/Session.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
using namespace vantrel;

// One attempt per row: the order, the quotes, and the fill expected (0 shares:
// none). Each row holds exactly the rule named and, where it matters, a later
// rule as well, to show the first one wins.
TEST(Execution, EightRules) {
    const auto buy = OrderSide::Buy, sell = OrderSide::Sell;
    // clang-format off
    const struct {
        const char* rule;
        OrderSide side;
        double price, remaining, ask, askAmt, bid, bidAmt, last, fillPrice, fillShares;
    } rows[] = {
        {"1", buy, 500, 3000, 498, 3000, 497, 1000, 490, 498, 3000},
        {"2", buy, 500, 3000, 500, 1000, 497, 1000, 490, 500, 1000},
        {"3", sell, 450, 3000, 455, 1000, 460, 3000, 470, 460, 3000},
        {"4", sell, 450, 3000, 455, 1000, 450, 2000, 470, 450, 2000},
        {"5", buy, 500, 3000, 505, 1000, 500, 2000, 500, 500, 1000},
        {"5 not", buy, 500, 2000, 505, 1000, 500, 2000, 500, 0, 0},
        {"6", sell, 505, 3000, 505, 1000, 500, 2000, 505, 505, 2000},
        {"6 not", sell, 505, 1000, 505, 1000, 500, 2000, 505, 0, 0},
        {"7", buy, 500, 2000, 502, 1000, 496, 1000, 497, 497, 2000},
        {"8", sell, 450, 2000, 460, 1000, 449, 1000, 455, 455, 2000},
        {"none buy", buy, 500, 1000, 501, 1000, 499, 1000, 500, 0, 0},
        {"none sell", sell, 500, 1000, 501, 1000, 499, 1000, 500, 0, 0},
        {"no quotes", buy, 500, 1000, 0, 0, 0, 0, 0, 0, 0}, // before the first tick
        // clang-format on
    };
    for (const auto& row : rows) {
        Account a;
        a.setHoldings(10000);
        a.placeOrder({row.side, row.price, "p", PriceKind::Limit, row.remaining});
        Recorder log;
        CheckExecution(a, {row.ask, row.askAmt, row.bid, row.bidAmt, row.last}, log);
        Lines fill;
        if (row.fillShares != 0)
            fill = {"株価" + plainDecimal(row.fillPrice) + "円で" + plainDecimal(row.fillShares) +
                    "株約定しました。（" + plainDecimal(row.fillPrice * row.fillShares) + "円）"};
        EXPECT_EQ(log.lines, fill) << row.rule;
        const double left = row.remaining - row.fillShares;
        EXPECT_EQ(a.order() ? a.order()->remaining : 0, left) << row.rule;
    }
}

// The running traded value before a fill, the fill, and whether the fill
// pays the commission; only the remainder below the step is kept.
TEST(Execution, CommissionStep) {
    // clang-format off
    const struct { double runningBefore, shares; bool charged; double runningAfter; } rows[] = {
        {2600000, 1000, true, 100000}, {2499999, 1000, false, 2999999}, {2500000, 1000, true, 0},
        {2900000, 6800, true, 300000}, {0.5, 1000, true, 500000},
        {0, 1e7, true, 2000000}, // 5e9 in one fill
    };
    // clang-format on
    for (const auto& row : rows) {
        Account a;
        a.placeOrder({OrderSide::Buy, 500, "500", PriceKind::Limit, row.shares});
        a.dblTradeValue = row.runningBefore;
        Recorder log;
        ExecuteOrder(a, log, 500, row.shares);
        EXPECT_EQ(a.dblTradeValue, row.runningAfter) << row.runningBefore;
        EXPECT_EQ(plainDecimal(a.power()) + (log.lines.size() > 1 ? log.lines[1] : ""),
                  row.charged ? "2997900手数料 2100円 が余力から引かれました。" : "3000000")
            << row.runningBefore;
    }
}

// Through the trader: the first attempt comes on the sixth Timer2 event and
// the third after a fill; every press restarts the wait, one made while an
// order is pending (which places nothing) and one refused by a box too. A
// cancelled buy gives back what it still sets aside, a cancelled sale leaves
// power and holdings as they stand, and a second click finds nothing.
TEST(Execution, WaitAndCancellationThroughTheTrader) {
    Recorder record;
    Trader trader(record, record);
    const auto fillsAfter = [&](int events) {
        for (int i = 0; i < events; ++i)
            trader.executionStep({499, 2000, 498, 1000, 500});
        return std::count_if(record.lines.begin(), record.lines.end(),
                             [](const std::string& line) { return line.rfind("株価", 0) == 0; });
    };
    const OrderForm form{PriceKind::Limit, "500", QuantityKind::Shares, "5000", ""};
    trader.pressBuy("9999", form);
    EXPECT_EQ(fillsAfter(5), 0);
    EXPECT_EQ(fillsAfter(1), 1);
    EXPECT_EQ(fillsAfter(2), 1);
    EXPECT_EQ(fillsAfter(1), 2);
    trader.pressBuy("9999", form);
    EXPECT_EQ(fillsAfter(5), 2);
    trader.pressSell("9999", form);
    EXPECT_EQ(fillsAfter(5), 2);
    EXPECT_EQ(record.boxes, 1);
    EXPECT_EQ(record.lastBox, "保有株数を超える株数は指定できません。 | 指定数エラー");
    trader.pressCancel();
    trader.pressCancel();
    EXPECT_EQ(std::count(record.lines.begin(), record.lines.end(), "注文をキャンセルしました。"),
              1);
    const auto powerAndHoldings = [&trader] {
        return plainDecimal(trader.account().power()) + "|" +
               plainDecimal(trader.account().holdings());
    };
    EXPECT_EQ(powerAndHoldings(), "1004000|4000");

    trader.pressSell("9999", {PriceKind::Market, "", QuantityKind::Everything, "", ""});
    EXPECT_EQ(fillsAfter(6), 3); // 1000 of 4000 at the bid of 498
    trader.pressCancel();
    EXPECT_EQ(std::count(record.lines.begin(), record.lines.end(), "注文をキャンセルしました。"),
              2);
    EXPECT_EQ(powerAndHoldings(), "1502000|3000");
}

TEST(TradingSession, RandomUserAgainstTheMarketKeepsTheBooksStraight) {
    using S = test::Session;
    S s;
    test::RandomUser user(20240611);
    for (int step = 0; step < 200000; ++step) {
        const int pick = user.below(100);
        const S::Action action = pick < 47   ? S::Tick
                                 : pick < 94 ? S::ExecutionTick
                                 : pick < 97 ? S::Buy
                                 : pick < 99 ? S::Sell
                                             : S::Cancel;
        const std::string code = user.below(40) == 0 ? "" : "9999";
        const auto problem = s.act(action, code, action <= S::Sell ? user.form() : OrderForm{});
        ASSERT_FALSE(problem) << "step " << step << ": " << *problem;
    }
    // The session has to have traded for its checks to mean anything.
    EXPECT_GT(s.books.fills, 500);
    EXPECT_GT(s.books.commissions, 20);
}

} // namespace
