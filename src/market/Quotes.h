#pragma once

namespace vantrel {

// What the user's trading reads from the market: the best quotes as the board
// shows them (0 where it shows none) and the last traded price, whole yen.
struct Quotes {
    double dblAskPrice = 0;
    double dblAskAmount = 0; // shares offered at dblAskPrice
    double dblBidPrice = 0;
    double dblBidAmount = 0; // shares bid at dblBidPrice
    double lastPrice = 0;    // the last traded price
};

} // namespace vantrel
