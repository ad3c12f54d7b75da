#include "practice/PracticeSession.h"

#include "trading/TradeLog.h"

#include <string>

namespace vantrel {

PracticeSession::PracticeSession(TradeLog& log, MessagePrompter& prompter, int marketNumber)
    : m_log(log), m_prompter(prompter), m_marketNumber(marketNumber), m_market(marketNumber) {
    m_market.StartUp();
    m_trader.emplace(m_log, m_prompter);
}

void PracticeSession::tick() {
    m_market.Tick();
}

void PracticeSession::executionTick() {
    m_trader->executionTick(m_market.quotes());
}

void PracticeSession::step() {
    tick();
    executionTick();
}

void PracticeSession::restart(int marketNumber) {
    m_marketNumber = marketNumber;
    m_market = Market(marketNumber);
    m_market.StartUp();
    m_trader.emplace(m_log, m_prompter);
    m_log.AddLog("新しい練習を始めました（市場番号 " + std::to_string(marketNumber) + "）。");
}

} // namespace vantrel
