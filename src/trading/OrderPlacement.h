#pragma once

#include "orders/MessagePrompter.h"
#include "orders/OrderForm.h"
#include "trading/Account.h"
#include "trading/TradeLog.h"

#include <optional>

namespace vantrel {

// Turns an accepted buy form into the pending order and sets its price aside
// from the buying power. Refusals go to the log only (or nowhere, when an
// order is already pending).
void PlaceBuyOrder(Account& account, const OrderValues& form, TradeLog& log);

// Turns an accepted sell form into the pending order. A sale of no shares or
// of more shares than are held is refused with the returned box, before
// anything is logged; the caller shows it.
std::optional<MessageBoxText> PlaceSellOrder(Account& account, const OrderValues& form,
                                             TradeLog& log);

} // namespace vantrel
