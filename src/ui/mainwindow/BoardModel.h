#pragma once

#include "market/BoardRow.h"
#include "trading/OrderOnBoard.h"

#include <QAbstractTableModel>

#include <array>
#include <optional>
#include <vector>

namespace vantrel {

// The board as a report-style list: one row per price level, highest price
// on top. Column 0 is the list item's own text, always empty and zero wide;
// the spacer columns stay empty but for the mark of the user's own order,
// which sits in the spacer beside its side's queue (a buy's beside the bids).
class BoardModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ItemText, Offered, LeftSpacer, Price, RightSpacer, Bid, ColumnCount };
    // Column widths in pixels; the spacers keep the numbers off the price.
    static constexpr std::array<int, ColumnCount> kColumnWidths{0, 73, 17, 67, 17, 73};

    using QAbstractTableModel::QAbstractTableModel;

    // Replaces every row and the user's order laid over them; rows come top
    // to bottom.
    void setRows(std::vector<BoardRow> rows, std::optional<OrderOnBoard> order = std::nullopt);
    // The price of a row, as the order forms take it.
    int price(int row) const { return static_cast<int>(m_rows[static_cast<size_t>(row)].price); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QString cellText(const BoardRow& row, int column) const;
    // What the order's mark adds to a cell, for the roles it touches.
    QVariant orderData(int row, int column, int role) const;

    std::vector<BoardRow> m_rows;
    std::optional<OrderOnBoard> m_order;
};

} // namespace vantrel
