#include "trading/OrderPlacement.h"

#include "base/NumberText.h"
#include "orders/OrderTexts.h"
#include "orders/PriceRules.h"
#include "orders/ShareCount.h"
#include "orders/StockInfo.h"

#include <utility>

namespace vantrel {
namespace {

const char* const kShortOfPower = "余力が足りません。";

PendingOrder makeOrder(OrderSide side, const OrderValues& form, double shares) {
    if (form.priceKind == PriceKind::Limit)
        return {side, form.price, form.storedPriceText, PriceKind::Limit, shares, shares};
    // A market order is held as a limit order at the edge of the day's band.
    // Written once: the computer traders place hundreds of thousands of these.
    static const double upper = upperLimitPrice(stock::kPreviousClose);
    static const double lower = lowerLimitPrice(stock::kPreviousClose);
    static const std::string upperText = plainDecimal(upper);
    static const std::string lowerText = plainDecimal(lower);
    const bool buy = side == OrderSide::Buy;
    return {side,  buy ? upper : lower, buy ? upperText : lowerText, PriceKind::Market, shares,
            shares};
}

std::string announcement(const PendingOrder& order, const char* ending) {
    std::string line = stock::kName;
    if (order.priceKind == PriceKind::Market)
        line += "を成行で";
    else
        line += "を" + order.priceText + "円で";
    return line + displayNumber(order.remaining) + ending;
}

} // namespace

void PlaceBuyOrder(Account& account, const OrderValues& form, TradeLog& log) {
    if (account.hasPendingOrder())
        return;
    const double available = account.power() - kCommission;
    const double shares =
        deriveShareCount(OrderSide::Buy, form, account.power(), account.holdings());
    if (shares == 0) {
        log.AddLog(kShortOfPower);
        return;
    }

    PendingOrder order = makeOrder(OrderSide::Buy, form, shares);
    if (log.listening())
        log.AddLog(announcement(order, "株購入します。"));
    // The commission reserve is not part of the amount reported as needed.
    const double cost = order.price * shares;
    if (cost > available) {
        if (log.listening())
            log.AddLog(kShortOfPower + displayNumber(cost) + "円必要です。");
        return;
    }
    account.setPower(account.power() - cost);
    account.placeOrder(std::move(order));
}

std::optional<MessageBoxText> PlaceSellOrder(Account& account, const OrderValues& form,
                                             TradeLog& log) {
    if (account.holdings() == 0 || account.hasPendingOrder())
        return std::nullopt;
    const double shares =
        deriveShareCount(OrderSide::Sell, form, account.power(), account.holdings());
    if (shares == 0)
        return MessageBoxText{texts::kWrongAmount, texts::kAmountErrorTitle};
    if (shares > account.holdings())
        return MessageBoxText{texts::kMoreThanHeld, texts::kQuantityErrorTitle};

    PendingOrder order = makeOrder(OrderSide::Sell, form, shares);
    if (log.listening())
        log.AddLog(announcement(order, "株売却します。"));
    account.placeOrder(std::move(order));
    return std::nullopt;
}

} // namespace vantrel
