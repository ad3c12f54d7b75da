#include "results/Statistics.h"

#include "base/NumberText.h"
#include "orders/StockInfo.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

Statistics computeStatistics(const std::vector<RoundTrip>& trips,
                             const std::vector<LedgerFill>& fills, const PriceHistory& prices) {
    Statistics st;
    int wins = 0, losses = 0;
    double grossProfit = 0, grossLoss = 0, total = 0, holding = 0, held = 0;
    for (const RoundTrip& trip : trips) {
        st.mostShares = std::max(st.mostShares, trip.mostShares);
        held += static_cast<double>(trip.holdingSeconds());
        if (trip.open)
            continue;
        ++st.trips;
        total += trip.profit;
        holding += static_cast<double>(trip.holdingSeconds());
        if (trip.profit > 0) {
            ++wins;
            grossProfit += trip.profit;
            st.largestWin = std::max(st.largestWin.value_or(trip.profit), trip.profit);
        } else if (trip.profit < 0) {
            ++losses;
            grossLoss += trip.profit;
            st.largestLoss = std::min(st.largestLoss.value_or(trip.profit), trip.profit);
        }
    }
    if (st.trips > 0) {
        st.winRate = 100.0 * wins / st.trips;
        st.expectancy = total / st.trips;
        st.averageHolding = holding / st.trips;
    }
    if (wins > 0)
        st.averageWin = grossProfit / wins;
    if (losses > 0) {
        st.averageLoss = grossLoss / losses;
        st.profitFactor = grossProfit / -grossLoss;
    }
    const std::vector<double> assets = assetsPerSecond(fills, prices);
    if (!assets.empty()) {
        // The session starts from the start power, before any fill.
        double peak = stock::kStartPower, drop = 0, rate = 0;
        for (double value : assets) {
            peak = std::max(peak, value);
            if (peak - value > drop) {
                drop = peak - value;
                rate = drop / peak * 100;
            }
        }
        st.maxDrawdown = drop;
        st.maxDrawdownRate = rate;
    }
    if (prices.prices.size() > 1)
        st.timeInMarket = held / static_cast<double>(prices.prices.size() - 1) * 100;
    return st;
}

std::vector<MeasureRow> statisticRows(const Statistics& st) {
    return {{Measure::RoundTrips, static_cast<double>(st.trips)},
            {Measure::WinRate, st.winRate},
            {Measure::AverageWin, st.averageWin},
            {Measure::AverageLoss, st.averageLoss},
            {Measure::ProfitFactor, st.profitFactor},
            {Measure::Expectancy, st.expectancy},
            {Measure::LargestWin, st.largestWin},
            {Measure::LargestLoss, st.largestLoss},
            {Measure::MaxDrawdown, st.maxDrawdown},
            {Measure::MaxDrawdownRate, st.maxDrawdownRate},
            {Measure::AverageHolding, st.averageHolding},
            {Measure::TimeInMarket, st.timeInMarket},
            {Measure::MostShares, st.mostShares}};
}

std::string statisticLine(const MeasureRow& row) {
    const MeasureInfo& info = row.info();
    std::string line = std::string(info.caption) + '=';
    if (!row.value)
        return line + info.undefinedText;
    return line + displayNumber(roundTo(*row.value, info.decimals));
}

} // namespace vantrel
