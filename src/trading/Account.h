#pragma once

#include "orders/OrderForm.h"
#include "orders/StockInfo.h"

#include <optional>
#include <string>
#include <utility>

namespace vantrel {

// The user's one open order. While a buy is pending, price × remaining has
// been set aside from the buying power.
struct PendingOrder {
    OrderSide side = OrderSide::Buy;
    double price = 0;      // the value of priceText; 600 or 400 at market
    std::string priceText; // a limit price as typed, or the market order's price
    // A market order is held as a limit order at the edge of the day's band.
    PriceKind priceKind = PriceKind::Limit;
    double remaining = 0; // shares not yet filled
    double ordered = 0;   // shares when placed

    bool operator==(const PendingOrder& other) const {
        return side == other.side && price == other.price && priceText == other.priceText &&
               priceKind == other.priceKind && remaining == other.remaining &&
               ordered == other.ordered;
    }
};

// The user's values of record.
class Account final {
public:
    double power() const { return m_power; }
    void setPower(double yen) { m_power = yen; }

    double holdings() const { return m_holdings; }
    void setHoldings(double shares) { m_holdings = shares; }

    const std::optional<PendingOrder>& order() const { return m_order; }
    bool hasPendingOrder() const { return m_order.has_value(); }
    void placeOrder(PendingOrder order) { m_order = std::move(order); }
    void setRemaining(double shares) { m_order->remaining = shares; }
    void clearOrder() { m_order.reset(); }

    // Running traded value since start-up, kept below the commission step.
    double dblTradeValue = 0;
    // Execution ticks since the last press of an order button or the last
    // fill (offset by the fill).
    double dblExecWait = 0;

    bool operator==(const Account& other) const {
        return m_power == other.m_power && m_holdings == other.m_holdings &&
               m_order == other.m_order && dblTradeValue == other.dblTradeValue &&
               dblExecWait == other.dblExecWait;
    }
    bool operator!=(const Account& other) const { return !(*this == other); }

private:
    double m_power = stock::kStartPower;
    double m_holdings = 0;
    std::optional<PendingOrder> m_order;
};

} // namespace vantrel
