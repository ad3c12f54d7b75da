#pragma once

#include "history/PracticeFolder.h"

#include <QSize>
#include <QString>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QPushButton;
class QTimer;
class QTreeView;
template <typename T> class QFutureWatcher;

namespace vantrel {

class Dialogs;
class PracticeController;
class PracticeTable;

// 練習の記録: the kept practices, newest first, with what each came to, and a
// chart of 損益率 and 上位 N% across them, so a learner sees whether practice
// pays. A kept practice can be opened (replayed as 練習を開く does), saved
// as a copy elsewhere or deleted (to the trash where there is one).
//
// No file is read on the window's thread: the folder is read on a worker
// and the rows fill in as they arrive, so the window shows at once whatever
// the folder holds. 上位 N% is computed on a worker too, one practice at a
// time, for the practices with a fill that lack it, and kept in the folder's
// index (never in the practice's file); each result updates its one row.
// Closing the window cancels its workers and never waits for them: they
// share nothing with it but their cancel flag and their results.
class frmHistory final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kPreferredSize{880, 640};

    // busyPath names the practice under way, which is neither deleted nor
    // compared here; it is empty when no practice is kept in this run
    // (--no-history), and then nothing at all is written in the folder: 上位
    // N% is computed for this window alone. open replays a kept file.
    frmHistory(QString folder, Dialogs& dialogs, std::function<QString()> busyPath,
               std::function<void(const QString& path)> open);
    // The practice's history folder, its practice under way busy; while shown,
    // the list follows each write of the practice and each practice that
    // replaces it.
    frmHistory(const PracticeController& practice, Dialogs& dialogs,
               std::function<void(const QString& path)> open);
    ~frmHistory() override;

    // Reads the folder again (summaries only, on a worker); the rows fill in
    // as they are read.
    void refresh();
    // The practice under way was written: its row alone is read again (or
    // added when it is new there).
    void practiceKept(const QString& path);
    // The rows as they stand.
    const std::vector<ListedPractice>& practices() const;
    // Whether the folder is still being read or 上位 N% computed.
    bool reading() const { return m_readers > 0; }
    bool comparing() const { return m_comparing; }
    // Shows one card's attempts only, and their scores on the chart; an
    // empty title shows every practice again.
    void showCard(const QString& title);

private:
    struct Batch;
    struct Inbox;
    struct Computed;

    void cmdOpen_Click();
    void cmdSaveCopy_Click();
    void cmdDelete_Click();
    void followSelection();
    // The selected practice's row; -1 without one.
    int selectedRow() const;
    QString selectedPath() const;
    QString busyPath() const;
    void read(std::vector<std::string> names, bool whole);
    void take(Batch batch, bool whole);
    void drain(Inbox& inbox, bool whole);
    void showChart();
    void showScores(QChart* chart);
    // Hides the rows from `first` on that the card chosen does not cover.
    void filterRows(int first);
    // Starts the comparison with chance for the next practice lacking it.
    void computeNextChance();
    void chanceComputed(const Computed& computed);

    QString m_folder;
    Dialogs& m_dialogs;
    std::function<QString()> m_busyPath;
    std::function<void(const QString&)> m_open;
    PracticeTable* m_table = nullptr;
    QTreeView* m_list = nullptr;
    QChartView* m_chart = nullptr;
    QComboBox* m_cardFilter = nullptr;
    std::set<std::string> m_titles; // of the attempts listed, for the filter
    std::string m_card;             // the card whose attempts alone show
    QPushButton* m_openButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    // Set when the window goes: every worker it started stops at its next check.
    std::shared_ptr<std::atomic<bool>> m_closing = std::make_shared<std::atomic<bool>>(false);
    // The whole listing under way, cancelled when a new one starts.
    QFutureWatcher<void>* m_listing = nullptr;
    int m_readers = 0;
    bool m_comparing = false;
    // 上位 N% known so far, by file name; whether the folder's index may be
    // written (it is Vantrel's own or absent, and practices are kept).
    TopPercents m_top;
    bool m_indexWritable = false;
    std::set<std::string> m_tried;
    std::string m_reselect;
    int m_scrolled = 0;
};

} // namespace vantrel
