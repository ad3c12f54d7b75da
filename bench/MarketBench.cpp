#include "market/Market.h"

#include <benchmark/benchmark.h>

// One full market tick: centre walk, crowd order, lowest-ask search, top-up,
// the eleven board rows and the best quotes read back from them.
static void BM_MarketTick(benchmark::State& state) {
    vantrel::Market market;
    market.StartUp();
    // Start from a market that has been running a while, not the seeded book.
    for (int i = 0; i < 10000; ++i)
        market.Tick();
    for (auto _ : state) {
        market.Tick();
        vantrel::Quotes quotes = market.quotes();
        benchmark::DoNotOptimize(quotes);
    }
}
BENCHMARK(BM_MarketTick);

BENCHMARK_MAIN();
