#include "ui/frmResults.h"

#include "trading/ResultsText.h"
#include "trading/StockInfo.h"
#include "ui/Appearance.h"
#include "ui/AtomicFile.h"
#include "ui/Dialogs.h"
#include "ui/PriceChart.h"
#include "ui/TradeHistoryModel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace vantrel {
namespace {

// Object names of the figures' values, in the order figureLines gives them.
const char* const kValueNames[] = {"lblHeld",       "lblAverageCost", "lblLast",
                                   "lblUnrealised", "lblRealised",    "lblCommissions",
                                   "lblNet",        "lblAssets",      "lblRate"};

} // namespace

frmResults::frmResults(const Ledger& ledger, const PriceHistory& history, const Account& account,
                       Dialogs& dialogs)
    : QWidget(nullptr, Qt::Window), m_ledger(ledger), m_account(account), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmResults"));
    setWindowTitle(QStringLiteral("取引成績 - ") + QString::fromUtf8(kAppTitle));
    setFont(gothicFont(9));

    auto* figures = new QGroupBox(QStringLiteral("成績"), this);
    auto* grid = new QGridLayout(figures);
    const std::vector<FigureLine> lines = figureLines({});
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        const QString caption = QString::fromUtf8(lines[i].caption);
        grid->addWidget(new QLabel(caption, figures), static_cast<int>(i), 0);
        m_values[i] = new QLabel(figures);
        // Read out under its caption, not under the frame's title.
        m_values[i]->setAccessibleName(caption);
        m_values[i]->setObjectName(QString::fromLatin1(kValueNames[i]));
        m_values[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_values[i]->setMinimumWidth(110);
        grid->addWidget(m_values[i], static_cast<int>(i), 1);
    }
    grid->setRowStretch(static_cast<int>(m_values.size()), 1);

    m_chart = new PriceChart(history, ledger, this);
    m_chart->setMinimumSize(440, 260);

    auto* waitBox = new QGroupBox(QStringLiteral("約定状況"), this);
    m_wait = new QLabel(waitBox);
    m_wait->setObjectName(QStringLiteral("lblWait"));
    m_wait->setWordWrap(true);
    m_wait->setMinimumHeight(m_wait->fontMetrics().lineSpacing() * 2);
    (new QVBoxLayout(waitBox))->addWidget(m_wait);

    auto* historyBox = new QGroupBox(QStringLiteral("約定履歴"), this);
    m_model = new TradeHistoryModel(ledger, this);
    m_table = new QTableView(historyBox);
    m_table->setObjectName(QStringLiteral("tblHistory"));
    m_table->setModel(m_model);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setStretchLastSection(true);
    // Tab leaves the table for the save button rather than walking its cells.
    m_table->setTabKeyNavigation(false);
    QHeaderView* header = m_table->horizontalHeader();
    header->setMinimumSectionSize(0);
    // Every caption and the widest value of each column in sight at the
    // smallest width, one line a row, and at least a few rows.
    m_table->setWordWrap(false);
    const char* const widest[] = {"2024/12/31 23:59:59", "10:00:00",    "売",           "9,999円",
                                  "9,999,000",           "9,999,999円", "-9,999,999円", "99,999円"};
    int width = 2 * m_table->frameWidth() + m_table->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < m_model->columnCount(); ++column) {
        const int value =
            m_table->fontMetrics().horizontalAdvance(QString::fromUtf8(widest[column])) + 12;
        const int wanted = std::max(value, header->sectionSizeHint(column) + 8);
        m_table->setColumnWidth(column, wanted);
        width += wanted;
    }
    m_table->setMinimumSize(width, header->sizeHint().height() +
                                       4 * m_table->verticalHeader()->defaultSectionSize() +
                                       2 * m_table->frameWidth());
    auto* save = new QPushButton(QStringLiteral("CSVで保存…"), historyBox);
    save->setObjectName(QStringLiteral("cmdSaveCsv"));
    connect(save, &QPushButton::clicked, this, &frmResults::cmdSaveCsv_Click);
    auto* historyLayout = new QVBoxLayout(historyBox);
    historyLayout->addWidget(m_table);
    historyLayout->addWidget(save, 0, Qt::AlignRight);

    auto* top = new QHBoxLayout;
    top->addWidget(figures);
    top->addWidget(m_chart, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 3);
    layout->addWidget(waitBox);
    layout->addWidget(historyBox, 2);
    resize(kPreferredSize);
}

frmResults::~frmResults() = default;

void frmResults::refresh(const Quotes& quotes) {
    m_quotes = quotes;
    if (!isVisible())
        return;
    const Figures figures = computeFigures(m_ledger, m_account, quotes.dblNowPrice);
    const std::vector<FigureLine> lines = figureLines(figures);
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        m_values[i]->setText(QString::fromStdString(lines[i].value));
        if (lines[i].loss == m_loss[i])
            continue;
        m_loss[i] = lines[i].loss;
        QPalette palette = m_values[i]->parentWidget()->palette();
        if (m_loss[i])
            palette.setColor(QPalette::WindowText, lossColour());
        m_values[i]->setPalette(palette);
    }
    m_wait->setText(QString::fromStdString(waitText(m_account, quotes, m_paused)));

    const int rows = m_model->rowCount();
    m_model->sync();
    if (m_model->rowCount() > rows)
        m_table->scrollToBottom();

    // A market order's price is only the edge of the day's band; drawn, it
    // would squash the price line against a distant axis.
    const auto& order = m_account.order();
    m_chart->update(order && !order->atMarket ? std::optional<double>(order->price) : std::nullopt,
                    figures.averageCost);
}

void frmResults::setPaused(bool paused) {
    m_paused = paused;
    refresh(m_quotes);
}

void frmResults::reset() {
    m_model->sync();
    m_chart->reset();
    refresh(m_quotes);
}

void frmResults::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh(m_quotes);
}

void frmResults::cmdSaveCsv_Click() {
    const QString path = m_dialogs.askSavePath(
        QStringLiteral("取引履歴をCSVで保存"), QStringLiteral("取引履歴.csv"),
        QStringLiteral("CSV ファイル (*.csv);;すべてのファイル (*)"), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    const std::string csv = tradeHistoryCsv(m_ledger.fills(), [](const LedgerFill& fill) {
        return TradeHistoryModel::timeText(fill).toStdString();
    });
    if (const auto error = writeFileAtomically(path, csv))
        m_dialogs.ShowMessage("取引履歴を保存できませんでした。\n" + path.toStdString() + "\n" +
                                  error->toStdString(),
                              kAppTitle);
}

} // namespace vantrel
