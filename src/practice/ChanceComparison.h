#pragma once

#include "market/MarketNumber.h"
#include "practice/SessionRecord.h"
#include "results/RoundTrips.h"
#include "results/Statistics.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vantrel {

inline constexpr int kChanceTraders = 1000;
// The work of one comparison is bounded by the computer traders' round trips
// in all: a practice of many round trips is compared with fewer traders, and
// one that would leave fewer than kChanceMinTraders is not compared at all,
// so even the longest file a session may be stays well within a second.
inline constexpr std::uint64_t kChanceTripBudget = 250000;
inline constexpr int kChanceMinTraders = 100;
// How many computer traders a practice of this many round trips is compared
// with: a thousand up to 250 round trips, fewer beyond, none past 2,500.
int chanceTraders(std::size_t roundTrips);
inline constexpr int kChanceBins = 20;

// A small fixed generator (splitmix64), so that the same seed draws the same
// numbers on every platform and standard library.
class SplitMix64 final {
public:
    explicit SplitMix64(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next();
    // Uniform in [0, bound); bound must be above 0.
    std::uint64_t below(std::uint64_t bound);

private:
    std::uint64_t m_state;
};

// What a computer trader copies from the learner: the market and its length,
// and for each round trip the shares it reached; the last trip may have been
// left open. Plain values, so the comparison can run on another thread.
struct ChancePlan {
    int marketNumber = kStandardMarket;
    std::uint64_t seconds = 0;
    // The first second the traders may press at; before it they only wait
    // (an exercise that starts into the market's day).
    std::uint64_t from = 0;
    std::vector<double> tripShares;
    bool lastOpen = false;
    double learnerNet = 0; // 純損益 at the last second
    std::uint64_t seed = 0;
    // The market's quotes after every second, when a replay has them already
    // (at least seconds + 1 of them); else the comparison runs the market.
    std::shared_ptr<const std::vector<Quotes>> quotes;
};

// The same practice always gets the same seed: a hash of its market, its
// length and every recorded press with what its form held.
std::uint64_t sessionSeed(int marketNumber, const std::vector<SessionAction>& actions,
                          std::uint64_t seconds);
// The seconds a practice is compared over: the learner's own trading span.
// With every round trip closed it ends at the last trip's closing fill, so
// idling afterwards changes nothing; with a trip open it runs to `now`, where
// the open trip is valued. Whoever compares (the results window, the market
// tool, 練習の記録) gets the same span, so the same practice gets the same 上位.
std::uint64_t chanceSpanEnd(const std::vector<RoundTrip>& trips, std::uint64_t now);
// The plan for the practice as it stands at `now`: its span and its seed
// follow from the trips, so presses after a closed practice's span that
// traded nothing (a buy placed and cancelled) leave it as it was too.
ChancePlan chancePlan(int marketNumber, const std::vector<SessionAction>& actions,
                      std::uint64_t seconds, const std::vector<RoundTrip>& trips,
                      double learnerNet);
ChancePlan chancePlan(const SessionRecord& record, std::uint64_t seconds,
                      const std::vector<RoundTrip>& trips, double learnerNet);

struct ChanceBin {
    double lower = 0;
    double upper = 0; // the last bin includes its upper edge
    int count = 0;
};

// Where the learner's 純損益 falls among the computer traders'.
struct ChanceResult {
    std::vector<double> nets; // every computer trader's 純損益, ascending
    double learnerNet = 0;
    // The percentage of computer traders whose 純損益 is strictly above the
    // learner's: 上位 0% beats them all.
    double topPercent = 0;
    double median = 0; // the mean of the two middle values
    double low = 0;    // 5th percentile, nearest rank: value ⌈0.05 n⌉
    double high = 0;   // 95th percentile, nearest rank: value ⌈0.95 n⌉
    // Equal widths over the lowest to the highest of the traders and the
    // learner; one bin when they are all equal.
    std::vector<ChanceBin> bins;
    int learnerBin = 0;
};

// How a caller on another thread follows the work: report hears the fraction
// done now and then; cancel, when set, stops it early.
struct ChanceProgress {
    std::function<void(double fraction)> report;
    const std::atomic<bool>* cancel = nullptr;
};

// A thousand computer traders (fewer for a practice of very many round trips:
// chanceTraders) trade the learner's market over its seconds,
// each making as many round trips with the same shares, entering and leaving
// at random seconds with market orders through the real trading rules (the
// waits, part fills, commission). A buy the money cannot cover at the market
// order's price is an all-in buy instead. An entry that comes while the last
// sale is still filling waits for it. Empty when the learner made no round
// trip, made too many to compare within the budget, the session has no
// seconds, or it was cancelled.
std::optional<ChanceResult> compareWithChance(const ChancePlan& plan,
                                              const ChanceProgress& progress = {});

// The traders' values (nets, in any order) sorted and the learner's
// (learnerNet) placed among them: 上位, the median, the 5% and 95% points and
// the histogram. Any task's computer traders are ranked by this one rule.
void placeAmongTraders(ChanceResult& result);
std::vector<ChanceBin> chanceHistogram(const std::vector<double>& sorted, double learner,
                                       int& learnerBin);

// The quotes and last price after every second from start-up (seconds + 1 of
// them); the computer traders cannot move the market, so they all share one
// run of it. Empty when cancelled.
std::vector<Quotes> marketQuotes(int marketNumber, std::uint64_t seconds,
                                 const ChanceProgress& progress = {});

// 上位, the traders' median and their 5% and 95% points, as table rows.
std::vector<MeasureRow> chanceRows(const std::optional<ChanceResult>& result);

} // namespace vantrel
