#include "ui/frmResults.h"

#include "trading/ResultsText.h"
#include "trading/StockInfo.h"
#include "ui/Appearance.h"
#include "ui/AtomicFile.h"
#include "ui/Dialogs.h"
#include "ui/PriceChart.h"
#include "ui/TradeHistoryModel.h"

#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vantrel {
namespace {

// Object names of the figures' values, in the order figureLines gives them.
const char* const kValueNames[] = {"lblHeld",       "lblAverageCost", "lblLast",
                                   "lblUnrealised", "lblRealised",    "lblCommissions",
                                   "lblNet",        "lblAssets",      "lblRate"};

// A loss is written with its minus sign and drawn in this colour as well.
const QColor kLossColour(0xc0, 0x10, 0x10);

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
        grid->addWidget(new QLabel(QString::fromUtf8(lines[i].caption), figures),
                        static_cast<int>(i), 0);
        m_values[i] = new QLabel(figures);
        m_values[i]->setObjectName(QString::fromLatin1(kValueNames[i]));
        m_values[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_values[i]->setMinimumWidth(110);
        grid->addWidget(m_values[i], static_cast<int>(i), 1);
    }
    grid->setRowStretch(static_cast<int>(m_values.size()), 1);

    m_chart = new PriceChart(history, ledger, this);
    m_chart->setMinimumSize(520, 300);

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
    m_table->setColumnWidth(0, 140);
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
    resize(900, 700);
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
            palette.setColor(QPalette::WindowText, kLossColour);
        m_values[i]->setPalette(palette);
    }
    m_wait->setText(QString::fromStdString(waitText(m_account, quotes)));

    const int rows = m_model->rowCount();
    m_model->sync();
    if (m_model->rowCount() > rows)
        m_table->scrollToBottom();

    const auto& order = m_account.order();
    m_chart->update(order ? std::optional<double>(order->price) : std::nullopt,
                    figures.averageCost);
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
        QStringLiteral("取引履歴をCSVで保存"),
        QDir::home().filePath(QStringLiteral("取引履歴.csv")),
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
