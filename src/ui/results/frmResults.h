#pragma once

#include "practice/ChanceComparison.h"

#include <QFutureWatcher>
#include <QTimer>
#include <QWidget>

#include <atomic>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QGridLayout;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSlider;
class QTabWidget;
class QTableView;

namespace vantrel {

class Dialogs;
class PracticeController;
class PracticeSession;
class ChanceHistogram;
class ExplanationLine;
class PriceChart;
class RoundTripModel;
class TradeHistoryModel;
struct MeasureRow;
struct WhatIf;

// The practice results beside the main window: the figures, why the order
// waits and the price chart with the user's fills always in sight; below them
// a tab each for the trade history, the round trips (each with its CSV
// export), the statistics, the comparison with chance and a review of each
// closed round trip. It only shows what
// the session holds, refreshed after every tick and action, and only the tab
// in sight is brought up to date.
class frmResults final : public QWidget {
    Q_OBJECT
public:
    // The dialogs ask where the CSV goes and show why it could not be saved.
    frmResults(const PracticeSession& session, Dialogs& dialogs);
    // Follows the practice: refreshed after its every second and press, fresh
    // with each practice that replaces it or goes back, and told when it
    // pauses. Its chart, its slider over the practice's length and its trade
    // history offer ここからやり直す.
    frmResults(PracticeController& practice, Dialogs& dialogs);
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

    enum Tab { kHistoryTab, kRoundTripsTab, kStatisticsTab, kChanceTab, kReviewTab };

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The CSV exports behind cmdSaveCsv and cmdSaveTripsCsv: ask for a path
    // and write the file whole or not at all.
    void cmdSaveCsv_Click();
    void cmdSaveTripsCsv_Click();
    void saveCsv(const QString& what, const std::string& csv);

    // The slider over the practice's length, the second it points at and
    // ここからやり直す, shown only with a practice to take back.
    QWidget* rewindBar();
    void showRewindSecond();
    // あのまま持っていたら and ここで決済していたら from the slider's second,
    // each a headless replay of the practice with its presses changed.
    void showWhatIf();
    // The what-if's 資産合計 beside the practice's on the chart.
    void showAssets(const WhatIf& whatIf);
    void cmdRewind_Click();
    void goBackTo(std::uint64_t second);

    QWidget* historyPage();
    QWidget* roundTripsPage();
    QWidget* statisticsPage();
    QWidget* chancePage();
    QWidget* reviewPage();
    // Caption and value labels for each row, the value named "lbl" + its key,
    // each explained on the line.
    void addRows(QGridLayout& grid, const std::vector<MeasureRow>& rows, int column,
                 std::vector<QLabel*>& values, ExplanationLine& line);
    static void showRows(const std::vector<MeasureRow>& rows, const std::vector<QLabel*>& values);
    static void showValue(QLabel& label, const std::string& text, bool loss);

    // Brings the tab in sight up to date.
    void refreshTab();
    // The round trips and the statistics change with every fill and, through
    // an open trip, the drawdown and the time held, with every second.
    void refreshAnalysis();
    // The reviews of the closed trips: they change only with a fill.
    void showReviews(const std::vector<RoundTrip>& trips);
    // The comparison is run again only when the session's round trips may
    // have changed: a new fill or a fresh session. A second with nothing
    // filled leaves the result where it was; cmdChanceRecompute takes it to
    // the second now.
    void refreshChance();
    void startChance();
    void cancelChance();
    void chanceFinished();
    void showChance(const std::optional<ChanceResult>& result);

    struct Moment {
        std::uint64_t generation = 0;
        std::size_t fills = 0;
        std::uint64_t seconds = 0;
        bool operator==(const Moment& other) const {
            return generation == other.generation && fills == other.fills &&
                   seconds == other.seconds;
        }
    };
    Moment now() const;

    const PracticeSession& m_session;
    Dialogs& m_dialogs;
    PracticeController* m_practice = nullptr;
    QWidget* m_rewindBar = nullptr;
    QSlider* m_rewindSlider = nullptr;
    QLabel* m_rewindSecond = nullptr;
    QPushButton* m_rewind = nullptr;
    QLabel* m_whatIf = nullptr;
    QTimer m_whatIfDelay;
    bool m_paused = false;
    // The value label and whether it shows a loss, for each row of the
    // figure table; null for a figure not shown.
    std::vector<QLabel*> m_values;
    std::vector<bool> m_loss;
    QLabel* m_wait = nullptr;
    TradeHistoryModel* m_model = nullptr;
    QTableView* m_table = nullptr;
    PriceChart* m_chart = nullptr;

    // Counts fresh starts, so a new session never passes for the old one.
    std::uint64_t m_generation = 0;
    QTabWidget* m_tabs = nullptr;
    RoundTripModel* m_tripModel = nullptr;
    QTableView* m_tripTable = nullptr;
    std::vector<QLabel*> m_statistics;
    std::optional<Moment> m_analysed;
    QListWidget* m_reviewList = nullptr;
    // The moment the reviews shown were made at; only its fills count.
    std::optional<Moment> m_reviewed;

    std::vector<QLabel*> m_chanceValues;
    QLabel* m_learnerNet = nullptr;
    QLabel* m_chanceStatus = nullptr;
    QProgressBar* m_chanceProgress = nullptr;
    QPushButton* m_chanceRecompute = nullptr;
    ChanceHistogram* m_histogram = nullptr;
    QFutureWatcher<std::optional<ChanceResult>> m_chanceWatcher;
    // The running comparison's stop flag, shared with its worker so that the
    // window can drop the comparison without waiting for it to notice.
    std::shared_ptr<std::atomic<bool>> m_chanceCancel;
    // The progress bar shows only once a comparison takes longer than a moment.
    QTimer m_progressDelay;
    // The moment the comparison shown (or under way) was taken at.
    std::optional<Moment> m_chanceMoment;
    // The last second the comparison under way or shown covers; it stays
    // put once every round trip is closed.
    std::uint64_t m_chanceSpanEnd = 0;
    bool m_chanceSpanOpen = false;
    bool m_chanceRunning = false;
};

} // namespace vantrel
