#include "results/Ledger.h"
#include "results/Figures.h"
#include "results/ResultsText.h"
#include "support/Session.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vantrel {
namespace {

// The figure of this caption as the results window shows it, and whether as
// a loss.
std::pair<std::string, bool> shownWithLoss(const Figures& f, const char* caption) {
    const auto& table = figureTable();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].shown() && std::string(table[i].info().caption) == caption)
            return {measureText(f.row(i)), isShownLoss(f.row(i))};
    return {"?", false};
}

std::string shown(const Figures& f, const char* caption) {
    return shownWithLoss(f, caption).first;
}

TEST(Ledger, MovingAverageAndRealisedProfitOnAHandMadeSession) {
    Ledger ledger;
    Account account;
    ledger.onFill(OrderSide::Buy, 500, 1000, 0);
    ledger.onFill(OrderSide::Buy, 501, 2000, 1000); // average 500.666...
    ledger.onFill(OrderSide::Sell, 505, 1500, 3000);
    ledger.onCommission(2100);
    account.setHoldings(1500);
    account.setPower(3000000 - 500000 - 1002000 + 757500 - 2100);
    Figures f = computeFigures({ledger, account, 498});
    EXPECT_EQ(shown(f, "平均取得単価"), "500.67円");
    EXPECT_EQ(shown(f, "実現損益"), "6,500円"); // (505 − 500.67) × 1,500
    EXPECT_EQ(shown(f, "評価損益"), "-4,000円");
    EXPECT_EQ(shown(f, "純損益"), "400円");
    EXPECT_EQ(shown(f, "資産合計"), "3,000,400円");
    EXPECT_EQ(shown(f, "損益率"), "0.01%");
    EXPECT_EQ(ledger.fills().back().commission, 2100);

    ledger.onFill(OrderSide::Sell, 490, 1500, 1500);
    account.setHoldings(0);
    f = computeFigures({ledger, account, 498});
    EXPECT_FALSE(f[Measure::AverageCost]);
    EXPECT_EQ(shown(f, "平均取得単価"), "");
    EXPECT_EQ(shownWithLoss(f, "実現損益"), std::make_pair(std::string("-9,500円"), true));
    EXPECT_TRUE(shownWithLoss(f, "損益率").second); // the rate, rounded to 0.01 %
    const Figures none = computeFigures({Ledger(), Account(), 500});
    for (const FigureDefinition& row : figureTable()) {
        // Figures index their values by measure.
        EXPECT_EQ(indexOf(row.measure), &row - figureTable().data());
        if (!row.shown())
            continue;
        EXPECT_FALSE(shownWithLoss(none, row.info().caption).second) << row.info().caption;
    }
    ledger.onFill(OrderSide::Buy, 480, 1000, 0); // a fresh average, nothing carried over
    EXPECT_EQ(*ledger.averageCost(), 480);
}

// Random presses against the real market, held to the books kept from the
// log: the ledger agrees with them and the account, and assets − start power
// = net at every step.
TEST(Ledger, FiguresHoldTheirIdentityOverALongRandomSession) {
    test::Session s;
    test::RandomUser user(20240612);
    for (int step = 0; step < 120000; ++step) {
        const int action = user.below(100);
        const auto problem =
            action < 94 ? s.act(action % 2 ? test::Session::Tick : test::Session::ExecutionTick)
                        : s.act(action < 97   ? test::Session::Buy
                                : action < 99 ? test::Session::Sell
                                              : test::Session::Cancel,
                                "9999", user.form());
        ASSERT_FALSE(problem) << "step " << step << ": " << *problem;
        const Figures f =
            computeFigures({s.ledger, s.trader.account(), s.market.quotes().lastPrice});
        const double assets = *f[Measure::TotalAssets];
        // The account's own view: its money, a pending buy's set-aside, its shares.
        const Account& account = s.trader.account();
        const double setAside = account.order() && account.order()->side == OrderSide::Buy
                                    ? account.order()->price * account.order()->remaining
                                    : 0;
        ASSERT_EQ(account.power() + setAside + account.holdings() * s.market.quotes().lastPrice,
                  assets)
            << "step " << step;
        ASSERT_LT(std::fabs(assets - 3000000 - *f[Measure::NetProfit]), 1e-6) << "step " << step;
        ASSERT_EQ(yenText(std::round(assets) - 3000000), shown(f, "純損益")) << "step " << step;
        ASSERT_EQ(s.ledger.averageCost().has_value(), s.trader.account().holdings() != 0) << step;
        ASSERT_EQ(s.ledger.fills().size(), static_cast<std::size_t>(s.books.fills)) << step;
        ASSERT_EQ(s.ledger.commissions(), s.books.commissions * kCommission) << "step " << step;
    }
    EXPECT_GT(s.books.fills, 500);
    EXPECT_GT(s.books.commissions, 50);
}

TEST(Ledger, WaitTextSaysWhatTheOrderWaitsFor) {
    struct Row {
        PendingOrder order;
        Quotes quotes; // ask, ask shares, bid, bid shares, last
        double wait;
        std::string text;
        bool paused = false;
    };
    const Row rows[] = {
        {{OrderSide::Buy, 497, "497", PriceKind::Limit, 1000, 1000},
         {501, 2000, 498, 1000, 499},
         0,
         "最良売気配 501円 が指値 497円 まで下がるか、現値が指値を下回ると約定します（あと "
         "4円）。\n"
         "次の約定判定まで約 6秒。"},
        {{OrderSide::Buy, 505, "505", PriceKind::Limit, 1000, 3000},
         {501, 3000, 500, 1000, 501},
         2,
         "最良売気配 501円 が指値 505円 以下なので、今の板なら 501円 で 1,000株 約定します。\n"
         "残り 1,000株（2,000株 約定済み）。次の約定判定まで約 4秒。"},
        {{OrderSide::Sell, 503, "503", PriceKind::Limit, 2000, 2000},
         {506, 1000, 502, 1000, 505},
         9,
         "現値 505円 が指値 503円 を上回ったので、今の板なら 505円 で 2,000株 約定します。\n"
         "次の約定判定まで約 1秒。"},
        {{OrderSide::Sell, 400, "400", PriceKind::Market, 1000, 1000},
         {},
         5,
         "買気配がないので、現値が成行の下限を上回ると約定します。\n"
         "次の約定判定まで約 1秒（一時停止中は時間が止まっています）。",
         true},
    };
    Account account;
    EXPECT_EQ(waitText(account, {}), "注文なし");
    for (const Row& row : rows) {
        account.placeOrder(row.order);
        account.dblExecWait = row.wait;
        EXPECT_EQ(waitText(account, row.quotes, row.paused), row.text);
    }
}

TEST(Ledger, CsvHasBomCrlfHeaderAndOneRowPerFill) {
    Ledger ledger;
    ledger.setTime({59, 0});
    ledger.onFill(OrderSide::Buy, 500, 3000, 0);
    ledger.setTime({3723, 0});
    ledger.onFill(OrderSide::Sell, 1003, 3000, 3000);
    ledger.onCommission(2100);
    const std::string csv = tradeHistoryCsv(
        ledger.fills(), [](const LedgerFill& f) { return f.price == 500 ? "t1" : "t2"; });
    EXPECT_EQ(csv, "\xEF\xBB\xBF日時,経過,売買,価格,株数,金額,実現損益,手数料\r\n"
                   "t1,0:59,買,500,3000,1500000,,\r\n"
                   "t2,1:02:03,売,1003,3000,3009000,1509000,2100\r\n");
}

TEST(Ledger, ElapsedTimeReadsAsMinutesThenHours) {
    for (const auto& [seconds, text] : std::vector<std::pair<std::uint64_t, std::string>>{
             {0, "0:00"}, {754, "12:34"}, {3599, "59:59"}, {3600, "1:00:00"}, {90061, "25:01:01"}})
        EXPECT_EQ(elapsedText(seconds), text) << seconds;
}

// Grouped by threes, rounded to the decimals shown, and never cut short,
// however large: a forged file may claim any value.
TEST(Ledger, GroupedNumbersKeepEveryDigit) {
    const struct {
        double value;
        int decimals;
        std::string start;
        std::size_t digits; // before the point
    } rows[] = {{1234567.891, 2, "1,234,567.89", 7},
                {-0.005, 2, "0.00", 1},
                {1e61, 2, "9,999,999,999,999,999,493,871,", 61},
                {-1e308, 0, "-100,000,000,000,000,001,097,", 309},
                {-1e308, 2, "-100,000,000,000,000,001,097,", 309}};
    for (const auto& row : rows) {
        const std::string text = groupedNumber(row.value, row.decimals);
        EXPECT_EQ(text.rfind(row.start, 0), 0u) << text;
        const std::string whole = text.substr(0, text.find('.'));
        std::size_t digits = 0;
        for (std::size_t i = 0; i < whole.size(); ++i) {
            digits += std::isdigit(static_cast<unsigned char>(whole[i])) ? 1 : 0;
            EXPECT_EQ(whole[i] == ',', i > 0 && (whole.size() - i) % 4 == 0) << text;
        }
        EXPECT_EQ(digits, row.digits) << text;
        EXPECT_EQ(text.size() - whole.size(), row.decimals ? row.decimals + 1u : 0u) << text;
    }
}

} // namespace
} // namespace vantrel
