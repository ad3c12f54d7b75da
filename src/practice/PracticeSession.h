#pragma once

#include "market/Market.h"
#include "market/MarketNumber.h"
#include "trading/Trader.h"

#include <optional>

namespace vantrel {

class MessagePrompter;
class TradeLog;

// One practice: a numbered market and the user's account trading on it. The
// window's two timers drive it; a fresh practice replaces both while the log,
// which belongs to the window, keeps its earlier lines.
class PracticeSession final {
public:
    // Starts the market (seeded book, start prices) and a fresh account.
    PracticeSession(TradeLog& log, MessagePrompter& prompter, int marketNumber = kStandardMarket);

    // One market tick (Timer1).
    void tick();
    // One execution event against the current quotes (Timer2).
    void executionTick();
    // One second of practice, in the order the timers run: tick, then execution.
    void step();

    // Starts afresh on the given market (1 to 9999): the market seeded anew,
    // the start-up account with no holdings and no order. Logs one line.
    void restart(int marketNumber);

    const Market& market() const { return m_market; }
    const Trader& trader() const { return *m_trader; }
    Trader& trader() { return *m_trader; }
    int marketNumber() const { return m_marketNumber; }

private:
    TradeLog& m_log;
    MessagePrompter& m_prompter;
    int m_marketNumber;
    Market m_market;
    // Held by value but rebuilt on restart; the trader keeps references.
    std::optional<Trader> m_trader;
};

} // namespace vantrel
