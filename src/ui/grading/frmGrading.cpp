#include "ui/grading/frmGrading.h"

#include "exercise/GradeTable.h"
#include "ui/common/Appearance.h"
#include "ui/common/AtomicFile.h"
#include "ui/common/ChanceHistogram.h"
#include "ui/common/dialogs/CardFile.h"
#include "ui/common/dialogs/Dialogs.h"
#include "ui/grading/ClassGradeModel.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent>

#include <algorithm>

namespace vantrel {

namespace {

constexpr int kPollMs = 100;

QPushButton* button(const QString& name, const QString& text, QWidget* parent) {
    auto* made = new QPushButton(text, parent);
    made->setObjectName(name);
    return made;
}

} // namespace

frmGrading::frmGrading(std::vector<ExerciseCard> builtIn, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), m_dialogs(dialogs), m_cards(std::move(builtIn)) {
    setObjectName(QStringLiteral("frmGrading"));
    setWindowTitle(QStringLiteral("クラスの採点"));
    setFont(gothicFont(9));

    auto* layout = new QVBoxLayout(this);
    auto* choices = new QGridLayout;
    auto* cardCaption = new QLabel(QStringLiteral("課題:"), this);
    choices->addWidget(cardCaption, 0, 0);
    m_card = new QComboBox(this);
    m_card->setObjectName(QStringLiteral("cboCard"));
    m_card->setAccessibleName(QStringLiteral("採点する課題"));
    cardCaption->setBuddy(m_card);
    for (std::size_t i = 0; i < m_cards.size(); ++i)
        m_card->addItem(QStringLiteral("%1 ").arg(i + 1) +
                        QString::fromStdString(m_cards[i].title));
    // No card is taken for granted: a folder graded against the wrong one
    // would be refused file by file.
    m_card->setPlaceholderText(QStringLiteral("課題を選んでください"));
    m_card->setCurrentIndex(-1);
    choices->addWidget(m_card, 0, 1);
    QPushButton* cardFile =
        button(QStringLiteral("cmdCardFile"), QStringLiteral("課題ファイル(&C)…"), this);
    choices->addWidget(cardFile, 0, 2);
    choices->addWidget(new QLabel(QStringLiteral("提出フォルダー:"), this), 1, 0);
    m_folderLine = new QLabel(QStringLiteral("（まだ選んでいません）"), this);
    m_folderLine->setObjectName(QStringLiteral("lblFolder"));
    m_folderLine->setAccessibleDescription(QStringLiteral("提出フォルダー"));
    m_folderLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_folderLine->setMinimumWidth(120);
    m_folderLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    choices->addWidget(m_folderLine, 1, 1);
    QPushButton* folder =
        button(QStringLiteral("cmdFolder"), QStringLiteral("フォルダーを選ぶ(&F)…"), this);
    choices->addWidget(folder, 1, 2);
    choices->setColumnStretch(1, 1);
    layout->addLayout(choices);

    auto* work = new QHBoxLayout;
    m_grade = button(QStringLiteral("cmdGrade"), QStringLiteral("採点する(&G)"), this);
    m_grade->setEnabled(false);
    m_stop = button(QStringLiteral("cmdStopGrading"), QStringLiteral("中止(&S)"), this);
    m_stop->setEnabled(false);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("gradeProgress"));
    m_progress->setAccessibleName(QStringLiteral("採点の進み具合"));
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_progress->hide();
    m_status = new QLabel(QStringLiteral("課題と提出フォルダーを選んでください。"), this);
    m_status->setObjectName(QStringLiteral("lblGradeStatus"));
    m_status->setAccessibleDescription(QStringLiteral("採点の結果"));
    m_status->setWordWrap(true);
    work->addWidget(m_grade);
    work->addWidget(m_stop);
    work->addWidget(m_progress);
    work->addWidget(m_status, 1);
    layout->addLayout(work);

    auto* split = new QSplitter(Qt::Vertical, this);
    m_model = new ClassGradeModel(this);
    m_view = new QTableView(split);
    m_view->setObjectName(QStringLiteral("gradeTable"));
    m_view->setAccessibleName(QStringLiteral("クラスの採点表"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    // One line a file: a long reason is cut with an ellipsis, whole in the
    // row's tip, rather than wrapped into a row too short to show it.
    m_view->setWordWrap(false);
    // A class is read down its rows: as many in sight as the text allows.
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->setTextElideMode(Qt::ElideRight);
    m_view->horizontalHeader()->setStretchLastSection(true);
    // One card at a time here: its title and a mean of one rank would only
    // repeat what the window already says (the CSV keeps both).
    m_view->setColumnHidden(GradeCard, true);
    m_view->setColumnHidden(GradeMeanRank, true);
    // The class's own order until a caption is clicked.
    m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_view->setSortingEnabled(true);
    auto* chartPane = new QWidget(split);
    auto* chartLayout = new QVBoxLayout(chartPane);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    m_chart = new ChanceHistogram(chartPane);
    m_chart->setObjectName(QStringLiteral("classChart"));
    m_chart->setAccessibleName(QStringLiteral("クラスの得点の分布"));
    m_chart->setMinimumHeight(160);
    // Empty axes say nothing: the chart shows once a class has scores.
    m_chart->hide();
    chartLayout->addWidget(m_chart);
    m_chartNote = new QLabel(chartPane);
    m_chartNote->setObjectName(QStringLiteral("lblChartNote"));
    m_chartNote->setAccessibleDescription(QStringLiteral("分布の説明"));
    m_chartNote->setWordWrap(true);
    chartLayout->addWidget(m_chartNote);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);

    auto* bottom = new QHBoxLayout;
    m_csv = button(QStringLiteral("cmdSaveCsv"), QStringLiteral("CSVで保存(&V)…"), this);
    m_csv->setEnabled(false);
    QPushButton* close = button(QStringLiteral("cmdClose"), QStringLiteral("閉じる"), this);
    bottom->addStretch();
    bottom->addWidget(m_csv);
    bottom->addWidget(close);
    layout->addLayout(bottom);

    m_work = new QFutureWatcher<std::vector<GradedAttempt>>(this);
    m_poll = new QTimer(this);
    m_poll->setInterval(kPollMs);
    connect(m_poll, &QTimer::timeout, this, &frmGrading::showProgress);
    connect(m_work, &QFutureWatcherBase::finished, this, &frmGrading::finished);
    connect(cardFile, &QPushButton::clicked, this, &frmGrading::askForCard);
    connect(folder, &QPushButton::clicked, this, &frmGrading::askForFolder);
    connect(m_card, qOverload<int>(&QComboBox::currentIndexChanged), this, &frmGrading::start);
    connect(m_grade, &QPushButton::clicked, this, &frmGrading::start);
    connect(m_stop, &QPushButton::clicked, this, &frmGrading::cancel);
    connect(m_csv, &QPushButton::clicked, this, &frmGrading::saveCsv);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

frmGrading::~frmGrading() {
    // The worker holds only copies and the shared job, yet nothing should
    // go on grading for a window that is gone: stop it, and wait for the
    // file in hand.
    cancel();
    m_work->waitForFinished();
}

void frmGrading::closeEvent(QCloseEvent* event) {
    m_again = false;
    cancel();
    QWidget::closeEvent(event);
}

bool frmGrading::grading() const {
    // Until its end is shown, not merely until the work stops.
    return m_job != nullptr;
}

const ExerciseCard* frmGrading::currentCard() const {
    const int index = m_card->currentIndex();
    return index >= 0 && index < static_cast<int>(m_cards.size())
               ? &m_cards[static_cast<std::size_t>(index)]
               : nullptr;
}

void frmGrading::chooseCard(const ExerciseCard& card) {
    // The same content as a card listed already is that card.
    const std::string written = writeExerciseCard(card);
    for (std::size_t i = 0; i < m_cards.size(); ++i)
        if (writeExerciseCard(m_cards[i]) == written) {
            if (m_card->currentIndex() == static_cast<int>(i))
                start();
            m_card->setCurrentIndex(static_cast<int>(i));
            return;
        }
    m_cards.push_back(card);
    m_card->addItem(QString::fromStdString(card.title) + QStringLiteral("（ファイル）"));
    m_card->setCurrentIndex(m_card->count() - 1);
}

void frmGrading::chooseFolder(const QString& folder) {
    m_folder = folder;
    m_folderLine->setText(QDir::toNativeSeparators(folder));
    m_folderLine->setToolTip(QDir::toNativeSeparators(folder));
    start();
}

void frmGrading::askForCard() {
    if (const std::optional<ExerciseCard> card = askForCardFile(m_dialogs))
        chooseCard(*card);
}

void frmGrading::askForFolder() {
    const QString folder = m_dialogs.askFolder(QStringLiteral("提出フォルダーを選ぶ"));
    if (!folder.isEmpty())
        chooseFolder(folder);
}

void frmGrading::start() {
    const ExerciseCard* card = currentCard();
    if (!card || m_folder.isEmpty()) {
        m_grade->setEnabled(false);
        return;
    }
    if (grading()) {
        // Grade again with what was chosen now, once this one has stopped.
        m_again = true;
        cancel();
        return;
    }
    m_job = std::make_shared<Job>();
    std::shared_ptr<Job> job = m_job;
    const ExerciseCard chosen = *card;
    const std::string folder = m_folder.toStdString();
    m_work->setFuture(QtConcurrent::run([job, chosen, folder] {
        ChanceProgress progress;
        // Reports come from every worker, not in order: the bar only grows.
        progress.report = [job](double fraction) {
            const int now = static_cast<int>(fraction * 1000);
            int shown = job->permille.load();
            while (now > shown && !job->permille.compare_exchange_weak(shown, now)) {
            }
        };
        progress.cancel = &job->cancel;
        return gradeClass({chosen}, handIns({folder}), 0, progress);
    }));
    m_grade->setEnabled(false);
    m_stop->setEnabled(true);
    m_csv->setEnabled(false);
    m_progress->setValue(0);
    m_progress->show();
    m_status->setText(QStringLiteral("採点しています…"));
    m_poll->start();
}

void frmGrading::cancel() {
    if (m_job)
        m_job->cancel = true;
}

void frmGrading::showProgress() {
    if (m_job)
        m_progress->setValue(m_job->permille.load());
}

void frmGrading::finished() {
    m_poll->stop();
    m_progress->hide();
    m_grade->setEnabled(currentCard() && !m_folder.isEmpty());
    m_stop->setEnabled(false);
    const bool cancelled = m_job && m_job->cancel.load();
    m_job.reset();
    if (m_again) {
        m_again = false;
        start();
        return;
    }
    if (cancelled) {
        m_status->setText(QStringLiteral("採点を中止しました。"));
        m_csv->setEnabled(!m_model->attempts().empty());
        return;
    }
    const ExerciseCard* card = currentCard();
    std::vector<GradedAttempt> attempts = m_work->result();
    m_model->setClass({card ? *card : ExerciseCard{}}, std::move(attempts));
    m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_view->resizeColumnsToContents();

    const std::vector<GradedAttempt>& shown = m_model->attempts();
    const auto count = [&shown](auto rule) {
        return static_cast<int>(std::count_if(shown.begin(), shown.end(), rule));
    };
    const int scored = count([](const GradedAttempt& a) { return a.graded(); });
    const int passed = count([](const GradedAttempt& a) { return a.graded() && a.passed; });
    const int copies = count([](const GradedAttempt& a) { return a.samePressesAs.has_value(); });
    if (shown.empty())
        m_status->setText(QStringLiteral("このフォルダーには課題の記録（.json）がありません。"));
    else
        m_status->setText(QStringLiteral("%1 件を採点しました（合格 %2 件、同じ操作の重複 %3 件）。"
                                         "受け付けなかったファイル: %4 件。")
                              .arg(scored)
                              .arg(passed)
                              .arg(copies)
                              .arg(static_cast<int>(shown.size()) - scored));
    m_csv->setEnabled(!shown.empty());

    const ClassHistogram histogram = classHistogram(shown, 0);
    m_chart->setVisible(!histogram.bins.empty());
    if (histogram.bins.empty()) {
        m_chart->clear();
        m_chartNote->setText(QStringLiteral("得点のついた記録がありません。"));
    } else {
        m_chart->setValue(QStringLiteral("得点"), QString::fromStdString(histogram.unit));
        m_chart->showCrowd(histogram.bins, QStringLiteral("クラスの%1件").arg(histogram.scored),
                           histogram.randomMedian, QStringLiteral("同じ課題を偶然で（中央値）"));
        m_chartNote->setText(
            histogram.randomMedian
                ? QStringLiteral("赤い線は、同じ課題をコンピューターが偶然の売買でしたときの"
                                 "得点の中央値です（%1）。重複は一度だけ数えます。")
                      .arg(QString::fromStdString(
                          gradeScoreText(*histogram.randomMedian, histogram.unit) + " " +
                          histogram.unit))
                : QStringLiteral("偶然の売買と比べられる記録がありません。"));
    }
    emit graded();
}

void frmGrading::saveCsv() {
    if (m_model->attempts().empty())
        return;
    const std::string title = m_model->cards().front().title;
    const QString path = m_dialogs.askSavePath(
        QStringLiteral("CSVで保存"),
        safeFileName(QString::fromStdString(title) + QStringLiteral("_採点")) +
            QStringLiteral(".csv"),
        QStringLiteral("CSV ファイル (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    if (const std::optional<QString> error =
            writeFileAtomically(path, gradeCsv(m_model->cards(), m_model->attempts())))
        m_dialogs.ShowMessage("CSVを保存できませんでした。\n" + path.toStdString() + "\n" +
                                  error->toStdString(),
                              "クラスの採点");
}

} // namespace vantrel
