#include "market/MarketNumber.h"
#include "market/Market.h"
#include "market/RandomStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

using vantrel::Market;

namespace {

// What a run shows of the market: centre, last price and best quotes per tick.
std::vector<double> run(Market market, int ticks) {
    std::vector<double> seen;
    market.StartUp();
    for (int t = 0; t < ticks; ++t) {
        market.Tick();
        const vantrel::Quotes q = market.quotes();
        seen.insert(seen.end(), {market.centrePrice(), q.lastPrice, q.dblAskPrice, q.dblAskAmount,
                                 q.dblBidPrice, q.dblBidAmount});
    }
    return seen;
}

// Whether the whole book holds an ask and every bid lies below the lowest ask.
bool uncrossed(const Market& market) {
    const auto& book = market.dblBoard();
    const auto lowestAsk = std::find_if(book.begin(), book.end(), [](double e) { return e < 0; });
    const auto bidAtOrAbove = std::find_if(lowestAsk, book.end(), [](double e) { return e > 0; });
    return lowestAsk != book.end() && bidAtOrAbove == book.end();
}

} // namespace

TEST(MarketNumber, ReadsOnlyPlainNumbersFromOneTo9999) {
    for (const auto& [text, expected] :
         std::vector<std::pair<std::string, int>>{{"1", 1}, {"2", 2}, {"0017", 17}, {"9999", 9999}})
        EXPECT_EQ(vantrel::parseMarketNumber(text).value_or(0), expected) << text;
    for (const char* bad :
         {"0", "10000", "-1", "+2", " 2", "2 ", "", "abc", "1e3", "２", "99999999999"})
        EXPECT_FALSE(vantrel::parseMarketNumber(bad)) << bad;
}

TEST(MarketNumber, EveryNumberStartsFromItsOwnState) {
    EXPECT_EQ(vantrel::marketStartState(1), vantrel::RandomStream::kStartState);
    std::set<std::uint32_t> states;
    for (int n = 1; n <= vantrel::kLastMarket; ++n)
        states.insert(vantrel::marketStartState(n));
    EXPECT_EQ(states.size(), static_cast<std::size_t>(vantrel::kLastMarket));
}

TEST(MarketNumber, OneIsTheStandardMarketAndTwoAnotherThatRepeats) {
    const std::vector<double> standard = run(Market(), 3600);
    EXPECT_EQ(run(Market(1), 3600), standard);
    const std::vector<double> second = run(Market(2), 3600);
    EXPECT_NE(second, standard);
    EXPECT_EQ(run(Market(2), 3600), second);
}

// Every market's start book is sound: it holds an ask and no bid stands at or above the
// lowest one, which is what keeps the board from ever showing a riskless trade.
TEST(MarketNumber, EveryStartBookIsUncrossed) {
    for (int number = 1; number <= vantrel::kLastMarket; ++number) {
        Market market(number);
        market.StartUp();
        ASSERT_TRUE(uncrossed(market)) << "market " << number;
    }
}

// Numbers whose first start was sound keep it, so their older session files replay as
// recorded; only numbers whose first start was crossed (501, 5814) were given another.
TEST(MarketNumber, SoundStartsKeepTheirStateAndCrossedOnesWereReplaced) {
    const std::vector<std::tuple<int, std::uint32_t, bool>> firstStates = {
        {2, 12203798u, false},  {17, 10137919u, false},  {1234, 8902279u, false},
        {501, 13997549u, true}, {5814, 11696525u, true}, {9999, 9958480u, true}};
    for (const auto& [number, firstState, replaced] : firstStates) {
        EXPECT_EQ(vantrel::marketStartReplaced(number), replaced) << number;
        EXPECT_EQ(vantrel::marketStartState(number) != firstState, replaced) << number;
    }
    EXPECT_FALSE(vantrel::marketStartReplaced(vantrel::kStandardMarket));
}

TEST(MarketNumber, SampledMarketsKeepMovingAndUncrossedForEightHours) {
    for (int number : {1, 2, 3, 17, 500, 501, 1234, 4096, 5814, 7777, 9998, 9999}) {
        Market market(number);
        market.StartUp();
        for (int hour = 0; hour < 8; ++hour) {
            std::set<double> lastPrices;
            for (int second = 0; second < 3600; ++second) {
                market.Tick();
                const vantrel::Quotes q = market.quotes();
                lastPrices.insert(q.lastPrice);
                ASSERT_LT(q.dblBidPrice, q.dblAskPrice) << "market " << number;
            }
            EXPECT_TRUE(uncrossed(market)) << "market " << number << " hour " << hour;
            EXPECT_GE(lastPrices.size(), 5u) << "market " << number << " hour " << hour;
        }
    }
}
