#include "market/Market.h"

#include "market/MarketNumber.h"
#include "market/RandomStream.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

// Turns a price held as a double into a book index, or -1 when it lies
// outside the book (or is not a number), so that no access ever leaves it.
int bookIndex(double price) {
    if (!(price >= 0 && price <= Market::kBookSize - 1))
        return -1;
    return static_cast<int>(price);
}

} // namespace

Market::Market(std::unique_ptr<RandomSource> random)
    : m_random(random ? std::move(random) : std::make_unique<RandomStream>()) {}

Market Market::withoutTapeLines() {
    // The lines step aside while the rest is copied, so they are never copied.
    Tape lines = std::move(m_tape);
    m_tape = lines.withoutLines();
    Market copy(*this);
    m_tape = std::move(lines);
    return copy;
}

bool Market::rollBackTo(const Market& earlier) {
    Tape lines = std::move(m_tape);
    if (!lines.rollBackTo(earlier.m_tape)) {
        m_tape = std::move(lines);
        return false;
    }
    *this = earlier;
    m_tape = std::move(lines);
    return true;
}

bool Market::operator==(const Market& other) const {
    // The crowd order's fields are left out: each tick sets them afresh.
    return m_random == other.m_random && m_board == other.m_board &&
           m_noAskBelow == other.m_noAskBelow && m_rows == other.m_rows &&
           m_rowCount == other.m_rowCount && m_ticks == other.m_ticks && m_trade == other.m_trade &&
           m_tape == other.m_tape && dblBidAmount == other.dblBidAmount &&
           dblBidPrice == other.dblBidPrice && dblAskAmount == other.dblAskAmount &&
           dblAskPrice == other.dblAskPrice && dblCenterPrice == other.dblCenterPrice &&
           intAskIndex == other.intAskIndex && intBidIndex == other.intBidIndex &&
           lastPrice == other.lastPrice;
}

Market::Market(int marketNumber)
    : Market(std::make_unique<RandomStream>(marketStartState(marketNumber))) {}

double Market::boardEntry(int price) const {
    return (price >= 0 && price < kBookSize) ? m_board[price] : 0.0;
}

bool Market::uncrossed() const {
    const auto lowestAsk =
        std::find_if(m_board.begin(), m_board.end(), [](double e) { return e < 0; });
    return lowestAsk != m_board.end() &&
           std::none_of(lowestAsk, m_board.end(), [](double e) { return e > 0; });
}

void Market::setBoardEntry(int price, double shares) {
    if (price < 0 || price >= kBookSize)
        return;
    m_board[price] = shares;
    if (shares < 0 && price < m_noAskBelow)
        m_noAskBelow = price;
}

void Market::addToBoard(double price, double shares) {
    const int index = bookIndex(std::floor(price));
    if (index >= 0 && index == price)
        setBoardEntry(index, m_board[index] + shares);
}

void Market::StartUp() {
    lastPrice = kStartPrice;
    dblCenterPrice = kStartPrice;
    // Seed the book from both sides at once; where buy and sell prices meet,
    // the level holds the net of both.
    for (int pass = 0; pass <= 50; ++pass) {
        double r = draw();
        dblCrowdBuyPrice =
            std::floor((dblCenterPrice - 1) * 0.995 + r * (dblCenterPrice - 1) * 0.01);
        r = draw();
        dblCrowdBuyAmount = std::floor(r * 5.0) * 1000;
        r = draw();
        dblCrowdSellPrice =
            std::floor((dblCenterPrice + 1) * 0.995 + r * (dblCenterPrice + 1) * 0.01);
        r = draw();
        dblCrowdSellAmount = std::floor(r * 5.0) * 1000;
        addToBoard(dblCrowdBuyPrice, dblCrowdBuyAmount);
        addToBoard(dblCrowdSellPrice, -dblCrowdSellAmount);
    }
}

void Market::FindAskIndex() {
    // The lowest negative entry from 0 to 999 (1000 is never examined). No
    // entry below m_noAskBelow is negative, so the walk starts there.
    for (int i = m_noAskBelow; i < kBookSize - 1; ++i) {
        if (m_board[i] < 0) {
            m_noAskBelow = i;
            intAskIndex = static_cast<std::int16_t>(i);
            intBidIndex = static_cast<std::int16_t>(i - 1);
            return;
        }
    }
    m_noAskBelow = kBookSize - 1;
    intBidIndex = static_cast<std::int16_t>(intAskIndex - 1);
}

void Market::Tick() {
    m_trade.reset();
    double r = draw();
    dblCenterPrice = std::floor(dblCenterPrice - 2 + r * 5.0);
    if (dblCenterPrice > kHighestCentre)
        dblCenterPrice = kHighestCentre;
    if (dblCenterPrice < kLowestCentre)
        dblCenterPrice = kLowestCentre;

    FindAskIndex();

    // Both candidate orders are always drawn, though at most one is used.
    r = draw();
    dblCrowdBuyPrice = std::floor(r * 2.0 + dblCenterPrice - 1);
    r = draw();
    dblCrowdBuyAmount = std::floor(r * 10.0) * 1000;
    r = draw();
    dblCrowdSellPrice = std::floor(r * 2.0 + dblCenterPrice - 1);
    r = draw();
    dblCrowdSellAmount = std::floor(r * 10.0) * 1000;

    // The crowd leans toward the centre: it buys more often while the last
    // price is below it and sells more often while it is above.
    double x = draw();
    if (lastPrice < dblCenterPrice)
        x += 0.2;
    else if (lastPrice > dblCenterPrice)
        x -= 0.2;
    if (x > 0.55)
        crowdBuy();
    else if (x < 0.45)
        crowdSell();

    FindAskIndex();
    topUp(intBidIndex + 5, -1);
    topUp(intBidIndex - 5, +1);
    RefreshBoard();
    ++m_ticks;
    if (m_keepTape)
        m_tape.record(m_ticks, m_trade);
}

void Market::crowdBuy() {
    if (dblCrowdBuyPrice >= intAskIndex) {
        // Marketable: trades at the lowest ask; any excess stays there as a bid.
        printTrade(TapeSide::Buy, intAskIndex, -boardEntry(intAskIndex), dblCrowdBuyAmount);
        addToBoard(intAskIndex, dblCrowdBuyAmount);
        lastPrice = intAskIndex;
    } else {
        addToBoard(dblCrowdBuyPrice, dblCrowdBuyAmount);
    }
}

void Market::crowdSell() {
    if (dblCrowdSellPrice <= intBidIndex) {
        // Marketable: trades one yen below the lowest ask, bid there or not;
        // what the level cannot absorb rests there as the new lowest ask.
        printTrade(TapeSide::Sell, intBidIndex, boardEntry(intBidIndex), dblCrowdSellAmount);
        addToBoard(intBidIndex, -dblCrowdSellAmount);
        lastPrice = intBidIndex;
    } else {
        addToBoard(dblCrowdSellPrice, -dblCrowdSellAmount);
    }
}

void Market::printTrade(TapeSide side, int price, double restingBefore, double crowdShares) {
    // Only the shares resting on the other side at that price meet the order;
    // none may rest there at all, and the price is set all the same.
    const double met = std::min(std::max(restingBefore, 0.0), crowdShares);
    TapeEntry entry;
    entry.second = m_ticks + 1;
    entry.side = side;
    entry.price = static_cast<std::int16_t>(price);
    entry.shares = static_cast<std::uint32_t>(met);
    m_trade = entry;
}

void Market::topUp(int price, double sign) {
    // Only an empty level is refilled, and only a refill costs a draw.
    if (price < 0 || price >= kBookSize || m_board[price] != 0)
        return;
    const double r = draw();
    setBoardEntry(price, sign * std::floor(r * 10.0 + 2.5) * 1000);
}

void Market::RefreshBoard() {
    m_rowCount = 0;
    for (int k = intBidIndex + 5; k >= intBidIndex - 5; --k) {
        const double entry = boardEntry(k);
        BoardRow& row = m_rows[m_rowCount++];
        row.price = k;
        row.offered = entry < 0 ? -entry : 0;
        row.bid = entry > 0 ? entry : 0;
    }

    // The best quotes are what the board shows: the last row with an ask is
    // the lowest ask, the first row with a bid the highest bid.
    dblBidAmount = 0;
    dblBidPrice = 0;
    dblAskAmount = 0;
    dblAskPrice = 0;
    for (int j = 0; j < m_rowCount; ++j) {
        const BoardRow& row = m_rows[j];
        if (row.hasAsk()) {
            dblAskAmount = row.offered;
            dblAskPrice = row.price;
        }
        if (row.hasBid() && dblBidAmount == 0) {
            dblBidAmount = row.bid;
            dblBidPrice = row.price;
        }
    }
}

} // namespace vantrel
