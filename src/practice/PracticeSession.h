#pragma once

#include "market/Market.h"
#include "market/MarketNumber.h"
#include "trading/Ledger.h"
#include "trading/Trader.h"

#include <cstdint>
#include <functional>

namespace vantrel {

class MessagePrompter;
class TradeLog;

// One practice: a numbered market and the user's account trading on it. The
// window's two timers drive it; a fresh practice replaces both while the log,
// which belongs to the window, keeps its earlier lines.
class PracticeSession final {
public:
    // Starts the market (seeded book, start prices) and a fresh account.
    // wallClockMs stamps each fill with the time of day (milliseconds since
    // the Unix epoch); without it fills carry only their market second.
    PracticeSession(TradeLog& log, MessagePrompter& prompter, int marketNumber = kStandardMarket,
                    std::function<std::int64_t()> wallClockMs = {});

    // One market tick (Timer1).
    void tick();
    // One execution event against the current quotes (Timer2).
    void executionTick();
    // One second of practice, in the order the timers run: tick, then execution.
    void step();

    // Starts afresh on the given market (1 to 9999): the market seeded anew,
    // the start-up account with no holdings and no order, the ledger and the
    // price history emptied. Logs one line. The ledger, the history and the
    // account keep their addresses, so views of them stay wired.
    void restart(int marketNumber);

    const Market& market() const { return m_market; }
    const Trader& trader() const { return m_trader; }
    Trader& trader() { return m_trader; }
    // Every fill and commission of this session, and the last price after
    // every market second (element 0 is the start price).
    const Ledger& ledger() const { return m_ledger; }
    const PriceHistory& prices() const { return m_prices; }
    int marketNumber() const { return m_marketNumber; }

private:
    TradeLog& m_log;
    MessagePrompter& m_prompter;
    int m_marketNumber;
    Market m_market;
    std::function<std::int64_t()> m_wallClockMs;
    Ledger m_ledger;
    PriceHistory m_prices;
    Trader m_trader;
};

} // namespace vantrel
