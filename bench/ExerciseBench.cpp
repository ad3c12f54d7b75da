#include "exercise/ExerciseRandom.h"
#include "exercise/ExerciseRun.h"
#include "practice/PracticeSession.h"
#include "trading/SilentLog.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vantrel;

// A one-hour exercise of the given kind, started half an hour into market
// 17: a 買い集め of 4,000 shares bought 1,000 at a time at limit 15 yen under
// the best ask (it ends by the hour, not by its goal), or twenty round trips of 2,000 shares at
// market.
ExerciseFacts oneHour(ExerciseKind kind) {
    SilentLog log;
    PracticeSession session(log, log, 17);
    ExerciseCard card;
    card.kind = kind;
    card.market = 17;
    card.start = 1800;
    card.timeLimit = 3600;
    card.shares = kind == ExerciseKind::Accumulate ? 4000 : 0;
    card.roundTrips = 20;
    ExerciseRun run(session, card);
    run.start(17);
    const OrderForm sell{PriceKind::Market, "", QuantityKind::Everything, "", ""};
    const OrderForm buy{PriceKind::Market, "", QuantityKind::Shares, "2000", ""};
    for (int second = 0; run.running(); ++second) {
        if (kind == ExerciseKind::Accumulate && second % 600 == 0) {
            session.pressCancel();
            const double ask = session.market().quotes().dblAskPrice - 15;
            run.pressBuy(stock::kCode, {PriceKind::Limit, std::to_string(static_cast<int>(ask)),
                                        QuantityKind::Shares, "1000", ""});
        } else if (kind != ExerciseKind::Accumulate && second % 180 == 0) {
            run.pressBuy(stock::kCode, buy);
        } else if (kind != ExerciseKind::Accumulate && second % 180 == 90) {
            run.pressSell(stock::kCode, sell);
        }
        run.step();
    }
    return run.facts();
}

// The same task at random for a one-hour exercise, the market run afresh
// (as a window that kept no quotes would): at most 0.5 s on one core.
void BM_SameTaskAtRandomOneHour(benchmark::State& state) {
    const ExerciseFacts facts = oneHour(static_cast<ExerciseKind>(state.range(0)));
    for (auto _ : state) {
        auto result = sameTaskAtRandom(facts);
        benchmark::DoNotOptimize(result);
    }
    state.SetLabel(exerciseKindName(facts.card.kind));
    state.counters["seconds"] = static_cast<double>(facts.trace.seconds());
}
BENCHMARK(BM_SameTaskAtRandomOneHour)
    ->Arg(static_cast<int>(ExerciseKind::Accumulate))
    ->Arg(static_cast<int>(ExerciseKind::RoundTrips))
    ->Unit(benchmark::kMillisecond);

} // namespace
