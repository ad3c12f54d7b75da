#include "ui/results/frmResults.h"

#include "practice/PracticeSession.h"
#include "results/ResultsText.h"
#include "orders/StockInfo.h"
#include "ui/common/Appearance.h"
#include "ui/common/AtomicFile.h"
#include "ui/common/Dialogs.h"
#include "ui/results/PriceChart.h"
#include "ui/results/TradeHistoryModel.h"

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


} // namespace

frmResults::frmResults(const PracticeSession& session, Dialogs& dialogs)
    : QWidget(nullptr, Qt::Window), m_session(session), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmResults"));
    setWindowTitle(QStringLiteral("取引成績 - ") + QString::fromUtf8(kAppTitle));
    setFont(gothicFont(9));

    auto* figures = new QGroupBox(QStringLiteral("成績"), this);
    auto* grid = new QGridLayout(figures);
    const auto& table = figureTable();
    m_values.assign(table.size(), nullptr);
    m_loss.assign(table.size(), false);
    int row = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!table[i].shown())
            continue;
        const QString caption = QString::fromUtf8(table[i].caption);
        grid->addWidget(new QLabel(caption, figures), row, 0);
        m_values[i] = new QLabel(figures);
        // Read out under its caption, not under the frame's title.
        m_values[i]->setAccessibleName(caption);
        m_values[i]->setObjectName(QString::fromLatin1(table[i].labelName));
        m_values[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_values[i]->setMinimumWidth(110);
        grid->addWidget(m_values[i], row++, 1);
    }
    grid->setRowStretch(row, 1);

    const Ledger& ledger = session.ledger();
    m_chart = new PriceChart(session.prices(), ledger, this);
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

void frmResults::refresh() {
    if (!isVisible())
        return;
    const Figures figures = m_session.figures();
    const auto& table = figureTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!m_values[i])
            continue;
        const std::optional<double>& value = figures.values[i];
        m_values[i]->setText(QString::fromStdString(figureText(table[i], value)));
        const bool loss = isShownLoss(table[i], value);
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
}

void frmResults::setPaused(bool paused) {
    m_paused = paused;
    refresh();
}

void frmResults::reset() {
    m_model->sync();
    m_chart->reset();
    refresh();
}

void frmResults::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

void frmResults::cmdSaveCsv_Click() {
    const QString path = m_dialogs.askSavePath(
        QStringLiteral("取引履歴をCSVで保存"), QStringLiteral("取引履歴.csv"),
        QStringLiteral("CSV ファイル (*.csv);;すべてのファイル (*)"), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    const std::string csv = tradeHistoryCsv(m_session.ledger().fills(), [](const LedgerFill& fill) {
        return TradeHistoryModel::timeText(fill).toStdString();
    });
    if (const auto error = writeFileAtomically(path, csv))
        m_dialogs.ShowMessage("取引履歴を保存できませんでした。\n" + path.toStdString() + "\n" +
                                  error->toStdString(),
                              kAppTitle);
}

} // namespace vantrel
