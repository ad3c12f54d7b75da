#pragma once

#include "market/Market.h"
#include "results/Ledger.h"
#include "results/PriceHistory.h"
#include "trading/Account.h"

#include <cstddef>
#include <cstdint>
#include <deque>

namespace vantrel {

// Everything a practice holds at a moment besides its presses: the market
// with its book, random stream and tape; the account with its pending order
// and its wait; the ledger; the price after every second; and, in the
// window, the wall-clock time of each tape line. A plain value: a copy goes
// on exactly as the original would, and two states that compare equal show
// and will show the same in every window.
struct SessionState {
    Market market;
    Account account;
    Ledger ledger;
    PriceHistory prices;
    std::deque<std::int64_t> tapeWallMs;

    bool operator==(const SessionState& other) const {
        return market == other.market && account == other.account && ledger == other.ledger &&
               prices == other.prices && tapeWallMs == other.tapeWallMs;
    }
    bool operator!=(const SessionState& other) const { return !(*this == other); }

    // About what a copy takes: the fixed parts and what the lists hold.
    std::size_t memoryBytes() const {
        return sizeof(*this) + market.tape().memoryBytes() +
               ledger.fills().size() * sizeof(LedgerFill) + prices.prices.size() * sizeof(double) +
               tapeWallMs.size() * sizeof(std::int64_t);
    }
};

} // namespace vantrel
