#pragma once

#include "market/Quotes.h"
#include "trading/Account.h"
#include "trading/Ledger.h"

#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class QPushButton;
class QTableView;

namespace vantrel {

class MessagePrompter;
class PriceChart;
class SavePathAsker;
class TradeHistoryModel;

// The practice results beside the main window: the figures, why the order
// waits, the trade history with its CSV export, and the price chart with the
// user's fills. It only shows what the ledger, the price history and the
// account hold; the main window has it refreshed after every tick and action.
class frmResults final : public QWidget {
    Q_OBJECT
public:
    // Without a prompter or an asker the window uses Qt's message box and
    // save dialog; tests pass their own.
    frmResults(const Ledger& ledger, const PriceHistory& history, const Account& account,
               MessagePrompter* prompter = nullptr, SavePathAsker* asker = nullptr);
    ~frmResults() override;

    // Shows the core's state against these quotes. Hidden, it only remembers
    // them for when it is shown again.
    void refresh(const Quotes& quotes);
    // Starts fresh once the ledger and the price history have been emptied.
    void reset();
    // The CSV export behind cmdSaveCsv: asks for a path and writes the file
    // whole or not at all.
    void cmdSaveCsv_Click();

    const TradeHistoryModel& history() const { return *m_model; }
    const PriceChart& chart() const { return *m_chart; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    const Ledger& m_ledger;
    const Account& m_account;
    std::unique_ptr<MessagePrompter> m_ownPrompter;
    std::unique_ptr<SavePathAsker> m_ownAsker;
    MessagePrompter& m_prompter;
    SavePathAsker& m_asker;
    Quotes m_quotes;
    std::array<QLabel*, 9> m_values{};
    std::array<bool, 9> m_loss{};
    QLabel* m_wait = nullptr;
    TradeHistoryModel* m_model = nullptr;
    QTableView* m_table = nullptr;
    PriceChart* m_chart = nullptr;
};

} // namespace vantrel
