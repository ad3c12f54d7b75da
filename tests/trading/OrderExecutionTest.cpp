#include "trading/OrderExecution.h"

#include "TestDoubles.h"
#include "base/NumberText.h"
#include "trading/OrderPlacement.h"
#include "trading/Trader.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

class Execution : public ::testing::Test {
protected:
    void buy(const char* price, const char* shares) {
        PlaceBuyOrder(account,
                      readOrderForm({PriceKind::Limit, price, QuantityKind::Shares, shares, ""}),
                      log);
        log.lines.clear();
    }
    void sell(const char* price, const char* shares, double held) {
        account.setHoldings(held);
        PlaceSellOrder(account,
                       readOrderForm({PriceKind::Limit, price, QuantityKind::Shares, shares, ""}),
                       log);
        log.lines.clear();
    }
    void attempt() { CheckExecution(account, market, log); }

    Quotes market;
    Account account;
    RecordingLog log;
};

TEST_F(Execution, Rule1FillsTheWholeBuyAtTheAsk) {
    buy("500", "1000");
    market = {498, 4000, 497, 1000, 499};
    attempt();
    EXPECT_EQ(log.lines, Lines{"株価498円で1000株約定しました。（498000円）"});
    EXPECT_EQ(account.amountText(), "1000");
    EXPECT_EQ(account.orderTypeText(), "");
    EXPECT_EQ(account.orderPriceText(), "");
    EXPECT_EQ(account.orderPriceViewText(), "");
    EXPECT_EQ(account.orderAmountText(), "");
    EXPECT_EQ(account.powerText(), "2502000");
    EXPECT_EQ(account.dblTradeValue, 498000);
    EXPECT_EQ(account.dblExecWait, kExecWaitAfterFill);
}

TEST_F(Execution, Rule2FillsWhatTheAskOffersAndRefundsTheDifference) {
    buy("500", "5000");
    market = {499, 2000, 498, 1000, 500};
    attempt();
    EXPECT_EQ(log.lines, Lines{"株価499円で2000株約定しました。（998000円）"});
    EXPECT_EQ(account.orderAmountText(), "3000");
    EXPECT_EQ(account.orderTypeText(), "買");
    EXPECT_EQ(account.powerText(), "502000"); // 3000000 - 2500000 + 2000
    EXPECT_EQ(account.amountText(), "2000");
}

// One attempt per row: the order, the quotes, and the fill expected (0 shares:
// none). Each row holds exactly the rule named and, where it matters, a later
// rule as well, to show the first one wins.
TEST_F(Execution, EightRules) {
    struct Row {
        const char* rule;
        OrderSide side;
        double price, remaining, ask, askAmt, bid, bidAmt, last;
        double fillPrice, fillShares;
    };
    const auto buy = OrderSide::Buy;
    const auto sell = OrderSide::Sell;
    const Row rows[] = {
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
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rule);
        Account a;
        a.setHoldings(10000);
        a.placeOrder({row.side, row.price, "p", "p", row.remaining});
        const Quotes market{row.ask, row.askAmt, row.bid, row.bidAmt, row.last};
        RecordingLog out;
        CheckExecution(a, market, out);
        const double sign = row.side == buy ? 1 : -1;
        EXPECT_EQ(out.lines.size(), row.fillShares == 0 ? 0u : 1u);
        EXPECT_EQ(a.holdings(), 10000 + sign * row.fillShares);
        EXPECT_EQ(a.power(), stock::kStartPower +
                                 (row.side == buy ? row.price - row.fillPrice : row.fillPrice) *
                                     row.fillShares);
        const double left = row.remaining - row.fillShares;
        EXPECT_EQ(a.orderAmountText(), left == 0 ? "" : plainDecimal(left));
    }
}

TEST_F(Execution, FractionalLimitPriceLeavesNoBinaryNoiseInTheTexts) {
    buy("500.1", "5000");
    EXPECT_EQ(account.powerText(), "499500");
    market = {500, 2000, 499, 1000, 500};
    attempt();
    EXPECT_EQ(log.lines, Lines{"株価500円で2000株約定しました。（1000000円）"});
    EXPECT_NE(account.power(), 499700); // 499700.00000000006
    EXPECT_EQ(account.powerText(), "499700");
}

TEST_F(Execution, MarketBuyFillsAtTheAskAndGetsTheRestOfItsReserveBack) {
    PlaceBuyOrder(account, readOrderForm({PriceKind::Market, "", QuantityKind::Shares, "1000", ""}),
                  log);
    EXPECT_EQ(account.powerText(), "2400000");
    market = {503, 5000, 502, 1000, 503};
    attempt();
    EXPECT_EQ(account.powerText(), "2497000");
}

TEST_F(Execution, EmptyQuoteFillsNothing) {
    buy("500", "1000");
    const double wait = account.dblExecWait = 7;
    executionTick(account, market, log); // quotes all 0 before the first tick
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(account.amountText(), "");
    EXPECT_EQ(account.orderAmountText(), "1000");
    EXPECT_EQ(account.dblExecWait, wait + 1);
}

TEST_F(Execution, CommissionStep) {
    struct Row {
        double runningBefore, price, shares;
        bool charged;
        double runningAfter;
    };
    const Row rows[] = {
        {2600000, 500, 1000, true, 100000}, {2499999, 500, 1000, false, 2999999},
        {2500000, 500, 1000, true, 0},      {2900000, 500, 6800, true, 300000},
        {0.5, 500, 1000, true, 500000},     {0, 500, 1e7, true, 2000000}, // 5e9 in one fill
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.runningBefore);
        Account a;
        a.placeOrder({OrderSide::Buy, row.price, "500", "500", row.shares});
        a.dblTradeValue = row.runningBefore;
        RecordingLog out;
        ExecuteOrder(a, out, row.price, row.shares);
        EXPECT_EQ(a.dblTradeValue, row.runningAfter);
        EXPECT_EQ(a.power(), stock::kStartPower - (row.charged ? 2100 : 0));
        ASSERT_EQ(out.lines.size(), row.charged ? 2u : 1u);
        if (row.charged) {
            EXPECT_EQ(out.lines[1], "手数料 2100円 が余力から引かれました。");
        }
    }
}

TEST(ExecutionTiming, FirstAttemptOnTheSixthEventAndThirdAfterAFill) {
    const Quotes market{499, 2000, 498, 1000, 500};
    RecordingLog log;
    RecordingPrompter prompter;
    Trader trader(log, prompter);
    const OrderForm form{PriceKind::Limit, "500", QuantityKind::Shares, "5000", ""};
    trader.pressBuy("9999", form);
    const auto fillsAfter = [&](int events) {
        for (int i = 0; i < events; ++i)
            trader.executionTick(market);
        return log.lines.size() - 1;
    };
    EXPECT_EQ(fillsAfter(5), 0u);
    EXPECT_EQ(fillsAfter(1), 1u);
    EXPECT_EQ(fillsAfter(2), 1u);
    EXPECT_EQ(fillsAfter(1), 2u);
    // A rejected press restarts the whole wait.
    EXPECT_EQ(fillsAfter(2), 2u);
    trader.pressBuy("", form);
    EXPECT_EQ(fillsAfter(5), 2u);
    EXPECT_EQ(fillsAfter(1), 3u);
    EXPECT_FALSE(trader.account().hasPendingOrder());
}

} // namespace
} // namespace vantrel
