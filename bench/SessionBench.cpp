#include "practice/PracticeSession.h"
#include "practice/SessionFile.h"
#include "practice/SessionReplay.h"
#include "trading/SilentLog.h"

#include <benchmark/benchmark.h>

namespace {

// Eight hours of market time with a thousand presses spread over it: buys,
// sales and cancels in turn, some filled and some refused.
std::string eightHourSession() {
    using namespace vantrel;
    vantrel::SilentLog log;
    PracticeSession session(log, log);
    const OrderForm buy{PriceKind::Market, "", QuantityKind::Shares, "1000", ""};
    const OrderForm sell{PriceKind::Limit, "505", QuantityKind::Everything, "", ""};
    for (int second = 0, presses = 0; second < 8 * 3600; ++second) {
        if (second % 28 == 27 && presses < 1000) {
            switch (presses++ % 3) {
            case 0:
                session.pressBuy("1001", buy);
                break;
            case 1:
                session.pressSell("1001", sell);
                break;
            default:
                session.pressCancel();
            }
        }
        session.step();
    }
    return *writeSessionFile(session.record()).text;
}

// The file read strictly and replayed headless to its last second.
void BM_ReplayEightHourSession(benchmark::State& state) {
    const std::string text = eightHourSession();
    for (auto _ : state) {
        const vantrel::SessionFileRead read = vantrel::readSessionFile(text);
        vantrel::HeadlessReplay replay = vantrel::replaySession(*read.record);
        benchmark::DoNotOptimize(replay);
    }
    state.counters["actions"] =
        static_cast<double>(vantrel::readSessionFile(text).record->actions.size());
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ReplayEightHourSession)->Unit(benchmark::kMillisecond);

// The largest file the reader accepts: the most actions (buys at market,
// sales at a limit, cancels in turn) spread over the longest practice, the
// yen texts (unused by share orders) padded until the file is at the size
// limit.
std::string largestSession() {
    using namespace vantrel;
    SessionRecord record;
    record.program = programVersionText();
    record.results.seconds = kSessionFileMaxSeconds;
    const OrderForm buy{PriceKind::Market, "", QuantityKind::Shares, "1000", ""};
    const OrderForm sell{PriceKind::Limit, "505", QuantityKind::Everything, "", ""};
    for (std::size_t i = 0; i < kSessionFileMaxActions; ++i) {
        const std::uint64_t second = i * kSessionFileMaxSeconds / kSessionFileMaxActions;
        const ActionKind kind = static_cast<ActionKind>(i % 3);
        record.actions.push_back({second, kind, kind == ActionKind::Buy ? buy : sell, "1001"});
    }
    const std::size_t spare =
        kSessionFileMaxBytes - writeSessionFile(record).text.value_or("").size();
    for (SessionAction& action : record.actions)
        action.form.yenText.assign(spare / kSessionFileMaxActions, '0');
    record.actions.back().form.yenText.append(spare % kSessionFileMaxActions, '0');
    return writeSessionFile(record).text.value_or("");
}

// Read strictly and replayed headless as `vantrel-market --session` does,
// each log line handed on and none kept.
void BM_ReplayLargestSession(benchmark::State& state) {
    const std::string text = largestSession();
    std::size_t lines = 0;
    for (auto _ : state) {
        const vantrel::SessionFileRead read = vantrel::readSessionFile(text);
        vantrel::HeadlessReplay replay =
            vantrel::replaySession(*read.record, [&lines](const std::string&) { ++lines; });
        benchmark::DoNotOptimize(replay);
    }
    state.counters["bytes"] = static_cast<double>(text.size());
    state.counters["lines"] = static_cast<double>(lines / state.iterations());
}
BENCHMARK(BM_ReplayLargestSession)->Unit(benchmark::kMillisecond);

} // namespace
