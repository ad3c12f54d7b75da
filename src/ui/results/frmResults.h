#pragma once

#include <QWidget>

#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QTableView;

namespace vantrel {

class Dialogs;
class PracticeSession;
class PriceChart;
class TradeHistoryModel;

// The practice results beside the main window: the figures, why the order
// waits, the trade history with its CSV export, and the price chart with the
// user's fills. It only shows what the session holds; the main window has it
// refreshed after every tick and action.
class frmResults final : public QWidget {
    Q_OBJECT
public:
    // The dialogs ask where the CSV goes and show why it could not be saved.
    frmResults(const PracticeSession& session, Dialogs& dialogs);
    ~frmResults() override;

    // The size it opens at where the screen has room: beside the 468-wide
    // main window on a 1366×768 screen, with room for a taskbar.
    static constexpr QSize kPreferredSize{880, 700};

    // While paused, the market's seconds stand still, and the wait says so.
    void setPaused(bool paused);

    // Shows the session as it stands; hidden, it waits until it is shown.
    void refresh();
    // Starts fresh once the session has started afresh.
    void reset();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The CSV export behind cmdSaveCsv: asks for a path and writes the file
    // whole or not at all.
    void cmdSaveCsv_Click();

    const PracticeSession& m_session;
    Dialogs& m_dialogs;
    bool m_paused = false;
    // The value label and whether it shows a loss, for each row of the
    // figure table; null for a figure not shown.
    std::vector<QLabel*> m_values;
    std::vector<bool> m_loss;
    QLabel* m_wait = nullptr;
    TradeHistoryModel* m_model = nullptr;
    QTableView* m_table = nullptr;
    PriceChart* m_chart = nullptr;
};

} // namespace vantrel
