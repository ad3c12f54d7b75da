#include "ui/tape/frmTape.h"

#include "orders/StockInfo.h"
#include "practice/PracticeSession.h"
#include "results/ResultsText.h"
#include "ui/common/Appearance.h"
#include "ui/common/CaptionedValue.h"
#include "ui/practice/PracticeController.h"
#include "ui/tape/TapeDelegate.h"
#include "ui/tape/TapeModel.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace vantrel {

namespace {

QString volumeText(std::uint64_t shares) {
    return QString::fromStdString(groupedNumber(static_cast<double>(shares))) +
           QStringLiteral("株");
}

// No shares traded, no average: a dash rather than 0円.
QString vwapText(std::uint64_t shares, double vwap) {
    return shares == 0 ? QStringLiteral("—")
                       : QString::fromStdString(groupedNumber(vwap, 2)) + QStringLiteral("円");
}

} // namespace

frmTape::frmTape(const PracticeSession& session)
    : QWidget(nullptr, Qt::Window), m_session(session) {
    setObjectName(QStringLiteral("frmTape"));
    setWindowTitle(QStringLiteral("歩み値 - ") + QString::fromUtf8(kAppTitle));
    setFont(gothicFont(9));

    auto* totals = new QGroupBox(QStringLiteral("出来高とVWAP（市場全体）"), this);
    auto* grid = new QGridLayout(totals);
    const auto value = [&](const char* name, const QString& meaning, int row, int column) {
        auto* label = new QLabel(totals);
        label->setObjectName(QString::fromLatin1(name));
        showAsCaptionedValue(*label, meaning);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(label, row, column);
        return label;
    };
    grid->addWidget(new QLabel(QStringLiteral("出来高"), totals), 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("VWAP"), totals), 2, 0);
    grid->addWidget(new QLabel(QStringLiteral("開始から"), totals), 0, 1, Qt::AlignRight);
    grid->addWidget(new QLabel(QStringLiteral("直近5分"), totals), 0, 2, Qt::AlignRight);
    m_volume = value("lblVolume", QStringLiteral("開始からの出来高"), 1, 1);
    m_vwap = value("lblVwap", QStringLiteral("開始からのVWAP"), 2, 1);
    m_recentVolume = value("lblRecentVolume", QStringLiteral("直近5分の出来高"), 1, 2);
    m_recentVwap = value("lblRecentVwap", QStringLiteral("直近5分のVWAP"), 2, 2);

    m_model = new TapeModel(session, this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("tapeTable"));
    m_table->setModel(m_model);
    m_table->setItemDelegate(new TapeDelegate(m_table));
    m_table->verticalHeader()->hide();
    // Every row as tall as the next: the view then never measures rows, however
    // long the tape grows.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->setWordWrap(false);
    QHeaderView* header = m_table->horizontalHeader();
    header->setStretchLastSection(true);
    const char* const widest[] = {"10:00:00", "23:59:59", "600", "99,000", "↑買い（あなた）"};
    for (int column = 0; column < TapeModel::ColumnCount; ++column)
        m_table->setColumnWidth(column, std::max(m_table->fontMetrics().horizontalAdvance(
                                                     QString::fromUtf8(widest[column])) +
                                                     14,
                                                 header->sectionSizeHint(column)));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(totals);
    layout->addWidget(m_table, 1);
    resize(kPreferredSize);
}

frmTape::frmTape(PracticeController& practice, Dialogs& dialogs) : frmTape(practice.session()) {
    connect(&practice, &PracticeController::secondPassed, this, &frmTape::refresh);
    connect(&practice, &PracticeController::pressed, this, &frmTape::refresh);
    connect(&practice, &PracticeController::practiceReplaced, this, &frmTape::reset);
    connect(&practice, &PracticeController::practiceRewound, this, &frmTape::reset);
    auto* rewind = new QAction(QStringLiteral("ここからやり直す"), m_table);
    rewind->setObjectName(QStringLiteral("actTapeRewind"));
    connect(rewind, &QAction::triggered, this, [this, &practice, &dialogs] {
        const QModelIndex current = m_table->currentIndex();
        if (current.isValid())
            practice.askToGoBack(m_model->secondAt(current.row()), dialogs);
    });
    m_table->addAction(rewind);
    m_table->setContextMenuPolicy(Qt::ActionsContextMenu);
}

frmTape::~frmTape() = default;

void frmTape::refresh() {
    if (!isVisible())
        return;
    const Tape& tape = m_session.market().tape();
    m_volume->setText(volumeText(tape.volume()));
    m_vwap->setText(vwapText(tape.volume(), tape.vwap()));
    m_recentVolume->setText(volumeText(tape.recentVolume()));
    m_recentVwap->setText(vwapText(tape.recentVolume(), tape.recentVwap()));
    // New lines come in on top; the lines the user scrolled down to read stay
    // where they are, and at the top the newest stays in sight.
    QScrollBar* scroll = m_table->verticalScrollBar();
    const int kept = scroll->value();
    const int added = m_model->sync();
    if (added > 0 && kept > 0)
        scroll->setValue(kept + added);
}

void frmTape::reset() {
    m_model->reset();
    refresh();
}

void frmTape::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

} // namespace vantrel
