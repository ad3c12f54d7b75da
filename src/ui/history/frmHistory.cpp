#include "ui/history/frmHistory.h"

#include "exercise/ExerciseCard.h"
#include "history/PracticeSummary.h"
#include "orders/StockInfo.h"
#include "practice/SessionFile.h"
#include "practice/SessionStatistics.h"
#include "results/ResultsText.h"
#include "ui/common/Appearance.h"
#include "ui/common/AtomicFile.h"
#include "ui/common/dialogs/Dialogs.h"
#include "ui/practice/PracticeController.h"

#include <QAbstractTableModel>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPromise>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QtConcurrent/QtConcurrentRun>

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <deque>
#include <filesystem>
#include <limits>
#include <mutex>
#include <unordered_set>

namespace vantrel {

namespace {

const QStringList kCaptions = {QStringLiteral("日時"),   QStringLiteral("市場"),
                               QStringLiteral("長さ"),   QStringLiteral("約定"),
                               QStringLiteral("往復"),   QStringLiteral("純損益"),
                               QStringLiteral("損益率"), QStringLiteral("上位"),
                               QStringLiteral("課題"),   QStringLiteral("得点")};
constexpr int kCardColumn = 8;
constexpr int kScoreColumn = 9;
constexpr int kPathRole = Qt::UserRole;
// The rows a worker hands over at a time, or sooner after this long.
constexpr std::size_t kBatchRows = 500;
constexpr qint64 kBatchMs = 100;
constexpr qsizetype kChartPoints = 1000;

QString countText(const std::optional<std::size_t>& count) {
    return count ? QString::number(*count) : QStringLiteral("—");
}

QString percentText(double value) {
    return QString::fromStdString(groupedNumber(value, 2)) + QStringLiteral("%");
}

// An attempt's score as 得点 shows it: its value and unit, 合格 or 不合格.
QString scoreText(const AttemptSummary& a) {
    if (!a.scored)
        return QStringLiteral("採点なし");
    const QString passed = a.passed ? QStringLiteral("合格") : QStringLiteral("不合格");
    if (!a.score)
        return QStringLiteral("— ") + passed;
    const int decimals = a.unit == "円" ? 0 : a.unit == "%" ? 1 : 2;
    return QString::fromStdString(groupedNumber(*a.score, decimals) + " " + a.unit + " ") + passed;
}

std::string pathIn(const QString& folder, const std::string& name) {
    namespace fs = std::filesystem;
    return (fs::u8path(folder.toStdString()) / fs::u8path(name)).u8string();
}

// The index written with one more value, by a worker; never through a link
// nor over a file that is not the index (readTopPercents says), and dropping
// values of files no longer there.
void storeTopPercent(const QString& folder, const std::string& name, const TopPercent& value) {
    std::optional<TopPercents> values = readTopPercents(folder.toStdString());
    if (!values)
        return;
    (*values)[name] = value;
    for (auto it = values->begin(); it != values->end();)
        it = QFileInfo::exists(QString::fromStdString(pathIn(folder, it->first)))
                 ? std::next(it)
                 : values->erase(it);
    const QString path = QString::fromStdString(pathIn(folder, kTopPercentFileName));
    // The writer follows a link to its target: one in its place is left alone.
    if (!QFileInfo(path).isSymLink())
        writeFileAtomically(path, topPercentsText(*values));
}

} // namespace

// The rows of the list, formatted when they are drawn, so that a folder of
// fifty thousand practices costs their summaries and little more.
class PracticeTable final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    std::vector<ListedPractice> rows;
    std::string busy;                      // the practice under way's path
    std::unordered_set<std::string> names; // of the rows, to find one quickly

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows.size());
    }
    int columnCount(const QModelIndex& = {}) const override {
        return static_cast<int>(kCaptions.size());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return kCaptions.value(section);
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        // A file without a summary is listed, so the user sees it is there,
        // but greyed and never opened from here.
        return rows[static_cast<std::size_t>(index.row())].summary
                   ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                   : Qt::ItemFlags();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const ListedPractice& practice = rows[static_cast<std::size_t>(index.row())];
        const int column = index.column();
        switch (role) {
        case Qt::DisplayRole:
            return text(practice, column);
        case kPathRole:
            return QString::fromStdString(practice.path);
        case Qt::TextAlignmentRole:
            return column > 0 && column != kCardColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                       : QVariant();
        case Qt::ForegroundRole:
            // A loss is red only when it shows as one: -0.4 yen reads "0円".
            if ((column == 5 || column == 6) && text(practice, column).startsWith(u'-'))
                return QBrush(lossColour());
            return {};
        default:
            return {};
        }
    }
    void reset() {
        beginResetModel();
        rows.clear();
        names.clear();
        endResetModel();
    }
    void append(std::vector<ListedPractice>& more) {
        if (more.empty())
            return;
        const int first = rowCount();
        beginInsertRows({}, first, first + static_cast<int>(more.size()) - 1);
        for (ListedPractice& practice : more) {
            names.insert(practice.name);
            rows.push_back(std::move(practice));
        }
        endInsertRows();
    }
    // Where its name puts it, newest first; its row.
    int insert(ListedPractice practice) {
        const auto at =
            std::find_if(rows.begin(), rows.end(),
                         [&practice](const ListedPractice& p) { return p.name < practice.name; });
        const int row = static_cast<int>(at - rows.begin());
        beginInsertRows({}, row, row);
        names.insert(practice.name);
        rows.insert(at, std::move(practice));
        endInsertRows();
        return row;
    }
    void replace(int row, ListedPractice practice) {
        rows[static_cast<std::size_t>(row)] = std::move(practice);
        changed(row);
    }
    void remove(int row) {
        beginRemoveRows({}, row, row);
        names.erase(rows[static_cast<std::size_t>(row)].name);
        rows.erase(rows.begin() + row);
        endRemoveRows();
    }
    void changed(int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); }
    int find(const std::string& name) const {
        if (!names.count(name))
            return -1;
        const auto it = std::find_if(rows.begin(), rows.end(),
                                     [&name](const ListedPractice& p) { return p.name == name; });
        return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
    }

private:
    QString text(const ListedPractice& practice, int column) const {
        if (!practice.summary)
            return column == 0 ? QStringLiteral("%1 — 読めません（%2）")
                                     .arg(QString::fromStdString(practice.name),
                                          QString::fromStdString(practice.error))
                               : QString();
        const PracticeSummary& s = *practice.summary;
        switch (column) {
        case 0: {
            QString when = s.startedMs ? QDateTime::fromMSecsSinceEpoch(s.startedMs)
                                             .toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                                       : QString::fromStdString(practice.name);
            if (!busy.empty() && practice.path == busy)
                when += QStringLiteral("（練習中）");
            return when;
        }
        case 1:
            return QString::number(s.market);
        case 2:
            return QString::fromStdString(elapsedText(s.seconds));
        case 3:
            return countText(s.fills);
        case 4:
            return countText(s.roundTrips);
        case 5:
            return QString::fromStdString(yenText(s.netProfit));
        case 6:
            return percentText(s.profitRate);
        case kCardColumn:
            return s.attempt ? QString::fromStdString(s.attempt->title) : QString();
        case kScoreColumn:
            return s.attempt ? scoreText(*s.attempt) : QString();
        default:
            return s.topPercent ? QStringLiteral("上位 %1%")
                                      .arg(QString::fromStdString(groupedNumber(*s.topPercent, 1)))
                                : QStringLiteral("—");
        }
    }
};

// What a reader hands over: the folder's index first (a whole listing
// only), then the rows in the folder's order.
struct frmHistory::Batch {
    std::vector<ListedPractice> rows;
    std::optional<std::optional<TopPercents>> top;
    std::size_t expected = 0; // the folder's files, so the rows are made room for once
};

// Where a reader leaves its batches for the window, which takes them when
// told of progress: each row is made once, on the worker, and moved.
struct frmHistory::Inbox {
    std::mutex mutex;
    std::deque<Batch> batches;
};

struct frmHistory::Computed {
    std::string name;
    std::uint64_t identity = 0;
    std::optional<double> topPercent;
};

frmHistory::frmHistory(QString folder, Dialogs& dialogs, std::function<QString()> busyPath,
                       std::function<void(const QString&)> open)
    : QWidget(nullptr, Qt::Window), m_folder(QDir::cleanPath(folder)), m_dialogs(dialogs),
      m_busyPath(std::move(busyPath)), m_open(std::move(open)) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("練習の記録 - ") + QString::fromUtf8(kAppTitle));
    setFont(gothicFont(9));

    m_table = new PracticeTable(this);
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("practiceList"));
    m_list->setAccessibleName(QStringLiteral("練習の記録"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setItemsExpandable(false);
    m_list->setModel(m_table);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The numbers stay by their captions rather than the last running to the edge.
    m_list->header()->setStretchLastSection(false);
    m_list->setMinimumSize(440, 160);
    connect(m_list, &QTreeView::activated, this, &frmHistory::cmdOpen_Click);

    m_openButton = new QPushButton(QStringLiteral("開く(&O)"), this);
    m_openButton->setObjectName(QStringLiteral("cmdOpen"));
    m_saveButton = new QPushButton(QStringLiteral("別の場所に保存(&S)…"), this);
    m_saveButton->setObjectName(QStringLiteral("cmdSaveCopy"));
    m_deleteButton = new QPushButton(QStringLiteral("削除(&D)"), this);
    m_deleteButton->setObjectName(QStringLiteral("cmdDelete"));
    connect(m_openButton, &QPushButton::clicked, this, &frmHistory::cmdOpen_Click);
    connect(m_saveButton, &QPushButton::clicked, this, &frmHistory::cmdSaveCopy_Click);
    connect(m_deleteButton, &QPushButton::clicked, this, &frmHistory::cmdDelete_Click);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmHistory::followSelection);

    m_chart = new QChartView(new QChart, this);
    m_chart->setObjectName(QStringLiteral("progressChart"));
    m_chart->setRenderHint(QPainter::Antialiasing);
    m_chart->setMinimumSize(440, 220);

    // The exercises' attempts, one card at a time: their rows and scores.
    m_cardFilter = new QComboBox(this);
    m_cardFilter->setObjectName(QStringLiteral("cardFilter"));
    m_cardFilter->setAccessibleName(QStringLiteral("課題"));
    m_cardFilter->addItem(QStringLiteral("すべて"));
    m_cardFilter->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(m_cardFilter, &QComboBox::currentIndexChanged, this,
            [this](int index) { showCard(index > 0 ? m_cardFilter->itemText(index) : QString()); });
    auto* cardLabel = new QLabel(QStringLiteral("課題(&K):"), this);
    cardLabel->setBuddy(m_cardFilter);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cardLabel);
    buttons->addWidget(m_cardFilter);
    buttons->addStretch();
    buttons->addWidget(m_openButton);
    buttons->addWidget(m_saveButton);
    buttons->addWidget(m_deleteButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_chart, 1);

    resize(kPreferredSize);
    refresh();
    followSelection();
}

frmHistory::frmHistory(const PracticeController& practice, Dialogs& dialogs,
                       std::function<void(const QString&)> open)
    : frmHistory(
          practice.historyFolder(), dialogs, [&practice] { return practice.currentPath(); },
          std::move(open)) {
    connect(&practice, &PracticeController::practiceKept, this, [this](const QString& path) {
        if (isVisible())
            practiceKept(path);
    });
    // The practice under way has another file once it is replaced or goes back.
    const auto refreshShown = [this] {
        if (isVisible())
            refresh();
    };
    connect(&practice, &PracticeController::practiceReplaced, this, refreshShown);
    connect(&practice, &PracticeController::practiceRewound, this, refreshShown);
}

frmHistory::~frmHistory() {
    // The workers stop at their next check; their futures go with their
    // watchers, which never wait.
    *m_closing = true;
    if (m_listing)
        m_listing->future().cancel();
}

const std::vector<ListedPractice>& frmHistory::practices() const {
    return m_table->rows;
}

QString frmHistory::busyPath() const {
    const QString busy = m_busyPath();
    return busy.isEmpty() ? busy : QDir::cleanPath(busy);
}

void frmHistory::refresh() {
    const QString selected = selectedPath();
    m_reselect = selected.toStdString();
    m_scrolled = m_list->verticalScrollBar()->value();
    if (m_listing) {
        m_listing->future().cancel();
        m_listing->disconnect(this);
        m_listing->deleteLater();
        m_listing = nullptr;
        --m_readers;
    }
    m_table->busy = busyPath().toStdString();
    m_table->reset();
    showChart();
    read({}, true);
}

void frmHistory::practiceKept(const QString& path) {
    m_table->busy = busyPath().toStdString();
    read({QFileInfo(path).fileName().toStdString()}, false);
}

// A whole listing reads the folder's names and its index itself; a single
// read takes the names given.
void frmHistory::read(std::vector<std::string> names, bool whole) {
    const QString folder = m_folder;
    auto* watcher = new QFutureWatcher<void>(this);
    const auto inbox = std::make_shared<Inbox>();
    if (whole)
        m_listing = watcher;
    ++m_readers;
    connect(watcher, &QFutureWatcher<void>::progressValueChanged, this,
            [this, inbox, whole] { drain(*inbox, whole); });
    connect(watcher, &QFutureWatcher<void>::finished, this, [this, watcher, inbox, whole] {
        drain(*inbox, whole);
        watcher->deleteLater();
        --m_readers;
        if (whole) {
            m_listing = nullptr;
            m_list->verticalScrollBar()->setValue(m_scrolled);
        }
        showChart();
        computeNextChance();
    });
    const std::shared_ptr<std::atomic<bool>> closing = m_closing;
    watcher->setFuture(QtConcurrent::run(
        [folder, whole, closing, inbox](QPromise<void>& promise, std::vector<std::string> names) {
            promise.setProgressRange(0, std::numeric_limits<int>::max());
            int handed = 0;
            const auto hand = [&](Batch batch) {
                {
                    const std::lock_guard<std::mutex> lock(inbox->mutex);
                    inbox->batches.push_back(std::move(batch));
                }
                promise.setProgressValue(++handed);
            };
            Batch batch;
            if (whole) {
                batch.top = readTopPercents(folder.toStdString());
                names = practiceFileNames(folder.toStdString());
                batch.expected = names.size();
            }
            QElapsedTimer since;
            since.start();
            for (const std::string& name : names) {
                if (promise.isCanceled() || *closing)
                    return;
                ListedPractice practice = readListedPractice(pathIn(folder, name));
                // The mark has served (own says it): no need to hold it.
                if (practice.summary)
                    practice.summary->keptAs = std::string();
                batch.rows.push_back(std::move(practice));
                if (batch.rows.size() >= kBatchRows || since.elapsed() >= kBatchMs) {
                    hand(std::move(batch));
                    batch = Batch();
                    since.restart();
                }
            }
            hand(std::move(batch));
        },
        std::move(names)));
}

void frmHistory::drain(Inbox& inbox, bool whole) {
    std::deque<Batch> batches;
    {
        const std::lock_guard<std::mutex> lock(inbox.mutex);
        batches.swap(inbox.batches);
    }
    for (Batch& batch : batches)
        take(std::move(batch), whole);
}

void frmHistory::take(Batch batch, bool whole) {
    m_table->rows.reserve(m_table->rows.size() + batch.expected);
    if (batch.top) {
        // Written only where practices are kept and the index is its own.
        m_indexWritable = !m_busyPath().isEmpty() && batch.top->has_value();
        if (*batch.top)
            for (auto& [name, value] : **batch.top)
                m_top.insert_or_assign(name, value);
    }
    for (ListedPractice& practice : batch.rows) {
        const auto known = m_top.find(practice.name);
        if (practice.summary && !practice.summary->topPercent && known != m_top.end() &&
            known->second.identity == practice.identity)
            practice.summary->topPercent = known->second.topPercent;
    }
    // Each card that has an attempt, in the filter once, in the titles' order.
    for (const ListedPractice& practice : batch.rows) {
        if (!practice.summary || !practice.summary->attempt)
            continue;
        const auto [at, added] = m_titles.insert(practice.summary->attempt->title);
        if (added)
            m_cardFilter->insertItem(1 + static_cast<int>(std::distance(m_titles.begin(), at)),
                                     QString::fromStdString(*at));
    }
    std::vector<ListedPractice> fresh;
    for (ListedPractice& practice : batch.rows) {
        const int row = m_table->find(practice.name);
        if (row >= 0) {
            // Read again (the practice under way): in place.
            m_table->replace(row, std::move(practice));
        } else if (whole) {
            fresh.push_back(std::move(practice));
        } else {
            // New in the folder: where its name puts it.
            const bool summarised = practice.summary.has_value();
            const int position = m_table->insert(std::move(practice));
            if (!summarised)
                m_list->setFirstColumnSpanned(position, {}, true);
            filterRows(position);
        }
    }

    const int first = m_table->rowCount();
    m_table->append(fresh);
    filterRows(first);
    for (int row = first; row < m_table->rowCount(); ++row) {
        const ListedPractice& practice = m_table->rows[static_cast<std::size_t>(row)];
        if (!practice.summary)
            m_list->setFirstColumnSpanned(row, {}, true);
        if (!m_reselect.empty() && practice.path == m_reselect) {
            m_list->setCurrentIndex(m_table->index(row, 0));
            m_reselect.clear();
        }
    }
}

int frmHistory::selectedRow() const {
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

QString frmHistory::selectedPath() const {
    const int row = selectedRow();
    return row < 0 ? QString()
                   : QString::fromStdString(m_table->rows[static_cast<std::size_t>(row)].path);
}

void frmHistory::followSelection() {
    const int row = selectedRow();
    for (QPushButton* button : {m_openButton, m_saveButton})
        button->setEnabled(row >= 0);
    // Only Vantrel's own files, and never the practice under way (written
    // again at its next save).
    m_deleteButton->setEnabled(row >= 0 && m_table->rows[static_cast<std::size_t>(row)].own &&
                               m_table->rows[static_cast<std::size_t>(row)].path != m_table->busy);
}

void frmHistory::showCard(const QString& title) {
    m_card = title.toStdString();
    const int index = title.isEmpty() ? 0 : m_cardFilter->findText(title);
    if (index >= 0 && m_cardFilter->currentIndex() != index)
        m_cardFilter->setCurrentIndex(index); // and back here
    filterRows(0);
    if (selectedRow() >= 0 && m_list->isRowHidden(selectedRow(), {}))
        m_list->clearSelection();
    showChart();
}

void frmHistory::filterRows(int first) {
    // With every practice shown no row was hidden since: nothing to undo
    // for rows just read.
    if (m_card.empty() && first > 0)
        return;
    for (int row = first; row < m_table->rowCount(); ++row) {
        const auto& s = m_table->rows[static_cast<std::size_t>(row)].summary;
        const bool hidden = !m_card.empty() && !(s && s->attempt && s->attempt->title == m_card);
        if (m_list->isRowHidden(row, {}) != hidden)
            m_list->setRowHidden(row, {}, hidden);
    }
}

// One card's scores over time, oldest on the left, and its pass mark as a
// line across them.
void frmHistory::showScores(QChart* chart) {
    chart->setTitle(QStringLiteral("課題「%1」の得点").arg(QString::fromStdString(m_card)));
    QList<QPointF> points;
    const AttemptSummary* last = nullptr;
    for (const ListedPractice& practice : m_table->rows) {
        const auto& s = practice.summary;
        if (!s || !s->startedMs || !s->attempt || s->attempt->title != m_card || !s->attempt->score)
            continue;
        points.append({static_cast<qreal>(s->startedMs), *s->attempt->score});
        if (!last)
            last = &*s->attempt; // the newest: its card's pass mark is the one drawn
    }
    std::sort(points.begin(), points.end(),
              [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    auto* time = new QDateTimeAxis;
    time->setTitleText(QStringLiteral("練習の日"));
    auto* value = new QValueAxis;
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(value, Qt::AlignLeft);
    if (points.isEmpty()) {
        chart->setTitle(chart->title() + QStringLiteral("（採点された試みがありません）"));
        time->setVisible(false);
        value->setVisible(false);
        return;
    }
    const QString unit = QString::fromStdString(last->unit);
    auto* scores = new QLineSeries;
    scores->setName(QStringLiteral("得点（%1）").arg(unit));
    scores->replace(points);
    scores->setPointsVisible(true);
    const qint64 first = static_cast<qint64>(points.front().x()) - 3600000;
    const qint64 end = static_cast<qint64>(points.back().x()) + 3600000;
    auto* pass = new QLineSeries;
    pass->setName(QStringLiteral("合格点（%1）").arg(unit));
    pass->append(static_cast<qreal>(first), last->passLine);
    pass->append(static_cast<qreal>(end), last->passLine);
    QPen dashed = pass->pen();
    dashed.setStyle(Qt::DashLine);
    pass->setPen(dashed);
    for (QLineSeries* series : {scores, pass}) {
        chart->addSeries(series);
        series->attachAxis(time);
        series->attachAxis(value);
    }
    time->setRange(QDateTime::fromMSecsSinceEpoch(first), QDateTime::fromMSecsSinceEpoch(end));
    const qint64 between = (end - first) / std::max(1, time->tickCount() - 1);
    time->setFormat(between < 86400000 ? QStringLiteral("MM/dd HH:mm") : QStringLiteral("MM/dd"));
    double lowest = last->passLine, highest = last->passLine;
    for (const QPointF& point : points) {
        lowest = std::min(lowest, point.y());
        highest = std::max(highest, point.y());
    }
    const double margin = std::max(1.0, (highest - lowest) * 0.1);
    value->setRange(lowest - margin, highest + margin);
    value->applyNiceNumbers();
    value->setTitleText(QStringLiteral("得点（%1）").arg(unit));
    // 上位 N% is better the smaller it is: better is higher here too.
    value->setReverse(last->kind == ExerciseKind::RoundTrips);
}

void frmHistory::showChart() {
    if (!m_card.empty()) {
        auto* chart = new QChart;
        showScores(chart);
        QChart* old = m_chart->chart();
        m_chart->setChart(chart);
        delete old;
        return;
    }
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("練習ごとの損益率と上位"));
    auto* rate = new QLineSeries;
    rate->setName(QStringLiteral("損益率（%）"));
    auto* top = new QLineSeries;
    top->setName(QStringLiteral("上位（%、小さいほど良い）"));
    // Oldest on the left: progress reads from left to right.
    QList<QPointF> rates, tops;
    for (auto it = m_table->rows.rbegin(); it != m_table->rows.rend(); ++it) {
        if (!it->summary || !it->summary->startedMs)
            continue;
        const auto when = static_cast<qreal>(it->summary->startedMs);
        rates.append({when, it->summary->profitRate});
        if (it->summary->topPercent)
            tops.append({when, *it->summary->topPercent});
    }
    // A chart a few hundred pixels wide shows no more than this many points:
    // beyond it each point is the mean of as many practices in a row.
    const auto thin = [](QList<QPointF>& points) {
        const qsizetype group = (points.size() + kChartPoints - 1) / kChartPoints;
        if (group <= 1)
            return;
        QList<QPointF> means;
        for (qsizetype first = 0; first < points.size(); first += group) {
            const qsizetype count = std::min(group, points.size() - first);
            QPointF sum;
            for (qsizetype i = first; i < first + count; ++i)
                sum += points[i];
            means.append(sum / static_cast<qreal>(count));
        }
        points.swap(means);
    };
    thin(rates);
    thin(tops);
    const auto [lowestPoint, highestPoint] =
        std::minmax_element(rates.begin(), rates.end(),
                            [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    const double lowest = rates.isEmpty() ? 0 : lowestPoint->y();
    const double highest = rates.isEmpty() ? 0 : highestPoint->y();
    rate->replace(rates);
    top->replace(tops);
    // A single practice is a point, not a line.
    rate->setPointsVisible(true);
    top->setPointsVisible(true);
    chart->addSeries(rate);
    chart->addSeries(top);
    auto* time = new QDateTimeAxis;
    time->setTitleText(QStringLiteral("練習の日"));
    auto* rateAxis = new QValueAxis;
    rateAxis->setTitleText(QStringLiteral("損益率（%）"));
    auto* topAxis = new QValueAxis;
    topAxis->setTitleText(QStringLiteral("上位（%）"));
    topAxis->setRange(0, 100);
    topAxis->setReverse(true); // better is higher on both
    if (rate->count() > 0) {
        qint64 first = static_cast<qint64>(rate->at(0).x());
        qint64 last = static_cast<qint64>(rate->at(rate->count() - 1).x());
        // An hour either side, so that one practice still has an axis.
        first -= 3600000;
        last += 3600000;
        time->setRange(QDateTime::fromMSecsSinceEpoch(first), QDateTime::fromMSecsSinceEpoch(last));
        // Ticks less than a day apart would repeat the day: the time too.
        const qint64 between = (last - first) / std::max(1, time->tickCount() - 1);
        time->setFormat(between < 86400000 ? QStringLiteral("MM/dd HH:mm")
                                           : QStringLiteral("MM/dd"));
        // Equal rates (or one practice) would give the axis no height.
        const double margin = highest > lowest ? 0 : std::max(1.0, std::fabs(highest) * 0.1);
        rateAxis->setRange(lowest - margin, highest + margin);
        rateAxis->applyNiceNumbers();
    } else {
        // Nothing to draw: said in words rather than with an empty day's ticks.
        chart->setTitle(reading() ? QStringLiteral("練習の記録を読んでいます…")
                                  : QStringLiteral("まだ練習の記録がありません"));
        for (QAbstractAxis* axis : std::initializer_list<QAbstractAxis*>{time, rateAxis, topAxis})
            axis->setVisible(false);
    }
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(rateAxis, Qt::AlignLeft);
    chart->addAxis(topAxis, Qt::AlignRight);
    for (QLineSeries* series : {rate, top})
        series->attachAxis(time);
    rate->attachAxis(rateAxis);
    top->attachAxis(topAxis);
    QChart* old = m_chart->chart();
    m_chart->setChart(chart);
    delete old;
}

void frmHistory::computeNextChance() {
    if (m_comparing || m_readers > 0)
        return;
    const std::string busy = m_table->busy;
    for (const ListedPractice& practice : m_table->rows) {
        const PracticeSummary* s = practice.summary ? &*practice.summary : nullptr;
        // Kept files only (a summary with counts), newest first; a single
        // fill is enough, its trip left open.
        if (!s || !s->fills || *s->fills == 0 || s->topPercent || practice.path == busy ||
            m_tried.count(practice.name))
            continue;
        m_tried.insert(practice.name);
        m_comparing = true;
        auto* watcher = new QFutureWatcher<Computed>(this);
        connect(watcher, &QFutureWatcher<Computed>::finished, this, [this, watcher] {
            watcher->deleteLater();
            m_comparing = false;
            chanceComputed(watcher->result());
        });
        const std::shared_ptr<std::atomic<bool>> closing = m_closing;
        const QString folder = m_folder;
        const bool store = m_indexWritable;
        watcher->setFuture(QtConcurrent::run([folder, store, closing, name = practice.name,
                                              path = practice.path, identity = practice.identity] {
            Computed computed{name, identity, std::nullopt};
            const PracticeFileRead file = readPracticeFile(path);
            // Changed since it was listed: its row is read again first.
            if (!file.read.record || file.identity != identity)
                return computed;
            const SessionStatistics analysis =
                analyseRecord(*file.read.record, {{}, closing.get()});
            if (!analysis.chance || *closing)
                return computed;
            computed.topPercent = analysis.chance->topPercent;
            if (store)
                storeTopPercent(folder, name, {identity, *computed.topPercent});
            return computed;
        }));
        return;
    }
}

void frmHistory::chanceComputed(const Computed& computed) {
    if (computed.topPercent) {
        m_top.insert_or_assign(computed.name, TopPercent{computed.identity, *computed.topPercent});
        const int row = m_table->find(computed.name);
        ListedPractice* practice =
            row < 0 ? nullptr : &m_table->rows[static_cast<std::size_t>(row)];
        if (practice && practice->summary && practice->identity == computed.identity) {
            practice->summary->topPercent = computed.topPercent;
            m_table->changed(row);
            showChart();
        }
    }
    computeNextChance();
}

void frmHistory::cmdOpen_Click() {
    const QString path = selectedPath();
    if (!path.isEmpty())
        m_open(path);
}

void frmHistory::cmdSaveCopy_Click() {
    const QString path = selectedPath();
    if (path.isEmpty())
        return;
    const QString target =
        m_dialogs.askSavePath(QStringLiteral("練習を別の場所に保存"), QFileInfo(path).fileName(),
                              QStringLiteral("練習ファイル (*.json)"), QStringLiteral("json"));
    if (target.isEmpty())
        return;
    // Read whole (a kept file is within the session file's limit; what is
    // opened is checked first, so nothing blocks), then written as every
    // save is: whole or not at all.
    std::optional<QString> problem;
    const FileBytes source = readFileBytes(path.toStdString());
    if (!source.bytes)
        problem =
            QStringLiteral("記録を読めません（%1）").arg(QString::fromStdString(source.error));
    else
        problem = writeFileAtomically(target, *source.bytes);
    if (problem)
        m_dialogs.ShowMessage("練習を保存できませんでした。\n" + target.toStdString() + "\n" +
                                  problem->toStdString(),
                              kAppTitle);
}

void frmHistory::cmdDelete_Click() {
    const int row = selectedRow();
    if (row < 0 || !m_table->rows[static_cast<std::size_t>(row)].own)
        return;
    const QString path = selectedPath();
    if (path.toStdString() == m_table->busy)
        return;
    if (!m_dialogs.confirm(
            QStringLiteral("この練習の記録を削除しますか？\n%1").arg(QFileInfo(path).fileName())))
        return;
    // To the trash where the system has one, so a slip can be undone there.
    if (!QFile::moveToTrash(path) && !QFile::remove(path)) {
        m_dialogs.ShowMessage("練習の記録を削除できませんでした。\n" + path.toStdString(),
                              kAppTitle);
        return;
    }
    // Its row alone goes; the rest of the list stands as it was read. (The
    // list may have changed while the question was asked.)
    const int at = m_table->find(QFileInfo(path).fileName().toStdString());
    if (at >= 0)
        m_table->remove(at);
    showChart();
}

} // namespace vantrel
