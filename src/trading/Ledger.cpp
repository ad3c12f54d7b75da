#include "trading/Ledger.h"

#include "trading/StockInfo.h"

#include <utility>

namespace vantrel {

Ledger::Ledger(std::function<FillTime()> now) : m_now(std::move(now)) {}

void Ledger::onFill(OrderSide side, double price, double shares) {
    LedgerFill fill;
    if (m_now)
        fill.time = m_now();
    fill.side = side;
    fill.price = price;
    fill.shares = shares;
    fill.value = price * shares;
    if (side == OrderSide::Buy) {
        m_average = (m_average * m_held + fill.value) / (m_held + shares);
        m_held += shares;
    } else {
        fill.realised = (price - m_average) * shares;
        m_realised += fill.realised;
        m_held -= shares;
        // The next buy starts a new average rather than mixing in old costs.
        if (m_held == 0)
            m_average = 0;
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
    m_held = 0;
    m_average = 0;
    m_realised = 0;
    m_commissions = 0;
}

std::optional<double> Ledger::averageCost() const {
    if (m_held == 0)
        return std::nullopt;
    return m_average;
}

Figures computeFigures(const Ledger& ledger, const Account& account, double lastPrice) {
    Figures f;
    f.held = ledger.held();
    f.averageCost = ledger.averageCost();
    f.last = lastPrice;
    if (f.averageCost)
        f.unrealised = (lastPrice - *f.averageCost) * f.held;
    f.realised = ledger.realised();
    f.commissions = ledger.commissions();
    f.net = f.realised + f.unrealised - f.commissions;
    const auto& order = account.order();
    const double setAside =
        order && order->side == OrderSide::Buy ? order->price * order->remaining : 0;
    f.assets = account.power() + setAside + f.held * lastPrice;
    f.rate = f.net / stock::kStartPower * 100;
    return f;
}

} // namespace vantrel
