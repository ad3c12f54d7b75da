#include "practice/PracticeSession.h"

#include "trading/TradeLog.h"

#include <string>
#include <utility>

namespace vantrel {

PracticeSession::PracticeSession(TradeLog& log, MessagePrompter& prompter, int marketNumber,
                                 std::function<std::int64_t()> wallClockMs)
    : m_log(log), m_prompter(prompter), m_marketNumber(marketNumber), m_market(marketNumber),
      m_wallClockMs(std::move(wallClockMs)), m_ledger([this] {
          return FillTime{m_market.tickCount(), m_wallClockMs ? m_wallClockMs() : 0};
      }),
      m_trader(m_log, m_prompter, m_ledger) {
    m_market.StartUp();
    m_prices.append(m_market.quotes().dblNowPrice);
}

void PracticeSession::tick() {
    m_market.Tick();
    m_prices.append(m_market.quotes().dblNowPrice);
}

void PracticeSession::executionTick() {
    m_trader.executionTick(m_market.quotes());
}

void PracticeSession::step() {
    tick();
    executionTick();
}

void PracticeSession::restart(int marketNumber) {
    m_marketNumber = marketNumber;
    m_market = Market(marketNumber);
    m_market.StartUp();
    m_ledger.reset();
    m_prices.prices.clear();
    m_prices.append(m_market.quotes().dblNowPrice);
    m_trader.resetAccount();
    m_log.AddLog("新しい練習を始めました（市場番号 " + std::to_string(marketNumber) + "）。");
}

} // namespace vantrel
