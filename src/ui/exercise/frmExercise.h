#pragma once

#include "exercise/ExerciseCard.h"

#include <QDialog>

#include <optional>

namespace vantrel {

// An exercise's card as the learner meets it before starting: the title, the
// instructions, the hint and the task's facts (market, times, numbers,
// limits). 開始 accepts it; the window that opened it starts the exercise.
class frmExercise final : public QDialog {
    Q_OBJECT
public:
    frmExercise(const ExerciseCard& card, QWidget* parent = nullptr);

    const ExerciseCard& card() const { return m_card; }

private:
    ExerciseCard m_card;
};

} // namespace vantrel
