#include "exercise/ExerciseRandom.h"

#include "base/NumberText.h"
#include "orders/PriceRules.h"
#include "orders/StockInfo.h"
#include "results/Ledger.h"
#include "trading/SilentLog.h"
#include "trading/Trader.h"

#include <algorithm>

namespace vantrel {

namespace {

// One computer trader's 買い集め or 売り切り: its trade sums at the end.
TradeSums randomTrader(const ExerciseFacts& facts, const std::vector<Quotes>& quotes,
                       SplitMix64& random) {
    const ExerciseCard& card = facts.card;
    const bool buying = card.kind == ExerciseKind::Accumulate;
    const std::uint64_t start = facts.trace.start;
    const std::uint64_t last = facts.trace.end;
    const int units = static_cast<int>(card.shares / stock::kUnit);
    const int orders = std::min(kRandomTaskOrders, units);
    std::vector<std::uint64_t> at(static_cast<std::size_t>(orders));
    for (std::uint64_t& second : at)
        second = start + random.below(last - start);
    std::sort(at.begin(), at.end());

    SilentLog silent;
    Ledger ledger;
    Trader trader(silent, silent, ledger);
    if (!buying) {
        // The shares held from the start, as the learner held them.
        Account account = trader.account();
        account.setHoldings(card.shares);
        account.setPower(account.power() - card.shares * facts.trace.arrival);
        trader.restoreAccount(account);
        ledger.onFill(OrderSide::Buy, facts.trace.arrival, card.shares, 0);
    }
    const std::size_t first = ledger.fills().size();
    std::uint64_t now = start;
    const auto stepWhilePending = [&](std::uint64_t until) {
        while (now < until && trader.account().hasPendingOrder())
            trader.executionStep(quotes[++now]);
        now = std::max(now, until);
    };
    const std::string code = stock::kCode;
    double wanted = 0;
    for (int order = 0; order < orders; ++order) {
        stepWhilePending(at[static_cast<std::size_t>(order)]);
        if (trader.account().hasPendingOrder())
            trader.pressCancel();
        // Whole units, spread as evenly as they go, the first orders larger.
        wanted += stock::kUnit * (units / orders + (order < units % orders ? 1 : 0));
        const TradeSums sums = sumsOf(ledger.fills(), first);
        const double rest =
            wanted - (buying ? sums.boughtShares - sums.soldShares : sums.soldShares);
        if (rest <= 0)
            continue;
        OrderForm form{PriceKind::Market, "", QuantityKind::Shares, plainDecimal(rest), ""};
        if (buying) {
            const double affordable = trader.account().power() - kCommission;
            if (rest * upperLimitPrice(stock::kPreviousClose) > affordable)
                form.quantityKind = QuantityKind::Everything;
            trader.pressBuy(code, form);
        } else {
            trader.pressSell(code, form);
        }
    }
    stepWhilePending(last);
    return sumsOf(ledger.fills(), first);
}

std::optional<ChanceResult> randomTask(const ExerciseFacts& facts, const ChanceProgress& progress,
                                       const std::shared_ptr<const std::vector<Quotes>>& given) {
    const std::optional<double> learner = basisPointScore(facts.card, facts.trace, facts.sums);
    const std::uint64_t last = facts.trace.end;
    if (!learner || last <= facts.trace.start)
        return std::nullopt;
    std::vector<Quotes> ran;
    if (!given || given->size() <= last) {
        ran = marketQuotes(facts.market, last, progress);
        if (ran.empty())
            return std::nullopt;
    }
    const std::vector<Quotes>& quotes = ran.empty() ? *given : ran;
    ChanceResult result;
    result.learnerNet = *learner;
    result.nets.reserve(kChanceTraders);
    ExerciseTrace trace = facts.trace;
    for (int index = 0; index < kChanceTraders; ++index) {
        if (progress.cancel && progress.cancel->load(std::memory_order_relaxed))
            return std::nullopt;
        // Each trader draws from its own stream, as in the comparison with chance.
        SplitMix64 random(facts.chance.seed ^ (0x9e3779b97f4a7c15ull * (index + 1ull)));
        const TradeSums sums = randomTrader(facts, quotes, random);
        trace.closing = quotes[last];
        result.nets.push_back(basisPointScore(facts.card, trace, sums).value_or(0));
        if (progress.report && (index + 1) % 50 == 0)
            progress.report(static_cast<double>(index + 1) / kChanceTraders);
    }
    placeAmongTraders(result);
    return result;
}

} // namespace

std::optional<ChanceResult> sameTaskAtRandom(const ExerciseFacts& facts,
                                             const ChanceProgress& progress,
                                             std::shared_ptr<const std::vector<Quotes>> quotes) {
    if (facts.trace.seconds() == 0)
        return std::nullopt;
    switch (facts.card.kind) {
    case ExerciseKind::Accumulate:
    case ExerciseKind::Liquidate:
        return randomTask(facts, progress, quotes);
    default: {
        ChancePlan plan = facts.chance;
        if (!plan.quotes)
            plan.quotes = std::move(quotes);
        return compareWithChance(plan, progress);
    }
    }
}

} // namespace vantrel
