#include "ui/history/frmHistory.h"

#include "history/PracticeSummary.h"
#include "orders/StockInfo.h"
#include "practice/SessionFile.h"
#include "practice/SessionStatistics.h"
#include "results/ResultsText.h"
#include "ui/common/Appearance.h"
#include "ui/common/AtomicFile.h"
#include "ui/common/Dialogs.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace vantrel {

namespace {

const QStringList kCaptions = {QStringLiteral("日時"),   QStringLiteral("市場"),
                               QStringLiteral("長さ"),   QStringLiteral("約定"),
                               QStringLiteral("往復"),   QStringLiteral("純損益"),
                               QStringLiteral("損益率"), QStringLiteral("上位")};
constexpr int kPathRole = Qt::UserRole;

QString countText(const std::optional<std::size_t>& count) {
    return count ? QString::number(*count) : QStringLiteral("—");
}

QString percentText(double value) {
    return QString::fromStdString(groupedNumber(value, 2)) + QStringLiteral("%");
}

// The kept file with 上位 N% in its summary: the file read strictly and
// replayed without a window, then compared with chance. Runs on a worker.
std::string withChance(const std::string& path, const std::atomic<bool>& cancel) {
    const SessionFileRead read = openSessionFile(path);
    const ListedPractice listed = readListedPractice(path);
    if (!read.record || !listed.summary)
        return {};
    const SessionStatistics analysis = analyseRecord(*read.record, {{}, &cancel});
    if (!analysis.chance)
        return {};
    PracticeSummary summary = *listed.summary;
    summary.topPercent = analysis.chance->topPercent;
    return writeKeptPractice(*read.record, summary).text.value_or(std::string());
}

// One row: the practice's summary, or its name and why it cannot be read.
void fillRow(QTreeWidgetItem& item, const ListedPractice& practice, bool underWay) {
    item.setData(0, kPathRole, QString::fromStdString(practice.path));
    if (!practice.summary) {
        // Listed, so the user sees it is there, but never opened from here.
        item.setText(0, QStringLiteral("%1 — 読めません（%2）")
                            .arg(QString::fromStdString(practice.name),
                                 QString::fromStdString(practice.error)));
        item.setFirstColumnSpanned(true);
        item.setFlags(item.flags() & ~Qt::ItemIsEnabled);
        return;
    }
    const PracticeSummary& s = *practice.summary;
    QString when = s.startedMs ? QDateTime::fromMSecsSinceEpoch(s.startedMs)
                                     .toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                               : QString::fromStdString(practice.name);
    if (underWay)
        when += QStringLiteral("（練習中）");
    const QStringList cells = {
        when,
        QString::number(s.market),
        QString::fromStdString(elapsedText(s.seconds)),
        countText(s.fills),
        countText(s.roundTrips),
        QString::fromStdString(yenText(s.netProfit)),
        percentText(s.profitRate),
        s.topPercent ? QStringLiteral("上位 %1%")
                           .arg(QString::fromStdString(groupedNumber(*s.topPercent, 1)))
                     : QStringLiteral("—")};
    for (int column = 0; column < cells.size(); ++column) {
        item.setText(column, cells[column]);
        if (column > 0)
            item.setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int column : {5, 6})
        item.setForeground(column, s.netProfit < 0 ? QBrush(lossColour()) : QBrush());
}

} // namespace

frmHistory::frmHistory(QString folder, Dialogs& dialogs, std::function<QString()> busyPath,
                       std::function<void(const QString&)> open)
    : QWidget(nullptr, Qt::Window), m_folder(std::move(folder)), m_dialogs(dialogs),
      m_busyPath(std::move(busyPath)), m_open(std::move(open)) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("練習の記録 - ") + QString::fromUtf8(kAppTitle));
    setFont(gothicFont(9));

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lvwPractices"));
    m_list->setAccessibleName(QStringLiteral("練習の記録"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels(kCaptions);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The numbers stay by their captions rather than the last running to the edge.
    m_list->header()->setStretchLastSection(false);
    m_list->setMinimumSize(440, 160);
    connect(m_list, &QTreeWidget::itemActivated, this, &frmHistory::cmdOpen_Click);

    m_openButton = new QPushButton(QStringLiteral("開く(&O)"), this);
    m_openButton->setObjectName(QStringLiteral("cmdOpen"));
    m_saveButton = new QPushButton(QStringLiteral("別の場所に保存(&S)…"), this);
    m_saveButton->setObjectName(QStringLiteral("cmdSaveCopy"));
    m_deleteButton = new QPushButton(QStringLiteral("削除(&D)"), this);
    m_deleteButton->setObjectName(QStringLiteral("cmdDelete"));
    connect(m_openButton, &QPushButton::clicked, this, &frmHistory::cmdOpen_Click);
    connect(m_saveButton, &QPushButton::clicked, this, &frmHistory::cmdSaveCopy_Click);
    connect(m_deleteButton, &QPushButton::clicked, this, &frmHistory::cmdDelete_Click);
    const auto followSelection = [this] {
        const QString path = selectedPath();
        for (QPushButton* button : {m_openButton, m_saveButton})
            button->setEnabled(!path.isEmpty());
        // The practice under way is written again on its next save.
        m_deleteButton->setEnabled(!path.isEmpty() && path != m_busyPath());
    };
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, followSelection);

    m_chart = new QChartView(new QChart, this);
    m_chart->setObjectName(QStringLiteral("chtProgress"));
    m_chart->setRenderHint(QPainter::Antialiasing);
    m_chart->setMinimumSize(440, 220);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_openButton);
    buttons->addWidget(m_saveButton);
    buttons->addWidget(m_deleteButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_chart, 1);

    connect(&m_chance, &QFutureWatcher<Computed>::finished, this, &frmHistory::chanceComputed);
    resize(kPreferredSize);
    refresh();
    followSelection();
}

frmHistory::~frmHistory() {
    m_cancel = true;
    m_chance.waitForFinished();
}

void frmHistory::refresh() {
    const QString selected = selectedPath();
    // The place in the list stays.
    const int scrolled = m_list->verticalScrollBar()->value();
    m_practices = listPractices(m_folder.toStdString());
    m_list->clear();
    const QString busy = m_busyPath();
    for (const ListedPractice& practice : m_practices) {
        const QString path = QString::fromStdString(practice.path);
        auto* item = new QTreeWidgetItem(m_list);
        fillRow(*item, practice, path == busy);
        if (path == selected)
            item->setSelected(true);
    }
    m_list->verticalScrollBar()->setValue(scrolled);
    showChart();
    computeNextChance();
}

void frmHistory::practiceKept(const QString& path) {
    for (std::size_t i = 0; i < m_practices.size(); ++i) {
        if (QString::fromStdString(m_practices[i].path) != path)
            continue;
        m_practices[i] = readListedPractice(m_practices[i].path);
        fillRow(*m_list->topLevelItem(static_cast<int>(i)), m_practices[i], true);
        showChart();
        return;
    }
    refresh(); // the practice's first file
}

QString frmHistory::selectedPath() const {
    const QList<QTreeWidgetItem*> items = m_list->selectedItems();
    return items.isEmpty() ? QString() : items.front()->data(0, kPathRole).toString();
}

void frmHistory::showChart() {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("練習ごとの損益率と上位"));
    auto* rate = new QLineSeries;
    rate->setName(QStringLiteral("損益率（%）"));
    auto* top = new QLineSeries;
    top->setName(QStringLiteral("上位（%、小さいほど良い）"));
    // Oldest on the left: progress reads from left to right.
    for (auto it = m_practices.rbegin(); it != m_practices.rend(); ++it) {
        if (!it->summary || !it->summary->startedMs)
            continue;
        const auto when = static_cast<qreal>(it->summary->startedMs);
        rate->append(when, it->summary->profitRate);
        if (it->summary->topPercent)
            top->append(when, *it->summary->topPercent);
    }
    // A single practice is a point, not a line.
    rate->setPointsVisible(true);
    top->setPointsVisible(true);
    chart->addSeries(rate);
    chart->addSeries(top);
    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("MM/dd"));
    time->setTitleText(QStringLiteral("練習の日"));
    if (rate->count() > 0) {
        const qreal first = rate->at(0).x(), last = rate->at(rate->count() - 1).x();
        // An hour either side, so that one practice still has an axis.
        time->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(first) - 3600000),
                       QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(last) + 3600000));
    }
    auto* rateAxis = new QValueAxis;
    rateAxis->setTitleText(QStringLiteral("損益率（%）"));
    auto* topAxis = new QValueAxis;
    topAxis->setTitleText(QStringLiteral("上位（%）"));
    topAxis->setRange(0, 100);
    topAxis->setReverse(true); // better is higher on both
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(rateAxis, Qt::AlignLeft);
    chart->addAxis(topAxis, Qt::AlignRight);
    for (QLineSeries* series : {rate, top})
        series->attachAxis(time);
    rate->attachAxis(rateAxis);
    top->attachAxis(topAxis);
    if (rate->count() > 0)
        rateAxis->applyNiceNumbers(); // over the range the series has set
    QChart* old = m_chart->chart();
    m_chart->setChart(chart);
    delete old;
}

void frmHistory::computeNextChance() {
    if (m_chance.isRunning())
        return;
    const QString busy = m_busyPath();
    for (const ListedPractice& practice : m_practices) {
        const QString path = QString::fromStdString(practice.path);
        const PracticeSummary* s = practice.summary ? &*practice.summary : nullptr;
        // Kept files only (a summary with counts), newest first.
        if (!s || !s->roundTrips || *s->roundTrips == 0 || s->topPercent || path == busy ||
            m_tried.count(path))
            continue;
        m_tried.insert(path);
        m_chance.setFuture(QtConcurrent::run([this, path] {
            return Computed{path, withChance(path.toStdString(), m_cancel)};
        }));
        return;
    }
}

void frmHistory::chanceComputed() {
    const Computed computed = m_chance.result();
    // Written only if the file is still there: it may have been deleted meanwhile.
    if (!computed.text.empty() && QFileInfo::exists(computed.path))
        writeFileAtomically(computed.path, computed.text);
    refresh();
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
    // Read whole (a kept file is within the session file's limit), then
    // written as every save is: whole or not at all.
    std::optional<QString> problem;
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly) || source.size() > qint64(kSessionFileMaxBytes))
        problem = QStringLiteral("記録を読めません");
    else
        problem = writeFileAtomically(target, source.readAll().toStdString());
    if (problem)
        m_dialogs.ShowMessage("練習を保存できませんでした。\n" + target.toStdString() + "\n" +
                                  problem->toStdString(),
                              kAppTitle);
}

void frmHistory::cmdDelete_Click() {
    const QString path = selectedPath();
    if (path.isEmpty() || path == m_busyPath())
        return;
    if (!m_dialogs.confirm(
            QStringLiteral("この練習の記録を削除しますか？\n%1").arg(QFileInfo(path).fileName())))
        return;
    // To the trash where the system has one, so a slip can be undone there.
    if (!QFile::moveToTrash(path) && !QFile::remove(path))
        m_dialogs.ShowMessage("練習の記録を削除できませんでした。\n" + path.toStdString(),
                              kAppTitle);
    refresh();
}

} // namespace vantrel
