#pragma once

#include "trading/StockInfo.h"

#include <optional>
#include <string>
#include <utility>

namespace vantrel {

// The flat commission, charged each time the running traded value reaches the
// commission step. A buy must leave it in the buying power.
inline constexpr double kCommission = 2100;
inline constexpr double kCommissionStep = 3000000;

enum class OrderSide { Buy, Sell };

// The user's one open order. While a buy is pending, price × remaining has
// been set aside from the buying power.
struct PendingOrder {
    OrderSide side = OrderSide::Buy;
    double price = 0;          // the value of priceText; 600 or 400 at market
    std::string priceText;     // lblOrderPrice
    std::string priceViewText; // lblOrderPriceView: the price, or "成行"
    double remaining = 0;      // lblOrderAmount: shares not yet filled
    double ordered = 0;        // shares when placed
    // Placed at market: its price is only the band's edge, not a limit the
    // user chose.
    bool atMarket = false;
};

// The user's values of record, with the text each label shows for them.
class Account final {
public:
    double power() const { return m_power; }
    void setPower(double yen) { m_power = yen; }

    double holdings() const { return m_holdings; }
    void setHoldings(double shares);

    const std::optional<PendingOrder>& order() const { return m_order; }
    bool hasPendingOrder() const { return m_order.has_value(); }
    void placeOrder(PendingOrder order) { m_order = std::move(order); }
    void setRemaining(double shares) { m_order->remaining = shares; }
    void clearOrder() { m_order.reset(); }

    std::string powerText() const;          // lblPower
    std::string amountText() const;         // lblAmount: empty until the first fill
    std::string orderTypeText() const;      // lblOrderType: "買", "売" or empty
    std::string orderPriceText() const;     // lblOrderPrice
    std::string orderPriceViewText() const; // lblOrderPriceView
    std::string orderAmountText() const;    // lblOrderAmount

    // Running traded value since start-up, kept below the commission step.
    double dblTradeValue = 0;
    // Timer2 events since the last button press or fill (offset by the fill).
    double dblExecWait = 0;

private:
    double m_power = stock::kStartPower;
    double m_holdings = 0;
    bool m_amountShown = false;
    std::optional<PendingOrder> m_order;
};

} // namespace vantrel
