#pragma once

#include "trading/Account.h"
#include "trading/TradeLog.h"

namespace vantrel {

// Withdraws the pending order, giving back what a buy still has set aside.
// Without a pending order it does nothing.
void CancelPendingOrder(Account& account, TradeLog& log);

} // namespace vantrel
