#include "ui/mainwindow/frmMain.h"

#include "practice/SessionFile.h"
#include "orders/StockInfo.h"
#include "ui/common/AtomicFile.h"
#include "ui/common/Clock.h"
#include "ui/common/Dialogs.h"
#include "ui/mainwindow/MessageLog.h"
#include "ui/common/NumberText.h"
#include "ui/about/frmAbout.h"
#include "ui/results/frmResults.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include <vector>

namespace vantrel {

namespace {

QTimer* makeTimer(QObject* owner, const char* name) {
    auto* timer = new QTimer(owner);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(kSecondMilliseconds);
    return timer;
}

const QString kDiscardQuestion =
    QStringLiteral("保有株または注文中の注文があります。破棄して新しい練習を始めますか？");
constexpr const char* kBadMarketNumber = "市場番号は 1 から 9999 の整数で指定してください。";
const QString kSessionFilter = QStringLiteral("練習ファイル (*.json)");

} // namespace

frmMain::frmMain(const Clock& clock, Dialogs& dialogs, int marketNumber, QWidget* parent)
    : QMainWindow(parent), m_dialogs(dialogs) {
    m_ui.setupUi(*this, m_board);
    m_log = std::make_unique<MessageLog>(*m_ui.txtResponse, clock);
    m_session = std::make_unique<PracticeSession>(
        *m_log, dialogs, marketNumber, [&clock] { return clock.now().toMSecsSinceEpoch(); });

    m_timer1 = makeTimer(this, "Timer1");
    connect(m_timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    connect(m_ui.buy.placeButton, &QPushButton::clicked, this, &frmMain::cmdBuyNow_Click);
    connect(m_ui.sell.placeButton, &QPushButton::clicked, this, &frmMain::cmdSellNow_Click);
    connect(m_ui.cmdCancelOldest, &QPushButton::clicked, this, &frmMain::cmdCancelOldest_Click);
    connect(m_ui.MnuEnd, &QAction::triggered, this, &frmMain::MnuEnd_Click);
    connect(m_ui.MnuAbout, &QAction::triggered, this, &frmMain::MnuAbout_Click);
    connect(m_ui.MnuResults, &QAction::triggered, this, &frmMain::MnuResults_Click);
    connect(m_ui.MnuPause, &QAction::toggled, this, &frmMain::MnuPause_Click);
    connect(m_ui.MnuStep, &QAction::triggered, this, &frmMain::MnuStep_Click);
    connect(m_ui.speedChoices, &QActionGroup::triggered, this,
            [this](QAction* choice) { MnuSpeed_Click(choice->data().toInt()); });
    connect(m_ui.MnuNewPractice, &QAction::triggered, this, &frmMain::MnuNewPractice_Click);
    connect(m_ui.MnuTakeOver, &QAction::triggered, this, &frmMain::MnuTakeOver_Click);
    connect(m_ui.MnuSaveSession, &QAction::triggered, this, &frmMain::MnuSaveSession_Click);
    connect(m_ui.MnuOpenSession, &QAction::triggered, this, &frmMain::MnuOpenSession_Click);

    Form_Load();
}

// The About dialog has no owner, so it would outlive the window otherwise.
frmMain::~frmMain() {
    delete m_about;
}

void frmMain::Form_Load() {
    m_ui.lblPower->setText(numberText(stock::kStartPower));
    m_ui.lblNowPrice->setText(numberText(Market::kStartPrice));
    m_ui.lblYesterdayPrice->setText(numberText(stock::kPreviousClose));
    m_ui.buy.priceKind->button(0)->setFocus();
    applyPace(); // starts the clock
}

void frmMain::Timer1_Timer() {
    m_session->step();
    refreshFromCore();
    if (m_ui.MnuTakeOver->isEnabled() || m_session->replaying())
        showState();
}

void frmMain::MnuPause_Click(bool paused) {
    m_pace.paused = paused;
    applyPace();
}

void frmMain::MnuStep_Click() {
    if (m_pace.paused)
        Timer1_Timer();
}

void frmMain::MnuSpeed_Click(int speed) {
    m_pace.speed = speed;
    applyPace();
}

bool frmMain::mayDiscardPractice() {
    const Account& account = m_session->trader().account();
    return !(account.holdings() > 0 || account.hasPendingOrder()) ||
           m_dialogs.confirm(kDiscardQuestion);
}

void frmMain::MnuNewPractice_Click() {
    if (!mayDiscardPractice())
        return;
    const std::optional<QString> text = m_dialogs.askMarketNumber(m_session->marketNumber());
    if (!text)
        return;
    const std::optional<int> number = parseMarketNumber(text->toStdString());
    if (!number) {
        m_dialogs.ShowMessage(kBadMarketNumber, kAppTitle);
        return;
    }
    m_session->restart(*number);
    if (m_results)
        m_results->reset();
    // A fresh practice runs at once, at the speed chosen.
    m_pace.paused = false;
    {
        const QSignalBlocker quiet(m_ui.MnuPause);
        m_ui.MnuPause->setChecked(false);
    }
    applyPace();
    refreshFromCore();
}

void frmMain::MnuTakeOver_Click() {
    m_session->takeOver();
    showState();
}

void frmMain::MnuSaveSession_Click() {
    const QString path = m_dialogs.askSavePath(QStringLiteral("練習を保存"), QString(),
                                               kSessionFilter, QStringLiteral("json"));
    if (path.isEmpty())
        return;
    // A record beyond the file's limits is refused before anything is
    // written, so every file saved here opens again.
    const SessionFileWrite written = writeSessionFile(m_session->record());
    std::optional<QString> error;
    if (!written.text)
        error = QString::fromStdString(written.error);
    else
        error = writeFileAtomically(path, *written.text);
    if (error)
        m_dialogs.ShowMessage("練習を保存できませんでした。\n" + path.toStdString() + "\n" +
                                  error->toStdString(),
                              kAppTitle);
}

void frmMain::MnuOpenSession_Click() {
    // Opening replaces the practice under way, as a new practice does.
    if (!mayDiscardPractice())
        return;
    const QString path = m_dialogs.askOpenPath(QStringLiteral("練習を開く"), kSessionFilter);
    if (path.isEmpty())
        return;
    // The core opens the file itself: only an ordinary file, never read past
    // the size limit, its nesting bounded before anything is built, so even a
    // hostile file is refused in a fraction of a second.
    const SessionFileRead read = openSessionFile(path.toStdString());
    if (!read.record) {
        // The practice under way goes on as if nothing had been asked.
        m_dialogs.ShowMessage("練習を開けませんでした。\n" + path.toStdString() + "\n" + read.error,
                              kAppTitle);
        return;
    }
    m_session->startReplay(*read.record);
    if (m_results)
        m_results->reset();
    applyPace(); // the clock starts its second afresh, at the speed chosen
    refreshFromCore();
}

void frmMain::applyPace() {
    // One clock drives the tick and the execution event, so a market tick
    // comes before each execution event at every speed.
    m_timer1->stop();
    m_timer1->setInterval(m_pace.timerInterval());
    if (!m_pace.paused)
        m_timer1->start();
    m_ui.MnuStep->setEnabled(m_pace.paused);
    showState();
}

void frmMain::showState() {
    QString title = QString::fromUtf8(kAppTitle);
    const std::string state = practiceStateText(m_pace, m_session->marketNumber());
    if (!state.empty())
        title += QStringLiteral(" - ") + QString::fromStdString(state);
    if (m_session->replaying())
        title +=
            QStringLiteral(" - 再生中 %1/%2").arg(m_session->elapsed()).arg(m_session->replayEnd());
    setWindowTitle(title);
    m_ui.MnuTakeOver->setEnabled(m_session->replaying());
}

// While a saved session replays, only the file acts; the session ignores
// the buttons then.
void frmMain::cmdBuyNow_Click() {
    m_session->pressBuy(codeText(), readForm(m_ui.buy));
    refreshFromCore();
}

void frmMain::cmdSellNow_Click() {
    m_session->pressSell(codeText(), readForm(m_ui.sell));
    refreshFromCore();
}

void frmMain::cmdCancelOldest_Click() {
    m_session->pressCancel();
    refreshFromCore();
}

void frmMain::refreshFromCore() {
    m_board.setRows(m_session->market().boardRows());
    m_presenter.show(*m_session);
    if (m_results)
        m_results->refresh();
}

// The forms are read only when a button is pressed; an option group with
// nothing chosen reads as id -1, which the rules treat as no choice.
OrderForm frmMain::readForm(const OrderPane& pane) {
    OrderForm form;
    form.priceKind = static_cast<PriceKind>(pane.priceKind->checkedId());
    form.priceText = pane.priceBox->text().toStdString();
    form.quantityKind = static_cast<QuantityKind>(pane.quantityKind->checkedId());
    form.sharesText = pane.sharesBox->text().toStdString();
    form.yenText = pane.yenBox->text().toStdString();
    return form;
}

std::string frmMain::codeText() const {
    return m_ui.txtCode->text().toStdString();
}

void frmMain::MnuEnd_Click() {
    // Ends the event loop at once; main then tears everything down, the About
    // dialog included. Nothing is asked or saved.
    QCoreApplication::exit(0);
}

void frmMain::MnuAbout_Click() {
    if (!m_about)
        m_about = new frmAbout; // modeless and ownerless; it deletes itself on close
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void frmMain::MnuResults_Click() {
    // Built on first use, so neither it nor the chart costs anything at start-up.
    if (!m_results)
        m_results = std::make_unique<frmResults>(*m_session, m_dialogs);
    m_results->show();
    m_results->raise();
    m_results->activateWindow();
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}

void frmMain::Form_QueryUnload() {
    m_timer1->stop();
    // An open About dialog must not keep the program alive.
    QCoreApplication::exit(0);
}

} // namespace vantrel
