#include "ui/mainwindow/BoardModel.h"

#include "ui/common/NumberText.h"

#include <QColor>
#include <QFont>

#include <utility>

namespace vantrel {

namespace {

Qt::Alignment columnAlignment(int column) {
    return column == BoardModel::ItemText ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter;
}

// The glyph beside the order's price, or pointing off the board at the edge
// row it lies beyond: readable without the row's colour, and in print.
QString markGlyph(OrderOnBoard::Place place) {
    switch (place) {
    case OrderOnBoard::Place::OnRow:
        return QStringLiteral("●");
    case OrderOnBoard::Place::AboveBoard:
        return QStringLiteral("▲");
    case OrderOnBoard::Place::BelowBoard:
        return QStringLiteral("▼");
    case OrderOnBoard::Place::BetweenRows:
        break;
    }
    return QString();
}

} // namespace

void BoardModel::setRows(std::vector<BoardRow> rows, std::optional<OrderOnBoard> order) {
    m_order = std::move(order);
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
    case Qt::DisplayRole: {
        const QVariant mark = orderData(index.row(), index.column(), role);
        return mark.isValid() ? mark
                              : cellText(m_rows[static_cast<size_t>(index.row())], index.column());
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columnAlignment(index.column()));
    default:
        return orderData(index.row(), index.column(), role);
    }
}

QVariant BoardModel::orderData(int row, int column, int role) const {
    // A price between two rows has no row to mark; the line beside the board
    // says where it stands.
    if (!m_order || m_order->place == OrderOnBoard::Place::BetweenRows || row != m_order->row)
        return {};
    const int markColumn = m_order->side == OrderSide::Buy ? RightSpacer : LeftSpacer;
    const bool onRow = m_order->onBoard();
    switch (role) {
    case Qt::DisplayRole:
        return column == markColumn ? markGlyph(m_order->place) : QVariant();
    case Qt::ToolTipRole:
        return QString::fromStdString(m_order->text);
    // A screen reader reads the mark as the sentence, not as its glyph.
    case Qt::AccessibleTextRole:
        return column == markColumn ? QString::fromStdString(m_order->text) : QVariant();
    case Qt::FontRole:
        if (onRow && (column == markColumn || column == Price)) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    // The edge row of an order off the board is no row of the order, so it
    // keeps its colour and carries only the arrow.
    case Qt::BackgroundRole:
        return onRow ? QColor(0xff, 0xe8, 0xa0) : QVariant();
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
