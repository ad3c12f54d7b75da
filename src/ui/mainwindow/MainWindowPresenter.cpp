#include "ui/mainwindow/MainWindowPresenter.h"

#include "practice/PracticeSession.h"
#include "trading/OrderOnBoard.h"
#include "ui/common/NumberText.h"
#include "ui/mainwindow/BoardModel.h"
#include "ui/mainwindow/MainWindowUi.h"

#include <QLabel>

#include <utility>
#include <vector>

namespace vantrel {

void MainWindowPresenter::show(const PracticeSession& session) const {
    const Account& account = session.trader().account();
    std::vector<BoardRow> rows = session.market().boardRows();
    const auto placed = orderOnBoard(account.order(), rows);
    // A row of the board shows the order itself; beyond the rows, this line
    // says where it stands.
    const bool offRows = placed && !placed->onBoard();
    const QString line = offRows ? QString::fromStdString(placed->text) : QString();
    // Broken before は, so the narrow space beside the board shows the order,
    // then where it stands; a screen reader reads the sentence whole.
    m_ui.lblBoardOrder->setText(
        QString(line).replace(QStringLiteral(" は"), QStringLiteral("\nは")));
    m_ui.lblBoardOrder->setAccessibleName(line);
    m_ui.lblBoardOrder->setVisible(offRows);
    m_board.setRows(std::move(rows), placed);

    m_ui.lblNowPrice->setText(numberText(session.market().quotes().lastPrice));
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
