#include "trading/OrderExecution.h"

#include "base/NumberText.h"

#include <cmath>
#include <optional>

namespace vantrel {
namespace {

// Adds the fill to the running traded value and charges the commission once
// when the value has reached the step. Only the remainder modulo the step is
// kept, however many steps one fill passes. A running value with a fraction
// never equals its whole remainder, so it is charged as well.
void chargeCommission(Account& account, TradeLog& log, TradeEvents& events, double value) {
    const double running = value + account.dblTradeValue;
    account.dblTradeValue = running;
    // Kept in double: a running value may lie far beyond any 32-bit integer.
    const double remainder = std::fmod(roundHalfEven(running), kCommissionStep);
    if (remainder == running)
        return;
    account.dblTradeValue = remainder;
    account.setPower(account.power() - kCommission);
    if (log.listening())
        log.AddLog("手数料 " + displayNumber(kCommission) + "円 が余力から引かれました。");
    events.onCommission(kCommission);
}

} // namespace

// Rules 1 and 2 (3 and 4 for a sell) reach the other side's best quote; 5 (6)
// meet the last trade at the order's own best price; 7 (8) follow a last
// trade through the order price.
std::optional<ExpectedFill> expectedFill(const PendingOrder& order, const Quotes& q) {
    const double p = order.price;
    const double r = order.remaining;
    const double last = q.lastPrice;
    if (order.side == OrderSide::Buy) {
        if (p >= q.dblAskPrice)
            return ExpectedFill{q.dblAskPrice, r <= q.dblAskAmount ? r : q.dblAskAmount,
                                FillRule::BestQuote};
        if (last == p && p == q.dblBidPrice && r > q.dblBidAmount)
            return ExpectedFill{p, r - q.dblBidAmount, FillRule::QueueTraded};
        if (p > last)
            return ExpectedFill{last, r, FillRule::TradedThrough};
    } else {
        if (p <= q.dblBidPrice)
            return ExpectedFill{q.dblBidPrice, r <= q.dblBidAmount ? r : q.dblBidAmount,
                                FillRule::BestQuote};
        if (last == p && p == q.dblAskPrice && r > q.dblAskAmount)
            return ExpectedFill{p, r - q.dblAskAmount, FillRule::QueueTraded};
        if (p < last)
            return ExpectedFill{last, r, FillRule::TradedThrough};
    }
    return std::nullopt;
}

void executionStep(Account& account, const Quotes& quotes, TradeLog& log, TradeEvents& events) {
    if (account.dblExecWait >= kExecWaitThreshold)
        CheckExecution(account, quotes, log, events);
    account.dblExecWait += 1;
}

void CheckExecution(Account& account, const Quotes& quotes, TradeLog& log, TradeEvents& events) {
    if (!account.hasPendingOrder())
        return;
    const auto fill = expectedFill(*account.order(), quotes);
    // A quote of no shares (before the first tick) fills nothing at all.
    if (fill && fill->shares != 0)
        ExecuteOrder(account, log, fill->price, fill->shares, events);
}

void ExecuteOrder(Account& account, TradeLog& log, double price, double shares,
                  TradeEvents& events) {
    const PendingOrder& order = *account.order();
    const double value = price * shares;
    if (log.listening())
        log.AddLog("株価" + displayNumber(price) + "円で" + displayNumber(shares) +
                   "株約定しました。（" + displayNumber(value) + "円）");
    events.onFill(order.side, price, shares, account.holdings());
    if (order.side == OrderSide::Buy) {
        account.setHoldings(account.holdings() + shares);
        // The order price was set aside; the fill costs its own price.
        account.setPower(account.power() + (order.price - price) * shares);
    } else {
        account.setPower(account.power() + value);
        account.setHoldings(account.holdings() - shares);
    }
    account.setRemaining(order.remaining - shares);
    if (account.order()->remaining == 0)
        account.clearOrder();
    chargeCommission(account, log, events, value);
    account.dblExecWait = kExecWaitAfterFill;
}

} // namespace vantrel
