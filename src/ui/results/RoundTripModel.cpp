#include "ui/results/RoundTripModel.h"

#include "results/ResultsText.h"
#include "ui/common/Appearance.h"

namespace vantrel {
namespace {

bool same(const RoundTrip& a, const RoundTrip& b) {
    return a.start == b.start && a.end == b.end && a.mostShares == b.mostShares &&
           a.averageBuy == b.averageBuy && a.averageSell == b.averageSell && a.profit == b.profit &&
           a.commissions == b.commissions && a.adverse == b.adverse &&
           a.favourable == b.favourable && a.open == b.open;
}

} // namespace

RoundTripModel::RoundTripModel(QObject* parent) : QAbstractTableModel(parent) {}

void RoundTripModel::set(std::vector<RoundTrip> trips) {
    const int before = static_cast<int>(m_trips.size());
    const int after = static_cast<int>(trips.size());
    if (after < before) {
        beginResetModel();
        m_trips = std::move(trips);
        endResetModel();
        return;
    }
    int firstChanged = before;
    for (int row = 0; row < before; ++row)
        if (!same(m_trips[static_cast<std::size_t>(row)], trips[static_cast<std::size_t>(row)])) {
            firstChanged = row;
            break;
        }
    if (after > before)
        beginInsertRows({}, before, after - 1);
    m_trips = std::move(trips);
    if (after > before)
        endInsertRows();
    if (firstChanged < before)
        emit dataChanged(index(firstChanged, 0), index(before - 1, kRoundTripColumns - 1));
}

void RoundTripModel::setReviews(const std::vector<TripReview>& reviews) {
    std::vector<QString> texts(m_trips.size());
    for (const TripReview& review : reviews)
        if (review.number >= 1 && static_cast<std::size_t>(review.number) <= texts.size())
            texts[static_cast<std::size_t>(review.number - 1)] =
                QString::fromStdString(review.text());
    if (texts == m_reviews)
        return;
    m_reviews = std::move(texts);
    if (!m_trips.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, kRoundTripColumns - 1),
                         {Qt::ToolTipRole});
}

int RoundTripModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_trips.size());
}

int RoundTripModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kRoundTripColumns;
}

QVariant RoundTripModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const RoundTrip& trip = m_trips[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(index.column() == kRoundTripColumns - 1
                                       ? Qt::AlignCenter
                                       : Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ForegroundRole)
        return index.column() == kRoundTripProfitColumn && isLoss(trip.profit)
                   ? QVariant(lossColour())
                   : QVariant();
    if (role == Qt::ToolTipRole) {
        const auto row = static_cast<std::size_t>(index.row());
        return row < m_reviews.size() && !m_reviews[row].isEmpty() ? QVariant(m_reviews[row])
                                                                   : QVariant();
    }
    if (role != Qt::DisplayRole)
        return {};
    const auto cells = roundTripCells(trip, index.row() + 1);
    return QString::fromStdString(cells[static_cast<std::size_t>(index.column())]);
}

QVariant RoundTripModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kRoundTripColumns)
        return {};
    const RoundTripColumn& column = roundTripColumns()[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(column.caption);
    if (role == Qt::ToolTipRole)
        return QString::fromUtf8(column.explanation);
    return {};
}

} // namespace vantrel
