#pragma once

#include <cstdint>

namespace vantrel {

// Which side of the crowd traded: a buy that takes offered shares at the
// lowest ask (買い, it lifts the offer) or a sell that meets the bid one yen
// below it (売り, it hits the bid).
enum class TapeSide : std::uint8_t { Buy, Sell };

// One line of the trade tape (歩み値): what one market tick traded. Every
// tick that sets the last price prints a line, also when no resting shares
// met the crowd's order (an order of 0 shares, or a sell where no bid waits):
// then shares is 0 and the line only says why the last price moved.
struct TapeEntry {
    std::uint64_t second = 0; // the tick that printed it, 1 for the first
    std::uint32_t shares = 0; // shares that met resting shares at the price
    std::int16_t price = 0;   // whole yen; the last price after the tick
    TapeSide side = TapeSide::Buy;

    bool priceMoveOnly() const { return shares == 0; }
    bool operator==(const TapeEntry& other) const {
        return second == other.second && shares == other.shares && price == other.price &&
               side == other.side;
    }
};

} // namespace vantrel
