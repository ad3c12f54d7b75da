#pragma once

#include "results/RoundTrips.h"

#include <QAbstractTableModel>

#include <vector>

namespace vantrel {

// The session's round trips as a table, oldest on top. Only the last trip can
// still change (an open one moves with every second), so following the
// session means appending rows and updating the ones that differ.
class RoundTripModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RoundTripModel(QObject* parent = nullptr);

    void set(std::vector<RoundTrip> trips);
    const std::vector<RoundTrip>& trips() const { return m_trips; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<RoundTrip> m_trips;
};

} // namespace vantrel
