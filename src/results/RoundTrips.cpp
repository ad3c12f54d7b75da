#include "results/RoundTrips.h"

#include "base/NumberText.h"
#include "orders/StockInfo.h"
#include "results/CsvTable.h"

#include <algorithm>

namespace vantrel {
namespace {

// The position between fills, kept by the same moving average as the ledger.
struct Position {
    double held = 0;
    MovingAverage cost;

    double average() const { return cost.value().value_or(0); }
    void apply(const LedgerFill& fill) {
        if (fill.side == OrderSide::Buy) {
            cost.buy(fill.value, fill.shares, held);
            held += fill.shares;
        } else {
            held -= fill.shares;
            cost.sell(held);
        }
    }
};

// Tracks the open trip's excursions over the seconds [from, to).
void markExcursions(RoundTrip& trip, const Position& position, const PriceHistory& prices,
                    std::uint64_t from, std::uint64_t to) {
    const std::uint64_t stop = std::min<std::uint64_t>(to, prices.prices.size());
    for (std::uint64_t s = from; s < stop; ++s) {
        const double open = (prices.prices[s] - position.average()) * position.held;
        trip.adverse = std::min(trip.adverse, open);
        trip.favourable = std::max(trip.favourable, open);
    }
}

std::string plainSen(double yen) {
    return displayNumber(roundTo(yen, 2));
}

} // namespace

std::vector<RoundTrip> roundTrips(const std::vector<LedgerFill>& fills,
                                  const PriceHistory& prices) {
    std::vector<RoundTrip> trips;
    Position position;
    std::optional<RoundTrip> trip;
    double bought = 0, boughtValue = 0, sold = 0, soldValue = 0;
    std::uint64_t since = 0; // the second the position last changed
    for (const LedgerFill& fill : fills) {
        const std::uint64_t second = fill.time.second;
        if (!trip) {
            if (position.held == 0 && fill.shares == 0)
                continue;
            trip = RoundTrip{};
            trip->start = second;
            bought = boughtValue = sold = soldValue = 0;
        } else {
            markExcursions(*trip, position, prices, since, second);
        }
        since = second;
        position.apply(fill);
        (fill.side == OrderSide::Buy ? bought : sold) += fill.shares;
        (fill.side == OrderSide::Buy ? boughtValue : soldValue) += fill.value;
        trip->profit += fill.realised - fill.commission;
        trip->commissions += fill.commission;
        trip->mostShares = std::max(trip->mostShares, position.held);
        if (bought != 0)
            trip->averageBuy = boughtValue / bought;
        if (sold != 0)
            trip->averageSell = soldValue / sold;
        if (position.held == 0) {
            trip->end = second;
            trips.push_back(*trip);
            trip.reset();
        }
    }
    if (trip) {
        markExcursions(*trip, position, prices, since, prices.prices.size());
        trip->end = prices.prices.empty()
                        ? since
                        : std::max<std::uint64_t>(since, prices.prices.size() - 1);
        if (!prices.prices.empty())
            trip->profit += (prices.prices.back() - position.average()) * position.held;
        trip->open = true;
        trips.push_back(*trip);
    }
    return trips;
}

std::vector<double> assetsPerSecond(const std::vector<LedgerFill>& fills,
                                    const PriceHistory& prices) {
    std::vector<double> assets;
    assets.reserve(prices.prices.size());
    Worth worth;
    auto next = fills.begin();
    for (std::uint64_t s = 0; s < prices.prices.size(); ++s) {
        for (; next != fills.end() && next->time.second <= s; ++next) {
            worth.fill(next->side, next->value, next->shares);
            worth.pay(next->commission);
        }
        assets.push_back(worth.at(prices.prices[s]));
    }
    return assets;
}

const std::array<const char*, kRoundTripColumns>& roundTripCaptions() {
    static const std::array<const char*, kRoundTripColumns> captions = {
        "番号",     "開始秒", "終了秒", "保有秒数",   "最大保有株数", "平均買値",
        "平均売値", "損益",   "手数料", "最大逆行幅", "最大順行幅",   "状態"};
    return captions;
}

std::string roundTripCsv(const std::vector<RoundTrip>& trips) {
    int number = 0;
    return csvTable(roundTripCaptions(), trips, [&number](const RoundTrip& t) {
        return std::array<std::string, kRoundTripColumns>{std::to_string(++number),
                                                          std::to_string(t.start),
                                                          std::to_string(t.end),
                                                          std::to_string(t.holdingSeconds()),
                                                          displayNumber(t.mostShares),
                                                          plainSen(t.averageBuy),
                                                          t.averageSell ? plainSen(*t.averageSell)
                                                                        : "",
                                                          plainYen(t.profit),
                                                          plainYen(t.commissions),
                                                          plainYen(t.adverse),
                                                          plainYen(t.favourable),
                                                          t.open ? "保有中" : "決済済"};
    });
}

} // namespace vantrel
