#include "trading/Account.h"

#include "base/NumberText.h"

namespace vantrel {

void Account::setHoldings(double shares) {
    m_holdings = shares;
    m_amountShown = true;
}

std::string Account::powerText() const {
    return displayNumber(m_power);
}

std::string Account::amountText() const {
    return m_amountShown ? displayNumber(m_holdings) : std::string();
}

std::string Account::orderTypeText() const {
    if (!m_order)
        return {};
    return m_order->side == OrderSide::Buy ? "買" : "売";
}

std::string Account::orderPriceText() const {
    return m_order ? m_order->priceText : std::string();
}

std::string Account::orderPriceViewText() const {
    return m_order ? m_order->priceViewText : std::string();
}

std::string Account::orderAmountText() const {
    return m_order ? displayNumber(m_order->remaining) : std::string();
}

} // namespace vantrel
