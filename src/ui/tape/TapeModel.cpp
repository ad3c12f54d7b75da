#include "ui/tape/TapeModel.h"

#include "practice/PracticeSession.h"
#include "results/ResultsText.h"
#include "ui/common/NumberText.h"

#include <QBrush>
#include <QDateTime>
#include <QFont>

#include <algorithm>

namespace vantrel {

namespace {

// Side by word and arrow as well as by colour: red for buys, blue for sales,
// as the chart marks the user's own.
const QColor kBuyColour(0xc0, 0x10, 0x10);
const QColor kSellColour(0x10, 0x40, 0xc0);
const QColor kNoVolumeColour(0x80, 0x80, 0x80);
const QColor kOwnBackground(0xff, 0xf4, 0xc0);

QString sideText(bool buy) {
    return buy ? QStringLiteral("↑買い") : QStringLiteral("↓売り");
}

} // namespace

QString TapeModel::clockText(std::int64_t wallMs) const {
    if (wallMs == 0)
        return {};
    // The local time of a moment asks the system's time zone each time; the
    // rows in sight share a few dozen seconds, so their texts are kept.
    const std::int64_t second = wallMs / 1000;
    if (const auto known = m_clockTexts.constFind(second); known != m_clockTexts.cend())
        return *known;
    if (m_clockTexts.size() >= 1024)
        m_clockTexts.clear();
    const QString text =
        QDateTime::fromMSecsSinceEpoch(second * 1000).toString(QStringLiteral("H:mm:ss"));
    m_clockTexts.insert(second, text);
    return text;
}

TapeModel::TapeModel(const PracticeSession& session, QObject* parent)
    : QAbstractTableModel(parent), m_session(session) {
    sync();
}

std::uint64_t TapeModel::linesUpTo(std::uint64_t second) const {
    const Tape& tape = m_session.market().tape();
    std::size_t low = 0, high = tape.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (tape.at(middle).second <= second)
            low = middle + 1;
        else
            high = middle;
    }
    return tape.dropped() + low;
}

std::uint64_t TapeModel::fillPosition(std::size_t j) const {
    return (m_fillLine[j] - m_first) + (j - m_firstFill);
}

int TapeModel::sync() {
    const Tape& tape = m_session.market().tape();
    const std::vector<LedgerFill>& fills = m_session.ledger().fills();
    const std::uint64_t end = tape.dropped() + tape.size();
    if (end < m_end || fills.size() < m_fillLine.size()) {
        reset();
        return 0;
    }
    // Lines the tape dropped for room leave at the bottom, with the fills
    // older than the oldest line left.
    if (tape.dropped() > m_first) {
        const std::uint64_t first = std::min(tape.dropped(), m_end);
        std::size_t firstFill = m_firstFill;
        while (firstFill < m_fillLine.size() && m_fillLine[firstFill] < first)
            ++firstFill;
        const int gone = static_cast<int>((first - m_first) + (firstFill - m_firstFill));
        if (gone > 0) {
            beginRemoveRows({}, m_rows - gone, m_rows - 1);
            m_first = first;
            m_firstFill = firstFill;
            m_rows -= gone;
            endRemoveRows();
        }
        if (m_end < tape.dropped())
            m_first = m_end = tape.dropped();
    }
    // Whatever happened since comes after every row shown: a fill is settled
    // after the tick of its second, and the model catches up after both.
    const std::size_t newFills = fills.size() - m_fillLine.size();
    const int added = static_cast<int>((end - m_end) + newFills);
    if (added == 0)
        return 0;
    beginInsertRows({}, 0, added - 1);
    m_end = end;
    for (std::size_t j = m_fillLine.size(); j < fills.size(); ++j)
        m_fillLine.push_back(std::max(linesUpTo(fills[j].time.second), m_first));
    m_rows += added;
    endInsertRows();
    return added;
}

void TapeModel::reset() {
    beginResetModel();
    const Tape& tape = m_session.market().tape();
    m_first = m_end = tape.dropped();
    m_firstFill = 0;
    m_fillLine.clear();
    m_rows = 0;
    endResetModel();
    sync();
}

TapeModel::Entry TapeModel::entry(int row) const {
    const std::uint64_t position = static_cast<std::uint64_t>(m_rows - 1 - row);
    // The fills' positions rise with their index: the first at or after this
    // row's position is either this row or tells how many fills precede it.
    std::size_t low = m_firstFill, high = m_fillLine.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (fillPosition(middle) < position)
            low = middle + 1;
        else
            high = middle;
    }
    if (low < m_fillLine.size() && fillPosition(low) == position)
        return {true, low};
    const std::uint64_t line = m_first + position - (low - m_firstFill);
    return {false, static_cast<std::size_t>(line - m_session.market().tape().dropped())};
}

std::uint64_t TapeModel::secondAt(int row) const {
    const Entry at = entry(row);
    return at.fill ? m_session.ledger().fills()[at.index].time.second
                   : m_session.market().tape().at(at.index).second;
}

int TapeModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int TapeModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TapeModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(index.column() == Side ? Qt::AlignLeft | Qt::AlignVCenter
                                                          : Qt::AlignRight | Qt::AlignVCenter);
    const Entry row = entry(index.row());
    if (row.fill)
        return fillData(row.index, index.column(), role);
    if (row.index >= m_session.market().tape().size())
        return {};
    return lineData(row.index, index.column(), role);
}

QVariant TapeModel::lineData(std::size_t index, int column, int role) const {
    const TapeEntry& line = m_session.market().tape().at(index);
    const bool buy = line.side == TapeSide::Buy;
    if (role == Qt::ForegroundRole) {
        if (column == Side)
            return QBrush(buy ? kBuyColour : kSellColour);
        return line.priceMoveOnly() ? QVariant(QBrush(kNoVolumeColour)) : QVariant();
    }
    if (role == Qt::ToolTipRole && line.priceMoveOnly())
        return QStringLiteral("出来高なし：株数が合わずに現値だけが動きました");
    if (role != Qt::DisplayRole)
        return {};
    switch (column) {
    case Elapsed:
        return QString::fromStdString(elapsedText(line.second));
    case Time:
        return clockText(m_session.tapeWallMs(index));
    case Price:
        return numberText(line.price);
    case Shares:
        return QString::fromStdString(groupedNumber(line.shares));
    default:
        return sideText(buy);
    }
}

QVariant TapeModel::fillData(std::size_t index, int column, int role) const {
    const LedgerFill& fill = m_session.ledger().fills()[index];
    const bool buy = fill.side == OrderSide::Buy;
    if (role == Qt::BackgroundRole)
        return QBrush(kOwnBackground);
    if (role == Qt::FontRole) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::ForegroundRole)
        return column == Side ? QVariant(QBrush(buy ? kBuyColour : kSellColour)) : QVariant();
    if (role != Qt::DisplayRole)
        return {};
    switch (column) {
    case Elapsed:
        return QString::fromStdString(elapsedText(fill.time.second));
    case Time:
        return clockText(fill.time.wallMs);
    case Price:
        return numberText(fill.price);
    case Shares:
        return QString::fromStdString(groupedNumber(fill.shares));
    default:
        return sideText(buy) + QStringLiteral("（あなた）");
    }
}

QVariant TapeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const captions[ColumnCount] = {"経過", "時刻", "価格", "株数", "売買"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(captions[section])
                                                 : QVariant();
}

} // namespace vantrel
