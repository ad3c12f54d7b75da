#include "results/Ledger.h"

#include <algorithm>

namespace vantrel {

namespace {

bool sameFill(const LedgerFill& a, const LedgerFill& b) {
    return a.time.second == b.time.second && a.time.wallMs == b.time.wallMs && a.side == b.side &&
           a.price == b.price && a.shares == b.shares && a.value == b.value &&
           a.realised == b.realised && a.commission == b.commission;
}

} // namespace

// The time to stamp with is left out: each execution step sets it afresh
// before anything can fill.
bool Ledger::operator==(const Ledger& other) const {
    return std::equal(m_fills.begin(), m_fills.end(), other.m_fills.begin(), other.m_fills.end(),
                      sameFill) &&
           m_average == other.m_average && m_realised == other.m_realised &&
           m_commissions == other.m_commissions && m_worth == other.m_worth;
}

void Ledger::onFill(OrderSide side, double price, double shares, double heldBefore) {
    LedgerFill fill;
    fill.time = m_now;
    fill.side = side;
    fill.price = price;
    fill.shares = shares;
    fill.value = price * shares;
    m_worth.fill(side, fill.value, shares);
    if (side == OrderSide::Buy) {
        m_average.buy(fill.value, shares, heldBefore);
    } else {
        fill.realised = (price - m_average.value().value_or(0)) * shares;
        m_realised += fill.realised;
        m_average.sell(heldBefore - shares);
    }
    m_fills.push_back(fill);
}

void Ledger::rollBackTo(const Ledger& earlier, std::size_t fills) {
    m_fills.resize(std::min(fills, m_fills.size()));
    m_average = earlier.m_average;
    m_realised = earlier.m_realised;
    m_commissions = earlier.m_commissions;
    m_worth = earlier.m_worth;
}

void Ledger::restoreWallTimes(const std::vector<LedgerFill>& earlier) {
    for (std::size_t i = 0; i < std::min(m_fills.size(), earlier.size()); ++i)
        m_fills[i].time.wallMs = earlier[i].time.wallMs;
}

void Ledger::onCommission(double yen) {
    m_commissions += yen;
    m_worth.pay(yen);
    if (!m_fills.empty())
        m_fills.back().commission += yen;
}

void Ledger::reset() {
    m_fills.clear();
    m_average = {};
    m_realised = 0;
    m_commissions = 0;
    m_worth = {};
}

} // namespace vantrel
