#include "market/Market.h"
#include "trading/Ledger.h"
#include "trading/OrderForm.h"
#include "trading/TradeLog.h"
#include "trading/Trader.h"
#include "ui/ModalDialogs.h"
#include "ui/frmResults.h"

#include "BenchApplication.h"

#include <QApplication>

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
    vantrel::Market market;
    NoLog log;
    NoBoxes boxes;
    vantrel::Ledger ledger{[this] { return vantrel::FillTime{market.tickCount(), 0}; }};
    vantrel::PriceHistory history;
    vantrel::Trader trader{log, boxes, ledger};

    Session() {
        market.StartUp();
        history.append(market.quotes().dblNowPrice);
    }
    void second() {
        market.Tick();
        history.append(market.quotes().dblNowPrice);
        trader.executionTick(market.quotes());
        // A market order every five minutes, alternately buying and selling.
        if (market.tickCount() % 300 == 0) {
            const vantrel::OrderForm form{vantrel::PriceKind::Market, "",
                                          vantrel::QuantityKind::Shares, "1000", ""};
            if (trader.account().holdings() == 0)
                trader.pressBuy("9999", form);
            else
                trader.pressSell("9999", form);
        }
    }
};

} // namespace

// One second of a session with the results window open and painted, after
// state.range(0) seconds of history. The cost must not grow with the session.
static void BM_ResultsTick(benchmark::State& state) {
    ensureApplication();
    Session session;
    for (int64_t second = 0; second < state.range(0); ++second)
        session.second();
    vantrel::ModalDialogs dialogs; // never shown: nothing is saved
    vantrel::frmResults window(session.ledger, session.history, session.trader.account(), dialogs);
    window.show();
    QApplication::processEvents();

    for (auto _ : state) {
        session.second();
        window.refresh(session.market.quotes());
        QApplication::processEvents(); // the repaint the tick asked for
    }
    const double bytes =
        static_cast<double>(session.history.prices.capacity() * sizeof(double) +
                            session.ledger.fills().capacity() * sizeof(vantrel::LedgerFill));
    state.counters["history_KiB"] = bytes / 1024;
    state.counters["fills"] = static_cast<double>(session.ledger.fills().size());
}
// A fixed number of seconds keeps each history close to its starting length.
BENCHMARK(BM_ResultsTick)->Arg(100)->Arg(28800)->Iterations(300)->Unit(benchmark::kMicrosecond);
