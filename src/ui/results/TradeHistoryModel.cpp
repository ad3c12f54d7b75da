#include "ui/results/TradeHistoryModel.h"

#include "results/ResultsText.h"
#include "ui/common/Appearance.h"
#include "ui/common/TimestampText.h"

#include <QDateTime>

namespace vantrel {

TradeHistoryModel::TradeHistoryModel(const Ledger& ledger, QObject* parent)
    : QAbstractTableModel(parent), m_ledger(ledger) {
    m_rows = static_cast<int>(ledger.fills().size());
}

void TradeHistoryModel::sync() {
    const int rows = static_cast<int>(m_ledger.fills().size());
    if (rows < m_rows) {
        beginResetModel();
        m_rows = rows;
        endResetModel();
    } else if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    }
}

QString TradeHistoryModel::timeText(const LedgerFill& fill) {
    if (fill.time.wallMs == 0)
        return {};
    return timestampText(QDateTime::fromMSecsSinceEpoch(fill.time.wallMs));
}

int TradeHistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int TradeHistoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kHistoryColumns;
}

QVariant TradeHistoryModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const LedgerFill& fill = m_ledger.fills()[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            index.column() < kPriceColumn ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ForegroundRole)
        return index.column() == kRealisedColumn && isLoss(fill.realised) ? QVariant(lossColour())
                                                                          : QVariant();
    if (role != Qt::DisplayRole)
        return {};
    const auto cells = historyCells(fill, timeText(fill).toStdString());
    return QString::fromStdString(cells[static_cast<std::size_t>(index.column())]);
}

QVariant TradeHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kHistoryColumns)
        return {};
    return QString::fromUtf8(historyCaptions()[static_cast<std::size_t>(section)]);
}

} // namespace vantrel
