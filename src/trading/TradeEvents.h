#pragma once

#include "trading/Account.h"

namespace vantrel {

// Told of every fill and commission as it is settled, beside the log line
// that reports it, so that a record of the trades needs no log parsing.
class TradeEvents {
public:
    virtual ~TradeEvents() = default;
    // heldBefore: the shares held before this fill.
    virtual void onFill(OrderSide side, double price, double shares, double heldBefore) = 0;
    // Always follows the fill whose value reached the commission step.
    virtual void onCommission(double yen) = 0;
};

// Listens to nothing: for callers that only want the log.
TradeEvents& noTradeEvents();

} // namespace vantrel
