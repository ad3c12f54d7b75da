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

// Eight hours of market (28,800 ticks) from start-up; the counter is what the
// trade tape then holds, in bytes.
static void BM_TapeEightHours(benchmark::State& state) {
    std::size_t bytes = 0, lines = 0;
    for (auto _ : state) {
        vantrel::Market market;
        market.StartUp();
        for (int second = 0; second < 28800; ++second)
            market.Tick();
        bytes = market.tape().memoryBytes();
        lines = market.tape().size();
    }
    state.counters["tape_bytes"] = static_cast<double>(bytes);
    state.counters["tape_lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_TapeEightHours)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
