#include "ui/common/Clock.h"
#include "ui/mainwindow/MessageLog.h"

#include "BenchApplication.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

namespace {

using vantrel::bench::ensureApplication;

class StillClock final : public vantrel::Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3)); }
};

} // namespace

// One append to a log that already holds state.range(0) lines, in a shown
// box of the window's size. The cost must not grow with the log.
static void BM_AddLog(benchmark::State& state) {
    ensureApplication();
    const StillClock clock;
    QPlainTextEdit view;
    view.resize(456, 86);
    view.show();
    vantrel::MessageLog log(view, clock);
    const QString message = QStringLiteral("ヴァントレルを500円で1000株購入します。");
    for (int64_t line = 0; line < state.range(0); ++line)
        log.AddLog(message);

    for (auto _ : state)
        log.AddLog(message);
    state.counters["lines_after"] = static_cast<double>(view.blockCount());
}
// A fixed number of appends keeps each log close to its starting length.
BENCHMARK(BM_AddLog)->Arg(1000)->Arg(100000)->Iterations(5000)->Unit(benchmark::kMicrosecond);
