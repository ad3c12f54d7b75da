#pragma once

#include "market/Quotes.h"
#include "orders/MessagePrompter.h"
#include "orders/OrderForm.h"
#include "trading/Account.h"
#include "trading/TradeEvents.h"
#include "trading/TradeLog.h"

#include <optional>
#include <string>

namespace vantrel {

// The user's trading: the three presses of an order (buy, sell, cancel) and
// the execution tick. It sees the market only through the quotes each
// execution tick is given.
class Trader final {
public:
    // Events hear of every fill and commission, beside the log.
    Trader(TradeLog& log, MessagePrompter& prompter, TradeEvents& events = noTradeEvents());

    void pressBuy(const std::string& codeText, const OrderForm& buyForm);
    void pressSell(const std::string& codeText, const OrderForm& sellForm);
    void pressCancel();
    void executionStep(const Quotes& quotes);

    const Account& account() const { return m_account; }
    // A fresh start-up account: no holdings, no order. References to the
    // account stay valid, so views of it need no rewiring.
    void resetAccount() { m_account = Account(); }
    // The account as a copy held it, for going back to an earlier moment.
    void restoreAccount(const Account& account) { m_account = account; }

private:
    void show(const std::optional<MessageBoxText>& box);

    TradeLog& m_log;
    MessagePrompter& m_prompter;
    TradeEvents& m_events;
    Account m_account;
};

} // namespace vantrel
