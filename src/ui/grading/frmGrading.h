#pragma once

#include "exercise/ClassGrading.h"
#include "exercise/ExerciseCard.h"

#include <QFutureWatcher>
#include <QWidget>

#include <atomic>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

namespace vantrel {

class ChanceHistogram;
class ClassGradeModel;
class Dialogs;

// クラスの採点: a card and a folder of a class's hand-ins, graded as the
// market tool's --grade grades them (the same table, the same CSV), with the
// class's scores as a histogram beside the card's random traders' middle.
// Grading runs on other threads, on every core, with its progress shown; the
// window answers all the while, and 中止 or closing it stops the work.
class frmGrading final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kPreferredSize{900, 640};

    // builtIn are the cards the 課題 menu lists; a card file can be added.
    frmGrading(std::vector<ExerciseCard> builtIn, Dialogs& dialogs, QWidget* parent = nullptr);
    ~frmGrading() override;

    // The card chosen and the folder to grade; grading starts when both are
    // known and starts again when either changes.
    void chooseCard(const ExerciseCard& card);
    void chooseFolder(const QString& folder);
    bool grading() const;
    const ClassGradeModel& table() const { return *m_model; }

signals:
    // A class was graded and is shown (not after a stop).
    void graded();

protected:
    // Closed, it grades no more: nobody is looking.
    void closeEvent(QCloseEvent* event) override;

private:
    void askForCard();
    void askForFolder();
    void start();
    void cancel();
    void finished();
    void showProgress();
    void saveCsv();
    const ExerciseCard* currentCard() const;

    Dialogs& m_dialogs;
    std::vector<ExerciseCard> m_cards; // the combo's, in its order
    QString m_folder;
    QComboBox* m_card = nullptr;
    QLabel* m_folderLine = nullptr;
    QPushButton* m_grade = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_csv = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QTableView* m_view = nullptr;
    ClassGradeModel* m_model = nullptr;
    ChanceHistogram* m_chart = nullptr;
    QLabel* m_chartNote = nullptr;

    // What the worker and the window share: the worker may outlive a stop
    // request by one file.
    struct Job {
        std::atomic<bool> cancel{false};
        std::atomic<int> permille{0};
    };
    std::shared_ptr<Job> m_job;
    QFutureWatcher<std::vector<GradedAttempt>>* m_work = nullptr;
    QTimer* m_poll = nullptr;
    bool m_again = false; // a change came while grading: grade once more after
};

} // namespace vantrel
