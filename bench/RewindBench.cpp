#include "practice/ChanceComparison.h"
#include "practice/PracticeSession.h"
#include "trading/SilentLog.h"
#include "ui/common/Clock.h"
#include "ui/mainwindow/frmMain.h"

#include "BenchApplication.h"
#include "NoDialogs.h"
#include "shot/ShotDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QSlider>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace vantrel;

// Eight hours of a window's practice (fills and tape lines stamped with a
// time of day) with a press every 20 seconds on average and a copy of the
// state kept every `every` seconds.
std::unique_ptr<PracticeSession> eightHours(SilentLog& log, std::uint64_t every) {
    auto session = std::make_unique<PracticeSession>(log, log, 1, [] { return 1; });
    session->keepCheckpoints(every);
    const OrderForm forms[] = {{PriceKind::Market, "", QuantityKind::Shares, "2000", ""},
                               {PriceKind::Market, "", QuantityKind::Everything, "", ""},
                               {PriceKind::Limit, "498", QuantityKind::Shares, "1000", ""}};
    SplitMix64 random(1);
    for (int second = 0; second < 8 * 3600; ++second) {
        const auto pick = random.below(60);
        if (pick == 1)
            session->pressSell(stock::kCode, forms[1]);
        else if (pick == 0 || pick == 2)
            session->pressBuy(stock::kCode, forms[pick]);
        session->step();
    }
    return session;
}

// Going back from the end of an eight-hour practice to its worst second,
// just before a copy, so that the most seconds are replayed; the counter
// shows the copies' bytes. Each iteration starts from a fresh practice,
// built outside the timing.
void BM_RewindEightHours(benchmark::State& state) {
    const auto every = static_cast<std::uint64_t>(state.range(0));
    SilentLog log;
    std::size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto session = eightHours(log, every);
        const std::uint64_t end = session->elapsed();
        bytes = session->checkpointBytes();
        state.ResumeTiming();
        if (!session->rewindTo(end - end % every - 1))
            state.SkipWithError("no copy to go back to");
        benchmark::DoNotOptimize(session->elapsed());
        state.PauseTiming();
        session.reset(); // not timed
        state.ResumeTiming();
    }
    state.counters["checkpointMiB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_RewindEightHours)
    ->Arg(60)
    ->Arg(300)
    ->Arg(900)
    ->Arg(3600)
    ->Unit(benchmark::kMillisecond);

QWidget* topLevel(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(name))
            return widget;
    return nullptr;
}

// Going back as the learner does, with every window that redraws open: the
// main window with its log, the results and the tape, shown, after eight
// hours of a practice with a press every 20 seconds on average. Each
// iteration moves the results window's slider to the second just before a
// copy of the state (the most seconds replayed), 900 seconds before the last
// target, presses ここからやり直す and paints what changed, so the practice
// gone back from is between eight and six hours long.
void BM_RewindInTheWindow(benchmark::State& state) {
    bench::ensureApplication();
    SystemClock clock;
    bench::NoDialogs dialogs(true);
    frmMain window(clock, dialogs);
    shot::action(window, "MnuPause")->trigger();
    window.show();
    SplitMix64 random(1);
    for (int second = 0; second < 8 * 3600; ++second) {
        shot::action(window, "MnuStep")->trigger();
        const auto pick = random.below(60);
        if (pick == 0)
            shot::order(window, "Buy", QString(), QStringLiteral("2000"));
        else if (pick == 1)
            shot::order(window, "Sell", QString(), QStringLiteral("2000"));
        else if (pick == 2)
            shot::order(window, "Buy", QStringLiteral("498"), QStringLiteral("1000"));
    }
    shot::action(window, "MnuResults")->trigger();
    shot::action(window, "MnuTape")->trigger();
    QApplication::processEvents();
    QWidget* results = topLevel("frmResults");
    auto* slider = results->findChild<QSlider*>(QStringLiteral("sldRewind"));
    auto* rewind = results->findChild<QAbstractButton*>(QStringLiteral("cmdRewind"));
    const std::uint64_t end = window.session().elapsed();
    std::uint64_t target = end - end % kCheckpointSeconds + kCheckpointSeconds - 1;
    for (auto _ : state) {
        target -= kCheckpointSeconds;
        slider->setValue(static_cast<int>(target));
        rewind->click();
        QApplication::processEvents();
        if (window.session().elapsed() != target)
            state.SkipWithError("the practice did not go back");
    }
    state.counters["branches"] = static_cast<double>(window.session().branches().size());
}
BENCHMARK(BM_RewindInTheWindow)->Iterations(8)->Unit(benchmark::kMillisecond);

} // namespace
