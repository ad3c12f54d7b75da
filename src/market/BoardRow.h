#pragma once

namespace vantrel {

// One of the eleven price levels shown on the board. A side with nothing
// waiting holds 0 and is shown as an empty cell.
struct BoardRow {
    int price = 0;
    double offered = 0; // shares offered at this price (an ask), or 0
    double bid = 0;     // shares bid at this price, or 0

    bool hasAsk() const { return offered != 0; }
    bool hasBid() const { return bid != 0; }
    bool operator==(const BoardRow& other) const {
        return price == other.price && offered == other.offered && bid == other.bid;
    }
};

} // namespace vantrel
