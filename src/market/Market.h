#pragma once

#include "market/BoardRow.h"
#include "market/Quotes.h"
#include "market/RandomSource.h"
#include "market/Tape.h"
#include "market/TapeEntry.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace vantrel {

// The simulated market: one stock, the crowd's order book, the centre price
// the crowd trades around and the last traded price. Only StartUp and Tick
// change it; everyone else reads values.
class Market final {
public:
    static constexpr int kBookSize = 1001; // whole-yen prices 0 to 1000
    static constexpr int kBoardRows = 11;
    static constexpr double kStartPrice = 500;

    // Uses the standard market's random stream unless a test supplies its
    // own draws.
    explicit Market(std::unique_ptr<RandomSource> random = nullptr);
    // The numbered market (1 to 9999; 1 is the standard market).
    explicit Market(int marketNumber);

    // Sets the centre and the last price to 500 and seeds the book from the
    // random stream (51 passes of four draws).
    void StartUp();

    // One market tick: centre walk, crowd order, top-up of the board's edges,
    // then the board rows and best quotes are rebuilt.
    void Tick();

    // The best quotes as last rebuilt and the last traded price.
    Quotes quotes() const {
        return {dblAskPrice, dblAskAmount, dblBidPrice, dblBidAmount, lastPrice};
    }
    // The price the crowd trades around, 405 to 595.
    double centrePrice() const { return dblCenterPrice; }

    // The board as last rebuilt, top (highest price) to bottom; empty before
    // the first tick.
    std::vector<BoardRow> boardRows() const {
        return {m_rows.begin(), m_rows.begin() + m_rowCount};
    }

    // The book: net shares waiting per price, positive bids, negative asks.
    const std::array<double, kBookSize>& dblBoard() const { return m_board; }
    // One level of the book; 0 outside it.
    double boardEntry(int price) const;
    // Whether the book holds an ask and every bid lies below the lowest one.
    // The tick never crosses a book that starts this way, so a start book
    // that fails it would show the user a riskless trade.
    bool uncrossed() const;

    // Number of ticks run since start-up.
    std::uint64_t tickCount() const { return m_ticks; }

    // Everything that decides the market's future and what it shows: a copy
    // that compares equal goes on tick for tick as the original.
    bool operator==(const Market& other) const;
    bool operator!=(const Market& other) const { return !(*this == other); }

    // A copy whose tape holds only where it stood (Tape::withoutLines), a
    // few kilobytes whatever the length; and back to such a copy of this
    // same market, its tape cut back to the lines it had then. False, and
    // nothing changed, where the tape cannot go back (Tape::rollBackTo).
    Market withoutTapeLines();
    bool rollBackTo(const Market& earlier);

    // What the last tick traded, if it set the last price (see TapeEntry).
    const std::optional<TapeEntry>& lastTrade() const { return m_trade; }
    // Every tick's trade since start-up, with volume and VWAP.
    const Tape& tape() const { return m_tape; }
    // Without a window to show it (a headless replay, the computer traders'
    // run of the market) the tape stays empty: a week of it is 9.2 MiB.
    void keepTape(bool keep) { m_keepTape = keep; }

private:
    static constexpr double kLowestCentre = 405;
    static constexpr double kHighestCentre = 595;

    float draw() { return m_random.next(); }
    void setBoardEntry(int price, double shares);
    void addToBoard(double price, double shares);
    void FindAskIndex();
    void RefreshBoard();
    void crowdBuy();
    void crowdSell();
    void topUp(int price, double sign);
    void printTrade(TapeSide side, int price, double restingBefore, double crowdShares);

    RandomHandle m_random;
    std::array<double, kBookSize> m_board{};
    // No entry below this price is negative, so the search for the lowest ask
    // can start here instead of at the bottom of the book.
    int m_noAskBelow = kBookSize - 1;
    std::array<BoardRow, kBoardRows> m_rows{};
    int m_rowCount = 0;
    std::uint64_t m_ticks = 0;
    std::optional<TapeEntry> m_trade;
    Tape m_tape;
    bool m_keepTape = true;

    // Best quotes read back from the board; 0 where the board shows none.
    double dblBidAmount = 0;
    double dblBidPrice = 0;
    double dblAskAmount = 0;
    double dblAskPrice = 0;

    double dblCenterPrice = kStartPrice;
    // The lowest ask in the book (0 to 999) and the price one below it.
    std::int16_t intAskIndex = 0;
    std::int16_t intBidIndex = 0;

    // The crowd order being generated; meaningful only within one tick.
    double dblCrowdBuyPrice = 0;
    double dblCrowdBuyAmount = 0;
    double dblCrowdSellPrice = 0;
    double dblCrowdSellAmount = 0;

    // The last traded price, whole yen.
    double lastPrice = kStartPrice;
};

} // namespace vantrel
