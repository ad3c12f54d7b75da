#pragma once

#include "market/BoardRow.h"
#include "market/RandomSource.h"

#include <array>
#include <cstdint>
#include <memory>

namespace vantrel {

// The simulated market: one stock, the crowd's order book, the centre price
// the crowd trades around and the last traded price. Only StartUp and
// Timer1_Timer change it; the user's trading merely reads the best quotes and
// the last price.
class Market final {
public:
    static constexpr int kBookSize = 1001; // whole-yen prices 0 to 1000
    static constexpr int kBoardRows = 11;
    static constexpr double kStartPrice = 500;
    static constexpr double kLowestCentre = 405;
    static constexpr double kHighestCentre = 595;

    // Uses the fixed random stream unless a test supplies its own draws.
    explicit Market(std::unique_ptr<RandomSource> random = nullptr);

    // Sets the centre and the last price to 500 and seeds the book from the
    // random stream (51 passes of four draws).
    void StartUp();

    // One market tick: centre walk, crowd order, top-up of the board's edges,
    // then the board rows and best quotes are rebuilt.
    void Timer1_Timer();

    // Sets intAskIndex to the lowest price (0 to 999) holding an ask and
    // intBidIndex one below it; leaves both alone if the book has no ask.
    void FindAskIndex();

    // Rebuilds the eleven board rows around the lowest ask and reads the best
    // quotes back from them.
    void RefreshBoard();

    // The book: net shares waiting per price, positive bids, negative asks.
    const std::array<double, kBookSize>& dblBoard() const { return m_board; }
    double boardEntry(int price) const;
    // Writes one level. Out-of-range prices are ignored.
    void setBoardEntry(int price, double shares);

    // The board as last rebuilt, top (highest price) to bottom; empty before
    // the first tick.
    const std::array<BoardRow, kBoardRows>& boardRows() const { return m_rows; }
    int boardRowCount() const { return m_rowCount; }

    // Best quotes read back from the board; 0 where the board shows none.
    double dblBidAmount = 0;
    double dblBidPrice = 0;
    double dblAskAmount = 0;
    double dblAskPrice = 0;

    double dblCenterPrice = kStartPrice;
    std::int16_t intAskIndex = 0;
    std::int16_t intBidIndex = 0;

    // The crowd order being generated; meaningful only within one tick.
    double dblCrowdBuyPrice = 0;
    double dblCrowdBuyAmount = 0;
    double dblCrowdSellPrice = 0;
    double dblCrowdSellAmount = 0;

    // The last traded price (the caption of lblNowPrice), whole yen.
    double dblNowPrice = kStartPrice;

    // Number of ticks run since start-up.
    std::uint64_t tickCount() const { return m_ticks; }

private:
    float draw() { return m_random->NextRandom(); }
    void addToBoard(double price, double shares);
    void crowdBuy();
    void crowdSell();
    void topUp(int price, double sign);

    std::unique_ptr<RandomSource> m_random;
    std::array<double, kBookSize> m_board{};
    // No entry below this price is negative, so the search for the lowest ask
    // can start here instead of at the bottom of the book.
    int m_noAskBelow = kBookSize - 1;
    std::array<BoardRow, kBoardRows> m_rows{};
    int m_rowCount = 0;
    std::uint64_t m_ticks = 0;
};

} // namespace vantrel
