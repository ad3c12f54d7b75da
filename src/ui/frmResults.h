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

class Dialogs;
class PriceChart;
class TradeHistoryModel;

// The practice results beside the main window: the figures, why the order
// waits, the trade history with its CSV export, and the price chart with the
// user's fills. It only shows what the ledger, the price history and the
// account hold; the main window has it refreshed after every tick and action.
class frmResults final : public QWidget {
    Q_OBJECT
public:
    // The dialogs ask where the CSV goes and show why it could not be saved.
    frmResults(const Ledger& ledger, const PriceHistory& history, const Account& account,
               Dialogs& dialogs);
    ~frmResults() override;

    // The size it opens at where the screen has room: beside the 468-wide
    // main window on a 1366×768 screen, with room for a taskbar.
    static constexpr QSize kPreferredSize{880, 700};

    // While paused, the market's seconds stand still, and the wait says so.
    void setPaused(bool paused);

    // Shows the core's state against these quotes. Hidden, it only remembers
    // them for when it is shown again.
    void refresh(const Quotes& quotes);
    // Starts fresh once the ledger and the price history have been emptied.
    void reset();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The CSV export behind cmdSaveCsv: asks for a path and writes the file
    // whole or not at all.
    void cmdSaveCsv_Click();

    const Ledger& m_ledger;
    const Account& m_account;
    Dialogs& m_dialogs;
    Quotes m_quotes;
    bool m_paused = false;
    std::array<QLabel*, 9> m_values{};
    std::array<bool, 9> m_loss{};
    QLabel* m_wait = nullptr;
    TradeHistoryModel* m_model = nullptr;
    QTableView* m_table = nullptr;
    PriceChart* m_chart = nullptr;
};

} // namespace vantrel
