#include "trading/Trader.h"

#include "orders/OrderChecks.h"
#include "trading/OrderCancellation.h"
#include "trading/OrderExecution.h"
#include "trading/OrderPlacement.h"

namespace vantrel {

Trader::Trader(TradeLog& log, MessagePrompter& prompter, TradeEvents& events)
    : m_log(log), m_prompter(prompter), m_events(events) {}

void Trader::pressBuy(const std::string& codeText, const OrderForm& buyForm) {
    // Every press restarts the wait, even one that places nothing.
    m_account.dblExecWait = 0;
    const OrderValues values = readOrderForm(buyForm);
    const auto box = CheckBuyOrder(codeText, values);
    if (!box)
        PlaceBuyOrder(m_account, values, m_log);
    show(box);
}

void Trader::pressSell(const std::string& codeText, const OrderForm& sellForm) {
    m_account.dblExecWait = 0;
    const OrderValues values = readOrderForm(sellForm);
    auto box = CheckSellOrder(codeText, values, m_account.holdings());
    if (!box)
        box = PlaceSellOrder(m_account, values, m_log);
    show(box);
}

void Trader::pressCancel() {
    CancelPendingOrder(m_account, m_log);
}

void Trader::executionStep(const Quotes& quotes) {
    vantrel::executionStep(m_account, quotes, m_log, m_events);
}

// Ticks may come while the box is open, so a refusal shows its box only after
// everything else it does is done.
void Trader::show(const std::optional<MessageBoxText>& box) {
    if (box)
        m_prompter.ShowMessage(box->prompt, box->title);
}

} // namespace vantrel
