#include "ui/mainwindow/frmMain.h"

#include "exercise/ExerciseAttempt.h"
#include "orders/StockInfo.h"
#include "practice/SessionFile.h"
#include "results/ResultsText.h"
#include "ui/about/frmAbout.h"
#include "ui/branches/frmBranches.h"
#include "ui/common/AtomicFile.h"
#include "ui/common/Clock.h"
#include "ui/common/NumberText.h"
#include "ui/common/WindowPlacement.h"
#include "ui/common/dialogs/Dialogs.h"
#include "ui/history/frmHistory.h"
#include "ui/keys/frmKeys.h"
#include "ui/mainwindow/ExerciseMenu.h"
#include "ui/mainwindow/MessageLog.h"
#include "ui/results/frmResults.h"
#include "ui/tape/frmTape.h"

#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeView>

#include <utility>
#include <vector>

namespace vantrel {

namespace {

const QString kDiscardForNew =
    QStringLiteral("保有株または注文中の注文があります。破棄して新しい練習を始めますか？");
const QString kDiscardForExercise =
    QStringLiteral("保有株または注文中の注文があります。破棄して課題を始めますか？");
const QString kDiscardForOpen =
    QStringLiteral("保有株または注文中の注文があります。破棄して練習ファイルを開きますか？");
constexpr const char* kBadMarketNumber = "市場番号は 1 から 9999 の整数で指定してください。";
const QString kSessionFilter = QStringLiteral("練習ファイル (*.json)");
const QString kStillPending = QStringLiteral("注文中の注文があるため、発注しませんでした。"
                                             "約定の待ち時間は、いま押した時から数え直しです。");
const QString kNothingHeld = QStringLiteral("保有株がないため、売り注文は出せませんでした。");
constexpr int kNoticeMilliseconds = 8000;
const QString kReplayingTip = QStringLiteral(
    "再生中は練習ファイルの操作だけが行われます。操作するには「練習を引き継ぐ」を選んでください。");

// Shows a recorded form in the pane's controls; an option group with no
// choice recorded shows none checked.
void showForm(const OrderPane& pane, const OrderForm& form) {
    const auto choose = [](QButtonGroup* group, int id) {
        if (QAbstractButton* button = group->button(id)) {
            button->setChecked(true);
        } else if (QAbstractButton* checked = group->checkedButton()) {
            group->setExclusive(false);
            checked->setChecked(false);
            group->setExclusive(true);
        }
    };
    choose(pane.priceKind, static_cast<int>(form.priceKind));
    pane.priceBox->setText(QString::fromStdString(form.priceText));
    choose(pane.quantityKind, static_cast<int>(form.quantityKind));
    pane.sharesBox->setText(QString::fromStdString(form.sharesText));
    pane.yenBox->setText(QString::fromStdString(form.yenText));
}

// The keys that are no action, for the key list; the actions list themselves.
std::vector<KeyNote> keyNotes() {
    const QString enter = QStringLiteral("Enter");
    return {{enter, QStringLiteral("買い"), QStringLiteral("買い単価・買い株数・円分の欄")},
            {enter, QStringLiteral("売り"), QStringLiteral("売り単価・売り株数・円分の欄")},
            {QStringLiteral("↑ ↓"), QStringLiteral("行を選ぶ"), QStringLiteral("板情報（選択中）")},
            {QStringLiteral("Tab / Shift+Tab"), QStringLiteral("次の欄へ / 前の欄へ"),
             QStringLiteral("どのウィンドウでも")},
            {QStringLiteral("Alt+下線の文字"), QStringLiteral("メニューを開く"),
             QStringLiteral("メインウィンドウ")},
            {QStringLiteral("Esc"), QStringLiteral("閉じる"),
             QStringLiteral("キー操作・Vantrel について")}};
}

} // namespace

frmMain::frmMain(const Clock& clock, Dialogs& dialogs, int marketNumber, QWidget* parent)
    : QMainWindow(parent), m_dialogs(dialogs) {
    m_ui.setupUi(*this, m_board);
    m_log = std::make_unique<MessageLog>(*m_ui.txtResponse, clock);
    m_practice = std::make_unique<PracticeController>(clock, *m_log, m_boxes, marketNumber, this);
    m_log->followSeconds([this] { return session().elapsed(); });
    connect(m_practice.get(), &PracticeController::secondPassed, this, &frmMain::secondPassed);
    connect(m_practice.get(), &PracticeController::pressed, this, &frmMain::pressed);
    connect(m_practice.get(), &PracticeController::practiceReplaced, this,
            &frmMain::practiceReplaced);
    connect(m_practice.get(), &PracticeController::paceChanged, this, &frmMain::paceChanged);
    connect(m_practice.get(), &PracticeController::practiceRewound, this,
            &frmMain::practiceRewound);
    connect(m_practice.get(), &PracticeController::branchContinued, this,
            [this](std::uint64_t parting) {
                // The line left logged its own presses from there.
                m_log->cutBackTo(parting > 0 ? parting - 1 : 0);
                m_branchContinued = true;
            });
    // The window's own note: a headless replay's log stays the recorded one.
    connect(m_practice.get(), &PracticeController::replayEnded, this, [this] {
        m_log->AddLog(QStringLiteral("再生が終わりました（%1秒）。ここから練習を続けられます。")
                          .arg(session().elapsed()));
    });
    connect(m_ui.buy.placeButton, &QPushButton::clicked, this, &frmMain::cmdBuyNow_Click);
    connect(m_ui.sell.placeButton, &QPushButton::clicked, this, &frmMain::cmdSellNow_Click);
    connect(m_ui.cmdCancelOldest, &QPushButton::clicked, this, &frmMain::cmdCancelOldest_Click);
    connect(m_ui.MnuEnd, &QAction::triggered, this, &frmMain::MnuEnd_Click);
    connect(m_ui.MnuAbout, &QAction::triggered, this, &frmMain::MnuAbout_Click);
    connect(m_ui.MnuResults, &QAction::triggered, this, &frmMain::MnuResults_Click);
    connect(m_ui.MnuHistory, &QAction::triggered, this, &frmMain::MnuHistory_Click);
    connect(m_ui.MnuBranches, &QAction::triggered, this, &frmMain::MnuBranches_Click);
    m_ui.MnuHistory->setEnabled(false); // until a history folder is given
    connect(m_ui.MnuPause, &QAction::toggled, this, &frmMain::MnuPause_Click);
    connect(m_ui.MnuStep, &QAction::triggered, this, &frmMain::MnuStep_Click);
    connect(m_ui.speedChoices, &QActionGroup::triggered, this,
            [this](QAction* choice) { MnuSpeed_Click(choice->data().toInt()); });
    connect(m_ui.MnuNewPractice, &QAction::triggered, this, &frmMain::MnuNewPractice_Click);
    connect(m_ui.MnuTakeOver, &QAction::triggered, this, &frmMain::MnuTakeOver_Click);
    connect(m_ui.MnuSaveSession, &QAction::triggered, this, &frmMain::MnuSaveSession_Click);
    connect(m_ui.MnuOpenSession, &QAction::triggered, this, &frmMain::MnuOpenSession_Click);
    connect(m_ui.MnuTape, &QAction::triggered, this, &frmMain::MnuTape_Click);
    connect(m_ui.MnuKeys, &QAction::triggered, this, &frmMain::MnuKeys_Click);
    // The keys press the buttons themselves, so a disabled button (while a
    // file replays) stays unpressed.
    connect(m_ui.keyBuyNow, &QAction::triggered, m_ui.buy.placeButton, &QPushButton::click);
    connect(m_ui.keySellNow, &QAction::triggered, m_ui.sell.placeButton, &QPushButton::click);
    connect(m_ui.keyCancelOldest, &QAction::triggered, m_ui.cmdCancelOldest, &QPushButton::click);
    for (OrderPane* pane : {&m_ui.buy, &m_ui.sell}) {
        for (QLineEdit* box : {pane->priceBox, pane->sharesBox, pane->yenBox})
            connect(box, &QLineEdit::returnPressed, pane->placeButton, &QPushButton::click);
        // Typing or clicking into a quantity box means that kind of quantity:
        // with 全力買い left chosen, typed shares would otherwise buy all-in.
        for (QLineEdit* box : {pane->sharesBox, pane->yenBox}) {
            connect(box, &QLineEdit::textEdited, this, [this, box] { chooseQuantityOf(box); });
            box->installEventFilter(this);
        }
    }
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setObjectName(QStringLiteral("noticeTimer"));
    m_noticeTimer->setSingleShot(true);
    m_noticeTimer->setInterval(kNoticeMilliseconds);
    connect(m_noticeTimer, &QTimer::timeout, this, [this] { showNotice({}); });
    connect(m_ui.ListView1, &QAbstractItemView::clicked, this, &frmMain::ListView1_Click);
    m_exercises =
        std::make_unique<ExerciseMenu>(*this, m_ui, *m_practice, m_dialogs, m_boxes, clock,
                                       [this] { return mayDiscardPractice(kDiscardForExercise); });
    // The log's own menu (copy, select all) with ここからやり直す below it.
    auto* logRewind = new QAction(QStringLiteral("ここからやり直す"), m_ui.txtResponse);
    logRewind->setObjectName(QStringLiteral("actLogRewind"));
    connect(logRewind, &QAction::triggered, this, &frmMain::logRewind_Click);
    m_ui.txtResponse->addAction(logRewind);
    m_ui.txtResponse->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_ui.txtResponse, &QWidget::customContextMenuRequested, this, &frmMain::showLogMenu);
    connect(m_ui.txtResponse, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { m_logLine = m_ui.txtResponse->textCursor().blockNumber(); });
    const auto boardKey = [this](QAction* key, OrderPane& pane) {
        connect(key, &QAction::triggered, this, [this, &pane] {
            const QModelIndex current = m_ui.ListView1->currentIndex();
            if (current.isValid())
                takeBoardPrice(current.row(), pane);
        });
    };
    boardKey(m_ui.keyBoardToBuy, m_ui.buy);
    boardKey(m_ui.keyBoardToSell, m_ui.sell);

    Form_Load();
}

// The windows go before the practice they show; the practice's end then
// finalises it in the history.
frmMain::~frmMain() = default;

void frmMain::useHistory(const QString& folder, bool keep, int intervalMs) {
    m_ui.MnuHistory->setEnabled(!folder.isEmpty());
    m_practice->useHistory(folder, keep, intervalMs);
}

void frmMain::Form_Load() {
    m_ui.lblPower->setText(numberText(stock::kStartPower));
    m_ui.lblNowPrice->setText(numberText(Market::kStartPrice));
    m_ui.lblYesterdayPrice->setText(numberText(stock::kPreviousClose));
    m_ui.buy.priceKind->button(0)->setFocus();
    m_practice->startClock();
}

void frmMain::secondPassed() {
    // The user's own presses are shown already: what is new since is a
    // replay's.
    showReplayedForms();
    refreshFromCore();
    if (m_ui.MnuTakeOver->isEnabled() || session().replaying())
        showState();
}

void frmMain::pressed() {
    m_actionsShown = session().actions().size();
    refreshFromCore();
}

void frmMain::practiceReplaced() {
    m_log->startPractice();
    m_branchesShown = 0;
    m_actionsShown = 0;
    showReplayedForms();
    refreshFromCore();
    showState();
}

void frmMain::practiceRewound(std::uint64_t second) {
    m_log->cutBackTo(second);
    // The forms keep what the user typed last: the next try starts from it.
    m_actionsShown = session().actions().size();
    refreshFromCore();
    showState();
    QString notice = QStringLiteral("経過 %1 に戻りました。一時停止中です。")
                         .arg(QString::fromStdString(elapsedText(second)));
    if (std::exchange(m_branchContinued, false))
        notice = QStringLiteral("分岐の続き、経過 %1 から練習します。一時停止中です。")
                     .arg(QString::fromStdString(elapsedText(second)));
    if (session().branches().size() > m_branchesShown)
        notice += QStringLiteral("元の続きは分岐として残しています。");
    m_branchesShown = session().branches().size();
    showNotice(notice);
}

void frmMain::logRewind_Click() {
    if (const auto second = m_log->secondOf(m_logLine))
        m_practice->askToGoBack(*second, m_dialogs);
}

void frmMain::showLogMenu(const QPoint& position) {
    QPlainTextEdit& view = *m_ui.txtResponse;
    QMenu* menu = view.createStandardContextMenu(position);
    m_logLine = view.cursorForPosition(position).blockNumber();
    QAction* rewind = view.findChild<QAction*>(QStringLiteral("actLogRewind"));
    rewind->setEnabled(m_log->secondOf(m_logLine).has_value());
    menu->addSeparator();
    menu->addAction(rewind);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(view.viewport()->mapToGlobal(position));
}

void frmMain::paceChanged() {
    const bool paused = m_practice->pace().paused;
    {
        // A fresh practice runs at once, whatever the menu said.
        const QSignalBlocker quiet(m_ui.MnuPause);
        m_ui.MnuPause->setChecked(paused);
    }
    m_ui.MnuStep->setEnabled(paused);
    showState();
}

void frmMain::MnuPause_Click(bool paused) {
    m_practice->setPaused(paused);
}

void frmMain::MnuStep_Click() {
    if (m_practice->pace().paused)
        m_practice->Timer1_Timer();
}

void frmMain::MnuSpeed_Click(int speed) {
    m_practice->setSpeed(speed);
}

bool frmMain::mayDiscardPractice(const QString& question) {
    const Account& account = session().trader().account();
    return !(account.holdings() > 0 || account.hasPendingOrder()) || m_dialogs.confirm(question);
}

void frmMain::showReplayedForms() {
    const std::vector<SessionAction>& actions = session().actions();
    for (std::size_t i = m_actionsShown; i < actions.size(); ++i) {
        if (actions[i].kind != ActionKind::Cancel)
            showForm(actions[i].kind == ActionKind::Buy ? m_ui.buy : m_ui.sell, actions[i].form);
    }
    m_actionsShown = actions.size();
}

void frmMain::MnuNewPractice_Click() {
    if (!mayDiscardPractice(kDiscardForNew))
        return;
    std::optional<int> number;
    // A refused number asks again, until a good one or a cancel.
    while (!number) {
        const std::optional<QString> text = m_dialogs.askMarketNumber(session().marketNumber());
        if (!text)
            return;
        number = parseMarketNumber(text->toStdString());
        if (!number)
            m_dialogs.ShowMessage(kBadMarketNumber, kAppTitle);
    }
    m_practice->restart(*number);
}

void frmMain::MnuTakeOver_Click() {
    m_practice->takeOver();
    m_log->AddLog(
        QStringLiteral("再生を止め、%1秒から練習を引き継ぎました。").arg(session().elapsed()));
    showState();
}

void frmMain::MnuSaveSession_Click() {
    const QString path =
        m_dialogs.askSavePath(QStringLiteral("練習を保存"), QStringLiteral("練習.json"),
                              kSessionFilter, QStringLiteral("json"));
    if (path.isEmpty())
        return;
    // A record beyond the file's limits is refused before anything is
    // written, so every file saved here opens again.
    const SessionFileWrite written = writeSessionFile(session().record());
    std::optional<QString> error;
    if (!written.text)
        error = QString::fromStdString(written.error);
    else
        error = writeFileAtomically(path, *written.text);
    if (error)
        m_dialogs.ShowMessage("練習を保存できませんでした。\n" + path.toStdString() + "\n" +
                                  error->toStdString(),
                              kAppTitle);
    else
        m_log->AddLog(QStringLiteral("練習を保存しました（%1）。").arg(QFileInfo(path).fileName()));
}

void frmMain::MnuOpenSession_Click() {
    // Opening replaces the practice under way, as a new practice does.
    if (!mayDiscardPractice(kDiscardForOpen))
        return;
    const QString path = m_dialogs.askOpenPath(QStringLiteral("練習を開く"), kSessionFilter);
    if (!path.isEmpty())
        openSession(path);
}

void frmMain::openSession(const QString& path) {
    // The core opens the file itself: only an ordinary file, never read past
    // the size limit, its nesting bounded before anything is built, so even a
    // hostile file is refused in a fraction of a second.
    SessionFileRead file = openSessionFile(path.toStdString());
    // An exercise's attempt carries its card, checked as any card is; the
    // record then knows where the exercise began.
    AttemptRead read;
    if (file.record)
        read = readAttempt(std::move(*file.record));
    else
        read.error = file.error;
    if (!read.record) {
        // The practice under way goes on as if nothing had been asked.
        m_dialogs.ShowMessage("練習を開けませんでした。\n" + path.toStdString() + "\n" + read.error,
                              kAppTitle);
        return;
    }
    // The clock starts its second afresh, at the speed chosen.
    if (m_practice->startReplay(std::move(*read.record), read.card))
        m_log->AddLog(QStringLiteral("練習ファイル %1 を再生します（%2秒まで）。")
                          .arg(QFileInfo(path).fileName())
                          .arg(session().replayEnd()));
    else
        m_dialogs.ShowMessage(
            "練習を開けませんでした。\n" + path.toStdString() + "\nメモリが足りません", kAppTitle);
}

void frmMain::showState() {
    const QString separator = QString::fromUtf8(kStateSeparator);
    QString title = QString::fromUtf8(kAppTitle);
    if (const std::optional<ExerciseCard>& card = m_practice->exerciseCard())
        title += separator + QStringLiteral("課題「%1」").arg(QString::fromStdString(card->title));
    const std::string state = practiceStateText(m_practice->pace(), session().marketNumber());
    if (!state.empty())
        title += separator + QString::fromStdString(state);
    const bool replaying = session().replaying();
    if (replaying)
        title += separator +
                 QStringLiteral("再生中 %1/%2").arg(session().elapsed()).arg(session().replayEnd());
    setWindowTitle(title);
    m_ui.MnuTakeOver->setEnabled(replaying);
    // While a saved session replays, only the file acts (the session ignores
    // the buttons then), so the buttons say so.
    for (QPushButton* button :
         {m_ui.buy.placeButton, m_ui.sell.placeButton, m_ui.cmdCancelOldest}) {
        button->setEnabled(!replaying);
        button->setToolTip(replaying ? kReplayingTip : QString());
    }
}

void frmMain::cmdBuyNow_Click() {
    pressOrder(OrderSide::Buy);
}

void frmMain::cmdSellNow_Click() {
    pressOrder(OrderSide::Sell);
}

void frmMain::pressOrder(OrderSide side) {
    const Account& account = session().trader().account();
    const bool pending = account.hasPendingOrder();
    const std::size_t lines = m_log->lines();
    const int boxes = m_boxes.shown;
    if (side == OrderSide::Buy)
        m_practice->pressBuy(codeText(), readForm(m_ui.buy));
    else
        m_practice->pressSell(codeText(), readForm(m_ui.sell));
    const bool silent = !session().replaying() && lines == m_log->lines() && boxes == m_boxes.shown;
    if (silent && pending)
        showNotice(kStillPending);
    else if (silent && side == OrderSide::Sell && account.holdings() == 0)
        showNotice(kNothingHeld);
    else
        showNotice({});
}

void frmMain::showNotice(const QString& text) {
    m_ui.lblNotice->setText(text);
    m_ui.lblNotice->setVisible(!text.isEmpty());
    if (text.isEmpty()) {
        m_noticeTimer->stop();
        return;
    }
    m_noticeTimer->start();
    // The label's text is its accessible name; an alert has a screen reader
    // say it even when it is the same as the last one.
    QAccessibleEvent alert(m_ui.lblNotice, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void frmMain::chooseQuantityOf(const QObject* box) {
    for (const OrderPane* pane : {&m_ui.buy, &m_ui.sell}) {
        if (box == pane->sharesBox)
            pane->quantityKind->button(0)->setChecked(true);
        else if (box == pane->yenBox)
            pane->quantityKind->button(1)->setChecked(true);
    }
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress)
        chooseQuantityOf(watched);
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::CountedBoxes::ShowMessage(const std::string& prompt, const std::string& title) {
    ++shown;
    dialogs.ShowMessage(prompt, title);
}

void frmMain::cmdCancelOldest_Click() {
    m_practice->pressCancel();
}

void frmMain::refreshFromCore() {
    m_presenter.show(session());
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
    // Modeless; owned by this window, so it comes up centred over it. It
    // deletes itself on close.
    if (!m_about)
        m_about = new frmAbout(this);
    showInFront(*m_about);
}

void frmMain::MnuResults_Click() {
    // Built on first use, so neither it nor the chart costs anything at start-up.
    if (!m_results) {
        m_results = std::make_unique<frmResults>(*m_practice, m_dialogs);
        placeBesideThis(*m_results, frmResults::kPreferredSize);
    }
    showInFront(*m_results);
}

void frmMain::MnuHistory_Click() {
    // Built on first use: listing reads each kept file's summary.
    if (!m_history) {
        m_history =
            std::make_unique<frmHistory>(*m_practice, m_dialogs, [this](const QString& path) {
                // As 練習を開く: asking first if anything is at stake.
                if (mayDiscardPractice(kDiscardForOpen))
                    openSession(path);
            });
        placeBesideThis(*m_history, frmHistory::kPreferredSize);
    } else {
        m_history->refresh();
    }
    showInFront(*m_history);
}

void frmMain::MnuBranches_Click() {
    if (!m_branches) {
        m_branches = std::make_unique<frmBranches>(*m_practice, m_dialogs);
        placeBesideThis(*m_branches, frmBranches::kPreferredSize);
    } else {
        m_branches->refresh();
    }
    showInFront(*m_branches);
}

void frmMain::MnuTape_Click() {
    // Built on first use: start-up stays as it was.
    if (!m_tape) {
        m_tape = std::make_unique<frmTape>(*m_practice, m_dialogs);
        placeBesideThis(*m_tape, frmTape::kPreferredSize);
    }
    showInFront(*m_tape);
}

void frmMain::MnuKeys_Click() {
    if (!m_keys) {
        m_keys = new frmKeys(*this, keyNotes(), this);
        placeBesideThis(*m_keys, m_keys->size());
    }
    showInFront(*m_keys);
}

void frmMain::placeBesideThis(QWidget& window, const QSize& preferred) const {
    // Beside this window, so the board and the order forms stay in sight
    // while it is read, and clear of the other accompanying windows open.
    openBeside(window, *this, preferred,
               {m_results.get(), m_history.get(), m_tape.get(), m_branches.get(), m_keys.data()});
}

void frmMain::showInFront(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

void frmMain::ListView1_Click(const QModelIndex& index) {
    // The price column names no side: the click only selects the row, for B
    // or S to take.
    if (index.column() == BoardModel::Offered)
        takeBoardPrice(index.row(), m_ui.sell);
    else if (index.column() == BoardModel::Bid)
        takeBoardPrice(index.row(), m_ui.buy);
}

void frmMain::takeBoardPrice(int row, OrderPane& pane) {
    pane.priceKind->button(0)->setChecked(true);
    pane.priceBox->setText(QString::number(m_board.price(row)));
    QLineEdit* quantity = pane.quantityKind->checkedId() == 1 ? pane.yenBox : pane.sharesBox;
    chooseQuantityOf(quantity);
    quantity->setFocus();
    // Selected, so the shares typed next replace the old ones.
    quantity->selectAll();
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}

void frmMain::Form_QueryUnload() {
    m_practice->stopClock();
    // An open About dialog must not keep the program alive.
    QCoreApplication::exit(0);
}

} // namespace vantrel
