#pragma once

#include "market/Market.h"
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
class frmAbout;

// The program's one working window. It owns the market and every control;
// the core decides, the window renders what the core holds after every tick
// and action.
class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    // Builds the controls and runs the start-up: start captions, seeded book,
    // Timer1 running. The clock stamps the log lines.
    explicit frmMain(const Clock& clock, QWidget* parent = nullptr);
    ~frmMain() override;

    // One market tick, then the board and the last price are redrawn. Timer1
    // calls it every second; tests call it directly.
    void Timer1_Timer();
    void MnuEnd_Click();
    void MnuAbout_Click();

    // Appends one time-stamped line to the log and shows the end of it.
    void AddLog(const QString& message);

    // Redraws every caption that mirrors the core: the board and the last
    // price.
    void refreshFromCore();

    const Market& market() const { return m_market; }
    const MessageLog& messageLog() const { return *m_log; }
    const MainWindowUi& controls() const { return m_ui; }
    QTimer& timer1() const { return *m_timer1; }
    // The open About dialog, or null.
    frmAbout* aboutDialog() const;

    // The option-button arrays, by index.
    QRadioButton* optBuyOpt(int index) const;
    QRadioButton* optBuyAmount(int index) const;
    QRadioButton* optSellOpt(int index) const;
    QRadioButton* optSellAmount(int index) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_QueryUnload();
    static QRadioButton* optionAt(const QButtonGroup* group, int index);

    Market m_market;
    BoardModel m_board;
    MainWindowUi m_ui;
    std::unique_ptr<MessageLog> m_log;
    QTimer* m_timer1 = nullptr;
    QPointer<frmAbout> m_about;
};

} // namespace vantrel
