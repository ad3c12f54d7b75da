#include "ui/mainwindow/BoardModel.h"

#include "ui/common/NumberText.h"

#include <utility>

namespace vantrel {

namespace {

Qt::Alignment columnAlignment(int column) {
    return column == BoardModel::ItemText ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter;
}

} // namespace

void BoardModel::setRows(std::vector<BoardRow> rows) {
    // The whole board changes every tick; with the same number of rows it
    // changes in place, so the row the user selected stays selected.
    if (rows.size() == m_rows.size() && !m_rows.empty()) {
        m_rows = std::move(rows);
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
        return;
    }
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int BoardModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int BoardModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BoardModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cellText(m_rows[static_cast<size_t>(index.row())], index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columnAlignment(index.column()));
    default:
        return {};
    }
}

QVariant BoardModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columnAlignment(section));
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Offered:
        return QStringLiteral("売気配株数");
    case Price:
        return QStringLiteral("気配値");
    case Bid:
        return QStringLiteral("買気配株数");
    default:
        return QString();
    }
}

QString BoardModel::cellText(const BoardRow& row, int column) const {
    switch (column) {
    case Offered:
        return row.hasAsk() ? numberText(row.offered) : QString();
    case Price:
        return numberText(row.price);
    case Bid:
        return row.hasBid() ? numberText(row.bid) : QString();
    default:
        return QString();
    }
}

} // namespace vantrel
