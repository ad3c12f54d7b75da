#include "ui/mainwindow/MainWindowPresenter.h"

#include "practice/PracticeSession.h"
#include "ui/common/NumberText.h"
#include "ui/mainwindow/MainWindowUi.h"

#include <QLabel>

namespace vantrel {

void MainWindowPresenter::show(const PracticeSession& session) const {
    m_ui.lblNowPrice->setText(numberText(session.market().quotes().lastPrice));
    const Account& account = session.trader().account();
    m_ui.lblPower->setText(numberText(account.power()));
    // The holdings stay blank until the first fill of the practice.
    m_ui.lblAmount->setText(session.ledger().fills().empty() ? QString()
                                                             : numberText(account.holdings()));

    const auto& order = account.order();
    const bool buy = order && order->side == OrderSide::Buy;
    const QString price = order ? QString::fromStdString(order->priceText) : QString();
    m_ui.lblOrderType->setText(!order ? QString()
                               : buy  ? QStringLiteral("買")
                                      : QStringLiteral("売"));
    m_ui.lblOrderPrice->setText(price);
    m_ui.lblOrderPriceView->setText(
        order && order->priceKind == PriceKind::Market ? QStringLiteral("成行") : price);
    m_ui.lblOrderAmount->setText(order ? numberText(order->remaining) : QString());
}

} // namespace vantrel
