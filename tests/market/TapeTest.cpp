#include "market/Market.h"
#include "market/MarketNumber.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace vantrel {
namespace {

double offered(double entry) {
    return std::max(-entry, 0.0);
}
double bid(double entry) {
    return std::max(entry, 0.0);
}

// Each line is held to the book before and after its tick; the totals to the
// lines. Long enough for the tape to fill and drop its oldest lines.
TEST(Tape, LinesMatchTheBookAndTotalsMatchTheLines) {
    std::mt19937 random(20261207);
    Market market(1 + static_cast<int>(random() % kLastMarket));
    market.StartUp();
    const Tape& tape = market.tape();
    std::uint64_t lines = 0, volume = 0, value = 0, priceMovesOnly[2] = {0, 0};
    for (std::uint64_t tick = 1; lines < Tape::kCapacity + 1000; ++tick) {
        const auto& book = market.dblBoard();
        const int ask = static_cast<int>(
            std::find_if(book.begin(), book.end(), [](double e) { return e < 0; }) - book.begin());
        const double beforeAsk = book[ask], beforeBelow = book[ask - 1];
        const double lastPrice = market.quotes().lastPrice;
        market.Tick();
        ASSERT_EQ(tape.dropped() + tape.size(), lines + (market.lastTrade() ? 1 : 0));
        if (!market.lastTrade()) {
            ASSERT_EQ(market.quotes().lastPrice, lastPrice) << tick;
            continue;
        }
        const TapeEntry& line = tape.at(tape.size() - 1);
        ASSERT_EQ(line, *market.lastTrade());
        ASSERT_EQ(line.second, tick);
        ASSERT_EQ(line.price, market.quotes().lastPrice) << tick;
        // A buy takes offered shares at the lowest ask, a sell meets the bid
        // one yen below it; the shares are what left that side of the level.
        if (line.side == TapeSide::Buy) {
            ASSERT_EQ(line.price, ask) << tick;
            ASSERT_EQ(line.shares, offered(beforeAsk) - offered(book[ask])) << tick;
        } else {
            ASSERT_EQ(line.price, ask - 1) << tick;
            ASSERT_EQ(line.shares, bid(beforeBelow) - bid(book[ask - 1])) << tick;
        }
        ++lines;
        volume += line.shares;
        value += static_cast<std::uint64_t>(line.price) * line.shares;
        priceMovesOnly[line.side == TapeSide::Sell] += line.priceMoveOnly();

        std::uint64_t recentVolume = 0, recentValue = 0;
        for (std::size_t i = tape.size(); i-- > 0 && tape.at(i).second + 300 > tick;) {
            recentVolume += tape.at(i).shares;
            recentValue += static_cast<std::uint64_t>(tape.at(i).price) * tape.at(i).shares;
        }
        ASSERT_EQ(tape.recentVolume(), recentVolume) << tick;
        ASSERT_DOUBLE_EQ(tape.recentVwap(), recentVolume ? 1.0 * recentValue / recentVolume : 0);
    }
    EXPECT_EQ(tape.volume(), volume);
    EXPECT_DOUBLE_EQ(tape.vwap(), static_cast<double>(value) / volume);
    EXPECT_EQ(tape.size(), Tape::kCapacity);
    EXPECT_EQ(tape.dropped(), 1000u);
    for (std::size_t i = 1; i < tape.size(); ++i)
        ASSERT_LT(tape.at(i - 1).second, tape.at(i).second);
    // Both kinds of price move without volume occurred.
    EXPECT_GT(priceMovesOnly[0], 0u);
    EXPECT_GT(priceMovesOnly[1], 0u);
}

// Going back cuts the lines to where a mark stood, totals included; once the
// ring has dropped lines (past a week) the first lines are gone and it refuses.
TEST(Tape, RollsBackToAMarkUntilLinesAreDropped) {
    Tape tape;
    const auto print = [&tape](std::uint64_t second) {
        tape.record(second, TapeEntry{0, 1000, 500, TapeSide::Buy});
    };
    for (std::uint64_t s = 1; s <= 400; ++s)
        print(s);
    const Tape mark = tape.withoutLines();
    Tape copy = tape;
    for (std::uint64_t s = 401; s <= 900; ++s)
        print(s);
    ASSERT_TRUE(tape.rollBackTo(mark));
    EXPECT_TRUE(tape == copy);
    for (std::uint64_t s = 401; s <= Tape::kCapacity + 1; ++s)
        print(s);
    EXPECT_EQ(tape.dropped(), 1u);
    EXPECT_FALSE(tape.rollBackTo(mark));
    EXPECT_EQ(tape.size(), Tape::kCapacity);
}

} // namespace
} // namespace vantrel
