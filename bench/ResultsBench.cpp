#include "orders/OrderForm.h"
#include "practice/PracticeSession.h"
#include "results/TripReview.h"
#include "trading/TradeLog.h"
#include "ui/common/dialogs/ModalDialogs.h"
#include "ui/results/frmResults.h"
#include "ui/tape/frmTape.h"

#include "BenchApplication.h"

#include <QApplication>
#include <QDateTime>
#include <QTabWidget>
#include <QTableView>

#include <benchmark/benchmark.h>

namespace {

using vantrel::bench::ensureApplication;

class NoLog final : public vantrel::TradeLog {
public:
    void AddLog(const std::string&) override {}
};

class NoBoxes final : public vantrel::MessagePrompter {
public:
    void ShowMessage(const std::string&, const std::string&) override {}
};

// A session as the main window runs it: every second the market ticks, the
// price is recorded and execution looks; now and then the user trades.
struct Session {
    NoLog log;
    NoBoxes boxes;
    // The wall clock as the window hands it over: fills and tape lines are stamped.
    vantrel::PracticeSession practice{log, boxes, vantrel::kStandardMarket,
                                      [] { return QDateTime::currentMSecsSinceEpoch(); }};

    void second() {
        practice.step();
        // A market order every five minutes, alternately buying and selling.
        if (practice.elapsed() % 300 == 0) {
            const vantrel::OrderForm form{vantrel::PriceKind::Market, "",
                                          vantrel::QuantityKind::Shares, "1000", ""};
            if (practice.trader().account().holdings() == 0)
                practice.pressBuy("9999", form);
            else
                practice.pressSell("9999", form);
        }
    }
};

} // namespace

// One second of a session with the results window open and painted, after
// state.range(0) seconds of history. The cost must not grow with the session.
// With state.range(1) given, that tab is in sight (1: 往復取引, 2: 統計,
// 4: 振り返り).
static void BM_ResultsTick(benchmark::State& state) {
    ensureApplication();
    Session session;
    for (int64_t second = 0; second < state.range(0); ++second)
        session.second();
    vantrel::ModalDialogs dialogs; // never shown: nothing is saved
    vantrel::frmResults window(session.practice, dialogs);
    window.show();
    if (state.range(1) != 0)
        window.findChild<QTabWidget*>("tabResults")
            ->setCurrentIndex(static_cast<int>(state.range(1)));
    QApplication::processEvents();

    for (auto _ : state) {
        session.second();
        window.refresh();
        QApplication::processEvents(); // the repaint the tick asked for
    }
    const double bytes = static_cast<double>(
        session.practice.prices().prices.capacity() * sizeof(double) +
        session.practice.ledger().fills().capacity() * sizeof(vantrel::LedgerFill));
    state.counters["history_KiB"] = bytes / 1024;
    state.counters["fills"] = static_cast<double>(session.practice.ledger().fills().size());
}
// A fixed number of seconds keeps each history close to its starting length.
BENCHMARK(BM_ResultsTick)
    ->Args({100, 0})
    ->Args({28800, 0})
    ->Args({28800, 1})
    ->Args({28800, 2})
    ->Args({28800, 4})
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);

// One second with the tape window open and painted, after state.range(0)
// seconds of tape: the new line comes in on top, the totals change. The cost
// must not grow with the tape.
static void BM_TapeTick(benchmark::State& state) {
    ensureApplication();
    Session session;
    for (int64_t second = 0; second < state.range(0); ++second)
        session.second();
    vantrel::frmTape window(session.practice);
    window.show();
    QApplication::processEvents();

    for (auto _ : state) {
        session.second();
        window.refresh();
        QApplication::processEvents();
    }
    state.counters["rows"] =
        static_cast<double>(window.findChild<QTableView*>("tapeTable")->model()->rowCount());
    state.counters["tape_KiB"] =
        static_cast<double>(session.practice.market().tape().memoryBytes()) / 1024;
}
BENCHMARK(BM_TapeTick)->Arg(100)->Arg(28800)->Iterations(300)->Unit(benchmark::kMicrosecond);

// The reviews of every closed trip of state.range(0) seconds, made again
// after each fill while 往復取引, 統計 or 振り返り is in sight: each trip reads
// the tape of its own seconds once, so the cost follows the seconds held.
static void BM_TripReviews(benchmark::State& state) {
    Session session;
    for (int64_t second = 0; second < state.range(0); ++second)
        session.second();
    const auto trips =
        vantrel::roundTrips(session.practice.ledger().fills(), session.practice.prices());
    for (auto _ : state)
        benchmark::DoNotOptimize(vantrel::reviewTrips(trips, session.practice.market().tape()));
    state.counters["trips"] = static_cast<double>(trips.size());
}
BENCHMARK(BM_TripReviews)->Arg(28800)->Unit(benchmark::kMicrosecond);
