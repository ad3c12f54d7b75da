#include "market/Market.h"

#include "ScriptedRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <utility>

using vantrel::BoardRow;
using vantrel::Market;
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

// A market on scripted draws, with a hand-made book and no start-up.
struct ScriptedMarket {
    ScriptedRandom* draws;
    Market market;

    explicit ScriptedMarket(
        std::unique_ptr<ScriptedRandom> source = std::make_unique<ScriptedRandom>())
        : draws(source.get()), market(std::move(source)) {}
};

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
    EXPECT_EQ(market.dblCenterPrice, 500);
    EXPECT_EQ(market.dblNowPrice, 500);
    EXPECT_EQ(market.boardRowCount(), 0);
    EXPECT_EQ(market.dblAskPrice, 0);
    EXPECT_EQ(market.dblAskAmount, 0);
    EXPECT_EQ(market.dblBidPrice, 0);
    EXPECT_EQ(market.dblBidAmount, 0);
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
    market.Timer1_Timer();
    EXPECT_EQ(stream->count(), 204 + 8);
    EXPECT_EQ(market.dblCenterPrice, 500);
    EXPECT_EQ(market.intAskIndex, 501);
    EXPECT_EQ(market.intBidIndex, 500);
    EXPECT_EQ(market.dblCrowdBuyPrice, 500);
    EXPECT_EQ(market.dblCrowdBuyAmount, 8000);
    EXPECT_EQ(market.dblCrowdSellPrice, 500);
    EXPECT_EQ(market.dblCrowdSellAmount, 4000);
    EXPECT_EQ(market.boardEntry(505), -4000);
    EXPECT_EQ(market.boardEntry(495), 8000);
    EXPECT_EQ(market.dblNowPrice, 500);

    // Tick 2: the crowd sells 3000 into the bid at 500; nothing is refilled.
    market.Timer1_Timer();
    EXPECT_EQ(stream->count(), 212 + 6);
    EXPECT_EQ(market.dblCenterPrice, 500);
    EXPECT_EQ(market.dblCrowdBuyPrice, 500);
    EXPECT_EQ(market.dblCrowdBuyAmount, 8000);
    EXPECT_EQ(market.dblCrowdSellPrice, 499);
    EXPECT_EQ(market.dblCrowdSellAmount, 3000);
    EXPECT_EQ(market.boardEntry(500), 1000);
    EXPECT_EQ(market.dblNowPrice, 500);

    // Tick 3: the centre falls to 498, the last price is above it, and the
    // crowd's buy of 2000 at 498 rests below the lowest ask.
    market.Timer1_Timer();
    EXPECT_EQ(market.dblCenterPrice, 498);
    EXPECT_EQ(market.dblCrowdBuyPrice, 498);
    EXPECT_EQ(market.dblCrowdBuyAmount, 2000);
    EXPECT_EQ(market.boardEntry(498), 7000);
    EXPECT_EQ(market.dblNowPrice, 500);
}

TEST(MarketBoard, RowsAndBestQuotesAfterTheFirstTick) {
    Market market;
    market.StartUp();
    market.Timer1_Timer();

    const BoardRow expected[] = {
        {505, 4000, 0},  {504, 0, 0},    {503, 12000, 0}, {502, 9000, 0},
        {501, 7000, 0},  {500, 0, 4000}, {499, 0, 3000},  {498, 0, 5000},
        {497, 0, 20000}, {496, 0, 7000}, {495, 0, 8000},
    };
    ASSERT_EQ(market.boardRowCount(), 11);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(market.boardRows()[i], expected[i]) << "row " << i + 1;
    EXPECT_EQ(market.dblAskPrice, 501);
    EXPECT_EQ(market.dblAskAmount, 7000);
    EXPECT_EQ(market.dblBidPrice, 500);
    EXPECT_EQ(market.dblBidAmount, 4000);
}

TEST(MarketBoard, BestQuotesAreTheNearestShownAndZeroWhenASideIsMissing) {
    ScriptedMarket m;
    // Asks at 503 and 501, bids at 499 and 496; nothing refilled (edges full).
    m.market.setBoardEntry(505, -1000);
    m.market.setBoardEntry(503, -3000);
    m.market.setBoardEntry(501, -2000);
    m.market.setBoardEntry(499, 5000);
    m.market.setBoardEntry(496, 6000);
    m.market.setBoardEntry(495, -1000); // an ask in the bottom row still counts as the last ask row
    m.market.FindAskIndex();
    m.market.RefreshBoard();
    EXPECT_EQ(m.market.dblAskPrice, 495);
    EXPECT_EQ(m.market.dblAskAmount, 1000);
    EXPECT_EQ(m.market.dblBidPrice, 499);
    EXPECT_EQ(m.market.dblBidAmount, 5000);

    ScriptedMarket bare;
    bare.market.setBoardEntry(501, -2000);
    bare.market.FindAskIndex();
    bare.market.RefreshBoard();
    EXPECT_EQ(bare.market.dblAskPrice, 501);
    EXPECT_EQ(bare.market.dblBidPrice, 0);
    EXPECT_EQ(bare.market.dblBidAmount, 0);
}

// The tick's draws in order: centre, buy price, buy amount, sell price, sell
// amount, side; then one per refilled level.
TEST(MarketTick, CentreIsClampedAtBothEnds) {
    ScriptedMarket high;
    high.market.dblCenterPrice = 595;
    high.market.dblNowPrice = 595;
    high.market.setBoardEntry(599, -1000);
    high.market.setBoardEntry(603, -1000);
    high.market.setBoardEntry(593, 1000);
    high.draws->push({0.99f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f});
    high.market.Timer1_Timer();
    EXPECT_EQ(high.market.dblCenterPrice, 595);

    ScriptedMarket low;
    low.market.dblCenterPrice = 405;
    low.market.dblNowPrice = 405;
    low.market.setBoardEntry(410, -1000);
    low.market.setBoardEntry(414, -1000);
    low.market.setBoardEntry(404, 1000);
    low.draws->push({0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f});
    low.market.Timer1_Timer();
    EXPECT_EQ(low.market.dblCenterPrice, 405);
    EXPECT_EQ(low.draws->remaining(), 0u);
}

namespace {

// A book around 500 whose refill levels (505 and 495) are already taken, so
// a tick costs exactly six draws.
void quietBook(Market& market) {
    market.setBoardEntry(501, -5000);
    market.setBoardEntry(505, -2000);
    market.setBoardEntry(500, 3000);
    market.setBoardEntry(495, 2000);
}

} // namespace

TEST(MarketTick, SideDrawInTheMiddleBandPlacesNothing) {
    // The band's ends are not representable as draws; take the nearest
    // draws inside it.
    for (float side : {std::nextafter(0.45f, 1.0f), 0.5f, std::nextafter(0.55f, 0.0f)}) {
        ScriptedMarket m;
        quietBook(m.market);
        const auto before = m.market.dblBoard();
        // centre stays at 500 (r in [0.4, 0.6)); last price equals the centre
        m.draws->push({0.5f, 0.9f, 0.9f, 0.0f, 0.9f, side});
        m.market.Timer1_Timer();
        EXPECT_EQ(m.market.dblBoard(), before) << side;
        EXPECT_EQ(m.market.dblNowPrice, 500);
        EXPECT_EQ(m.market.boardRowCount(), 11); // the board is still rebuilt
        EXPECT_EQ(m.draws->remaining(), 0u);
    }
}

TEST(MarketTick, SideDrawLeansTowardTheCentre) {
    // Last price below the centre: 0.36 + 0.2 = 0.56 buys.
    ScriptedMarket below;
    quietBook(below.market);
    below.market.dblNowPrice = 499;
    below.draws->push({0.5f, 0.0f, 0.2f, 0.0f, 0.0f, 0.36f});
    below.market.Timer1_Timer();
    EXPECT_EQ(below.market.boardEntry(499), 2000); // buy of 2000 rests at 499

    // Last price above the centre: 0.64 - 0.2 = 0.44 sells.
    ScriptedMarket above;
    quietBook(above.market);
    above.market.dblNowPrice = 501;
    above.draws->push({0.5f, 0.0f, 0.0f, 0.0f, 0.3f, 0.64f});
    above.market.Timer1_Timer();
    EXPECT_EQ(above.market.boardEntry(500), 0); // 3000 sold into the bid at 500
    EXPECT_EQ(above.market.dblNowPrice, 500);
}

TEST(MarketTick, MarketableZeroShareOrdersOnlySetTheLastPrice) {
    ScriptedMarket buy;
    quietBook(buy.market);
    const auto before = buy.market.dblBoard();
    // buy priced at the centre 501 >= ask 501, 0 shares; x = 0.9 buys
    buy.market.dblCenterPrice = 501;
    buy.market.dblNowPrice = 499;
    buy.draws->push({0.5f, 0.9f, 0.0f, 0.0f, 0.0f, 0.9f});
    buy.market.Timer1_Timer();
    EXPECT_EQ(buy.market.dblBoard(), before);
    EXPECT_EQ(buy.market.dblNowPrice, 501);

    ScriptedMarket sell;
    quietBook(sell.market);
    sell.market.dblNowPrice = 497;
    // sell priced 499 <= 500, 0 shares; x = 0.1 + 0.2 sells
    sell.draws->push({0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.1f});
    sell.market.Timer1_Timer();
    EXPECT_EQ(sell.market.dblBoard(), before);
    EXPECT_EQ(sell.market.dblNowPrice, 500);
}

TEST(MarketTick, SellIntoAnEmptyLevelBecomesTheNewLowestAsk) {
    ScriptedMarket m;
    m.market.setBoardEntry(501, -5000);
    m.market.setBoardEntry(505, -2000);
    m.market.setBoardEntry(498, 3000); // 500 is empty
    m.market.setBoardEntry(495, 2000);
    m.market.setBoardEntry(494, 2000); // refill level once the ask moves down
    m.draws->push({0.5f, 0.0f, 0.0f, 0.0f, 0.4f, 0.1f, 0.5f});
    m.market.Timer1_Timer();
    EXPECT_EQ(m.market.boardEntry(500), -4000);
    EXPECT_EQ(m.market.intAskIndex, 500);
    EXPECT_EQ(m.market.dblNowPrice, 500);
    EXPECT_EQ(m.market.dblAskPrice, 500);
    EXPECT_EQ(m.market.dblAskAmount, 4000);
    // 504 was empty and got refilled with one draw (0.5 -> 7000 shares).
    EXPECT_EQ(m.market.boardEntry(504), -7000);
    EXPECT_EQ(m.draws->remaining(), 0u);
}

TEST(MarketTick, BuyLargerThanTheAskLeavesABidAndTheNextAskIsFound) {
    ScriptedMarket m;
    m.market.setBoardEntry(501, -2000);
    m.market.setBoardEntry(503, -4000);
    m.market.setBoardEntry(505, -2000);
    m.market.setBoardEntry(506, -2000);
    m.market.setBoardEntry(507, -2000);
    m.market.setBoardEntry(497, 1000);
    m.market.setBoardEntry(495, 1000);
    // centre 501 (draw 0.6 -> +1), buy at 501 for 5000; x = 0.7 buys
    m.draws->push({0.6f, 0.9f, 0.5f, 0.0f, 0.0f, 0.7f});
    m.market.Timer1_Timer();
    EXPECT_EQ(m.market.boardEntry(501), 3000);
    EXPECT_EQ(m.market.dblNowPrice, 501);
    EXPECT_EQ(m.market.intAskIndex, 503);
    EXPECT_EQ(m.market.intBidIndex, 502);
    EXPECT_EQ(m.market.dblBidPrice, 501);
    EXPECT_EQ(m.market.dblBidAmount, 3000);
    EXPECT_EQ(m.draws->remaining(), 0u); // 507 and 497 are taken: no refill draw
}

TEST(MarketTick, RefillsOnlyEmptyEdgesWithTheirOwnDraws) {
    ScriptedMarket m;
    m.market.setBoardEntry(501, -5000);
    m.market.setBoardEntry(500, 3000);
    // 505 and 495 empty: two refills, 0.0 -> 2000 and 0.99 -> 12000.
    m.draws->push({0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.99f});
    m.market.Timer1_Timer();
    EXPECT_EQ(m.market.boardEntry(505), -2000);
    EXPECT_EQ(m.market.boardEntry(495), 12000);
    EXPECT_EQ(m.draws->remaining(), 0u);

    // Levels already holding shares are left alone and cost no draw.
    ScriptedMarket taken;
    taken.market.setBoardEntry(501, -5000);
    taken.market.setBoardEntry(505, 1000);
    taken.market.setBoardEntry(495, 1000);
    taken.draws->push({0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f});
    taken.market.Timer1_Timer();
    EXPECT_EQ(taken.market.boardEntry(505), 1000);
    EXPECT_EQ(taken.draws->remaining(), 0u);
}

TEST(MarketTick, BookWithoutAskKeepsTheAskIndexAndStaysInside) {
    ScriptedMarket m;
    m.market.setBoardEntry(500, 3000);
    m.market.FindAskIndex();
    EXPECT_EQ(m.market.intAskIndex, 0);
    EXPECT_EQ(m.market.intBidIndex, -1);

    // A later ask is found, then taken out entirely: the index stays put.
    m.market.setBoardEntry(502, -1000);
    m.market.FindAskIndex();
    EXPECT_EQ(m.market.intAskIndex, 502);
    m.market.setBoardEntry(502, 0);
    m.market.FindAskIndex();
    EXPECT_EQ(m.market.intAskIndex, 502);
    EXPECT_EQ(m.market.intBidIndex, 501);

    // Entry 1000 is never taken for an ask.
    m.market.setBoardEntry(1000, -1000);
    m.market.FindAskIndex();
    EXPECT_EQ(m.market.intAskIndex, 502);

    // With index 0 and an empty book, the edges lie outside the book: the
    // tick must skip them rather than touch memory it does not own.
    ScriptedMarket empty;
    empty.draws->push({0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.5f});
    empty.market.Timer1_Timer();
    EXPECT_EQ(empty.market.boardEntry(4), -7000); // intBidIndex + 5 = 4 refilled
    EXPECT_EQ(empty.market.boardRowCount(), 11);
}

TEST(MarketTick, LongRunKeepsEveryPromise) {
    Market market;
    market.StartUp();
    for (int tick = 1; tick <= 1000000; ++tick) {
        market.Timer1_Timer();
        ASSERT_GE(market.dblCenterPrice, 405);
        ASSERT_LE(market.dblCenterPrice, 595);
        ASSERT_GE(market.dblCrowdBuyPrice, 404);
        ASSERT_LE(market.dblCrowdSellPrice, 595);
        // Everything the tick touches lies within 398 to 603.
        ASSERT_GE(market.intBidIndex - 5, 398) << "tick " << tick;
        ASSERT_LE(market.intBidIndex + 5, 603) << "tick " << tick;
        const BoardRow& fifth = market.boardRows()[4];
        ASSERT_TRUE(fifth.hasAsk()) << "tick " << tick;
        ASSERT_EQ(fifth.price, market.intAskIndex);
        ASSERT_EQ(market.dblAskPrice, market.intAskIndex);
        ASSERT_GT(market.dblBidPrice, 0);
        ASSERT_LT(market.dblBidPrice, market.dblAskPrice);
        if (tick % 1000 == 0) {
            // Never crossed: no bid at or above the lowest ask anywhere.
            for (int i = market.intAskIndex; i < Market::kBookSize; ++i)
                ASSERT_LE(market.dblBoard()[i], 0) << "tick " << tick << " price " << i;
            for (int i = 0; i < market.intAskIndex; ++i)
                ASSERT_GE(market.dblBoard()[i], 0) << "tick " << tick << " price " << i;
        }
    }
}
