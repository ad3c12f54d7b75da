#pragma once

#include "market/Quotes.h"
#include "trading/Account.h"
#include "trading/TradeEvents.h"
#include "trading/TradeLog.h"

#include <optional>

namespace vantrel {

inline constexpr double kExecWaitThreshold = 5;
inline constexpr double kExecWaitAfterFill = 2;

// One execution tick (once a market second, after the market's tick): tries
// the pending order once the wait has run out, and advances the wait on every
// tick.
void executionStep(Account& account, const Quotes& quotes, TradeLog& log,
                   TradeEvents& events = noTradeEvents());

// Tries the pending order against the best quotes and the last price; makes
// at most one fill.
void CheckExecution(Account& account, const Quotes& quotes, TradeLog& log,
                    TradeEvents& events = noTradeEvents());

// Settles one fill of the pending order: log line, shares, money, remainder,
// end of the order, commission, and the shorter wait before the next attempt.
// There must be a pending order; the fill is settled without further checks.
// Events hear of the fill and of any commission right after their log lines.
void ExecuteOrder(Account& account, TradeLog& log, double price, double shares,
                  TradeEvents& events = noTradeEvents());

// Which rule lets an order fill: the other side's best quote has reached its
// price; the last trade was at its price and took the queue ahead of it; or
// the last trade went through its price.
enum class FillRule { BestQuote, QueueTraded, TradedThrough };

struct ExpectedFill {
    double price;
    double shares; // 0 when the best quote offers none (no quotes yet)
    FillRule rule;
};

// What the next execution attempt would fill against these quotes, if
// anything: the first rule the order meets, for its side.
std::optional<ExpectedFill> expectedFill(const PendingOrder& order, const Quotes& quotes);

} // namespace vantrel
