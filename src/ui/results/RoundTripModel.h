#pragma once

#include "results/RoundTrips.h"
#include "results/TripReview.h"

#include <QAbstractTableModel>

#include <vector>

namespace vantrel {

// The session's round trips as a table, oldest on top; a closed trip's row
// says its review (振り返り) as its tooltip. Only the last trip can
// still change (an open one moves with every second), so following the
// session means appending rows and updating the ones that differ.
class RoundTripModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RoundTripModel(QObject* parent = nullptr);

    void set(std::vector<RoundTrip> trips);
    const std::vector<RoundTrip>& trips() const { return m_trips; }
    // Each closed trip's review becomes its row's tooltip.
    void setReviews(const std::vector<TripReview>& reviews);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<RoundTrip> m_trips;
    std::vector<QString> m_reviews; // by row; empty for a trip not reviewed
};

} // namespace vantrel
