#pragma once

#include "history/PracticeFolder.h"

#include <QFutureWatcher>
#include <QSize>
#include <QString>
#include <QWidget>

#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <vector>

class QChartView;
class QPushButton;
class QTreeWidget;

namespace vantrel {

class Dialogs;

// 練習の記録: the kept practices, newest first, with what each came to, and a
// chart of 損益率 and 上位 N% across them, so a learner sees whether practice
// pays. A kept practice can be opened (replayed as 練習を開く does), saved
// as a copy elsewhere or deleted (to the trash where there is one). 上位 N%
// is computed here, one practice at a time off the window's thread, for the
// kept files that lack it, and written into their summary.
class frmHistory final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kPreferredSize{880, 640};

    // busyPath names the practice under way, which is neither deleted nor
    // rewritten here; open replays a kept file.
    frmHistory(QString folder, Dialogs& dialogs, std::function<QString()> busyPath,
               std::function<void(const QString& path)> open);
    ~frmHistory() override;

    // Reads the folder again (summaries only) and redraws the list and chart.
    void refresh();
    // The practice under way was written: its row alone is read again, or
    // the whole list when it is new there.
    void practiceKept(const QString& path);
    const std::vector<ListedPractice>& practices() const { return m_practices; }

private:
    void cmdOpen_Click();
    void cmdSaveCopy_Click();
    void cmdDelete_Click();
    // The selected practice's file; empty without one.
    QString selectedPath() const;
    void showChart();
    // Starts the comparison with chance for the next kept practice lacking it.
    void computeNextChance();
    void chanceComputed();

    QString m_folder;
    Dialogs& m_dialogs;
    std::function<QString()> m_busyPath;
    std::function<void(const QString&)> m_open;
    std::vector<ListedPractice> m_practices;
    QTreeWidget* m_list = nullptr;
    QChartView* m_chart = nullptr;
    QPushButton* m_openButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    // The comparison under way: the file and its new text (empty when it
    // could not be computed), and the files already tried in this run.
    struct Computed {
        QString path;
        std::string text;
    };
    QFutureWatcher<Computed> m_chance;
    std::atomic<bool> m_cancel{false};
    std::set<QString> m_tried;
};

} // namespace vantrel
