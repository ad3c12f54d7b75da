#include "TestDoubles.h"
#include "market/Market.h"
#include "support/TradingBooks.h"
#include "trading/Trader.h"

#include <gtest/gtest.h>

#include <random>

namespace vantrel {
namespace {

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

TEST(TradingSession, RandomUserAgainstTheMarketKeepsTheBooksStraight) {
    Market market;
    market.StartUp();
    RecordingLog log;
    RecordingPrompter prompter;
    Trader trader(log, prompter);
    RandomUser user(20240611);
    test::TradingBooks books;

    for (int step = 0; step < 200000; ++step) {
        const Account before = trader.account();
        const std::size_t linesBefore = log.lines.size();
        const std::size_t boxesBefore = prompter.boxes.size();

        const int action = user.below(100);
        if (action < 47)
            market.Tick();
        else if (action < 94)
            trader.executionTick(market.quotes());
        else if (action < 97)
            trader.pressBuy(user.code(), user.form());
        else if (action < 99)
            trader.pressSell(user.code(), user.form());
        else
            trader.pressCancel();

        const std::vector<std::string> added(log.lines.begin() + linesBefore, log.lines.end());
        const auto problem =
            books.afterAction(before, trader.account(), added, prompter.boxes.size() > boxesBefore);
        ASSERT_FALSE(problem) << "step " << step << ": " << *problem;
    }
    for (const auto& box : prompter.boxes)
        EXPECT_TRUE(box.title == "必須項目" || box.title == "指定金額エラー" ||
                    box.title == "指定数エラー" || box.title == kAppTitle)
            << box.title;
    // The session has to have traded for its checks to mean anything.
    EXPECT_GT(books.fills(), 500);
    EXPECT_GT(books.commissions(), 20);
}

} // namespace
} // namespace vantrel
