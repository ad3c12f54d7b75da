#pragma once

#include "results/Ledger.h"
#include "results/Measure.h"
#include "results/PriceHistory.h"
#include "results/RoundTrips.h"

#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// What the session's round trips and its 資産合計 add up to. Only closed
// trips count as trades: an open trip has no outcome yet. A trip wins when
// its profit (after its commissions) is above 0 and loses when below; a trip
// of exactly 0 does neither but counts among the trips. Every figure that
// would divide by nothing is empty (shown as —).
struct Statistics {
    int trips = 0;                      // closed round trips
    std::optional<double> winRate;      // wins / trips × 100; empty without trips
    std::optional<double> averageWin;   // gross profit / wins; empty without a win
    std::optional<double> averageLoss;  // gross loss / losses (below 0); empty without a loss
    std::optional<double> profitFactor; // gross profit / −gross loss; empty without a loss
    std::optional<double> expectancy;   // sum of profits / trips; empty without trips
    std::optional<double> largestWin;   // highest profit of a win; empty without a win
    std::optional<double> largestLoss;  // lowest profit of a loss; empty without a loss
    // The largest fall of 資産合計 from its highest so far (the start power at
    // first), second by second, in yen, and that fall as a percentage of the
    // peak it fell from; 0 when it never fell. Empty without any history.
    std::optional<double> maxDrawdown;
    std::optional<double> maxDrawdownRate;
    std::optional<double> averageHolding; // seconds per closed trip; empty without trips
    // Seconds with shares held (open trip included) / seconds of the session
    // × 100; empty for a session of no seconds.
    std::optional<double> timeInMarket;
    double mostShares = 0; // the most shares held at once, open trip included
};

Statistics computeStatistics(const std::vector<RoundTrip>& trips,
                             const std::vector<LedgerFill>& fills, const PriceHistory& prices);

// 往復取引数 to 最大保有株数, in the order they are shown.
std::vector<MeasureRow> statisticRows(const Statistics& statistics);

// "caption=value": the value as a plain number rounded to its decimals, or
// "—" when it is empty. For the replay tool's output.
std::string statisticLine(const MeasureRow& row);

} // namespace vantrel
