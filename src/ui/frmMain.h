#pragma once

#include "market/Market.h"
#include "trading/Ledger.h"
#include "trading/Trader.h"
#include "ui/BoardModel.h"
#include "ui/MainWindowUi.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QButtonGroup;
class QRadioButton;
class QTimer;

namespace vantrel {

class Clock;
class MessageLog;
class MessagePrompter;
struct OrderPane;
class frmAbout;
class frmResults;

// The program's one working window. It owns the market and every control;
// the core decides, the window renders what the core holds after every tick
// and action.
class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    // Builds the controls and runs the start-up: start captions, seeded book,
    // both timers running. The clock stamps the log lines; the prompter shows
    // the order checks' message boxes.
    frmMain(const Clock& clock, MessagePrompter& prompter, QWidget* parent = nullptr);
    ~frmMain() override;

    // One market tick, then the board and the last price are redrawn. Timer1
    // calls it every second; tests call it directly.
    void Timer1_Timer();
    // One execution attempt after the wait. Timer2 calls it every second.
    void Timer2_Timer();
    void cmdBuyNow_Click();
    void cmdSellNow_Click();
    void cmdCancelOldest_Click();
    void MnuEnd_Click();
    void MnuAbout_Click();
    // Opens the results window, built the first time; later uses raise it.
    void MnuResults_Click();

    // Appends one time-stamped line to the log and shows the end of it.
    void AddLog(const QString& message);

    // Redraws every caption that mirrors the core: the board, the last price,
    // the buying power, the holdings and the pending order.
    void refreshFromCore();

    const Market& market() const { return m_market; }
    const Trader& trader() const { return *m_trader; }
    const MessageLog& messageLog() const { return *m_log; }
    const MainWindowUi& controls() const { return m_ui; }
    QTimer& timer1() const { return *m_timer1; }
    QTimer& timer2() const { return *m_timer2; }
    // The open About dialog, or null.
    frmAbout* aboutDialog() const;
    // The results window once it has been opened, or null.
    frmResults* resultsWindow() const { return m_results.get(); }
    const Ledger& ledger() const { return m_ledger; }
    const PriceHistory& priceHistory() const { return m_prices; }

    // The buy side's price-kind option buttons, by index; the window starts
    // with focus on the first.
    QRadioButton* optBuyOpt(int index) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_QueryUnload();
    static QRadioButton* optionAt(const QButtonGroup* group, int index);
    static OrderForm readForm(const OrderPane& pane);
    std::string codeText() const;

    Market m_market;
    BoardModel m_board;
    MainWindowUi m_ui;
    std::unique_ptr<MessageLog> m_log;
    // Kept from the start, so the results cover the whole session whenever
    // their window is first opened.
    Ledger m_ledger;
    PriceHistory m_prices;
    std::unique_ptr<Trader> m_trader;
    std::unique_ptr<frmResults> m_results;
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer2 = nullptr;
    QPointer<frmAbout> m_about;
};

} // namespace vantrel
