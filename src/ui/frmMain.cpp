#include "ui/frmMain.h"

#include "trading/NumberReading.h"
#include "trading/StockInfo.h"
#include "ui/MessageLog.h"
#include "ui/frmAbout.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

#include <vector>

namespace vantrel {

namespace {

constexpr int kTickMilliseconds = 1000;

QString numberText(double value) {
    return QString::fromStdString(plainDecimal(value));
}

} // namespace

frmMain::frmMain(const Clock& clock, QWidget* parent) : QMainWindow(parent) {
    m_ui.setupUi(*this, m_board);
    m_log = std::make_unique<MessageLog>(*m_ui.txtResponse, clock);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(kTickMilliseconds);
    connect(m_timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    connect(m_ui.MnuEnd, &QAction::triggered, this, &frmMain::MnuEnd_Click);
    connect(m_ui.MnuAbout, &QAction::triggered, this, &frmMain::MnuAbout_Click);

    Form_Load();
}

// The About dialog has no owner, so it would outlive the window otherwise.
frmMain::~frmMain() {
    delete m_about;
}

void frmMain::Form_Load() {
    m_ui.lblPower->setText(numberText(stock::kStartPower));
    m_ui.lblNowPrice->setText(numberText(Market::kStartPrice));
    m_ui.lblYesterdayPrice->setText(numberText(stock::kPreviousClose));
    m_market.StartUp();
    optBuyOpt(0)->setFocus();
    m_timer1->start();
}

void frmMain::Timer1_Timer() {
    m_market.Timer1_Timer();
    refreshFromCore();
}

void frmMain::refreshFromCore() {
    const auto& rows = m_market.boardRows();
    m_board.setRows(std::vector<BoardRow>(rows.begin(), rows.begin() + m_market.boardRowCount()));
    m_ui.lblNowPrice->setText(numberText(m_market.dblNowPrice));
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
QRadioButton* frmMain::optBuyAmount(int index) const {
    return optionAt(m_ui.buy.quantityKind, index);
}
QRadioButton* frmMain::optSellOpt(int index) const {
    return optionAt(m_ui.sell.priceKind, index);
}
QRadioButton* frmMain::optSellAmount(int index) const {
    return optionAt(m_ui.sell.quantityKind, index);
}

} // namespace vantrel
