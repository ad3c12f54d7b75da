#include "practice/PracticeSession.h"
#include "practice/SessionFile.h"
#include "practice/SessionReplay.h"

#include <benchmark/benchmark.h>

namespace {

class QuietLog final : public vantrel::TradeLog, public vantrel::MessagePrompter {
public:
    void AddLog(const std::string&) override {}
    void ShowMessage(const std::string&, const std::string&) override {}
};

// Eight hours of market time with a thousand presses spread over it: buys,
// sales and cancels in turn, some filled and some refused.
std::string eightHourSession() {
    using namespace vantrel;
    QuietLog log;
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
    return writeSessionFile(session.record());
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

} // namespace
