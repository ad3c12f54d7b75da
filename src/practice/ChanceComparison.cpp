#include "practice/ChanceComparison.h"

#include "base/NumberText.h"
#include "market/Market.h"
#include "orders/MessagePrompter.h"
#include "orders/PriceRules.h"
#include "orders/StockInfo.h"
#include "results/Ledger.h"
#include "trading/SilentLog.h"
#include "trading/TradeLog.h"
#include "trading/Trader.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vantrel {
namespace {

// FNV-1a over a fixed byte layout (integers little-endian, strings with their
// length), so the hash does not depend on the platform.
class Fnv1a final {
public:
    void byte(unsigned char b) {
        m_hash ^= b;
        m_hash *= 0x100000001b3ull;
    }
    void number(std::uint64_t value) {
        for (int i = 0; i < 8; ++i)
            byte(static_cast<unsigned char>(value >> (8 * i)));
    }
    void text(const std::string& s) {
        number(s.size());
        for (char c : s)
            byte(static_cast<unsigned char>(c));
    }
    std::uint64_t value() const { return m_hash; }

private:
    std::uint64_t m_hash = 0xcbf29ce484222325ull;
};

// How much work passes between two looks at the cancel flag: a few thousand
// ticks or trader steps, about a millisecond, so a window that drops the
// comparison is never kept waiting for it.
constexpr std::uint64_t kCancelEvery = 4096;

// The market's run counts as this share of the work a progress bar shows,
// the traders as the rest: for a long practice it is that much of the time.
constexpr double kMarketShare = 0.2;

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load(std::memory_order_relaxed);
}

} // namespace

std::vector<Quotes> marketQuotes(int marketNumber, std::uint64_t seconds,
                                 const ChanceProgress& progress) {
    Market market(marketNumber);
    market.keepTape(false); // the computer traders read the quotes only
    market.StartUp();
    std::vector<Quotes> quotes;
    quotes.reserve(seconds + 1);
    quotes.push_back(market.quotes());
    for (std::uint64_t s = 0; s < seconds; ++s) {
        if (s % kCancelEvery == 0) {
            if (progress.report)
                progress.report(kMarketShare * static_cast<double>(s) /
                                static_cast<double>(seconds));
            if (cancelled(progress.cancel))
                return {};
        }
        market.Tick();
        quotes.push_back(market.quotes());
    }
    return quotes;
}

namespace {

// One computer trader's 純損益 at the last second. It presses at a second
// after that second's execution attempt, as the learner does, and is stepped
// only while it has an order pending: a second without one changes nothing
// but the wait, which the next press restarts anyway.
// Empty when cancelled while it waits for a fill.
// shareTexts: each trip's shares as the form's text, written once for all
// the traders rather than at every press.
std::optional<double> computerTraderNet(const ChancePlan& plan, const std::vector<Quotes>& quotes,
                                        const std::vector<std::string>& shareTexts,
                                        SplitMix64& random, const std::atomic<bool>* cancel) {
    const std::uint64_t last = plan.seconds;
    const std::size_t presses = plan.tripShares.size() * 2 - (plan.lastOpen ? 1 : 0);
    std::vector<std::uint64_t> at(presses);
    for (std::uint64_t& second : at)
        second = plan.from + random.below(last - plan.from);
    std::sort(at.begin(), at.end());

    SilentLog silent;
    Ledger ledger;
    Trader trader(silent, silent, ledger);
    const std::string code = stock::kCode;
    std::uint64_t now = plan.from;
    const auto pending = [&trader] { return trader.account().hasPendingOrder(); };
    std::uint64_t steps = 0;
    bool stopped = false;
    // One execution step, or false once the comparison was cancelled.
    const auto step = [&] {
        if (++steps % kCancelEvery == 0 && cancelled(cancel))
            stopped = true;
        if (!stopped)
            trader.executionStep(quotes[++now]);
        return !stopped;
    };
    const auto stepWhilePending = [&](std::uint64_t until) {
        while (now < until && pending() && step()) {
        }
        now = std::max(now, until);
    };
    for (std::size_t trip = 0; trip < plan.tripShares.size() && now < last; ++trip) {
        stepWhilePending(std::max(now, at[2 * trip]));
        if (now >= last)
            break;
        const double shares = plan.tripShares[trip];
        const double affordable = trader.account().power() - kCommission;
        OrderForm buy{PriceKind::Market, "", QuantityKind::Shares, shareTexts[trip], ""};
        if (shares * upperLimitPrice(stock::kPreviousClose) > affordable)
            buy.quantityKind = QuantityKind::Everything;
        trader.pressBuy(code, buy);
        if (2 * trip + 1 >= at.size()) {
            stepWhilePending(last); // the learner's last trip was left open
            break;
        }
        stepWhilePending(std::max(now, at[2 * trip + 1]));
        if (pending())
            trader.pressCancel();
        if (trader.account().holdings() > 0) {
            trader.pressSell(code, {PriceKind::Market, "", QuantityKind::Everything, "", ""});
            while (now < last && pending() && step()) {
            }
        }
    }
    if (stopped)
        return std::nullopt;
    return computeFigures({ledger, trader.account(), quotes[last].lastPrice})[Measure::NetProfit]
        .value_or(0);
}

} // namespace

std::vector<ChanceBin> chanceHistogram(const std::vector<double>& sorted, double learner,
                                       int& learnerBin) {
    const double lowest = std::min(sorted.front(), learner);
    const double highest = std::max(sorted.back(), learner);
    const int count = highest > lowest ? kChanceBins : 1;
    const double width = (highest - lowest) / count;
    std::vector<ChanceBin> bins(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        bins[i] = {lowest + width * i, i + 1 == count ? highest : lowest + width * (i + 1), 0};
    const auto binOf = [&](double value) {
        if (count == 1)
            return 0;
        return std::min(count - 1, static_cast<int>((value - lowest) / width));
    };
    for (double net : sorted)
        ++bins[binOf(net)].count;
    learnerBin = binOf(learner);
    return bins;
}

std::uint64_t SplitMix64::next() {
    std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

std::uint64_t SplitMix64::below(std::uint64_t bound) {
    // Draws from the low end that would favour some remainders are redrawn.
    const std::uint64_t threshold = (0 - bound) % bound;
    for (;;) {
        const std::uint64_t draw = next();
        if (draw >= threshold)
            return draw % bound;
    }
}

std::uint64_t sessionSeed(int marketNumber, const std::vector<SessionAction>& actions,
                          std::uint64_t seconds) {
    Fnv1a hash;
    hash.number(static_cast<std::uint64_t>(marketNumber));
    hash.number(seconds);
    for (const SessionAction& action : actions) {
        hash.number(action.second);
        hash.number(static_cast<std::uint64_t>(action.kind));
        hash.number(static_cast<std::uint64_t>(static_cast<int>(action.form.priceKind) + 1));
        hash.number(static_cast<std::uint64_t>(static_cast<int>(action.form.quantityKind) + 1));
        hash.text(action.form.priceText);
        hash.text(action.form.sharesText);
        hash.text(action.form.yenText);
        hash.text(action.codeText);
    }
    return hash.value();
}

ChancePlan chancePlan(const SessionRecord& record, std::uint64_t seconds,
                      const std::vector<RoundTrip>& trips, double learnerNet) {
    return chancePlan(record.market, record.actions, seconds, trips, learnerNet);
}

ChancePlan chancePlan(int marketNumber, const std::vector<SessionAction>& actions,
                      std::uint64_t seconds, const std::vector<RoundTrip>& trips,
                      double learnerNet) {
    ChancePlan plan;
    plan.marketNumber = marketNumber;
    plan.seconds = chanceSpanEnd(trips, seconds);
    for (const RoundTrip& trip : trips)
        plan.tripShares.push_back(trip.mostShares);
    plan.lastOpen = !trips.empty() && trips.back().open;
    plan.learnerNet = learnerNet;
    if (plan.lastOpen || trips.empty()) {
        plan.seed = sessionSeed(marketNumber, actions, seconds);
    } else {
        // Every press that led to the closing fill came in an earlier second
        // (a press is tried at the next second's execution step at the
        // soonest); later ones, whenever the comparison is made, are left
        // out alike.
        const auto within = std::find_if(actions.begin(), actions.end(), [&](const auto& action) {
            return action.second >= plan.seconds;
        });
        plan.seed = sessionSeed(marketNumber, {actions.begin(), within}, plan.seconds);
    }
    return plan;
}

std::uint64_t chanceSpanEnd(const std::vector<RoundTrip>& trips, std::uint64_t now) {
    if (trips.empty() || trips.back().open)
        return now;
    return std::min(trips.back().end, now);
}

int chanceTraders(std::size_t roundTrips) {
    if (roundTrips == 0)
        return 0;
    const auto traders = std::min<std::uint64_t>(kChanceTraders, kChanceTripBudget / roundTrips);
    return traders < static_cast<std::uint64_t>(kChanceMinTraders) ? 0 : static_cast<int>(traders);
}

std::optional<ChanceResult> compareWithChance(const ChancePlan& plan,
                                              const ChanceProgress& progress) {
    const int traders = chanceTraders(plan.tripShares.size());
    if (traders == 0 || plan.seconds <= plan.from)
        return std::nullopt;
    std::vector<Quotes> ran;
    if (!plan.quotes || plan.quotes->size() <= plan.seconds) {
        ran = marketQuotes(plan.marketNumber, plan.seconds, progress);
        if (ran.empty())
            return std::nullopt;
    }
    const std::vector<Quotes>& quotes = ran.empty() ? *plan.quotes : ran;
    std::vector<std::string> shareTexts;
    shareTexts.reserve(plan.tripShares.size());
    for (const double shares : plan.tripShares)
        shareTexts.push_back(plainDecimal(shares));
    ChanceResult result;
    result.learnerNet = plan.learnerNet;
    result.nets.reserve(static_cast<std::size_t>(traders));
    for (int trader = 0; trader < traders; ++trader) {
        if (cancelled(progress.cancel))
            return std::nullopt;
        // Each trader draws from its own stream, so none depends on another.
        SplitMix64 random(plan.seed ^ (0x9e3779b97f4a7c15ull * (trader + 1ull)));
        const std::optional<double> net =
            computerTraderNet(plan, quotes, shareTexts, random, progress.cancel);
        if (!net)
            return std::nullopt;
        result.nets.push_back(*net);
        if (progress.report && (trader + 1) % 50 == 0)
            progress.report(kMarketShare + (1 - kMarketShare) * (trader + 1) / traders);
    }
    placeAmongTraders(result);
    return result;
}

void placeAmongTraders(ChanceResult& result) {
    std::vector<double>& nets = result.nets;
    std::sort(nets.begin(), nets.end());
    const std::size_t n = nets.size();
    if (n == 0)
        return;
    const auto above = nets.end() - std::upper_bound(nets.begin(), nets.end(), result.learnerNet);
    result.topPercent = 100.0 * static_cast<double>(above) / static_cast<double>(n);
    result.median = (nets[(n - 1) / 2] + nets[n / 2]) / 2;
    const auto nearestRank = [&](std::size_t percent) {
        const std::size_t rank = (percent * n + 99) / 100; // ⌈percent × n / 100⌉
        return nets[std::max<std::size_t>(rank, 1) - 1];
    };
    result.low = nearestRank(5);
    result.high = nearestRank(95);
    result.bins = chanceHistogram(nets, result.learnerNet, result.learnerBin);
}

std::vector<MeasureRow> chanceRows(const std::optional<ChanceResult>& r) {
    const auto value = [&r](double ChanceResult::*field) {
        return r ? std::optional<double>((*r).*field) : std::nullopt;
    };
    return {{Measure::ChanceTopPercent, value(&ChanceResult::topPercent)},
            {Measure::ChanceMedian, value(&ChanceResult::median)},
            {Measure::ChanceLow, value(&ChanceResult::low)},
            {Measure::ChanceHigh, value(&ChanceResult::high)}};
}

} // namespace vantrel
