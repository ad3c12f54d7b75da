#pragma once

#include <QWidget>

#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QTableView;

namespace vantrel {

class MessagePrompter;
class PracticeSession;
class PriceChart;
class SavePathAsker;
class TradeHistoryModel;

// The practice results beside the main window: the figures, why the order
// waits, the trade history with its CSV export, and the price chart with the
// user's fills. It only shows what the session holds; the main window has it
// refreshed after every tick and action.
class frmResults final : public QWidget {
    Q_OBJECT
public:
    // Without a prompter or an asker the window uses Qt's message box and
    // save dialog; tests pass their own.
    explicit frmResults(const PracticeSession& session, MessagePrompter* prompter = nullptr,
                        SavePathAsker* asker = nullptr);
    ~frmResults() override;

    // Shows the session as it stands; hidden, it waits until it is shown.
    void refresh();
    // Starts fresh once the session has started afresh.
    void reset();
    // The CSV export behind cmdSaveCsv: asks for a path and writes the file
    // whole or not at all.
    void cmdSaveCsv_Click();

    const TradeHistoryModel& history() const { return *m_model; }
    const PriceChart& chart() const { return *m_chart; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    const PracticeSession& m_session;
    std::unique_ptr<MessagePrompter> m_ownPrompter;
    std::unique_ptr<SavePathAsker> m_ownAsker;
    MessagePrompter& m_prompter;
    SavePathAsker& m_asker;
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
