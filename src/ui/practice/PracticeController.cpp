#include "ui/practice/PracticeController.h"

#include "results/ResultsText.h"
#include "ui/common/Clock.h"
#include "ui/common/Dialogs.h"
#include "ui/practice/PracticeKeeper.h"

#include <QTimer>

#include <new>
#include <utility>

namespace vantrel {

PracticeController::PracticeController(const Clock& clock, TradeLog& log, MessagePrompter& prompter,
                                       int marketNumber, QObject* parent)
    : QObject(parent), m_clock(clock),
      m_session(log, prompter, marketNumber, [&clock] { return clock.now().toMSecsSinceEpoch(); }) {
    // Copies of the practice's state as it goes, so any second can be
    // returned to quickly.
    m_session.keepCheckpoints(kCheckpointSeconds);
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(m_pace.timerInterval());
    connect(m_timer1, &QTimer::timeout, this, &PracticeController::Timer1_Timer);
}

PracticeController::~PracticeController() {
    // The program's end finalises the practice: a small write, measured in
    // the README.
    if (m_keeper)
        m_keeper->keep();
}

void PracticeController::useHistory(const QString& folder, bool keep, int intervalMs) {
    m_historyFolder = folder;
    m_keeper.reset();
    if (!keep || folder.isEmpty())
        return;
    m_keeper = std::make_unique<PracticeKeeper>(m_session, m_clock, folder, intervalMs);
    connect(m_keeper.get(), &PracticeKeeper::kept, this,
            [this] { emit practiceKept(m_keeper->currentPath()); });
}

QString PracticeController::currentPath() const {
    return m_keeper ? m_keeper->currentPath() : QString();
}

void PracticeController::Timer1_Timer() {
    const bool replaying = m_session.replaying();
    m_session.step();
    if (replaying && !m_session.replaying()) {
        if (m_keeper)
            m_keeper->handedOver();
        emit replayEnded();
    }
    emit secondPassed();
}

void PracticeController::startClock() {
    applyPace();
}

void PracticeController::stopClock() {
    m_timer1->stop();
}

void PracticeController::setPaused(bool paused) {
    m_pace.paused = paused;
    applyPace();
}

void PracticeController::setSpeed(int speed) {
    m_pace.speed = speed;
    applyPace();
}

void PracticeController::applyPace() {
    // One clock drives the tick and the execution event, so a market tick
    // comes before each execution event at every speed.
    const bool wasPaused = !m_timer1->isActive();
    m_timer1->stop();
    m_timer1->setInterval(m_pace.timerInterval());
    if (!m_pace.paused)
        m_timer1->start();
    emit paceChanged();
    if (wasPaused != m_pace.paused)
        emit pausedChanged(m_pace.paused);
}

void PracticeController::pressBuy(const std::string& codeText, const OrderForm& form) {
    m_session.pressBuy(codeText, form);
    emit pressed();
}

void PracticeController::pressSell(const std::string& codeText, const OrderForm& form) {
    m_session.pressSell(codeText, form);
    emit pressed();
}

void PracticeController::pressCancel() {
    m_session.pressCancel();
    emit pressed();
}

void PracticeController::restart(int marketNumber) {
    replace([marketNumber](PracticeSession& session) { session.restart(marketNumber); }, true);
}

bool PracticeController::startReplay(SessionRecord record) {
    bool replaying = true;
    replace(
        [&](PracticeSession& session) {
            try {
                session.startReplay(std::move(record));
            } catch (const std::bad_alloc&) {
                // The practice under way is kept already; a fresh one takes
                // its place rather than half a replay.
                session.restart(session.marketNumber());
                replaying = false;
            }
        },
        false);
    return replaying;
}

void PracticeController::takeOver() {
    m_session.takeOver();
    if (m_keeper)
        m_keeper->handedOver();
}

bool PracticeController::goBackTo(std::uint64_t second) {
    if (!m_session.canGoBackTo(second))
        return false;
    if (m_session.replaying())
        takeOver();
    // The line left stays in the history whole; the one going on shares its
    // presses so far, so it is written only once it has one of its own.
    if (m_keeper)
        m_keeper->keep();
    m_session.goBackTo(second);
    if (m_keeper) {
        m_keeper->begin();
        m_keeper->handedOver();
    }
    m_pace.paused = true;
    emit practiceRewound(second);
    applyPace();
    return true;
}

bool PracticeController::askToGoBack(std::uint64_t second, Dialogs& dialogs) {
    if (m_session.replaying() &&
        !dialogs.confirm(QStringLiteral("練習ファイルの再生を止めて、経過 %1 からやり直しますか？")
                             .arg(QString::fromStdString(elapsedText(second)))))
        return false;
    return goBackTo(second);
}

void PracticeController::replace(const std::function<void(PracticeSession&)>& change, bool run) {
    if (m_keeper)
        m_keeper->keep();
    change(m_session);
    if (m_keeper)
        m_keeper->begin();
    emit practiceReplaced();
    if (run)
        m_pace.paused = false;
    applyPace();
}

} // namespace vantrel
