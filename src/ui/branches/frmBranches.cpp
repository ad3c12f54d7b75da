#include "ui/branches/frmBranches.h"

#include "practice/SessionStatistics.h"
#include "results/ResultsText.h"
#include "results/RoundTrips.h"
#include "ui/common/dialogs/Dialogs.h"
#include "ui/practice/PracticeController.h"

#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent>

#include <utility>

namespace vantrel {

namespace {

enum Column { kLine, kLeftAt, kSeconds, kPresses, kNet, kTrips, kTop, kColumns };

// How long the line under way rests before its 上位 N% is computed: a second
// at normal speed is shorter, so a running practice is never compared.
constexpr int kRestMs = 1500;

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QString shown(Measure measure, std::optional<double> value) {
    return text(measureText({measure, value}));
}

QString computing() {
    return QStringLiteral("計算中…");
}

} // namespace

frmBranches::frmBranches(PracticeController& practice, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), m_practice(practice), m_dialogs(dialogs) {
    setWindowTitle(QStringLiteral("分岐"));
    setObjectName(QStringLiteral("frmBranches"));
    auto* layout = new QVBoxLayout(this);
    m_note = new QLabel(this);
    m_note->setWordWrap(true);
    layout->addWidget(m_note);
    m_table = new QTableWidget(0, kColumns, this);
    m_table->setObjectName(QStringLiteral("tblBranches"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("線"), QStringLiteral("分かれた経過"),
                                        QStringLiteral("終わりの経過"), QStringLiteral("操作数"),
                                        QStringLiteral("純損益"), QStringLiteral("往復取引数"),
                                        QStringLiteral("上位 N%")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(m_table);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_continue = new QPushButton(QStringLiteral("分岐を続ける(&C)"), this);
    m_continue->setObjectName(QStringLiteral("cmdContinueBranch"));
    buttons->addWidget(m_continue);
    layout->addLayout(buttons);
    m_branchWork = new Work(this);
    m_lineWork = new Work(this);
    m_lineRested = new QTimer(this);
    m_lineRested->setSingleShot(true);
    m_lineRested->setInterval(kRestMs);

    connect(m_continue, &QPushButton::clicked, this, &frmBranches::continueSelected);
    connect(m_table, &QTableWidget::itemDoubleClicked, this, &frmBranches::continueSelected);
    connect(m_table, &QTableWidget::itemSelectionChanged, this,
            [this] { m_continue->setEnabled(m_table->currentRow() > 0); });
    connect(m_lineRested, &QTimer::timeout, this, [this] {
        SessionRecord line = m_practice.session().record();
        line.branches.clear();
        compute(*m_lineWork, m_lineCancel, {std::move(line)}, 0);
    });
    // A branch is made by going back or continuing one; the practice
    // replaced has others.
    connect(&m_practice, &PracticeController::practiceRewound, this, &frmBranches::refresh);
    connect(&m_practice, &PracticeController::practiceReplaced, this, &frmBranches::refresh);
    connect(&m_practice, &PracticeController::secondPassed, this, &frmBranches::showLine);
    connect(&m_practice, &PracticeController::pressed, this, &frmBranches::showLine);
    refresh();
}

frmBranches::~frmBranches() {
    // The workers share nothing with the window but these flags.
    for (const auto& cancel : {m_branchCancel, m_lineCancel})
        if (cancel)
            *cancel = true;
}

void frmBranches::refresh() {
    const PracticeSession& session = m_practice.session();
    const std::vector<PracticeBranch>& branches = session.branches();
    m_note->setText(branches.empty()
                        ? QStringLiteral("分岐はまだありません。ここからやり直すと、元の続きが"
                                         "分岐として残ります。")
                        : QStringLiteral("分岐を選んで「分岐を続ける」を押すと、その続きから"
                                         "練習します。"));
    m_table->setRowCount(static_cast<int>(branches.size()) + 1);
    std::vector<SessionRecord> lines;
    for (std::size_t i = 0; i < branches.size(); ++i) {
        const PracticeBranch& branch = branches[i];
        const int row = static_cast<int>(i) + 1;
        const QString cells[kColumns] = {
            QStringLiteral("分岐 %1").arg(row),
            text(elapsedText(branch.leftAt)),
            text(elapsedText(branch.results.seconds)),
            QString::number(branch.actions.size()),
            shown(Measure::NetProfit, branch.results.figures[Measure::NetProfit]),
            computing(),
            computing()};
        for (int column = 0; column < kColumns; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column != kLine)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, column, item);
        }
        lines.push_back(session.branchRecord(i));
    }
    for (int column = 0; column < kColumns; ++column) {
        auto* item = new QTableWidgetItem(column == kLine     ? QStringLiteral("いまの練習")
                                          : column == kLeftAt ? QStringLiteral("—")
                                                              : QString());
        if (column != kLine)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_table->setItem(0, column, item);
    }
    m_table->setCurrentCell(-1, -1);
    m_continue->setEnabled(false);
    compute(*m_branchWork, m_branchCancel, std::move(lines), 1);
    showLine();
}

void frmBranches::showLine() {
    const PracticeSession& session = m_practice.session();
    m_table->item(0, kSeconds)->setText(text(elapsedText(session.elapsed())));
    m_table->item(0, kPresses)->setText(QString::number(session.actions().size()));
    m_table->item(0, kNet)->setText(
        shown(Measure::NetProfit, session.figures()[Measure::NetProfit]));
    const double trips =
        static_cast<double>(roundTrips(session.ledger().fills(), session.prices()).size());
    m_table->item(0, kTrips)->setText(shown(Measure::RoundTrips, trips));
    m_table->item(0, kTop)->setText(computing());
    if (m_lineCancel)
        *m_lineCancel = true;
    m_lineRested->start();
}

void frmBranches::compute(Work& work, std::shared_ptr<std::atomic<bool>>& cancel,
                          std::vector<SessionRecord> lines, int firstRow) {
    if (cancel)
        *cancel = true;
    cancel = std::make_shared<std::atomic<bool>>(false);
    disconnect(&work, &QFutureWatcherBase::finished, this, nullptr);
    connect(&work, &QFutureWatcherBase::finished, this, [this, &work, firstRow, cancel] {
        if (work.isCanceled() || *cancel)
            return;
        const std::vector<LineStatistics> statistics = work.result();
        for (std::size_t i = 0; i < statistics.size(); ++i) {
            const int row = firstRow + static_cast<int>(i);
            if (row >= m_table->rowCount())
                break;
            if (firstRow > 0)
                m_table->item(row, kTrips)
                    ->setText(shown(Measure::RoundTrips, statistics[i].roundTrips));
            m_table->item(row, kTop)->setText(
                shown(Measure::ChanceTopPercent, statistics[i].topPercent));
        }
    });
    work.setFuture(QtConcurrent::run([lines = std::move(lines), cancel] {
        std::vector<LineStatistics> statistics;
        for (const SessionRecord& line : lines) {
            if (*cancel)
                break;
            const SessionStatistics analysis = analyseRecord(line, {{}, cancel.get()});
            statistics.push_back({static_cast<double>(analysis.trips.size()),
                                  analysis.chance
                                      ? std::optional<double>(analysis.chance->topPercent)
                                      : std::nullopt});
        }
        return statistics;
    }));
}

void frmBranches::continueSelected() {
    const int row = m_table->currentRow();
    if (row > 0)
        m_practice.askToContinueBranch(static_cast<std::size_t>(row - 1), m_dialogs);
}

} // namespace vantrel
