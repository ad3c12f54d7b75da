#pragma once

#include "results/Ledger.h"
#include "results/PriceHistory.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// One round trip: from holding nothing, through the fills that build and
// reduce a position, to holding nothing again.
//
// Excursions measure the position, not the trip's cash: at every second the
// position is held (from the opening fill's second up to the second before
// the closing fill, each second taken after that second's fills), the open
// profit is (last price − average cost) × shares held. The adverse excursion
// is the lowest of these and the favourable one the highest, each bounded by
// 0: a trip that never went against the position has an adverse excursion of
// 0. Realised profit from a part sale does not enter them.
struct RoundTrip {
    std::uint64_t start = 0; // market second of the opening fill
    // Market second of the closing fill; for an open trip, the last second.
    std::uint64_t end = 0;
    double mostShares = 0;
    double averageBuy = 0;             // value-weighted over the trip's buys
    std::optional<double> averageSell; // empty until the trip sells
    // Realised profit of its sales less the commissions its fills incurred;
    // an open trip adds its open profit at the last price.
    double profit = 0;
    double commissions = 0;
    double adverse = 0;    // ≤ 0, yen
    double favourable = 0; // ≥ 0, yen
    bool open = false;

    std::uint64_t holdingSeconds() const { return end - start; }
};

// The round trips in the fills, oldest first. Fills of no shares while
// nothing is held belong to no trip. A trip still held after the last fill is
// open and ends at the last second of the price history.
std::vector<RoundTrip> roundTrips(const std::vector<LedgerFill>& fills, const PriceHistory& prices);

// 資産合計 at every second of the price history, each second taken after
// that second's fills (Worth).
std::vector<double> assetsPerSecond(const std::vector<LedgerFill>& fills,
                                    const PriceHistory& prices);

// The round trips as a spreadsheet reads them, with the trade history's
// conventions: UTF-8 with a byte-order mark, CRLF line ends, the captions,
// then one row per trip with plain numbers (average prices to the sen).
inline constexpr int kRoundTripColumns = 12;
const std::array<const char*, kRoundTripColumns>& roundTripCaptions();
std::string roundTripCsv(const std::vector<RoundTrip>& trips);

} // namespace vantrel
