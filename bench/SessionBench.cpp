#include "orders/StockInfo.h"
#include "practice/PracticeSession.h"
#include "practice/SessionFile.h"
#include "practice/SessionReplay.h"
#include "trading/SilentLog.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

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

// The largest realistic file: the most presses (a market buy, a sale at a
// limit, a cancel in turn, about every twelve seconds) over the longest
// practice, each form text as typed with 50 characters, traded for real.
std::string largestSession() {
    using namespace vantrel;
    SilentLog log;
    PracticeSession session(log, log);
    const auto typed = [](const char* value) {
        const std::string text = value;
        return std::string(50 - text.size(), '0') + text;
    };
    const OrderForm buy{PriceKind::Market, typed("500"), QuantityKind::Shares, typed("1000"),
                        typed("500000")};
    const OrderForm sell{PriceKind::Limit, typed("505"), QuantityKind::Everything, typed("1000"),
                         typed("500000")};
    const std::uint64_t every = kSessionFileMaxSeconds / kSessionFileMaxActions;
    for (std::uint64_t second = 0, presses = 0; second < kSessionFileMaxSeconds; ++second) {
        if (second % every == every - 1 && presses < kSessionFileMaxActions) {
            switch (presses++ % 3) {
            case 0:
                session.pressBuy(stock::kCode, buy);
                break;
            case 1:
                session.pressSell(stock::kCode, sell);
                break;
            default:
                session.pressCancel();
            }
        }
        session.step();
    }
    return writeSessionFile(session.record()).text.value_or("");
}

// A file at the size limit made of one member no version reads: an array of
// empty objects, passed over unread.
std::string unknownMemberSession() {
    using namespace vantrel;
    SilentLog log;
    std::string text = *writeSessionFile(PracticeSession(log, log).record()).text;
    const std::string head = "\"x\":[";
    const std::size_t room = kSessionFileMaxBytes - text.size() - head.size() - 2;
    std::string member = head;
    for (std::size_t i = 0; i + 3 <= room; i += 3)
        member += "{},";
    member.back() = ']';
    member += ',';
    return text.insert(text.find("\"actions\""), member);
}

// Writes the file where `vantrel-market --session` can be timed on it:
// $TMPDIR/vantrel-bench/<name>.
std::string savedFile(const std::string& text, const char* name) {
    const char* temporary = std::getenv("TMPDIR");
    const std::filesystem::path folder =
        std::filesystem::path(temporary && *temporary ? temporary : "/tmp") / "vantrel-bench";
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

// The file opened, read strictly and replayed headless with the statistics,
// as `vantrel-market --session` does: each log line handed on, none kept.
void openAndReplay(benchmark::State& state, const std::string& text, const char* name) {
    const std::string path = savedFile(text, name);
    std::size_t lines = 0;
    for (auto _ : state) {
        const vantrel::SessionFileRead read = vantrel::openSessionFile(path);
        if (!read.record) {
            state.SkipWithError(read.error.c_str());
            return;
        }
        vantrel::HeadlessReplay replay = vantrel::replaySession(
            *read.record, [&lines](const std::string&) { ++lines; }, true);
        benchmark::DoNotOptimize(replay);
    }
    state.SetLabel(path);
    state.counters["bytes"] = static_cast<double>(text.size());
    state.counters["lines"] = static_cast<double>(lines / state.iterations());
}

void BM_OpenLargestSession(benchmark::State& state) {
    openAndReplay(state, largestSession(), "largest.json");
}
BENCHMARK(BM_OpenLargestSession)->Unit(benchmark::kMillisecond);

void BM_OpenUnknownMembers(benchmark::State& state) {
    openAndReplay(state, unknownMemberSession(), "unknown-members.json");
}
BENCHMARK(BM_OpenUnknownMembers)->Unit(benchmark::kMillisecond);

} // namespace
