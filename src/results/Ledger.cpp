#include "results/Ledger.h"

#include <utility>

namespace vantrel {

Ledger::Ledger(std::function<FillTime()> now) : m_now(std::move(now)) {}

void Ledger::onFill(OrderSide side, double price, double shares, double heldBefore) {
    LedgerFill fill;
    if (m_now)
        fill.time = m_now();
    fill.side = side;
    fill.price = price;
    fill.shares = shares;
    fill.value = price * shares;
    if (side == OrderSide::Buy) {
        m_average = (m_average.value_or(0) * heldBefore + fill.value) / (heldBefore + shares);
    } else {
        fill.realised = (price - m_average.value_or(0)) * shares;
        m_realised += fill.realised;
        // The next buy starts a new average rather than mixing in old costs.
        if (heldBefore - shares == 0)
            m_average.reset();
    }
    m_fills.push_back(fill);
}

void Ledger::onCommission(double yen) {
    m_commissions += yen;
    if (!m_fills.empty())
        m_fills.back().commission += yen;
}

void Ledger::reset() {
    m_fills.clear();
    m_average.reset();
    m_realised = 0;
    m_commissions = 0;
}

} // namespace vantrel
