#pragma once

#include <QAbstractTableModel>
#include <QHash>

#include <cstdint>
#include <vector>

namespace vantrel {

class PracticeSession;

// The trade tape as a table, newest line on top: the market's lines and the
// user's own fills among them, in the order they happened (in one second the
// market's tick comes before the execution attempt, so a fill stands above
// that second's market line). Both only ever grow at the newest end, so
// following them means inserting rows at the top; only lines the tape has
// dropped for room leave, at the bottom. The fills are kept by the ledger and
// the lines by the tape: the model holds no more than where each fill falls.
class TapeModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Elapsed, Time, Price, Shares, Side, ColumnCount };

    explicit TapeModel(const PracticeSession& session, QObject* parent = nullptr);

    // Catches up with the tape and the ledger; returns the rows added on top.
    int sync();
    // Starts over, for a session that started afresh or went back.
    void reset();
    // The market second of a row: its line's or its fill's.
    std::uint64_t secondAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // A row is a fill (index into the ledger) or a line (index into the tape).
    struct Entry {
        bool fill = false;
        std::size_t index = 0;
    };
    Entry entry(int row) const;
    // Position of fill j among the shown entries, oldest first.
    std::uint64_t fillPosition(std::size_t j) const;
    // The number (since the start) of the first line printed after the second.
    std::uint64_t linesUpTo(std::uint64_t second) const;
    QVariant lineData(std::size_t index, int column, int role) const;
    QVariant fillData(std::size_t index, int column, int role) const;
    // H:mm:ss of a wall-clock time, empty when unknown.
    QString clockText(std::int64_t wallMs) const;

    const PracticeSession& m_session;
    // The tape's lines shown, by number since the start: [m_first, m_end).
    std::uint64_t m_first = 0;
    std::uint64_t m_end = 0;
    // The fills shown are m_firstFill onwards; for each fill, the number of
    // the first line after it.
    std::size_t m_firstFill = 0;
    std::vector<std::uint64_t> m_fillLine;
    int m_rows = 0;
    mutable QHash<std::int64_t, QString> m_clockTexts;
};

} // namespace vantrel
