#include "trading/OrderPlacement.h"

#include "base/NumberText.h"
#include "trading/NumberReading.h"
#include "trading/PriceRules.h"
#include "trading/ShareCount.h"
#include "trading/StockInfo.h"

#include <algorithm>
#include <utility>

namespace vantrel {
namespace {

const char* const kAtMarket = "成行";
const char* const kShortOfPower = "余力が足りません。";

// A limit price is kept as typed when the strict and the lenient reading agree
// on it, so everything that reads the order later sees one value; any other
// text is replaced by its lenient value. So is a text with control characters
// (a pasted tab or line break): shown in the labels and the log, a line break
// would split a log line in two.
std::string storedPriceText(const std::string& typed) {
    const double lenient = readLenient(typed);
    const auto strict = readStrict(typed);
    const bool printable = std::none_of(typed.begin(), typed.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7f;
    });
    return printable && strict && *strict == lenient ? typed : plainDecimal(lenient);
}

PendingOrder makeOrder(OrderSide side, const OrderForm& form, double shares) {
    if (form.priceKind == PriceKind::Limit) {
        const std::string text = storedPriceText(form.priceText);
        return {side, readLenient(text), text, text, shares};
    }
    // A market order is held as a limit order at the edge of the day's band.
    const double price = side == OrderSide::Buy ? upperLimitPrice(stock::kPreviousClose)
                                                : lowerLimitPrice(stock::kPreviousClose);
    return {side, price, plainDecimal(price), kAtMarket, shares};
}

std::string announcement(const PendingOrder& order, bool atMarket, const char* ending) {
    std::string line = stock::kName;
    if (atMarket)
        line += "を成行で";
    else
        line += "を" + order.priceText + "円で";
    return line + plainDecimal(order.remaining) + ending;
}

} // namespace

void PlaceBuyOrder(Account& account, const OrderForm& form, TradeLog& log) {
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
    log.AddLog(announcement(order, form.priceKind != PriceKind::Limit, "株購入します。"));
    // The commission reserve is not part of the amount reported as needed.
    const double cost = order.price * shares;
    if (cost > available) {
        log.AddLog(kShortOfPower + plainDecimal(cost) + "円必要です。");
        return;
    }
    account.setPower(account.power() - cost);
    account.placeOrder(std::move(order));
}

std::optional<MessageBoxText> PlaceSellOrder(Account& account, const OrderForm& form,
                                             TradeLog& log) {
    if (account.holdings() == 0 || account.hasPendingOrder())
        return std::nullopt;
    const double shares =
        deriveShareCount(OrderSide::Sell, form, account.power(), account.holdings());
    if (shares == 0)
        return MessageBoxText{"指定金額に誤りがあります。", "指定金額エラー"};
    if (shares > account.holdings())
        return MessageBoxText{"保有株数を超える株数は指定できません。", "指定数エラー"};

    PendingOrder order = makeOrder(OrderSide::Sell, form, shares);
    log.AddLog(announcement(order, form.priceKind != PriceKind::Limit, "株売却します。"));
    account.placeOrder(std::move(order));
    return std::nullopt;
}

} // namespace vantrel
