#pragma once

#include "exercise/ExerciseRun.h"
#include "exercise/ExerciseScore.h"
#include "practice/Pace.h"
#include "practice/PracticeSession.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QTimer;

namespace vantrel {

class Clock;
class Dialogs;
class PracticeKeeper;

// The practice under way and what drives it: the session, its clock (Timer1)
// at the pace chosen, and the keeper that writes it to the history folder.
// It says what happened and the windows listen, each drawing what the
// session holds then, so no window needs to know which others are open.
class PracticeController final : public QObject {
    Q_OBJECT
public:
    // The log and the prompter are the session's; the clock stamps its fills
    // and names its kept files. The clock stays stopped until startClock.
    PracticeController(const Clock& clock, TradeLog& log, MessagePrompter& prompter,
                       int marketNumber, QObject* parent = nullptr);
    // The practice's end finalises it in the history: a small write.
    ~PracticeController() override;

    const PracticeSession& session() const { return m_session; }
    const Pace& pace() const { return m_pace; }

    // The history folder 練習の記録 lists; with keep, every practice from now
    // on is written there (every intervalMs of wall time while it runs).
    void useHistory(const QString& folder, bool keep, int intervalMs);
    const QString& historyFolder() const { return m_historyFolder; }
    // The file of the practice under way; empty when none is kept.
    QString currentPath() const;

    // One market second, the practice's one clock: the timeout of Timer1,
    // every second at normal speed, and 1秒進める while paused. The market
    // tick comes first, then the execution attempt, then a replay's actions.
    void Timer1_Timer();
    // Runs the clock at the pace chosen, its second started afresh.
    void startClock();
    void stopClock();
    void setPaused(bool paused);
    void setSpeed(int speed);

    // The user's presses, as the session takes them.
    void pressBuy(const std::string& codeText, const OrderForm& form);
    void pressSell(const std::string& codeText, const OrderForm& form);
    void pressCancel();

    // A fresh practice on the market, running at once at the speed chosen.
    void restart(int marketNumber);
    // The record replayed from its start. False when memory ran out building
    // it: a fresh practice on the same market has taken its place then.
    // An attempt of an exercise (its card given) is scored off this thread
    // from its presses as it starts, so its 採点 can be shown at once.
    bool startReplay(SessionRecord record, const std::optional<ExerciseCard>& card = {});
    // The replay stops here and the user carries on from this second.
    void takeOver();

    // A fresh practice that is an attempt of the card, on the card's market
    // or, for a card that names none, on the one given; it runs at once.
    // Presses then go through the card's limits, and when the exercise ends
    // the clock stops and it is scored off this thread.
    // `name` is the student's (氏名), kept in the attempt once scored.
    void startExercise(const ExerciseCard& card, int marketNumber, const std::string& name = {});
    // The exercise of the practice under way; none for a free practice.
    const ExerciseRun* exercise() const { return m_exercise.get(); }
    // The card of the practice under way, live or replayed from a file.
    const std::optional<ExerciseCard>& exerciseCard() const { return m_card; }
    // The ended exercise's score, once computed.
    const std::optional<ExerciseScore>& exerciseScore() const { return m_score; }
    // ここからやり直す: the practice exactly as it was at the end of an
    // earlier second (board, account, order and its wait, fills, prices,
    // tape), paused there so the learner can look before acting. The line
    // left is kept as a branch of the practice, in the same kept file. A
    // replay running stops first. False, and nothing changed, when the
    // practice cannot go back there (PracticeSession::canGoBackTo).
    bool goBackTo(std::uint64_t second);
    // The same, asking first only while a file replays: the rest of its
    // replay would be lost. Otherwise nothing is lost that is not kept.
    bool askToGoBack(std::uint64_t second, Dialogs& dialogs);
    // 分岐を続ける: the practice becomes the branch at its last second, paused
    // there (practiceRewound), the line left kept as a branch when it
    // pressed anything the branch did not. Asks first in that case.
    bool continueBranch(std::size_t index);
    bool askToContinueBranch(std::size_t index, Dialogs& dialogs);

signals:
    // A second of practice went by (a replay's actions of it included).
    void secondPassed();
    // The replay reached its file's end in that second.
    void replayEnded();
    // The user pressed 買い, 売り or 取消.
    void pressed();
    // Another practice took the place of the one under way.
    void practiceReplaced();
    // The practice went back to the end of that second: every window draws
    // it afresh, as after a replacement, though it is the same practice.
    void practiceRewound(std::uint64_t second);
    // Just before practiceRewound when a branch was continued: the lines
    // pressed the same up to `parting`, and part from there.
    void branchContinued(std::uint64_t parting);
    // The pause or the speed changed, or the clock started afresh.
    void paceChanged();
    void pausedChanged(bool paused);
    // The practice under way was written to its file at the path.
    void practiceKept(const QString& path);
    // A press the exercise's card does not allow placed nothing; why says so.
    void pressRefused(const QString& why);
    // The exercise ended (time, goal or a broken limit); its score follows.
    void exerciseEnded();
    void exerciseScored();

private:
    // Every way to another practice: the one under way is kept, change makes
    // the new one, which is begun in the history; the windows start afresh,
    // then the clock starts its second afresh (running again with run).
    void replace(const std::function<void(PracticeSession&)>& change, bool run);
    void applyPace();
    void scoreExercise();
    void score(std::function<ExerciseScore(const ChanceProgress&)> work);
    // A press the exercise refuses, said; true when it may go to the session.
    bool allowed(const std::optional<std::string>& why);

    const Clock& m_clock;
    PracticeSession m_session;
    Pace m_pace;
    QTimer* m_timer1 = nullptr;
    QString m_historyFolder;
    // After the session it follows.
    std::unique_ptr<ExerciseRun> m_exercise;
    std::optional<ExerciseCard> m_card;
    std::string m_name;
    std::optional<ExerciseScore> m_score;
    QFutureWatcher<ExerciseScore> m_scoring;
    std::shared_ptr<std::atomic<bool>> m_scoringCancel;
    // After the session it writes, so it goes first.
    std::unique_ptr<PracticeKeeper> m_keeper;
};

} // namespace vantrel
