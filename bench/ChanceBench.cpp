#include "practice/ChanceComparison.h"
#include "practice/PracticeSession.h"
#include "trading/SilentLog.h"

#include <benchmark/benchmark.h>

namespace {

// Eight hours of market time with a hundred round trips: a market buy of
// 2,000 shares every 288 seconds, sold at market 144 seconds later.
vantrel::ChancePlan eightHourPlan() {
    using namespace vantrel;
    vantrel::SilentLog log;
    PracticeSession session(log, log);
    const OrderForm buy{PriceKind::Market, "", QuantityKind::Shares, "2000", ""};
    const OrderForm sell{PriceKind::Market, "", QuantityKind::Everything, "", ""};
    for (int second = 0; second < 8 * 3600; ++second) {
        if (second % 288 == 0)
            session.pressBuy(stock::kCode, buy);
        else if (second % 288 == 144)
            session.pressSell(stock::kCode, sell);
        session.step();
    }
    const auto trips = roundTrips(session.ledger().fills(), session.prices());
    const double net = session.figures()[Measure::NetProfit].value_or(0);
    return chancePlan(session.record(), session.elapsed(), trips, net);
}

// A thousand computer traders over the same eight hours, the market's quotes
// computed once for all of them.
void BM_ChanceEightHours(benchmark::State& state) {
    const vantrel::ChancePlan plan = eightHourPlan();
    for (auto _ : state) {
        auto result = vantrel::compareWithChance(plan);
        benchmark::DoNotOptimize(result);
    }
    state.counters["trips"] = static_cast<double>(plan.tripShares.size());
}
BENCHMARK(BM_ChanceEightHours)->Unit(benchmark::kMillisecond);

} // namespace
