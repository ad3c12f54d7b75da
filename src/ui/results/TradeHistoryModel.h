#pragma once

#include "results/Ledger.h"

#include <QAbstractTableModel>

namespace vantrel {

// The ledger's fills as a table, oldest on top. The ledger only ever appends
// (or is emptied), so following it means inserting the new rows at the end.
class TradeHistoryModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TradeHistoryModel(const Ledger& ledger, QObject* parent = nullptr);

    // Catches up with the ledger; cheap when nothing was filled.
    void sync();
    // The time column's text for a fill, as the log writes times.
    static QString timeText(const LedgerFill& fill);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const Ledger& m_ledger;
    int m_rows = 0;
};

} // namespace vantrel
