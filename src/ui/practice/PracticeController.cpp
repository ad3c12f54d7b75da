#include "ui/practice/PracticeController.h"

#include "results/ResultsText.h"
#include "ui/common/Clock.h"
#include "ui/common/dialogs/Dialogs.h"
#include "ui/practice/PracticeKeeper.h"

#include "exercise/ExerciseAttempt.h"
#include "exercise/ExerciseRandom.h"

#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

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
    connect(&m_scoring, &QFutureWatcher<ExerciseScore>::finished, this, [this] {
        // A practice that took this one's place cancelled its token; its
        // result, if it still arrives, is not this practice's.
        if (!m_card || !m_scoringCancel || *m_scoringCancel)
            return;
        m_score = m_scoring.result();
        if (m_exercise) {
            // The attempt's file now carries its result, for --verify to check.
            m_session.setExercise(exerciseMember(*m_card, &*m_score, m_name));
            if (m_keeper)
                m_keeper->keep();
        }
        emit exerciseScored();
    });
}

PracticeController::~PracticeController() {
    if (m_scoringCancel)
        *m_scoringCancel = true;
    m_scoring.waitForFinished();
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
    if (m_exercise) {
        // An ended exercise is over: nothing moves until another practice.
        if (!m_exercise->running())
            return;
        m_exercise->step();
        emit secondPassed();
        if (!m_exercise->running()) {
            m_pace.paused = true;
            applyPace();
            emit exerciseEnded();
            scoreExercise();
        }
        return;
    }
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
    m_pace.paused = paused || (m_exercise && !m_exercise->running());
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
    if (!allowed(m_exercise ? m_exercise->checkBuy(codeText, form) : std::nullopt))
        return;
    m_session.pressBuy(codeText, form);
    emit pressed();
}

void PracticeController::pressSell(const std::string& codeText, const OrderForm& form) {
    if (!allowed(m_exercise ? m_exercise->checkSell(codeText, form) : std::nullopt))
        return;
    m_session.pressSell(codeText, form);
    emit pressed();
}

void PracticeController::pressCancel() {
    if (m_exercise && !m_exercise->running())
        return;
    m_session.pressCancel();
    emit pressed();
}

bool PracticeController::allowed(const std::optional<std::string>& why) {
    if (!why)
        return true;
    emit pressRefused(QString::fromStdString(*why));
    return false;
}

void PracticeController::startExercise(const ExerciseCard& card, int marketNumber,
                                       const std::string& name) {
    replace(
        [&](PracticeSession& session) {
            m_exercise = std::make_unique<ExerciseRun>(session, card);
            m_exercise->start(marketNumber);
            m_card = card;
            m_name = name;
        },
        true);
}

void PracticeController::scoreExercise() {
    score([facts = m_exercise->facts()](const ChanceProgress& progress) {
        return vantrel::scoreExercise(facts, sameTaskAtRandom(facts, progress));
    });
}

void PracticeController::score(std::function<ExerciseScore(const ChanceProgress&)> work) {
    // The same task at random takes a moment: the window stays live, and a
    // practice that replaces this one cancels it.
    m_scoringCancel = std::make_shared<std::atomic<bool>>(false);
    m_scoring.setFuture(QtConcurrent::run([work = std::move(work), cancel = m_scoringCancel] {
        ChanceProgress progress;
        progress.cancel = cancel.get();
        return work(progress);
    }));
}

void PracticeController::restart(int marketNumber) {
    replace([marketNumber](PracticeSession& session) { session.restart(marketNumber); }, true);
}

bool PracticeController::startReplay(SessionRecord record,
                                     const std::optional<ExerciseCard>& card) {
    bool replaying = true;
    // Scored from its own copy of the presses: the replay takes the record.
    std::optional<SessionRecord> attempt;
    if (card)
        attempt = record;
    replace(
        [&](PracticeSession& session) {
            try {
                session.startReplay(std::move(record));
                m_card = card;
            } catch (const std::bad_alloc&) {
                // The practice under way is kept already; a fresh one takes
                // its place rather than half a replay.
                session.restart(session.marketNumber());
                replaying = false;
            }
        },
        false);
    if (replaying && attempt) {
        score([attempt = std::move(*attempt), card = *card](const ChanceProgress& progress) {
            const AttemptReplay replayed = replayAttempt(attempt, card, progress);
            if (replayed.score)
                return *replayed.score;
            // A file whose presses this card refuses has no score to show.
            ExerciseScore refused;
            refused.undefinedWhy = replayed.error;
            refused.why = "この練習ファイルは課題の条件に合いません: " + replayed.error;
            return refused;
        });
    }
    return replaying;
}

void PracticeController::takeOver() {
    m_session.takeOver();
    if (m_keeper)
        m_keeper->handedOver();
}

bool PracticeController::goBackTo(std::uint64_t second) {
    // An exercise's attempt is one straight run from its card's start: it is
    // tried again from the start (もう一度), never from the middle.
    if (m_card || !m_session.canGoBackTo(second))
        return false;
    if (m_session.replaying())
        takeOver();
    // The line left is a branch of the practice: the same file keeps both.
    m_session.goBackTo(second);
    if (m_keeper)
        m_keeper->keep();
    m_pace.paused = true;
    emit practiceRewound(second);
    applyPace();
    return true;
}

bool PracticeController::continueBranch(std::size_t index) {
    if (m_card)
        return false;
    if (m_session.replaying())
        takeOver();
    if (index >= m_session.branches().size())
        return false;
    const std::uint64_t parting = m_session.branchParting(index);
    if (!m_session.continueBranch(index))
        return false;
    emit branchContinued(parting);
    if (m_keeper)
        m_keeper->keep();
    m_pace.paused = true;
    emit practiceRewound(m_session.elapsed());
    applyPace();
    return true;
}

bool PracticeController::askToContinueBranch(std::size_t index, Dialogs& dialogs) {
    if (index >= m_session.branches().size())
        return false;
    if (m_session.pressedAfterBranch(index) &&
        !dialogs.confirm(QStringLiteral("いまの練習には分岐 %1 にない操作があります。"
                                        "いまの練習を分岐として残して、分岐 %1 を続けますか？")
                             .arg(index + 1)))
        return false;
    return continueBranch(index);
}

bool PracticeController::askToGoBack(std::uint64_t second, Dialogs& dialogs) {
    if (m_card) {
        dialogs.ShowMessage(
            "課題はやり直せません。初めから挑戦するには、採点の「もう一度」を選んでください。",
            "課題");
        return false;
    }
    if (m_session.replaying() &&
        !dialogs.confirm(QStringLiteral("練習ファイルの再生を止めて、経過 %1 からやり直しますか？")
                             .arg(QString::fromStdString(elapsedText(second)))))
        return false;
    return goBackTo(second);
}

void PracticeController::replace(const std::function<void(PracticeSession&)>& change, bool run) {
    if (m_keeper)
        m_keeper->keep();
    if (m_scoringCancel)
        *m_scoringCancel = true;
    m_scoring.cancel();
    m_scoring.waitForFinished();
    m_exercise.reset();
    m_card.reset();
    m_score.reset();
    change(m_session);
    if (m_keeper)
        m_keeper->begin();
    emit practiceReplaced();
    if (run)
        m_pace.paused = false;
    applyPace();
}

} // namespace vantrel
