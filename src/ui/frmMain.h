#pragma once

#include "market/Market.h"
#include "market/MarketNumber.h"
#include "practice/Pace.h"
#include "practice/PracticeSession.h"
#include "trading/Trader.h"
#include "ui/BoardModel.h"
#include "ui/MainWindowPresenter.h"
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
class PracticeDialogs;

// The program's one working window. It owns the practice (market and account)
// and every control; the core decides, the window renders what the core holds
// after every tick and action.
class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    // Builds the controls and runs the start-up on the given market: start
    // captions, seeded book, the clock running. The clock stamps the log
    // lines; the prompter shows the order checks' message boxes.
    frmMain(const Clock& clock, MessagePrompter& prompter, int marketNumber = kStandardMarket,
            QWidget* parent = nullptr);
    ~frmMain() override;

    // One market second, the practice's one clock: Timer1 calls it every
    // second at normal speed. The tick (Timer1_Timer's half) comes first, then
    // the execution attempt (Timer2_Timer's half), then a replay's actions.
    void Clock_Timer();
    // The two halves alone, redrawing after each; tests call them directly.
    void Timer1_Timer();
    void Timer2_Timer();
    // The 練習 menu: pause or resume the clock, one second while paused, the
    // speed of the clock, a fresh practice on a chosen market, and taking
    // over from a replay.
    void MnuPause_Click(bool paused);
    void MnuStep_Click();
    void MnuSpeed_Click(int speed);
    void MnuNewPractice_Click();
    void MnuTakeOver_Click();
    // The ファイル menu: the practice so far to a file, and a saved practice
    // replayed from its start.
    void MnuSaveSession_Click();
    void MnuOpenSession_Click();
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

    const PracticeSession& session() const { return *m_session; }
    const Market& market() const { return m_session->market(); }
    const Trader& trader() const { return m_session->trader(); }
    const Pace& pace() const { return m_pace; }
    // Replaces the new practice's dialogs (tests answer them themselves).
    void setPracticeDialogs(PracticeDialogs& dialogs) { m_dialogs = &dialogs; }
    const MessageLog& messageLog() const { return *m_log; }
    const MainWindowUi& controls() const { return m_ui; }
    QTimer& timer1() const { return *m_timer1; }
    // The open About dialog, or null.
    frmAbout* aboutDialog() const;
    // The results window once it has been opened, or null.
    frmResults* resultsWindow() const { return m_results.get(); }

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
    // Sets the clock to the pace and redraws the caption.
    void applyPace();
    // True when nothing is at stake, or the user agrees to drop the shares
    // held and the order pending.
    bool mayDiscardPractice();
    // The caption: the title, what differs from the usual practice, and how
    // far a replay has come; the take-over item follows the replay.
    void showState();
    void afterSecond();

    MessagePrompter& m_prompter;
    BoardModel m_board;
    MainWindowUi m_ui;
    MainWindowPresenter m_presenter{m_ui};
    std::unique_ptr<MessageLog> m_log;
    std::unique_ptr<PracticeSession> m_session;
    // Declared after the session it shows, so it goes first.
    std::unique_ptr<frmResults> m_results;
    Pace m_pace;
    std::unique_ptr<PracticeDialogs> m_ownDialogs;
    PracticeDialogs* m_dialogs = nullptr;
    QTimer* m_timer1 = nullptr;
    QPointer<frmAbout> m_about;
};

} // namespace vantrel
