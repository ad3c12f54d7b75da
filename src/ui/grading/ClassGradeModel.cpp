#include "ui/grading/ClassGradeModel.h"

#include "exercise/GradeTable.h"

#include <QBrush>
#include <QColor>
#include <QFileInfo>

#include <algorithm>
#include <numeric>
#include <optional>

namespace vantrel {

namespace {

// A file's name may hold anything a folder allows, a line break or an
// escape among them: shown, each control character is a visible mark.
QString visible(QString shown) {
    for (QChar& c : shown)
        if (c.category() == QChar::Other_Control)
            c = QChar(0xFFFD);
    return shown;
}

// The number a numeric column sorts by; empty for a text column or a blank.
std::optional<double> sortNumber(const GradedAttempt& a, int column) {
    switch (column) {
    case GradeMarket:
        return a.market ? std::optional<double>(*a.market) : std::nullopt;
    case GradeScore:
        return a.score;
    case GradeRank:
        return a.rank ? std::optional<double>(*a.rank) : std::nullopt;
    case GradeMeanRank:
        return a.meanRank;
    case GradeTopPercent:
        return a.topPercent;
    default:
        return std::nullopt;
    }
}

bool numeric(int column) {
    return column == GradeMarket || column == GradeScore || column == GradeRank ||
           column == GradeMeanRank || column == GradeTopPercent;
}

} // namespace

void ClassGradeModel::setClass(std::vector<ExerciseCard> cards,
                               std::vector<GradedAttempt> attempts) {
    beginResetModel();
    m_cards = std::move(cards);
    m_attempts = std::move(attempts);
    m_order.resize(m_attempts.size());
    std::iota(m_order.begin(), m_order.end(), std::size_t{0});
    endResetModel();
}

const GradedAttempt& ClassGradeModel::attemptAt(int row) const {
    return m_attempts[m_order[static_cast<std::size_t>(row)]];
}

int ClassGradeModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_attempts.size());
}

int ClassGradeModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kGradeColumns);
}

QVariant ClassGradeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const std::size_t attempt = m_order[static_cast<std::size_t>(index.row())];
    const GradedAttempt& a = m_attempts[attempt];
    switch (role) {
    case Qt::DisplayRole: {
        const QString cell = QString::fromStdString(
            gradeCells(m_cards, m_attempts, attempt)[static_cast<std::size_t>(index.column())]);
        // The folder is named above the table: a file is shown by its name.
        return visible(index.column() == GradeFile ? QFileInfo(cell).fileName() : cell);
    }
    case Qt::ToolTipRole:
        return visible(QString::fromStdString(gradeCells(
            m_cards, m_attempts, attempt)[index.column() == GradeFile ? GradeFile : GradeReason]));
    case Qt::ForegroundRole:
        if (!a.graded())
            return QBrush(QColor(0x80, 0x80, 0x80));
        return {};
    case Qt::BackgroundRole:
        if (!a.graded())
            return QBrush(QColor(0xee, 0xee, 0xee));
        return {};
    case Qt::TextAlignmentRole:
        if (numeric(index.column()))
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant ClassGradeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(kGradeColumns))
        return {};
    return QString::fromUtf8(gradeCaptions()[static_cast<std::size_t>(section)]);
}

void ClassGradeModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= static_cast<int>(kGradeColumns))
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::size_t> rowsBefore;
    for (const QModelIndex& index : before)
        rowsBefore.push_back(m_order[static_cast<std::size_t>(index.row())]);

    const bool descending = order == Qt::DescendingOrder;
    std::vector<QString> texts(m_attempts.size());
    if (!numeric(column))
        for (std::size_t i = 0; i < m_attempts.size(); ++i)
            texts[i] = QString::fromStdString(
                gradeCells(m_cards, m_attempts, i)[static_cast<std::size_t>(column)]);
    std::iota(m_order.begin(), m_order.end(), std::size_t{0});
    std::stable_sort(m_order.begin(), m_order.end(), [&](std::size_t x, std::size_t y) {
        if (numeric(column)) {
            const std::optional<double> a = sortNumber(m_attempts[x], column);
            const std::optional<double> b = sortNumber(m_attempts[y], column);
            if (!a || !b)
                return a.has_value() && !b.has_value();
            return descending ? *a > *b : *a < *b;
        }
        if (texts[x].isEmpty() || texts[y].isEmpty())
            return !texts[x].isEmpty() && texts[y].isEmpty();
        const int compared = QString::localeAwareCompare(texts[x], texts[y]);
        return descending ? compared > 0 : compared < 0;
    });

    std::vector<int> rowOf(m_order.size());
    for (std::size_t row = 0; row < m_order.size(); ++row)
        rowOf[m_order[row]] = static_cast<int>(row);
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i)
        after << index(rowOf[rowsBefore[static_cast<std::size_t>(i)]], before[i].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace vantrel
