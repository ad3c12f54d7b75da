#include "TestDoubles.h"
#include "market/Market.h"
#include "trading/NumberReading.h"
#include "trading/Trader.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

namespace vantrel {
namespace {

const std::string kNum = "(-?[0-9]+(?:\\.[0-9]+)?)";
const std::regex kMarketOrder("ヴァントレルを成行で" + kNum + "株(?:購入|売却)します。");
const std::regex kLimitOrder("ヴァントレルを([\\s\\S]+)円で" + kNum + "株(?:購入|売却)します。");
const std::regex kShortOfPower("余力が足りません。(?:" + kNum + "円必要です。)?");
const std::regex kFill("株価" + kNum + "円で" + kNum + "株約定しました。（" + kNum + "円）");
const std::regex kCommissionLine("手数料 2100円 が余力から引かれました。");
const std::regex kCancelled("注文をキャンセルしました。");

const char* const kHostile[] = {
    "",      " ",     "\t",       "1e999",    "-1e999",   "-0",      "&HFFFFFFFF",
    "&H1F4", "&O764", "５００",   "１０００", "\x01\x02", "500\x7f", "\xff\xfe",
    "\xc3(", "1,000", "1000,000", "500円",    "1000abc",  "4 5 0",   "\t500\n",
    "-1000", "0.3",   "1000.4",   "5D2",      "+500",     "0500",    "abc"};

class RandomUser {
public:
    explicit RandomUser(unsigned seed) : m_rng(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

    std::string code() {
        const int r = below(40);
        return r == 0 ? "" : r == 1 ? " " : "9999";
    }

    OrderForm form() {
        OrderForm f;
        const int p = below(20);
        f.priceKind = p == 0 ? PriceKind::None : p < 8 ? PriceKind::Market : PriceKind::Limit;
        f.priceText = text([this] { return std::to_string(below(211) + 395); });
        const int q = below(20);
        f.quantityKind = q == 0   ? QuantityKind::None
                         : q < 9  ? QuantityKind::Shares
                         : q < 15 ? QuantityKind::Yen
                                  : QuantityKind::Everything;
        f.sharesText = text([this] { return std::to_string((below(6) + 1) * 1000); });
        f.yenText = text([this] { return std::to_string(below(3000) * 1000 + below(1000)); });
        return f;
    }

private:
    template <typename Plain> std::string text(Plain plain) {
        if (below(4) != 0)
            return plain();
        const int pick = below(std::size(kHostile) + 1);
        return pick == 0 ? std::string(400, '9') : kHostile[pick - 1];
    }

    std::mt19937 m_rng;
};

// What the log says happened, kept apart from the account the trader keeps.
struct Books {
    double cash = stock::kStartPower;
    double shares = 0;
    int fills = 0;
    int commissions = 0;
};

void readLine(const std::string& line, std::optional<OrderSide> side, Books& books) {
    std::smatch m;
    if (std::regex_match(line, m, kFill)) {
        ASSERT_TRUE(side) << line;
        const double price = readStrict(m.str(1)).value();
        const double shares = readStrict(m.str(2)).value();
        const double value = readStrict(m.str(3)).value();
        EXPECT_EQ(value, price * shares) << line;
        EXPECT_GT(shares, 0) << line;
        const double sign = *side == OrderSide::Buy ? 1 : -1;
        books.cash -= sign * value;
        books.shares += sign * shares;
        ++books.fills;
    } else if (std::regex_match(line, kCommissionLine)) {
        books.cash -= 2100;
        ++books.commissions;
    } else if (std::regex_match(line, m, kLimitOrder)) {
        // A stored price reads the same either way.
        EXPECT_EQ(readStrict(m.str(1)), readLenient(m.str(1))) << line;
    } else {
        EXPECT_TRUE(std::regex_match(line, kMarketOrder) || std::regex_match(line, kShortOfPower) ||
                    std::regex_match(line, kCancelled))
            << line;
    }
}

TEST(TradingSession, RandomUserAgainstTheMarketKeepsTheBooksStraight) {
    Market market;
    market.StartUp();
    RecordingLog log;
    RecordingPrompter prompter;
    Trader trader(market, log, prompter);
    RandomUser user(20240611);
    Books books;
    const Account& account = trader.account();

    for (int step = 0; step < 200000; ++step) {
        const std::size_t seen = log.lines.size();
        std::optional<OrderSide> side;
        if (account.order())
            side = account.order()->side;

        const int action = user.below(100);
        if (action < 47)
            market.Timer1_Timer();
        else if (action < 94)
            trader.Timer2_Timer();
        else if (action < 97)
            trader.cmdBuyNow_Click(user.code(), user.form());
        else if (action < 99)
            trader.cmdSellNow_Click(user.code(), user.form());
        else
            trader.cmdCancelOldest_Click();

        for (std::size_t i = seen; i < log.lines.size(); ++i)
            readLine(log.lines[i], side, books);
        ASSERT_FALSE(testing::Test::HasFailure()) << "step " << step;
        ASSERT_GE(account.holdings(), 0) << "step " << step;
        ASSERT_EQ(account.holdings(), books.shares) << "step " << step;
        double reserved = 0;
        if (account.order() && account.order()->side == OrderSide::Buy)
            reserved = account.order()->price * account.order()->remaining;
        ASSERT_NEAR(account.power() + reserved, books.cash, 1e-4) << "step " << step;
    }
    for (const auto& box : prompter.boxes)
        EXPECT_TRUE(box.title == "必須項目" || box.title == "指定金額エラー" ||
                    box.title == "指定数エラー" || box.title == kAppTitle)
            << box.title;
    // The session has to have traded for its checks to mean anything.
    EXPECT_GT(books.fills, 500);
    EXPECT_GT(books.commissions, 20);
}

} // namespace
} // namespace vantrel
