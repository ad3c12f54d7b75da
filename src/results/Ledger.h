#pragma once

#include "market/Quotes.h"
#include "orders/StockInfo.h"
#include "trading/Account.h"
#include "trading/TradeEvents.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace vantrel {

// When a fill happened: the market second (ticks since the session started)
// places it on the chart, the wall-clock time in the history.
struct FillTime {
    std::uint64_t second = 0;
    std::int64_t wallMs = 0; // milliseconds since the Unix epoch; 0 if unknown
};

struct LedgerFill {
    FillTime time;
    OrderSide side = OrderSide::Buy;
    double price = 0;
    double shares = 0;
    double value = 0;      // price × shares
    double realised = 0;   // sales: (price − average cost) × shares
    double commission = 0; // charged on this fill, if its value reached the step
};

// The average cost of the shares held by the moving-average method: a buy
// mixes its value in by shares, a sale leaves it as it was, and selling out
// forgets it, so the next buy starts a new average rather than mixing in old
// costs. Empty while no shares are held.
class MovingAverage final {
public:
    void buy(double value, double shares, double heldBefore) {
        m_average = (m_average.value_or(0) * heldBefore + value) / (heldBefore + shares);
    }
    void sell(double heldAfter) {
        if (heldAfter == 0)
            m_average.reset();
    }
    const std::optional<double>& value() const { return m_average; }
    bool operator==(const MovingAverage& other) const { return m_average == other.m_average; }

private:
    std::optional<double> m_average;
};

// 資産合計 as the fills leave it: the start power plus the cash the fills
// moved (sales less buys less commissions) plus the shares held at a price.
// A pending buy's set-aside money is part of the cash, so the orders
// themselves need not be known. The figure and the statistics' second by
// second history both come from here.
struct Worth {
    double cash = stock::kStartPower;
    double held = 0;

    void fill(OrderSide side, double value, double shares) {
        const double sign = side == OrderSide::Buy ? 1 : -1;
        cash -= sign * value;
        held += sign * shares;
    }
    void pay(double commission) { cash -= commission; }
    double at(double price) const { return cash + held * price; }
    bool operator==(const Worth& other) const { return cash == other.cash && held == other.held; }
};

// The user's trades as they are settled: every fill, the average cost of the
// shares held by the moving-average method, the realised profit and the
// commissions. Fed by the same events that write the log; the account keeps
// the shares held.
class Ledger final : public TradeEvents {
public:
    // The time each fill from now on is stamped with: the owner of the
    // ledger sets it before the trades of each second, so a copied ledger
    // never reads another's clock.
    void setTime(FillTime now) { m_now = now; }

    void onFill(OrderSide side, double price, double shares, double heldBefore) override;
    void onCommission(double yen) override;
    // Forgets every trade, for a new practice session.
    void reset();

    const std::vector<LedgerFill>& fills() const { return m_fills; }
    // Empty while no shares are held.
    std::optional<double> averageCost() const { return m_average.value(); }
    double realised() const { return m_realised; }
    double commissions() const { return m_commissions; }
    // 資産合計 at the given last price.
    double totalAssets(double last) const { return m_worth.at(last); }

    // Back to an earlier moment of the same trades: the first `fills` fills
    // and the totals `earlier` had then (a copy's fills are not looked at).
    void rollBackTo(const Ledger& earlier, std::size_t fills);

    // The fills the same trades had in another run of the same seconds give
    // theirs their time of day: the fills are the same, the clock is not.
    void restoreWallTimes(const std::vector<LedgerFill>& earlier);

    bool operator==(const Ledger& other) const;
    bool operator!=(const Ledger& other) const { return !(*this == other); }

private:
    FillTime m_now;
    std::vector<LedgerFill> m_fills;
    MovingAverage m_average;
    double m_realised = 0;
    double m_commissions = 0;
    Worth m_worth;
};

} // namespace vantrel
