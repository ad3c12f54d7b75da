#pragma once

#include "practice/SessionRecord.h"

#include <QSize>
#include <QWidget>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;
template <typename T> class QFutureWatcher;

namespace vantrel {

class Dialogs;
class PracticeController;

// 分岐: the lines of the practice side by side, the one under way first and
// then each branch with the second it left its parent, its presses and its
// figures (純損益, 往復取引数, 上位 N%). 分岐を続ける goes over to the chosen
// branch. A branch's 往復取引数 and 上位 N% need it replayed and compared
// with chance: a worker does it and they are filled in when it is done. The
// line under way is followed second by second, its 上位 N% computed once it
// has rested a moment (paused, or between presses of 1秒進める).
class frmBranches final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kPreferredSize{760, 360};

    frmBranches(PracticeController& practice, Dialogs& dialogs, QWidget* parent = nullptr);
    ~frmBranches() override;

    // Lists the lines as the practice holds them now.
    void refresh();
    // 分岐を続ける for the selected row; the line under way is not a branch.
    void continueSelected();

private:
    struct LineStatistics {
        std::optional<double> roundTrips;
        std::optional<double> topPercent;
    };
    using Work = QFutureWatcher<std::vector<LineStatistics>>;
    // The line under way's cells as it stands; its 上位 N% follows later.
    void showLine();
    // Replays and compares the lines on a worker, cancelling what work did
    // before; the results fill the rows from firstRow on.
    void compute(Work& work, std::shared_ptr<std::atomic<bool>>& cancel,
                 std::vector<SessionRecord> lines, int firstRow);

    PracticeController& m_practice;
    Dialogs& m_dialogs;
    QTableWidget* m_table = nullptr;
    QPushButton* m_continue = nullptr;
    QLabel* m_note = nullptr;
    QTimer* m_lineRested = nullptr;
    Work* m_branchWork = nullptr;
    Work* m_lineWork = nullptr;
    std::shared_ptr<std::atomic<bool>> m_branchCancel, m_lineCancel;
};

} // namespace vantrel
