#include "market/MarketNumber.h"
#include "market/Market.h"
#include "market/RandomStream.h"

#include <gtest/gtest.h>

#include <set>
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
        seen.insert(seen.end(), {market.centrePrice(), q.dblNowPrice, q.dblAskPrice, q.dblAskAmount,
                                 q.dblBidPrice, q.dblBidAmount});
    }
    return seen;
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

TEST(MarketNumber, SampledMarketsKeepMovingForEightHours) {
    for (int number : {1, 2, 3, 17, 500, 1234, 4096, 7777, 9998, 9999}) {
        Market market(number);
        market.StartUp();
        for (int hour = 0; hour < 8; ++hour) {
            std::set<double> lastPrices;
            for (int second = 0; second < 3600; ++second) {
                market.Tick();
                lastPrices.insert(market.quotes().dblNowPrice);
            }
            EXPECT_GE(lastPrices.size(), 5u) << "market " << number << " hour " << hour;
        }
    }
}
