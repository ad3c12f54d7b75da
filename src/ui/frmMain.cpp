#include "ui/frmMain.h"

#include "trading/StockInfo.h"
#include "ui/Clock.h"
#include "ui/MessageLog.h"
#include "ui/NumberText.h"
#include "ui/frmAbout.h"
#include "ui/frmResults.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <vector>

namespace vantrel {

namespace {

constexpr int kTickMilliseconds = 1000;

QTimer* makeTimer(QObject* owner, const char* name) {
    auto* timer = new QTimer(owner);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(kTickMilliseconds);
    return timer;
}

} // namespace

frmMain::frmMain(const Clock& clock, MessagePrompter& prompter, QWidget* parent)
    : QMainWindow(parent), m_ledger([this, &clock] {
          return FillTime{m_market.tickCount(), clock.now().toMSecsSinceEpoch()};
      }) {
    m_ui.setupUi(*this, m_board);
    m_log = std::make_unique<MessageLog>(*m_ui.txtResponse, clock);
    m_trader = std::make_unique<Trader>(*m_log, prompter, m_ledger);

    m_timer1 = makeTimer(this, "Timer1");
    m_timer2 = makeTimer(this, "Timer2");
    connect(m_timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    connect(m_timer2, &QTimer::timeout, this, &frmMain::Timer2_Timer);
    connect(m_ui.buy.placeButton, &QPushButton::clicked, this, &frmMain::cmdBuyNow_Click);
    connect(m_ui.sell.placeButton, &QPushButton::clicked, this, &frmMain::cmdSellNow_Click);
    connect(m_ui.cmdCancelOldest, &QPushButton::clicked, this, &frmMain::cmdCancelOldest_Click);
    connect(m_ui.MnuEnd, &QAction::triggered, this, &frmMain::MnuEnd_Click);
    connect(m_ui.MnuAbout, &QAction::triggered, this, &frmMain::MnuAbout_Click);
    connect(m_ui.MnuResults, &QAction::triggered, this, &frmMain::MnuResults_Click);

    Form_Load();
}

// The About dialog has no owner, so it would outlive the window otherwise.
// The results window goes with its unique pointer.
frmMain::~frmMain() {
    delete m_about;
}

void frmMain::Form_Load() {
    m_ui.lblPower->setText(numberText(stock::kStartPower));
    m_ui.lblNowPrice->setText(numberText(Market::kStartPrice));
    m_ui.lblYesterdayPrice->setText(numberText(stock::kPreviousClose));
    m_market.StartUp();
    m_prices.append(m_market.quotes().dblNowPrice);
    optBuyOpt(0)->setFocus();
    m_timer1->start();
    m_timer2->start();
}

void frmMain::Timer1_Timer() {
    m_market.Tick();
    m_prices.append(m_market.quotes().dblNowPrice);
    refreshFromCore();
}

void frmMain::Timer2_Timer() {
    m_trader->executionTick(m_market.quotes());
    refreshFromCore();
}

void frmMain::cmdBuyNow_Click() {
    m_trader->pressBuy(codeText(), readForm(m_ui.buy));
    refreshFromCore();
}

void frmMain::cmdSellNow_Click() {
    m_trader->pressSell(codeText(), readForm(m_ui.sell));
    refreshFromCore();
}

void frmMain::cmdCancelOldest_Click() {
    m_trader->pressCancel();
    refreshFromCore();
}

void frmMain::refreshFromCore() {
    m_board.setRows(m_market.boardRows());
    m_ui.lblNowPrice->setText(numberText(m_market.quotes().dblNowPrice));

    const Account& account = m_trader->account();
    const auto show = [](QLabel* label, const std::string& text) {
        label->setText(QString::fromStdString(text));
    };
    show(m_ui.lblPower, account.powerText());
    show(m_ui.lblAmount, account.amountText());
    show(m_ui.lblOrderType, account.orderTypeText());
    show(m_ui.lblOrderPrice, account.orderPriceText());
    show(m_ui.lblOrderPriceView, account.orderPriceViewText());
    show(m_ui.lblOrderAmount, account.orderAmountText());
    if (m_results)
        m_results->refresh(m_market.quotes());
}

// The forms are read only when a button is pressed; an option group with
// nothing chosen reads as id -1, which the rules treat as no choice.
OrderForm frmMain::readForm(const OrderPane& pane) {
    OrderForm form;
    form.priceKind = static_cast<PriceKind>(pane.priceKind->checkedId());
    form.priceText = pane.priceBox->text().toStdString();
    form.quantityKind = static_cast<QuantityKind>(pane.quantityKind->checkedId());
    form.sharesText = pane.sharesBox->text().toStdString();
    form.yenText = pane.yenBox->text().toStdString();
    return form;
}

std::string frmMain::codeText() const {
    return m_ui.txtCode->text().toStdString();
}

void frmMain::AddLog(const QString& message) {
    m_log->AddLog(message);
}

void frmMain::MnuEnd_Click() {
    // Ends the event loop at once; main then tears everything down, the About
    // dialog included. Nothing is asked or saved.
    QCoreApplication::exit(0);
}

void frmMain::MnuAbout_Click() {
    if (!m_about)
        m_about = new frmAbout; // modeless and ownerless; it deletes itself on close
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void frmMain::MnuResults_Click() {
    // Built on first use, so neither it nor the chart costs anything at start-up.
    if (!m_results)
        m_results = std::make_unique<frmResults>(m_ledger, m_prices, m_trader->account());
    m_results->show();
    m_results->raise();
    m_results->activateWindow();
    m_results->refresh(m_market.quotes());
}

frmAbout* frmMain::aboutDialog() const {
    return m_about;
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}

void frmMain::Form_QueryUnload() {
    m_timer1->stop();
    // An open About dialog must not keep the program alive.
    QCoreApplication::exit(0);
}

QRadioButton* frmMain::optionAt(const QButtonGroup* group, int index) {
    return qobject_cast<QRadioButton*>(group->button(index));
}

QRadioButton* frmMain::optBuyOpt(int index) const {
    return optionAt(m_ui.buy.priceKind, index);
}

} // namespace vantrel
