#include "trading/OrderCancellation.h"

namespace vantrel {

void CancelPendingOrder(Account& account, TradeLog& log) {
    const auto& order = account.order();
    if (!order)
        return;
    log.AddLog("注文をキャンセルしました。");
    // A sell set nothing aside; its filled part has already left the holdings.
    if (order->side == OrderSide::Buy)
        account.setPower(account.power() + order->remaining * order->price);
    account.clearOrder();
}

} // namespace vantrel
