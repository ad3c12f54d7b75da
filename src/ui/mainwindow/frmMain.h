#pragma once

#include "market/Market.h"
#include "market/MarketNumber.h"
#include "practice/PracticeSession.h"
#include "trading/Trader.h"
#include "ui/mainwindow/BoardModel.h"
#include "ui/mainwindow/MainWindowPresenter.h"
#include "ui/mainwindow/MainWindowUi.h"
#include "ui/practice/PracticeController.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QTimer;

namespace vantrel {

class Clock;
class Dialogs;
class MessageLog;
struct OrderPane;
class ExerciseMenu;
class frmAbout;
class frmKeys;
class frmResults;
class frmBranches;
class frmHistory;
class frmTape;

// The program's one working window. It owns the practice's controller and
// every control; the core decides, the window renders what the core holds
// after every second and action, as the other windows do. Everything else
// happens through its controls, menus and clock, as the user makes it happen.
class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    // Builds the controls and runs the start-up on the given market: start
    // captions, seeded book, the clock running. The clock stamps the log
    // lines; the dialogs ask the user and show the order checks' boxes.
    frmMain(const Clock& clock, Dialogs& dialogs, int marketNumber = kStandardMarket,
            QWidget* parent = nullptr);
    ~frmMain() override;

    // The practice the window shows.
    const PracticeSession& session() const { return m_practice->session(); }
    // The history folder 練習の記録 lists; with keep, every practice from now
    // on is written there (every intervalMs of wall time while it runs).
    void useHistory(const QString& folder, bool keep, int intervalMs);

protected:
    void closeEvent(QCloseEvent* event) override;
    // A click into a quantity box chooses that box's kind.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // An accompanying window: placed once, when built, then brought to the
    // front each time it is asked for.
    void placeBesideThis(QWidget& window, const QSize& preferred) const;
    static void showInFront(QWidget& window);
    void Form_Load();
    void Form_QueryUnload();
    // What the controller says happened, drawn here: a second of practice, a
    // press, another practice, another pace.
    void secondPassed();
    void pressed();
    void practiceReplaced();
    void practiceRewound(std::uint64_t second);
    void paceChanged();
    // ここからやり直す on the log: back to the end of the second the line
    // came at (the line under the pointer when the menu opened, else the
    // caret's).
    void logRewind_Click();
    void showLogMenu(const QPoint& position);
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
    // One press of 買い or 売り with that side's form. The rules let a press
    // pass in silence while an order is pending, or a sale with nothing
    // held; the window then says why beside the forms.
    void pressOrder(OrderSide side);
    // Shows the text for a few seconds and has screen readers announce it;
    // an empty text clears it at once.
    void showNotice(const QString& text);
    // Chooses the quantity kind (株数 or 円分) whose box this is, so the
    // order placed is the one typed.
    void chooseQuantityOf(const QObject* box);
    void cmdCancelOldest_Click();
    void MnuEnd_Click();
    void MnuAbout_Click();
    // Opens the results window, built the first time; later uses raise it.
    void MnuResults_Click();
    // 練習の記録, built the first time; later uses raise it and read it again.
    void MnuHistory_Click();
    void MnuBranches_Click();
    // Replays the file at the path from its start, or says why it cannot.
    void openSession(const QString& path);
    // The trade tape, built the first time; later uses raise it.
    void MnuTape_Click();
    // Lists every key of every window.
    void MnuKeys_Click();
    // A click on the board: in a side's column, that row's price into that
    // side's form (see takeBoardPrice).
    void ListView1_Click(const QModelIndex& index);
    // The board row's price into a side's form: a limit order at that price,
    // the focus on the quantity. Nothing is placed.
    void takeBoardPrice(int row, OrderPane& pane);

    // Redraws every caption that mirrors the core: the board with the user's
    // order on it, the last price, the buying power, the holdings and the
    // pending order.
    void refreshFromCore();
    static OrderForm readForm(const OrderPane& pane);
    std::string codeText() const;
    // True when nothing is at stake, or the user agrees to drop the shares
    // held and the order pending when asked the question.
    bool mayDiscardPractice(const QString& question);
    // Shows the form of each order button press replayed since the last
    // call in that side's controls, as the file's user had filled them.
    void showReplayedForms();
    // The caption: the title, what differs from the usual practice, and how
    // far a replay has come; the take-over item and the order buttons follow
    // the replay.
    void showState();

    // The rules' boxes reach the dialogs through here, counted, so a press
    // that neither logged a line nor showed a box can be told apart.
    struct CountedBoxes final : MessagePrompter {
        explicit CountedBoxes(Dialogs& dialogs) : dialogs(dialogs) {}
        void ShowMessage(const std::string& prompt, const std::string& title) override;
        Dialogs& dialogs;
        int shown = 0;
    };

    Dialogs& m_dialogs;
    CountedBoxes m_boxes{m_dialogs};
    BoardModel m_board;
    MainWindowUi m_ui;
    MainWindowPresenter m_presenter{m_ui, m_board};
    std::unique_ptr<MessageLog> m_log;
    // A child, so its clock Timer1 is among the window's; after the log and
    // the boxes its session uses, so it goes before them.
    std::unique_ptr<PracticeController> m_practice;
    // Declared after the practice they show, so they go first.
    std::unique_ptr<frmResults> m_results;
    std::unique_ptr<frmHistory> m_history;
    std::unique_ptr<frmTape> m_tape;
    std::unique_ptr<frmBranches> m_branches;
    std::unique_ptr<ExerciseMenu> m_exercises;
    // Clears the notice after a few seconds of wall time, whatever the pace.
    QTimer* m_noticeTimer = nullptr;
    QPointer<frmAbout> m_about;
    QPointer<frmKeys> m_keys;
    // The session's presses already shown in the forms.
    std::size_t m_actionsShown = 0;
    // The log's line ここからやり直す goes back from.
    int m_logLine = -1;
    // The branches of the practice the notice has told of.
    std::size_t m_branchesShown = 0;
    // The coming practiceRewound continues a branch.
    bool m_branchContinued = false;
};

} // namespace vantrel
