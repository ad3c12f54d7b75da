#pragma once

#include "market/Quotes.h"
#include "trading/Account.h"
#include "trading/TradeLog.h"

namespace vantrel {

inline constexpr double kExecWaitThreshold = 5;
inline constexpr double kExecWaitAfterFill = 2;

// One execution tick (a Timer2 event): tries the pending order once the wait
// has run out, and advances the wait on every tick.
void executionTick(Account& account, const Quotes& quotes, TradeLog& log);

// Tries the pending order against the best quotes and the last price; makes
// at most one fill.
void CheckExecution(Account& account, const Quotes& quotes, TradeLog& log);

// Settles one fill of the pending order: log line, shares, money, remainder,
// end of the order, commission, and the shorter wait before the next attempt.
// There must be a pending order; the fill is settled without further checks.
void ExecuteOrder(Account& account, TradeLog& log, double price, double shares);

} // namespace vantrel
