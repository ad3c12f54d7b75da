#include "history/PracticeFolder.h"
#include "history/PracticeSummary.h"
#include "practice/PracticeSession.h"
#include "ui/common/AtomicFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

class Silent final : public vantrel::TradeLog, public vantrel::MessagePrompter {
public:
    void AddLog(const std::string&) override {}
    void ShowMessage(const std::string&, const std::string&) override {}
};

// A full folder: a thousand kept practices of an hour with 120 presses each
// (about 20 KB apiece), listed as 練習の記録 lists them, from their summaries.
void BM_ListThousandPractices(benchmark::State& state) {
    using namespace vantrel;
    namespace fs = std::filesystem;
    Silent silent;
    PracticeSession session(silent, silent);
    const OrderForm buy{PriceKind::Market, "", QuantityKind::Shares, "1000", ""};
    const OrderForm sell{PriceKind::Market, "", QuantityKind::Everything, "", ""};
    for (int second = 0; second < 3600; ++second) {
        if (second % 30 == 29)
            (second / 30) % 2 ? session.pressSell("9999", sell) : session.pressBuy("9999", buy);
        session.step();
    }
    const fs::path folder = fs::temp_directory_path() / "vantrel-bench-history";
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::size_t bytes = 0;
    for (int i = 0; i < static_cast<int>(kKeptPracticesLimit); ++i) {
        PracticeSummary summary = summarisePractice(session, 1765000000000 + i * 86400000LL);
        summary.topPercent = i % 100;
        const std::string text = *writeKeptPractice(session.record(), summary).text;
        char name[64];
        std::snprintf(name, sizeof name, "2026-%02d-%02d_%06d_market1.json", 1 + i / 28 % 12,
                      1 + i % 28, i);
        std::ofstream(folder / name, std::ios::binary) << text;
        bytes += text.size();
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(listPractices(folder.string()));
    state.counters["files"] = static_cast<double>(kKeptPracticesLimit);
    state.counters["file_bytes"] = static_cast<double>(bytes / kKeptPracticesLimit);
    fs::remove_all(folder);
}
BENCHMARK(BM_ListThousandPractices)->Unit(benchmark::kMillisecond);

// What the program's end costs with keeping on: an eight-hour practice of a
// thousand presses summarised, written as a kept file and put in place
// atomically (the flush included; no fsync, as every save here).
void BM_KeepEightHourPractice(benchmark::State& state) {
    using namespace vantrel;
    Silent silent;
    PracticeSession session(silent, silent);
    const OrderForm buy{PriceKind::Market, "", QuantityKind::Shares, "1000", ""};
    const OrderForm sell{PriceKind::Limit, "505", QuantityKind::Everything, "", ""};
    for (int second = 0, presses = 0; second < 8 * 3600; ++second) {
        if (second % 28 == 27 && presses < 1000)
            presses++ % 2 ? session.pressSell("9999", sell) : session.pressBuy("9999", buy);
        session.step();
    }
    const QString path = QString::fromStdString(
        (std::filesystem::temp_directory_path() / "vantrel-bench-keep.json").string());
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text =
            *writeKeptPractice(session.record(), summarisePractice(session, 0)).text;
        benchmark::DoNotOptimize(writeFileAtomically(path, text));
        bytes = text.size();
    }
    state.counters["file_bytes"] = static_cast<double>(bytes);
    std::filesystem::remove(path.toStdString());
}
BENCHMARK(BM_KeepEightHourPractice)->Unit(benchmark::kMillisecond);

} // namespace
