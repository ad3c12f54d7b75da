#pragma once

#include <QWidget>

class QFormLayout;
class QLabel;
class QPushButton;

namespace vantrel {

class ChanceHistogram;
class PracticeController;

// 採点: the score of the exercise that just ended (or of an attempt opened
// from its file), passed or not and why, each number the score came from and
// the same task at random, with もう一度 and 次の課題. It draws what the
// controller holds and follows it: "採点中…" until the score is computed.
class frmScore final : public QWidget {
    Q_OBJECT
public:
    // The preferred size: room for the numbers and the histogram.
    static constexpr QSize kPreferredSize{460, 600};

    frmScore(PracticeController& practice, QWidget* parent = nullptr);

    // Draws the controller's exercise and its score as they stand.
    void refresh();
    // Whether a built-in card follows this one, for 次の課題.
    void setHasNext(bool hasNext);

signals:
    // The learner asked for the same card again, or the next built-in one.
    void againRequested();
    void nextRequested();
    // The learner asked to save the scored attempt to hand in.
    void handInRequested();

private:
    PracticeController& m_practice;
    QLabel* m_title = nullptr;
    QLabel* m_score = nullptr;
    QLabel* m_verdict = nullptr;
    QFormLayout* m_numbers = nullptr;
    QLabel* m_random = nullptr;
    ChanceHistogram* m_histogram = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_handIn = nullptr;
};

} // namespace vantrel
