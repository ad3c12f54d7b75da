#include "market/Market.h"

#include "ScriptedRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <map>
#include <memory>
#include <utility>
#include <vector>

using vantrel::BoardRow;
using vantrel::Market;
using vantrel::Quotes;
using vantrel::test::CountingStream;
using vantrel::test::ScriptedRandom;

namespace {

std::map<int, double> nonZeroEntries(const Market& market) {
    std::map<int, double> entries;
    for (int i = 0; i < Market::kBookSize; ++i) {
        if (market.dblBoard()[i] != 0)
            entries[i] = market.dblBoard()[i];
    }
    return entries;
}

// A market on scripted draws.
struct ScriptedMarket {
    ScriptedRandom* draws;
    Market market;

    explicit ScriptedMarket(
        std::unique_ptr<ScriptedRandom> source = std::make_unique<ScriptedRandom>())
        : draws(source.get()), market(std::move(source)) {}
};

// One start-up pass: a bid at 496 to 501 and an ask at 498 to 503, each of 0
// to 4000 shares in thousands.
struct Pass {
    int bidPrice;
    double bidShares;
    int askPrice;
    double askShares;
};

// A market started with the given passes (the rest place nothing), so its
// book holds just those orders; centre and last price are 500.
ScriptedMarket startedWith(std::initializer_list<Pass> passes) {
    ScriptedMarket m;
    // A pass prices at floor(low + r * span); aim a quarter into the level.
    const auto priceDraw = [](int price, double low, double span) {
        return static_cast<float>(std::max(0.0, price + 0.25 - low) / span);
    };
    const auto sharesDraw = [](double shares) {
        return static_cast<float>((shares / 1000 + 0.5) / 5);
    };
    for (const Pass& p : passes)
        m.draws->push({priceDraw(p.bidPrice, 499 * 0.995, 499 * 0.01), sharesDraw(p.bidShares),
                       priceDraw(p.askPrice, 501 * 0.995, 501 * 0.01), sharesDraw(p.askShares)});
    for (std::size_t i = passes.size(); i < 51; ++i)
        m.draws->push({0.0f, 0.0f, 0.0f, 0.0f});
    m.market.StartUp();
    return m;
}

// The tick's draws in order: centre, buy price, buy amount, sell price, sell
// amount, side; then one per refilled level. A centre draw of 0.3, 0.5 or 0.7
// moves the centre by -1, 0 or +1.

// Asks of 5000 at 501 and 2000 at 505, bids of 3000 at 500 and 2000 at 495,
// after one tick that placed nothing; the refill levels are taken, so a tick
// costs exactly six draws.
ScriptedMarket quietMarket() {
    ScriptedMarket m = startedWith({{500, 3000, 501, 4000}, {496, 0, 501, 1000}});
    m.draws->push({0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f});
    m.market.Tick();
    return m;
}

} // namespace

TEST(MarketStartUp, SeedsTheKnownBookFromTheFixedStream) {
    auto counting = std::make_unique<CountingStream>();
    CountingStream* stream = counting.get();
    Market market(std::move(counting));
    market.StartUp();

    const std::map<int, double> expected = {{496, 7000}, {497, 20000}, {498, 5000},  {499, 3000},
                                            {500, 4000}, {501, -7000}, {502, -9000}, {503, -12000}};
    EXPECT_EQ(nonZeroEntries(market), expected);
    EXPECT_EQ(stream->count(), 204);
    EXPECT_EQ(stream->state(), 3004620u);
    EXPECT_EQ(market.centrePrice(), 500);
    EXPECT_TRUE(market.boardRows().empty());
    const Quotes quotes = market.quotes();
    EXPECT_EQ(quotes.dblNowPrice, 500);
    EXPECT_EQ(quotes.dblAskPrice, 0);
    EXPECT_EQ(quotes.dblAskAmount, 0);
    EXPECT_EQ(quotes.dblBidPrice, 0);
    EXPECT_EQ(quotes.dblBidAmount, 0);
}

TEST(MarketStartUp, FirstPassAloneBidsAt500AndOffersAt501) {
    // The first pass's four real draws, then zero-share passes that leave
    // the book alone.
    vantrel::RandomStream first;
    ScriptedMarket one;
    for (int i = 0; i < 4; ++i)
        one.draws->push({first.NextRandom()});
    for (int i = 0; i < 200; ++i)
        one.draws->push({0.0f});
    one.market.StartUp();
    const std::map<int, double> expected = {{500, 2000}, {501, -1000}};
    EXPECT_EQ(nonZeroEntries(one.market), expected);
}

TEST(MarketTick, FirstThreeTicksReplayExactly) {
    auto counting = std::make_unique<CountingStream>();
    CountingStream* stream = counting.get();
    Market market(std::move(counting));
    market.StartUp();

    // Tick 1: centre stays, no crowd order, 505 and 495 are refilled.
    market.Tick();
    EXPECT_EQ(stream->count(), 204 + 8);
    EXPECT_EQ(market.centrePrice(), 500);
    EXPECT_EQ(market.boardEntry(505), -4000);
    EXPECT_EQ(market.boardEntry(495), 8000);
    EXPECT_EQ(market.quotes().dblNowPrice, 500);

    // Tick 2: the crowd sells 3000 into the bid at 500; nothing is refilled.
    market.Tick();
    EXPECT_EQ(stream->count(), 212 + 6);
    EXPECT_EQ(market.centrePrice(), 500);
    EXPECT_EQ(market.boardEntry(500), 1000);
    EXPECT_EQ(market.quotes().dblNowPrice, 500);

    // Tick 3: the centre falls to 498, the last price is above it, and the
    // crowd's buy of 2000 at 498 rests below the lowest ask.
    market.Tick();
    EXPECT_EQ(market.centrePrice(), 498);
    EXPECT_EQ(market.boardEntry(498), 7000);
    EXPECT_EQ(market.quotes().dblNowPrice, 500);
}

TEST(MarketBoard, RowsAndBestQuotesAfterTheFirstTick) {
    Market market;
    market.StartUp();
    market.Tick();

    const std::vector<BoardRow> expected = {
        {505, 4000, 0},  {504, 0, 0},    {503, 12000, 0}, {502, 9000, 0},
        {501, 7000, 0},  {500, 0, 4000}, {499, 0, 3000},  {498, 0, 5000},
        {497, 0, 20000}, {496, 0, 7000}, {495, 0, 8000},
    };
    EXPECT_EQ(market.boardRows(), expected);
    const Quotes quotes = market.quotes();
    EXPECT_EQ(quotes.dblAskPrice, 501);
    EXPECT_EQ(quotes.dblAskAmount, 7000);
    EXPECT_EQ(quotes.dblBidPrice, 500);
    EXPECT_EQ(quotes.dblBidAmount, 4000);
}

TEST(MarketTick, CentreIsClampedAtBothEnds) {
    // Draws of 0.99 raise the centre by 2 every tick, draws of 0 lower it by 2.
    for (const float r : {0.99f, 0.0f}) {
        ScriptedMarket m;
        for (int i = 0; i < 204 + 100 * 8; ++i)
            m.draws->push({r});
        m.market.StartUp();
        for (int tick = 0; tick < 100; ++tick)
            m.market.Tick();
        EXPECT_EQ(m.market.centrePrice(), r > 0 ? 595 : 405) << r;
    }
}

TEST(MarketTick, SideDrawInTheMiddleBandPlacesNothing) {
    // The band's ends are not representable as draws; take the nearest
    // draws inside it.
    for (float side : {std::nextafter(0.45f, 1.0f), 0.5f, std::nextafter(0.55f, 0.0f)}) {
        ScriptedMarket m = quietMarket();
        const auto before = m.market.dblBoard();
        // centre stays at 500; last price equals the centre
        m.draws->push({0.5f, 0.9f, 0.9f, 0.0f, 0.9f, side});
        m.market.Tick();
        EXPECT_EQ(m.market.dblBoard(), before) << side;
        EXPECT_EQ(m.market.quotes().dblNowPrice, 500);
        EXPECT_EQ(m.market.boardRows().size(), 11u); // the board is still rebuilt
        EXPECT_EQ(m.draws->remaining(), 0u);
    }
}

TEST(MarketTick, SideDrawLeansTowardTheCentre) {
    // Centre up to 501, last price 500 below it: 0.36 + 0.2 = 0.56 buys.
    ScriptedMarket below = quietMarket();
    below.draws->push({0.7f, 0.0f, 0.2f, 0.0f, 0.0f, 0.36f});
    below.market.Tick();
    EXPECT_EQ(below.market.boardEntry(500), 5000); // buy of 2000 rests at 500

    // Centre down to 499, last price above it: 0.64 - 0.2 = 0.44 sells.
    ScriptedMarket above = quietMarket();
    above.draws->push({0.3f, 0.0f, 0.0f, 0.0f, 0.3f, 0.64f});
    above.market.Tick();
    EXPECT_EQ(above.market.boardEntry(500), 0); // 3000 sold into the bid at 500
    EXPECT_EQ(above.draws->remaining(), 0u);
}

TEST(MarketTick, MarketableZeroShareOrdersOnlySetTheLastPrice) {
    ScriptedMarket m = quietMarket();
    const auto before = m.market.dblBoard();
    // Centre 501, buy priced 501 >= ask 501 for 0 shares; x = 0.9 buys.
    m.draws->push({0.7f, 0.9f, 0.0f, 0.0f, 0.0f, 0.9f});
    m.market.Tick();
    EXPECT_EQ(m.market.dblBoard(), before);
    EXPECT_EQ(m.market.quotes().dblNowPrice, 501);

    // Sell priced 500 <= 500 for 0 shares; x = 0.1 sells, one below the ask.
    m.draws->push({0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.1f});
    m.market.Tick();
    EXPECT_EQ(m.market.dblBoard(), before);
    EXPECT_EQ(m.market.quotes().dblNowPrice, 500);
}

TEST(MarketTick, SellIntoAnEmptyLevelBecomesTheNewLowestAsk) {
    // Bid 3000 at 498, nothing at 500; the quiet tick fills 505 and 495.
    ScriptedMarket m = startedWith({{498, 3000, 501, 4000}, {496, 0, 501, 1000}});
    m.draws->push({0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f});
    m.market.Tick();
    // Sell 4000 priced 499 <= 500: it trades one below the ask, at 500.
    m.draws->push({0.5f, 0.0f, 0.0f, 0.0f, 0.4f, 0.1f, 0.5f, 0.0f});
    m.market.Tick();
    EXPECT_EQ(m.market.boardEntry(500), -4000);
    EXPECT_EQ(m.market.quotes().dblNowPrice, 500);
    EXPECT_EQ(m.market.quotes().dblAskPrice, 500);
    EXPECT_EQ(m.market.quotes().dblAskAmount, 4000);
    // The edges move down with the ask: 504 (0.5 -> 7000) and 494 refilled.
    EXPECT_EQ(m.market.boardEntry(504), -7000);
    EXPECT_EQ(m.market.boardEntry(494), 2000);
    EXPECT_EQ(m.draws->remaining(), 0u);
}

TEST(MarketTick, BuyLargerThanTheAskLeavesABidAndTheNextAskIsFound) {
    ScriptedMarket m = startedWith({{497, 1000, 501, 2000}, {496, 0, 503, 4000}});
    // centre 501 (draw 0.6 -> +1), buy at 501 for 5000; x = 0.7 buys
    m.draws->push({0.6f, 0.9f, 0.5f, 0.0f, 0.0f, 0.7f, 0.0f});
    m.market.Tick();
    EXPECT_EQ(m.market.boardEntry(501), 3000);
    const Quotes quotes = m.market.quotes();
    EXPECT_EQ(quotes.dblNowPrice, 501);
    EXPECT_EQ(quotes.dblAskPrice, 503);
    EXPECT_EQ(quotes.dblBidPrice, 501);
    EXPECT_EQ(quotes.dblBidAmount, 3000);
    // Only 507 was refilled; 497 holds a bid.
    EXPECT_EQ(m.market.boardEntry(507), -2000);
    EXPECT_EQ(m.draws->remaining(), 0u);
}

TEST(MarketTick, RefillsOnlyEmptyEdgesWithTheirOwnDraws) {
    ScriptedMarket m = startedWith({{500, 3000, 501, 4000}, {496, 0, 501, 1000}});
    // 505 and 495 empty: two refills, 0.0 -> 2000 and 0.99 -> 12000.
    m.draws->push({0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.99f});
    m.market.Tick();
    EXPECT_EQ(m.market.boardEntry(505), -2000);
    EXPECT_EQ(m.market.boardEntry(495), 12000);
    EXPECT_EQ(m.draws->remaining(), 0u);

    // Levels already holding shares are left alone and cost no draw.
    m.draws->push({0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f});
    m.market.Tick();
    EXPECT_EQ(m.market.boardEntry(505), -2000);
    EXPECT_EQ(m.market.boardEntry(495), 12000);
}

TEST(MarketTick, EmptyBookRefillsOnlyTheEdgeInsideIt) {
    // With no ask ever found, the edges lie at 4 and below 0: the tick must
    // skip the one outside rather than touch memory it does not own.
    ScriptedMarket empty;
    empty.draws->push({0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.5f});
    empty.market.Tick();
    EXPECT_EQ(empty.market.boardEntry(4), -7000);
    EXPECT_EQ(empty.market.boardRows().size(), 11u);
    // A side the board does not show quotes as 0.
    EXPECT_EQ(empty.market.quotes().dblAskPrice, 4);
    EXPECT_EQ(empty.market.quotes().dblBidPrice, 0);
    EXPECT_EQ(empty.market.quotes().dblBidAmount, 0);
}

TEST(MarketTick, LongRunKeepsEveryPromise) {
    Market market;
    market.StartUp();
    for (int tick = 1; tick <= 1000000; ++tick) {
        market.Tick();
        ASSERT_GE(market.centrePrice(), 405);
        ASSERT_LE(market.centrePrice(), 595);
        const Quotes quotes = market.quotes();
        // Everything the tick touches lies within 398 to 603: the edges lie
        // 4 above and 6 below the lowest ask.
        ASSERT_GE(quotes.dblAskPrice - 6, 398) << "tick " << tick;
        ASSERT_LE(quotes.dblAskPrice + 4, 603) << "tick " << tick;
        const std::vector<BoardRow> rows = market.boardRows();
        ASSERT_TRUE(rows[4].hasAsk()) << "tick " << tick;
        ASSERT_EQ(rows[4].price, quotes.dblAskPrice);
        ASSERT_GT(quotes.dblBidPrice, 0);
        ASSERT_LT(quotes.dblBidPrice, quotes.dblAskPrice);
        if (tick % 1000 == 0) {
            // Never crossed: no bid at or above the lowest ask anywhere.
            const int ask = static_cast<int>(quotes.dblAskPrice);
            for (int i = ask; i < Market::kBookSize; ++i)
                ASSERT_LE(market.dblBoard()[i], 0) << "tick " << tick << " price " << i;
            for (int i = 0; i < ask; ++i)
                ASSERT_GE(market.dblBoard()[i], 0) << "tick " << tick << " price " << i;
        }
    }
}
