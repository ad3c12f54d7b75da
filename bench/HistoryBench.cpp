#include "BenchApplication.h"
#include "NoDialogs.h"
#include "history/PracticeFolder.h"
#include "history/PracticeSummary.h"
#include "practice/PracticeSession.h"
#include "trading/SilentLog.h"
#include "ui/common/AtomicFile.h"
#include "ui/history/frmHistory.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

using vantrel::bench::NoDialogs;

// A market buy or sale of 1,000 shares every 30 seconds, in turn.
void practise(vantrel::PracticeSession& session, int seconds) {
    using namespace vantrel;
    const OrderForm buy{PriceKind::Market, "", QuantityKind::Shares, "1000", ""};
    const OrderForm sell{PriceKind::Market, "", QuantityKind::Everything, "", ""};
    for (int second = 0; second < seconds; ++second) {
        if (second % 30 == 29)
            (second / 30) % 2 ? session.pressSell("9999", sell) : session.pressBuy("9999", buy);
        session.step();
    }
}

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
        practise(session, 3600);
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

// The same in the window, shown: the list read on its worker, its thousand
// rows filled in and the chart rebuilt and painted.
void BM_HistoryWindowThousand(benchmark::State& state) {
    vantrel::bench::ensureApplication();
    NoDialogs dialogs;
    vantrel::frmHistory window(
        QString::fromStdString(fullFolder().folder.string()), dialogs, [] { return QString(); },
        [](const QString&) {});
    window.show();
    for (auto _ : state) {
        window.refresh();
        while (window.reading())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        window.repaint();
    }
}
BENCHMARK(BM_HistoryWindowThousand)->Unit(benchmark::kMillisecond);

// A folder far beyond the limit or full of what blocks readers: 50,000
// kept practices of a few presses (arg 0), or twenty files of 16 MiB
// without a summary, each read whole to be refused (arg 1).
struct CrowdedFolder {
    std::filesystem::path folder;
    explicit CrowdedFolder(int kind) {
        using namespace vantrel;
        namespace fs = std::filesystem;
        folder = fs::temp_directory_path() / ("vantrel-bench-crowded-" + std::to_string(kind));
        fs::remove_all(folder);
        fs::create_directories(folder);
        if (kind == 1) {
            for (int i = 0; i < 20; ++i)
                std::ofstream(folder / ("large" + std::to_string(i) + ".json"), std::ios::binary)
                    << std::string(kSessionFileMaxBytes, ' ');
            return;
        }
        vantrel::SilentLog silent;
        PracticeSession session(silent, silent);
        practise(session, 120);
        for (int i = 0; i < 50000; ++i) {
            PracticeSummary summary = summarisePractice(session, 1765000000000 + i * 60000LL);
            char name[64];
            std::snprintf(name, sizeof name, "2026-%02d-%02d_%06d_market1.json", 1 + i / 28 % 12,
                          1 + i % 28, i);
            summary.keptAs = name;
            summary.order = static_cast<std::uint64_t>(i) + 1;
            // Half with 上位 already, as a folder whose comparisons are under way.
            if (i % 2)
                summary.topPercent = i % 100;
            std::ofstream(folder / name, std::ios::binary)
                << *writeKeptPractice(session.record(), summary).text;
        }
    }
    ~CrowdedFolder() { std::filesystem::remove_all(folder); }
};

// From building the window to its first paint, whatever the folder holds;
// then (counter filled_ms) until every row is read. Peak memory: run it
// alone under /usr/bin/time -f %M.
void BM_HistoryWindowShows(benchmark::State& state) {
    vantrel::bench::ensureApplication();
    const CrowdedFolder crowded(static_cast<int>(state.range(0)));
    NoDialogs dialogs;
    double filledMs = 0;
    std::size_t rows = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        vantrel::frmHistory window(
            QString::fromStdString(crowded.folder.string()), dialogs, [] { return QString(); },
            [](const QString&) {});
        window.show();
        window.repaint();
        QApplication::processEvents();
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        while (window.reading())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        filledMs = static_cast<double>(clock.elapsed());
        rows = window.practices().size();
    }
    state.counters["filled_ms"] = filledMs;
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_HistoryWindowShows)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

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
