#pragma once

#include "market/Market.h"
#include "trading/Account.h"
#include "trading/MessagePrompter.h"
#include "trading/OrderForm.h"
#include "trading/TradeLog.h"

#include <optional>
#include <string>

namespace vantrel {

// The trading side of the main window: the handlers its buttons and Timer2
// call. It reads the market and never changes it.
class Trader final {
public:
    Trader(const Market& market, TradeLog& log, MessagePrompter& prompter);

    void cmdBuyNow_Click(const std::string& codeText, const OrderForm& buyForm);
    void cmdSellNow_Click(const std::string& codeText, const OrderForm& sellForm);
    void cmdCancelOldest_Click();
    void Timer2_Timer();

    const Account& account() const { return m_account; }

private:
    void show(const std::optional<MessageBoxText>& box);

    const Market& m_market;
    TradeLog& m_log;
    MessagePrompter& m_prompter;
    Account m_account;
};

} // namespace vantrel
