#include "ui/results/frmResults.h"

#include "practice/PracticeSession.h"
#include "results/ResultsText.h"
#include "orders/StockInfo.h"
#include "ui/common/Appearance.h"
#include "ui/common/AtomicFile.h"
#include "ui/common/Dialogs.h"
#include "ui/results/PriceChart.h"
#include "ui/results/TradeHistoryModel.h"

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

// A loss is written with its minus sign and drawn in this colour as well.
const QColor kLossColour(0xc0, 0x10, 0x10);

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
        grid->addWidget(new QLabel(QString::fromUtf8(table[i].caption), figures), row, 0);
        m_values[i] = new QLabel(figures);
        m_values[i]->setObjectName(QString::fromLatin1(table[i].labelName));
        m_values[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_values[i]->setMinimumWidth(110);
        grid->addWidget(m_values[i], row++, 1);
    }
    grid->setRowStretch(row, 1);

    const Ledger& ledger = session.ledger();
    m_chart = new PriceChart(session.prices(), ledger, this);
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
            palette.setColor(QPalette::WindowText, kLossColour);
        m_values[i]->setPalette(palette);
    }
    const Account& account = m_session.trader().account();
    m_wait->setText(QString::fromStdString(waitText(account, m_session.market().quotes())));

    const int rows = m_model->rowCount();
    m_model->sync();
    if (m_model->rowCount() > rows)
        m_table->scrollToBottom();

    const auto& order = account.order();
    m_chart->update(order ? std::optional<double>(order->price) : std::nullopt,
                    m_session.ledger().averageCost());
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
        QStringLiteral("取引履歴をCSVで保存"),
        QDir::home().filePath(QStringLiteral("取引履歴.csv")),
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
