#include "ui/results/frmResults.h"

#include "orders/StockInfo.h"
#include "practice/PracticeSession.h"
#include "practice/SessionReplay.h"
#include "results/ResultsText.h"
#include "results/RoundTrips.h"
#include "ui/common/Appearance.h"
#include "ui/common/AtomicFile.h"
#include "ui/common/CaptionedValue.h"
#include "ui/common/ChanceHistogram.h"
#include "ui/common/dialogs/Dialogs.h"
#include "ui/practice/PracticeController.h"
#include "ui/results/ExplanationLine.h"
#include "ui/results/PriceChart.h"
#include "ui/results/ResultLabels.h"
#include "ui/results/RoundTripModel.h"
#include "ui/results/TradeHistoryModel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPromise>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <atomic>

namespace vantrel {
namespace {

// What the comparison means and what it does not, for a beginner.
const char* const kChanceExplanation =
    "上位 N% は、同じ相場・同じ時間で、あなたと同じ株数・同じ回数の往復取引を"
    "でたらめなタイミングで行ったコンピューター（往復取引が250回までなら1000人）のうち、"
    "純損益があなたより多かった人の割合で、"
    "0% に近いほど良い成績です。"
    "上手な人と比べたものではなく、往復取引が数回だけなら運だけでも大きく変わるので、"
    "回数が増えるまでは当てにしないでください。";

// Headers sized to their captions and widest values, one line a row.
void fitColumns(QTableView& table, const std::vector<const char*>& widest) {
    QHeaderView* header = table.horizontalHeader();
    header->setMinimumSectionSize(0);
    table.setWordWrap(false);
    for (int column = 0; column < static_cast<int>(widest.size()); ++column)
        table.setColumnWidth(
            column, std::max(table.fontMetrics().horizontalAdvance(
                                 QString::fromUtf8(widest[static_cast<std::size_t>(column)])) +
                                 12,
                             header->sectionSizeHint(column) + 8));
}

// The comparison on a thread of the pool, on its own copy of the plan. The
// progress goes out through the promise (Qt queues it to the window's
// thread); the stop flag is the worker's to share, so a window that is gone
// costs the worker nothing but its next look at the flag, a millisecond away.
void compareOffThread(QPromise<std::optional<ChanceResult>>& promise, const ChancePlan& plan,
                      const std::shared_ptr<std::atomic<bool>>& cancel) {
    if (*cancel)
        return;
    promise.setProgressRange(0, kChanceTraders);
    ChanceProgress progress;
    progress.report = [&](double fraction) {
        promise.setProgressValue(static_cast<int>(fraction * kChanceTraders));
    };
    progress.cancel = cancel.get();
    std::optional<ChanceResult> result = compareWithChance(plan, progress);
    if (!*cancel)
        promise.addResult(std::move(result));
}

} // namespace

frmResults::frmResults(const PracticeSession& session, Dialogs& dialogs)
    : QWidget(nullptr, Qt::Window), m_session(session), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmResults"));
    setWindowTitle(QStringLiteral("取引成績 - ") + QString::fromUtf8(kAppTitle));
    setFont(gothicFont(9));

    auto* figures = new QGroupBox(QStringLiteral("成績"), this);
    auto* grid = new QGridLayout(figures);
    auto* figuresLine = new ExplanationLine(figures);
    figuresLine->setObjectName(QStringLiteral("lblFiguresExplanation"));
    const auto& table = figureTable();
    m_values.assign(table.size(), nullptr);
    m_loss.assign(table.size(), false);
    int row = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!table[i].shown())
            continue;
        const QString caption = QString::fromUtf8(table[i].info().caption);
        auto* captionLabel = new QLabel(caption, figures);
        grid->addWidget(captionLabel, row, 0);
        m_values[i] = new QLabel(figures);
        // Read out with its caption, not with the frame's title.
        figuresLine->explain(*captionLabel, *m_values[i], caption,
                             QString::fromUtf8(table[i].info().explanation));
        m_values[i]->setObjectName(QString::fromLatin1(resultLabelName(table[i].measure)));
        m_values[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_values[i]->setMinimumWidth(110);
        grid->addWidget(m_values[i], row++, 1);
    }
    grid->setRowStretch(row, 1);
    grid->addWidget(figuresLine, row + 1, 0, 1, 2);

    const Ledger& ledger = session.ledger();
    m_chart = new PriceChart(session.prices(), ledger, this);
    m_chart->setMinimumSize(440, 260);

    auto* waitBox = new QGroupBox(QStringLiteral("約定状況"), this);
    m_wait = new QLabel(waitBox);
    m_wait->setObjectName(QStringLiteral("lblWait"));
    m_wait->setWordWrap(true);
    m_wait->setMinimumHeight(m_wait->fontMetrics().lineSpacing() * 2);
    (new QVBoxLayout(waitBox))->addWidget(m_wait);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabResults"));
    m_tabs->addTab(historyPage(), QStringLiteral("約定履歴"));
    m_tabs->addTab(roundTripsPage(), QStringLiteral("往復取引"));
    m_tabs->addTab(statisticsPage(), QStringLiteral("統計"));
    m_tabs->addTab(chancePage(), QStringLiteral("運か実力か"));
    m_tabs->addTab(reviewPage(), QStringLiteral("振り返り"));
    connect(m_tabs, &QTabWidget::currentChanged, this, &frmResults::refreshTab);

    auto* top = new QHBoxLayout;
    top->addWidget(figures);
    top->addWidget(m_chart, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(rewindBar());
    layout->addWidget(waitBox);
    layout->addWidget(m_tabs, 1);
    resize(kPreferredSize);
    // It opens with the chart in focus; the figures, which can take the
    // focus too, take it only when clicked or tabbed to.
    m_chart->setFocus();

    connect(&m_chanceWatcher, &QFutureWatcherBase::progressValueChanged, m_chanceProgress,
            &QProgressBar::setValue);
    connect(&m_chanceWatcher, &QFutureWatcherBase::finished, this, &frmResults::chanceFinished);
    m_progressDelay.setSingleShot(true);
    m_progressDelay.setInterval(300);
    connect(&m_progressDelay, &QTimer::timeout, this, [this] {
        if (m_chanceRunning)
            m_chanceProgress->show();
    });
}

QWidget* frmResults::rewindBar() {
    m_rewindBar = new QWidget(this);
    auto* caption = new QLabel(QStringLiteral("やり直す時点"), m_rewindBar);
    m_rewindSlider = new QSlider(Qt::Horizontal, m_rewindBar);
    m_rewindSlider->setObjectName(QStringLiteral("sldRewind"));
    m_rewindSlider->setAccessibleName(QStringLiteral("やり直す時点（経過秒）"));
    m_rewindSlider->setRange(0, 0);
    m_rewindSecond = new QLabel(m_rewindBar);
    m_rewindSecond->setObjectName(QStringLiteral("lblRewindSecond"));
    m_rewindSecond->setMinimumWidth(
        m_rewindSecond->fontMetrics().horizontalAdvance(QStringLiteral("経過 999:59:59")) + 8);
    m_rewind = new QPushButton(QStringLiteral("ここからやり直す"), m_rewindBar);
    m_rewind->setObjectName(QStringLiteral("cmdRewind"));
    connect(m_rewindSlider, &QSlider::valueChanged, this, &frmResults::showRewindSecond);
    connect(m_rewind, &QPushButton::clicked, this, &frmResults::cmdRewind_Click);
    // A second clicked on the chart is the one to go back to; its menu goes
    // back at once.
    connect(m_chart, &PriceChart::secondClicked, m_rewindSlider,
            [this](std::uint64_t second) { m_rewindSlider->setValue(static_cast<int>(second)); });
    connect(m_chart, &PriceChart::secondMenuRequested, this,
            [this](std::uint64_t second, const QPoint& where) {
                if (!m_practice)
                    return;
                m_rewindSlider->setValue(static_cast<int>(second));
                auto* menu = new QMenu(this);
                menu->setAttribute(Qt::WA_DeleteOnClose);
                menu->addAction(m_rewind->text(), this, [this, second] { goBackTo(second); })
                    ->setEnabled(m_session.canGoBackTo(second));
                menu->popup(where);
            });
    // What would have happened from the second chosen, once the slider rests.
    m_whatIf = new QLabel(m_rewindBar);
    m_whatIf->setObjectName(QStringLiteral("lblWhatIf"));
    m_whatIf->setWordWrap(true);
    m_whatIf->hide();
    m_whatIfDelay.setSingleShot(true);
    m_whatIfDelay.setInterval(250);
    connect(&m_whatIfDelay, &QTimer::timeout, this, &frmResults::showWhatIf);
    connect(m_rewindSlider, &QSlider::valueChanged, &m_whatIfDelay, qOverload<>(&QTimer::start));
    auto* row = new QHBoxLayout;
    row->addWidget(caption);
    row->addWidget(m_rewindSlider, 1);
    row->addWidget(m_rewindSecond);
    row->addWidget(m_rewind);
    auto* bar = new QVBoxLayout(m_rewindBar);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addLayout(row);
    bar->addWidget(m_whatIf);
    // Only a practice the window follows can be taken back.
    m_rewindBar->hide();
    return m_rewindBar;
}

void frmResults::showRewindSecond() {
    const auto second = static_cast<std::uint64_t>(m_rewindSlider->value());
    m_rewindSecond->setText(QStringLiteral("経過 ") + QString::fromStdString(elapsedText(second)));
    m_rewind->setEnabled(second < m_session.elapsed() && m_session.canGoBackTo(second));
}

void frmResults::showWhatIf() {
    const auto second = static_cast<std::uint64_t>(m_rewindSlider->value());
    // Hidden while it has nothing to say, so it takes no room from the chart.
    m_whatIf->setVisible(second < m_session.elapsed());
    if (second >= m_session.elapsed()) {
        m_chart->showAssets({}, {});
        return;
    }
    const SessionRecord record = m_session.record();
    const Figures actual = m_session.figures();
    const WhatIf closed = replayWhatIf(record, WhatIfKind::Closed, second);
    m_whatIf->setText(QString::fromStdString(
        whatIfSentence(closed, actual) + "\n" +
        whatIfSentence(replayWhatIf(record, WhatIfKind::Held, second), actual)));
    showAssets(closed);
}

void frmResults::showAssets(const WhatIf& whatIf) {
    m_chart->showAssets(assetsPerSecond(m_session.ledger().fills(), m_session.prices()),
                        assetsPerSecond(whatIf.fills, m_session.prices()));
}

void frmResults::cmdRewind_Click() {
    goBackTo(static_cast<std::uint64_t>(m_rewindSlider->value()));
}

void frmResults::goBackTo(std::uint64_t second) {
    if (m_practice)
        m_practice->askToGoBack(second, m_dialogs);
}

QWidget* frmResults::historyPage() {
    // Made inside the window, so its controls measure with the window's font.
    auto* page = new QWidget(this);
    const Ledger& ledger = m_session.ledger();
    m_model = new TradeHistoryModel(ledger, this);
    m_table = new QTableView(page);
    m_table->setObjectName(QStringLiteral("historyTable"));
    m_table->setModel(m_model);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Tab leaves the table for the save button rather than walking its cells.
    m_table->setTabKeyNavigation(false);
    // Every caption and the widest value of each column in sight at the
    // smallest width, one line a row, and at least a few rows.
    fitColumns(*m_table, {"2024/12/31 23:59:59", "10:00:00", "売", "9,999円", "9,999,000",
                          "9,999,999円", "-9,999,999円", "99,999円"});
    int width = 2 * m_table->frameWidth() + m_table->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < m_model->columnCount(); ++column)
        width += m_table->columnWidth(column);
    m_table->setMinimumSize(width, m_table->horizontalHeader()->sizeHint().height() +
                                       4 * m_table->verticalHeader()->defaultSectionSize() +
                                       2 * m_table->frameWidth());
    auto* save = new QPushButton(QStringLiteral("CSVで保存…"), page);
    save->setObjectName(QStringLiteral("cmdSaveCsv"));
    connect(save, &QPushButton::clicked, this, &frmResults::cmdSaveCsv_Click);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_table);
    layout->addWidget(save, 0, Qt::AlignRight);
    return page;
}

QWidget* frmResults::roundTripsPage() {
    auto* page = new QWidget(this);
    m_tripModel = new RoundTripModel(this);
    m_tripTable = new QTableView(page);
    m_tripTable->setObjectName(QStringLiteral("roundTripTable"));
    m_tripTable->setModel(m_tripModel);
    m_tripTable->verticalHeader()->hide();
    m_tripTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tripTable->setTabKeyNavigation(false);
    fitColumns(*m_tripTable,
               {"999", "10:00:00", "10:00:00", "10:00:00", "9,999,000", "599.99円", "599.99円",
                "-999,999円", "99,999円", "-999,999円", "999,999円", "保有中"});
    auto* line = new ExplanationLine(page);
    line->setObjectName(QStringLiteral("lblTripsExplanation"));
    line->explainColumns(*m_tripTable);
    auto* save = new QPushButton(QStringLiteral("往復取引をCSVで保存…"), page);
    save->setObjectName(QStringLiteral("cmdSaveTripsCsv"));
    connect(save, &QPushButton::clicked, this, &frmResults::cmdSaveTripsCsv_Click);
    // The line beside the button, so the table keeps its height.
    auto* below = new QHBoxLayout;
    below->addWidget(line, 1);
    below->addWidget(save, 0, Qt::AlignRight | Qt::AlignTop);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_tripTable);
    layout->addLayout(below);
    return page;
}

void frmResults::addRows(QGridLayout& grid, const std::vector<MeasureRow>& rows, int column,
                         std::vector<QLabel*>& values, ExplanationLine& line) {
    QWidget* page = grid.parentWidget();
    const int first = static_cast<int>(values.size());
    // Two columns of rows when there are many, so they fit a short tab.
    const int perColumn =
        rows.size() > 7 ? static_cast<int>((rows.size() + 1) / 2) : static_cast<int>(rows.size());
    for (const MeasureRow& row : rows) {
        const int index = static_cast<int>(values.size()) - first;
        const int gridColumn = column + 2 * (index / perColumn);
        const QString caption = QString::fromUtf8(row.info().caption);
        auto* value = new QLabel(page);
        value->setObjectName(QString::fromLatin1(resultLabelName(row.measure)));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // Of fixed size, so a new value repaints the label alone: a label
        // whose size may change has the whole window laid out again, and
        // the statistics change every second.
        value->setFixedSize(
            value->fontMetrics().horizontalAdvance(QStringLiteral("-99,999,999円")) + 8,
            value->fontMetrics().height() + 2);
        auto* captionLabel = new QLabel(caption, page);
        line.explain(*captionLabel, *value, caption, QString::fromUtf8(row.info().explanation));
        grid.addWidget(captionLabel, index % perColumn, gridColumn);
        grid.addWidget(value, index % perColumn, gridColumn + 1);
        values.push_back(value);
    }
}

void frmResults::showRows(const std::vector<MeasureRow>& rows, const std::vector<QLabel*>& values) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        showValue(*values[i], measureText(rows[i]), isShownLoss(rows[i]));
}

void frmResults::showValue(QLabel& label, const std::string& text, bool loss) {
    label.setText(QString::fromStdString(text));
    // The palette is set only when the colour changes: setting it asks for
    // a repaint, and the statistics are shown every second.
    const QColor colour =
        loss ? lossColour() : label.parentWidget()->palette().color(QPalette::WindowText);
    if (label.palette().color(QPalette::WindowText) == colour)
        return;
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}

QWidget* frmResults::statisticsPage() {
    auto* page = new QWidget(this);
    // The grid is in the page before its rows are made, so they measure
    // with the page's font.
    auto* layout = new QVBoxLayout(page);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(2);
    auto* line = new ExplanationLine(page);
    line->setObjectName(QStringLiteral("lblStatisticsExplanation"));
    addRows(*grid, statisticRows(Statistics{}), 0, m_statistics, *line);
    grid->setColumnStretch(4, 1);
    layout->addWidget(line);
    layout->addStretch(1);
    return page;
}

QWidget* frmResults::chancePage() {
    auto* page = new QWidget(this);
    m_chanceStatus = new QLabel(page);
    m_chanceStatus->setObjectName(QStringLiteral("lblChanceStatus"));
    m_chanceStatus->setWordWrap(true);
    m_chanceProgress = new QProgressBar(page);
    m_chanceProgress->setObjectName(QStringLiteral("chanceProgress"));
    m_chanceProgress->setRange(0, kChanceTraders);
    m_chanceProgress->hide();

    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    m_learnerNet = new QLabel(page);
    m_learnerNet->setObjectName(QStringLiteral("lblLearnerNet"));
    showAsCaptionedValue(*m_learnerNet, QStringLiteral("あなたの純損益"));
    m_learnerNet->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(new QLabel(QStringLiteral("あなたの純損益"), page), 0, 0);
    grid->addWidget(m_learnerNet, 0, 1);
    auto* rows = new QGridLayout;
    rows->setVerticalSpacing(2);
    // What the comparison means, or what the figure pointed at does.
    auto* explanation = new ExplanationLine(page, QString::fromUtf8(kChanceExplanation));
    explanation->setObjectName(QStringLiteral("lblChanceExplanation"));
    addRows(*rows, chanceRows(std::nullopt), 0, m_chanceValues, *explanation);
    m_chanceRecompute = new QPushButton(QStringLiteral("今の時点で計算し直す"), page);
    m_chanceRecompute->setObjectName(QStringLiteral("cmdChanceRecompute"));
    m_chanceRecompute->setEnabled(false);
    connect(m_chanceRecompute, &QPushButton::clicked, this, &frmResults::startChance);

    auto* left = new QVBoxLayout;
    left->addWidget(m_chanceStatus);
    left->addWidget(m_chanceProgress);
    left->addLayout(grid);
    left->addLayout(rows);
    left->addStretch(1);
    left->addWidget(m_chanceRecompute, 0, Qt::AlignLeft);

    m_histogram = new ChanceHistogram(page);
    m_histogram->setMinimumSize(300, 150);

    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addWidget(m_histogram, 1);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addLayout(body, 1);
    layout->addWidget(explanation);
    return page;
}

QWidget* frmResults::reviewPage() {
    auto* page = new QWidget(this);
    m_reviewList = new QListWidget(page);
    m_reviewList->setObjectName(QStringLiteral("reviewList"));
    m_reviewList->setAccessibleName(QStringLiteral("振り返り"));
    // A review is a few sentences: each entry wraps to the list's width.
    m_reviewList->setWordWrap(true);
    m_reviewList->setResizeMode(QListView::Adjust);
    m_reviewList->setAlternatingRowColors(true);
    m_reviewList->setSpacing(2);
    m_reviewList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(m_reviewList);
    return page;
}

frmResults::~frmResults() {
    cancelChance();
}

void frmResults::refresh() {
    if (!isVisible())
        return;
    const Figures figures = m_session.figures();
    const auto& table = figureTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!m_values[i])
            continue;
        const MeasureRow row = figures.row(i);
        m_values[i]->setText(QString::fromStdString(measureText(row)));
        const bool loss = isShownLoss(row);
        if (loss == m_loss[i])
            continue;
        m_loss[i] = loss;
        QPalette palette = m_values[i]->parentWidget()->palette();
        if (loss)
            palette.setColor(QPalette::WindowText, lossColour());
        m_values[i]->setPalette(palette);
    }
    const Account& account = m_session.trader().account();
    m_wait->setText(
        QString::fromStdString(waitText(account, m_session.market().quotes(), m_paused)));

    const int rows = m_model->rowCount();
    m_model->sync();
    if (m_model->rowCount() > rows)
        m_table->scrollToBottom();

    // A market order's price is only the edge of the day's band; drawn, it
    // would squash the price line against a distant axis.
    const auto& order = account.order();
    m_chart->update(order && order->priceKind != PriceKind::Market
                        ? std::optional<double>(order->price)
                        : std::nullopt,
                    m_session.ledger().averageCost());
    // The slider spans the practice and, left at its end, stays there.
    const int end = static_cast<int>(m_session.elapsed());
    const bool atEnd = m_rewindSlider->value() == m_rewindSlider->maximum();
    {
        const QSignalBlocker quiet(m_rewindSlider);
        m_rewindSlider->setMaximum(end);
        if (atEnd)
            m_rewindSlider->setValue(end);
    }
    showRewindSecond();
    refreshTab();
}

frmResults::Moment frmResults::now() const {
    return {m_generation, m_session.ledger().fills().size(), m_session.elapsed()};
}

void frmResults::refreshTab() {
    if (!isVisible())
        return;
    switch (m_tabs->currentIndex()) {
    case kRoundTripsTab:
    case kStatisticsTab:
    case kReviewTab:
        refreshAnalysis();
        break;
    case kChanceTab:
        refreshChance();
        break;
    default:
        break;
    }
}

void frmResults::refreshAnalysis() {
    const Moment moment = now();
    if (m_analysed == moment)
        return;
    m_analysed = moment;
    const auto& fills = m_session.ledger().fills();
    std::vector<RoundTrip> trips = roundTrips(fills, m_session.prices());
    showRows(statisticRows(computeStatistics(trips, fills, m_session.prices())), m_statistics);
    const int rows = m_tripModel->rowCount();
    m_tripModel->set(std::move(trips));
    if (m_tripModel->rowCount() > rows)
        m_tripTable->scrollToBottom();
    showReviews(m_tripModel->trips());
}

void frmResults::showReviews(const std::vector<RoundTrip>& trips) {
    const Moment moment = now();
    if (m_reviewed && m_reviewed->generation == moment.generation &&
        m_reviewed->fills == moment.fills)
        return;
    m_reviewed = moment;
    const std::vector<TripReview> reviews = reviewTrips(trips, m_session.market().tape());
    m_tripModel->setReviews(reviews);
    m_reviewList->clear();
    for (const TripReview& review : reviews) {
        const RoundTrip& trip = trips[static_cast<std::size_t>(review.number - 1)];
        // The trip as its row in 往復取引 shows it, then its review.
        const QString heading = QStringLiteral("往復 %1（%2〜%3、損益 %4）")
                                    .arg(review.number)
                                    .arg(QString::fromStdString(elapsedText(trip.start)),
                                         QString::fromStdString(elapsedText(trip.end)),
                                         QString::fromStdString(yenText(trip.profit)));
        m_reviewList->addItem(heading + u'\n' + QString::fromStdString(review.text()));
    }
    m_reviewList->scrollToBottom();
}

void frmResults::refreshChance() {
    const Moment moment = now();
    if (!m_chanceMoment || m_chanceMoment->generation != moment.generation ||
        m_chanceMoment->fills != moment.fills) {
        startChance();
        return;
    }
    // Time passing moves the comparison only while a round trip is open.
    m_chanceRecompute->setEnabled(!m_chanceRunning && m_chanceSpanOpen &&
                                  m_chanceMoment->seconds != moment.seconds);
}

void frmResults::startChance() {
    cancelChance();
    m_chanceMoment = now();
    m_chanceRecompute->setEnabled(false);
    const std::vector<RoundTrip> trips = roundTrips(m_session.ledger().fills(), m_session.prices());
    const double net = m_session.figures()[Measure::NetProfit].value_or(0);
    if (trips.empty()) {
        showChance(std::nullopt);
        showValue(*m_learnerNet, yenText(net), isLoss(net));
        m_chanceStatus->setText(QStringLiteral(
            "往復取引がまだないので、比べられません。買うと、その往復取引から比べ始めます。"));
        return;
    }
    const int traders = chanceTraders(trips.size());
    if (traders == 0) {
        // Past the budget the comparison would take seconds; say why it is not made.
        showChance(std::nullopt);
        showValue(*m_learnerNet, yenText(net), isLoss(net));
        m_chanceStatus->setText(
            QStringLiteral("往復取引が %1回と多いので比べていません（比べるのは %2回まで）。")
                .arg(trips.size())
                .arg(kChanceTripBudget / kChanceMinTraders));
        return;
    }
    const ChancePlan plan = chancePlan(m_session.record(), m_chanceMoment->seconds, trips, net);
    m_chanceSpanEnd = plan.seconds;
    m_chanceSpanOpen = plan.lastOpen;
    m_chanceRunning = true;
    m_chanceStatus->setText(
        QStringLiteral("コンピューター%1人が同じ相場で売買しています…").arg(traders));
    m_chanceProgress->setValue(0);
    m_progressDelay.start();
    m_chanceCancel = std::make_shared<std::atomic<bool>>(false);
    m_chanceWatcher.setFuture(QtConcurrent::run(compareOffThread, plan, m_chanceCancel));
}

void frmResults::cancelChance() {
    m_progressDelay.stop();
    m_chanceProgress->hide();
    if (!m_chanceRunning)
        return;
    m_chanceRunning = false;
    // The worker stops within a millisecond of work; nothing here waits for
    // it, and its result, should one still come, is not looked at.
    *m_chanceCancel = true;
    m_chanceWatcher.cancel();
    m_chanceWatcher.setFuture(QFuture<std::optional<ChanceResult>>());
    m_chanceMoment.reset();
}

void frmResults::chanceFinished() {
    if (!m_chanceRunning || m_chanceWatcher.isCanceled() ||
        m_chanceWatcher.future().resultCount() == 0)
        return;
    m_chanceRunning = false;
    m_progressDelay.stop();
    m_chanceProgress->hide();
    showChance(m_chanceWatcher.result());
    m_chanceStatus->setText(QStringLiteral("経過 %1 までの売買で比べました。")
                                .arg(QString::fromStdString(elapsedText(m_chanceSpanEnd))));
    refreshChance();
}

void frmResults::showChance(const std::optional<ChanceResult>& result) {
    showRows(chanceRows(result), m_chanceValues);
    if (result) {
        // The learner's 純損益 as compared, which later seconds may have moved.
        showValue(*m_learnerNet, yenText(result->learnerNet), isLoss(result->learnerNet));
        m_histogram->show(*result);
    } else {
        m_histogram->clear();
    }
}

frmResults::frmResults(PracticeController& practice, Dialogs& dialogs)
    : frmResults(practice.session(), dialogs) {
    m_practice = &practice;
    m_paused = practice.pace().paused;
    m_rewindBar->show();
    // A fill's second, from the trade history's menu.
    auto* fillRewind = new QAction(m_rewind->text(), m_table);
    fillRewind->setObjectName(QStringLiteral("actFillRewind"));
    connect(fillRewind, &QAction::triggered, this, [this] {
        const QModelIndex current = m_table->currentIndex();
        const auto& fills = m_session.ledger().fills();
        if (current.isValid() && static_cast<std::size_t>(current.row()) < fills.size())
            goBackTo(fills[static_cast<std::size_t>(current.row())].time.second);
    });
    m_table->addAction(fillRewind);
    // What leaving out the sale behind a fill would have made of the practice.
    auto* withoutSale = new QAction(QStringLiteral("この売りをしなかったら"), m_table);
    withoutSale->setObjectName(QStringLiteral("actFillWhatIf"));
    connect(withoutSale, &QAction::triggered, this, [this] {
        const QModelIndex current = m_table->currentIndex();
        const auto& fills = m_session.ledger().fills();
        if (!current.isValid() || static_cast<std::size_t>(current.row()) >= fills.size() ||
            fills[static_cast<std::size_t>(current.row())].side != OrderSide::Sell)
            return;
        const std::uint64_t second = fills[static_cast<std::size_t>(current.row())].time.second;
        const WhatIf without = replayWhatIf(m_session.record(), WhatIfKind::WithoutSale, second);
        m_whatIf->setText(QString::fromStdString(whatIfSentence(without, m_session.figures())));
        m_whatIf->show();
        showAssets(without);
    });
    m_table->addAction(withoutSale);
    withoutSale->setEnabled(false);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, withoutSale,
            [this, withoutSale](const QModelIndex& current) {
                const auto& fills = m_session.ledger().fills();
                const auto row = static_cast<std::size_t>(current.row());
                withoutSale->setEnabled(current.isValid() && row < fills.size() &&
                                        fills[row].side == OrderSide::Sell);
            });
    m_table->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(&practice, &PracticeController::practiceRewound, this, [this](std::uint64_t second) {
        reset();
        m_rewindSlider->setValue(static_cast<int>(second));
    });
    connect(&practice, &PracticeController::secondPassed, this, &frmResults::refresh);
    connect(&practice, &PracticeController::pressed, this, &frmResults::refresh);
    connect(&practice, &PracticeController::practiceReplaced, this, &frmResults::reset);
    connect(&practice, &PracticeController::pausedChanged, this, &frmResults::setPaused);
}

void frmResults::setPaused(bool paused) {
    m_paused = paused;
    refresh();
}

void frmResults::reset() {
    ++m_generation;
    cancelChance();
    m_chanceMoment.reset();
    m_model->sync();
    m_chart->reset();
    // What would have happened belongs to the practice it was asked of.
    m_whatIf->hide();
    m_chart->showAssets({}, {});
    refresh();
}

void frmResults::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

void frmResults::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Closed, it shows nothing: the comparison starts afresh when it shows.
    cancelChance();
}

void frmResults::cmdSaveCsv_Click() {
    saveCsv(QStringLiteral("取引履歴"),
            tradeHistoryCsv(m_session.ledger().fills(), [](const LedgerFill& fill) {
                return TradeHistoryModel::timeText(fill).toStdString();
            }));
}

void frmResults::cmdSaveTripsCsv_Click() {
    saveCsv(QStringLiteral("往復取引"),
            roundTripCsv(roundTrips(m_session.ledger().fills(), m_session.prices())));
}

void frmResults::saveCsv(const QString& what, const std::string& csv) {
    const QString path = m_dialogs.askSavePath(
        what + QStringLiteral("をCSVで保存"), what + QStringLiteral(".csv"),
        QStringLiteral("CSV ファイル (*.csv);;すべてのファイル (*)"), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    if (const auto error = writeFileAtomically(path, csv))
        m_dialogs.ShowMessage(what.toStdString() + "を保存できませんでした。\n" +
                                  path.toStdString() + "\n" + error->toStdString(),
                              kAppTitle);
}

} // namespace vantrel
