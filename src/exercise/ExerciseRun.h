#pragma once

#include "exercise/ExerciseCard.h"
#include "exercise/ExerciseScore.h"
#include "orders/OrderForm.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

class PracticeSession;

// Where a running exercise stands, for the line the window shows.
struct ExerciseProgress {
    std::uint64_t secondsLeft = 0;
    std::uint64_t secondsDone = 0;
    // 買い集め: shares bought so far; 売り切り: sold so far; of `goalShares`.
    double moved = 0;
    double goalShares = 0;
    std::optional<double> vwap;         // the market's since the start
    std::optional<double> averagePrice; // the learner's average buy (sale) price so far
    double netProfit = 0;               // 純損益 now
    double drawdown = 0;                // 資産合計 below its peak now
    int roundTrips = 0;                 // closed since the start
};

// What the window shows while an exercise runs, a line each: the time left
// and how far the task has come ("残り 4分20秒", "買い 6,000 / 10,000株",
// "VWAP 498.2円・平均 497.5円").
std::string progressText(const ExerciseCard& card, const ExerciseProgress& progress);

// An exercise played on a practice: starts it from its card, checks each
// press against the card's limits, follows it second by second and says when
// it ends and what it scored. The practice keeps the presses as any practice
// does, so the attempt saves and replays as one.
class ExerciseRun final {
public:
    ExerciseRun(PracticeSession& session, ExerciseCard card);

    // A market for a card that wants a different one each attempt: 2 to 9999,
    // drawn from the entropy given (the window passes the time of day).
    static int drawMarket(std::uint64_t entropy);
    // Starts afresh on the market (the card's own when it names one): the
    // market runs ahead silently to the card's start second, and the card's
    // shares are held from there.
    void start(int market);

    // Why the press would break the card's limits (a Japanese sentence for
    // the window's box), or nothing when it may go to the practice.
    std::optional<std::string> checkBuy(const std::string& codeText, const OrderForm& form) const;
    std::optional<std::string> checkSell(const std::string& codeText, const OrderForm& form) const;
    // The checked presses: a press that breaks a limit places nothing and is
    // not recorded; its reason comes back. Nothing is pressed once it ended.
    std::optional<std::string> pressBuy(const std::string& codeText, const OrderForm& form);
    std::optional<std::string> pressSell(const std::string& codeText, const OrderForm& form);
    void pressCancel();

    // One second of practice while the exercise runs; at the second it ends
    // (time out, goal, a limit broken) the run stops following it.
    void step();
    // Ends it where it stands, as when the learner leaves it.
    void abandon();

    bool running() const { return m_trace.ending == ExerciseEnd::Running; }
    ExerciseEnd ending() const { return m_trace.ending; }
    const ExerciseCard& card() const { return m_card; }
    const ExerciseTrace& trace() const { return m_trace; }
    ExerciseProgress progress() const;
    // What the score is computed from, as it stands.
    ExerciseFacts facts() const;
    const PracticeSession& session() const { return m_session; }

private:
    std::optional<std::string> checkPrice(const OrderForm& form) const;
    std::optional<std::string> checkRunning() const;
    void follow();

    PracticeSession& m_session;
    ExerciseCard m_card;
    ExerciseTrace m_trace;
    std::size_t m_firstFill = 0;
};

} // namespace vantrel
