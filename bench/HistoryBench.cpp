#include "BenchApplication.h"
#include "history/PracticeFolder.h"
#include "history/PracticeSummary.h"
#include "practice/PracticeSession.h"
#include "trading/SilentLog.h"
#include "ui/common/AtomicFile.h"
#include "ui/common/Dialogs.h"
#include "ui/history/frmHistory.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

class NoDialogs final : public vantrel::Dialogs {
public:
    void ShowMessage(const std::string&, const std::string&) override {}
    bool confirm(const QString&) override { return false; }
    std::optional<QString> askMarketNumber(int) override { return std::nullopt; }
    QString askOpenPath(const QString&, const QString&) override { return {}; }
    QString askSavePath(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
};

// A full folder: a thousand kept practices of an hour with 120 presses each
// (about 18 KB apiece), made once for the run and removed at its end.
struct FullFolder {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "vantrel-bench-history";
    std::size_t bytes = 0;
    FullFolder() {
        using namespace vantrel;
        namespace fs = std::filesystem;
        vantrel::SilentLog silent;
        PracticeSession session(silent, silent);
        const OrderForm buy{PriceKind::Market, "", QuantityKind::Shares, "1000", ""};
        const OrderForm sell{PriceKind::Market, "", QuantityKind::Everything, "", ""};
        for (int second = 0; second < 3600; ++second) {
            if (second % 30 == 29)
                (second / 30) % 2 ? session.pressSell("9999", sell) : session.pressBuy("9999", buy);
            session.step();
        }
        fs::remove_all(folder);
        fs::create_directories(folder);
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
    }
    ~FullFolder() { std::filesystem::remove_all(folder); }
};

const FullFolder& fullFolder() {
    static const FullFolder folder;
    return folder;
}

// The full folder listed as 練習の記録 lists it, from the summaries.
void BM_ListThousandPractices(benchmark::State& state) {
    const FullFolder& full = fullFolder();
    for (auto _ : state)
        benchmark::DoNotOptimize(vantrel::listPractices(full.folder.string()));
    state.counters["files"] = static_cast<double>(vantrel::kKeptPracticesLimit);
    state.counters["file_bytes"] = static_cast<double>(full.bytes / vantrel::kKeptPracticesLimit);
}
BENCHMARK(BM_ListThousandPractices)->Unit(benchmark::kMillisecond);

// The same in the window, shown: the list read, its thousand rows and the
// chart rebuilt and painted.
void BM_HistoryWindowThousand(benchmark::State& state) {
    vantrel::bench::ensureApplication();
    NoDialogs dialogs;
    vantrel::frmHistory window(
        QString::fromStdString(fullFolder().folder.string()), dialogs, [] { return QString(); },
        [](const QString&) {});
    window.show();
    for (auto _ : state) {
        window.refresh();
        window.repaint();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_HistoryWindowThousand)->Unit(benchmark::kMillisecond);

// What the program's end costs with keeping on: an eight-hour practice of a
// thousand presses summarised, written as a kept file and put in place
// atomically (the flush included; no fsync, as every save here).
void BM_KeepEightHourPractice(benchmark::State& state) {
    using namespace vantrel;
    vantrel::SilentLog silent;
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
