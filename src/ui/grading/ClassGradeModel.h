#pragma once

#include "exercise/ClassGrading.h"
#include "exercise/ExerciseCard.h"

#include <QAbstractTableModel>

#include <vector>

namespace vantrel {

// A graded class as the grading window's table: the CSV's columns and cells,
// a refused file's row greyed with its reason as the row's tip. It sorts
// itself: numbers as numbers, an empty cell always last, ties in the class's
// order, so the same class sorts the same way every time.
class ClassGradeModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setClass(std::vector<ExerciseCard> cards, std::vector<GradedAttempt> attempts);
    const std::vector<ExerciseCard>& cards() const { return m_cards; }
    const std::vector<GradedAttempt>& attempts() const { return m_attempts; }
    // The attempt shown in a row, after sorting.
    const GradedAttempt& attemptAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    std::vector<ExerciseCard> m_cards;
    std::vector<GradedAttempt> m_attempts;
    std::vector<std::size_t> m_order; // the attempt a row shows
};

} // namespace vantrel
