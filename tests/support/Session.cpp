#include "support/Session.h"

#include "base/NumberReading.h"
#include "base/NumberText.h"

#include <cmath>
#include <iterator>
#include <regex>

namespace vantrel::test {

namespace {

// clang-format off
// Blank, out of range, other notations, full-width digits, control bytes,
// invalid UTF-8, grouping, fractions and trailing junk.
const char* const kHostile[] = {
    "", " ", "\t500\r\n", "1e999", "-1e999", "-0", "&HFFFFFFFF", "&H1F4", "&O764", "５００",
    "\001500\177", "\xff\xfe", "1,000", "1000,0e-3", "500円", "1000abc", "4 5 0", "-1000",
    "0.3", "1000.4", "5D2", "+500", "0500", "abc", "450.5", "nan", "2147483648000"};
// clang-format on

// The log writes plain decimal digits; anything else reads as NaN and fails.
double number(const std::string& text) {
    return readStrict(text).value_or(std::nan(""));
}

// Power, holdings and the pending order: side, price, kind, shares left.
std::string labels(const Account& a) {
    std::string text = plainDecimal(a.power()) + '|' + plainDecimal(a.holdings());
    if (const auto& order = a.order())
        text += std::string(order->side == OrderSide::Buy ? "|buy " : "|sell ") + order->priceText +
                (order->priceKind == PriceKind::Market ? " market " : " ") +
                plainDecimal(order->remaining);
    return text;
}

} // namespace

std::optional<std::string> TradingBooks::afterAction(const Account& before, const Account& after,
                                                     const Lines& added, bool boxShown) {
    if (boxShown && (!added.empty() || labels(before) != labels(after)))
        return "a refusal with a message box changed the account or the log: " + labels(after);
    if (added.empty() && (before.power() != after.power() || before.holdings() != after.holdings()))
        return "money or shares moved without a log line: " + labels(after);
    static const std::regex fill("株価([0-9.]+)円で([0-9.]+)株約定しました。（([0-9.]+)円）");
    static const std::regex other(
        std::string(stock::kName) +
        "を(?:成行で|.+円で)[0-9.]+株(?:購入|売却)します。|"
        "余力が足りません。(?:[0-9.]+円必要です。)?|注文をキャンセルしました。");
    for (const std::string& line : added) {
        std::smatch m;
        if (std::regex_match(line, m, fill)) {
            const double price = number(m[1]), shares = number(m[2]);
            if (!before.order() || !(shares > 0) || number(m[3]) != price * shares)
                return "a fill that does not add up or has no order: " + line;
            const double sign = before.order()->side == OrderSide::Buy ? 1 : -1;
            m_cash -= sign * price * shares;
            m_shares += sign * shares;
            ++fills;
        } else if (line == "手数料 2100円 が余力から引かれました。") {
            m_cash -= kCommission;
            ++commissions;
        } else if (!std::regex_match(line, other)) {
            return "not a trading message: " + line;
        }
    }
    const auto& order = after.order();
    if (order && (!(order->remaining > 0) || order->price < 400 || order->price > 600 ||
                  (order->side == OrderSide::Sell && order->remaining > after.holdings())))
        return "a pending order outside the rules: " + labels(after);
    if (after.holdings() < 0 || after.holdings() != m_shares)
        return "holdings " + labels(after) + " but the fills add up to " + plainDecimal(m_shares);
    // Whole yen and shares are exact; a fractional limit price may leave
    // rounding far below one yen. NaN fails too.
    const double books =
        after.power() +
        (order && order->side == OrderSide::Buy ? order->price * order->remaining : 0);
    if (!(std::fabs(books - m_cash) <= 1e-6 * std::max(1.0, std::fabs(m_cash))))
        return "power plus reservation " + plainDecimal(books) + " but the log's cash " +
               plainDecimal(m_cash);
    return std::nullopt;
}

std::optional<std::string> Session::act(Action action, const std::string& code,
                                        const OrderForm& form) {
    const Account before = trader.account();
    const std::size_t lines = record.lines.size();
    const int boxes = record.boxes;
    if (action == Buy)
        trader.pressBuy(code, form);
    else if (action == Sell)
        trader.pressSell(code, form);
    else if (action == Cancel)
        trader.pressCancel();
    else if (action == Tick)
        market.Tick();
    else
        trader.executionStep(market.quotes());
    return books.afterAction(before, trader.account(),
                             Lines(record.lines.begin() + lines, record.lines.end()),
                             record.boxes > boxes);
}

std::string RandomUser::text(int box) {
    if (below(4) == 0) {
        const int pick = below(static_cast<int>(std::size(kHostile)) + 1);
        return pick == 0 ? std::string(400, '9') : kHostile[pick - 1];
    }
    if (box == 0)
        return std::to_string(395 + below(211));
    return std::to_string(box == 1 ? (below(6) + 1) * 1000 : below(3000) * 1000 + below(1000));
}

// Mostly a limit or market price by shares, yen or everything; now and then
// no choice at all.
OrderForm RandomUser::form() {
    const int p = below(20), q = below(20);
    OrderForm form;
    form.priceKind = static_cast<PriceKind>(p == 0 ? -1 : p < 8 ? 1 : 0);
    form.quantityKind = static_cast<QuantityKind>(q == 0 ? -1 : q < 9 ? 0 : q < 15 ? 1 : 2);
    form.priceText = text(0);
    form.sharesText = text(1);
    form.yenText = text(2);
    return form;
}

} // namespace vantrel::test
