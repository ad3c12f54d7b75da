#include "support/TradingBooks.h"

#include "base/NumberText.h"
#include "trading/NumberReading.h"

#include <cmath>
#include <string_view>

namespace vantrel::test {

namespace {

// A number as the log writes it: plain decimal digits that read back exactly.
std::optional<double> logNumber(std::string_view text) {
    if (text.empty() || text.find_first_not_of("-.0123456789") != std::string_view::npos)
        return std::nullopt;
    return readStrict(text);
}

bool cutPrefix(std::string_view& text, std::string_view prefix) {
    if (text.substr(0, prefix.size()) != prefix)
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

bool cutSuffix(std::string_view& text, std::string_view suffix) {
    if (text.size() < suffix.size() || text.substr(text.size() - suffix.size()) != suffix)
        return false;
    text.remove_suffix(suffix.size());
    return true;
}

// "<a><sep><b>" with both parts numbers; the separator is searched from the right.
std::optional<std::pair<double, double>> twoNumbers(std::string_view text, std::string_view sep) {
    const auto at = text.rfind(sep);
    if (at == std::string_view::npos)
        return std::nullopt;
    const auto a = logNumber(text.substr(0, at));
    const auto b = logNumber(text.substr(at + sep.size()));
    if (!a || !b)
        return std::nullopt;
    return std::make_pair(*a, *b);
}

bool isAnnouncement(std::string_view text) {
    if (!cutPrefix(text, stock::kName) || !cutPrefix(text, "を"))
        return false;
    if (!cutSuffix(text, "株購入します。") && !cutSuffix(text, "株売却します。"))
        return false;
    if (cutPrefix(text, "成行で"))
        return logNumber(text).has_value();
    // "<price text>円で<shares>": the stored price reads the same either way.
    const auto at = text.rfind("円で");
    if (at == std::string_view::npos ||
        !logNumber(text.substr(at + std::string_view("円で").size())))
        return false;
    const std::string_view price = text.substr(0, at);
    return readStrict(price) == readLenient(price);
}

bool isShortOfPower(std::string_view text) {
    if (!cutPrefix(text, "余力が足りません。"))
        return false;
    return text.empty() || (cutSuffix(text, "円必要です。") && logNumber(text));
}

double reserved(const Account& account) {
    const auto& order = account.order();
    return order && order->side == OrderSide::Buy ? order->price * order->remaining : 0;
}

bool sameAccount(const Account& a, const Account& b) {
    return a.powerText() == b.powerText() && a.amountText() == b.amountText() &&
           a.orderTypeText() == b.orderTypeText() && a.orderPriceText() == b.orderPriceText() &&
           a.orderPriceViewText() == b.orderPriceViewText() &&
           a.orderAmountText() == b.orderAmountText();
}

} // namespace

std::optional<std::string> TradingBooks::read(const std::string& line,
                                              std::optional<OrderSide> side) {
    std::string_view text = line;
    if (cutPrefix(text, "株価") && cutSuffix(text, "円）")) {
        const auto at = text.find("株約定しました。（");
        if (at == std::string_view::npos)
            return "a fill line of another form: " + line;
        const auto fill = twoNumbers(text.substr(0, at), "円で");
        const auto value =
            logNumber(text.substr(at + std::string_view("株約定しました。（").size()));
        if (!fill || !value || *value != fill->first * fill->second || fill->second <= 0)
            return "a fill line that does not add up: " + line;
        if (!side)
            return "a fill without a pending order: " + line;
        const double sign = *side == OrderSide::Buy ? 1 : -1;
        m_cash -= sign * *value;
        m_shares += sign * fill->second;
        ++m_fills;
    } else if (line == "手数料 2100円 が余力から引かれました。") {
        m_cash -= kCommission;
        ++m_commissions;
    } else if (line != "注文をキャンセルしました。" && !isShortOfPower(line) &&
               !isAnnouncement(line)) {
        return "not a trading message: " + line;
    }
    return std::nullopt;
}

std::optional<std::string> TradingBooks::afterAction(const Account& before, const Account& after,
                                                     const std::vector<std::string>& lines,
                                                     bool boxShown) {
    if (boxShown && (!lines.empty() || !sameAccount(before, after)))
        return std::string("a refusal with a message box changed the account or the log");
    if (lines.empty() && (before.power() != after.power() || before.holdings() != after.holdings()))
        return std::string("money or shares moved without a log line");

    std::optional<OrderSide> side;
    if (before.order())
        side = before.order()->side;
    for (const std::string& line : lines) {
        if (auto problem = read(line, side))
            return problem;
    }

    if (const auto& order = after.order()) {
        if (!(order->remaining > 0) || order->price < 400 || order->price > 600)
            return "a pending order outside the rules: " + after.orderAmountText() + " at " +
                   after.orderPriceText();
        if (order->side == OrderSide::Sell && order->remaining > after.holdings())
            return "a pending sale of shares not held: " + after.orderAmountText();
    }
    if (after.holdings() < 0)
        return "negative holdings: " + after.amountText();
    if (after.holdings() != m_shares)
        return "holdings " + after.amountText() + " but the fills add up to " +
               plainDecimal(m_shares);
    // Whole yen and shares are exact; a fractional limit price may leave
    // rounding far below one yen.
    const double books = after.power() + reserved(after);
    if (!(std::fabs(books - m_cash) <= 1e-6 * std::max(1.0, std::fabs(m_cash)))) // NaN fails too
        return "buying power " + after.powerText() + " plus reservation " +
               plainDecimal(reserved(after)) + " but the log's cash is " + plainDecimal(m_cash);
    return std::nullopt;
}

} // namespace vantrel::test
