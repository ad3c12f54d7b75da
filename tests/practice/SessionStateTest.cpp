#include "practice/ChanceComparison.h"
#include "practice/PracticeSession.h"
#include "practice/SessionFile.h"
#include "practice/SessionReplay.h"
#include "trading/SilentLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>

namespace vantrel {
namespace {

// Counts what reaches the window: going back must show nothing again.
struct CountingLog final : TradeLog, MessagePrompter {
    void AddLog(const std::string&) override { ++lines; }
    void ShowMessage(const std::string&, const std::string&) override { ++boxes; }
    int lines = 0;
    int boxes = 0;
};

// Now and then a press, at random: market and limit buys and sales, a cancel,
// and a price no rule takes (refused with a box).
void pressAtRandom(PracticeSession& session, SplitMix64& random) {
    static const OrderForm forms[] = {
        {PriceKind::Market, "", QuantityKind::Shares, "1000", ""},
        {PriceKind::Market, "", QuantityKind::Everything, "", ""},
        {PriceKind::Limit, "497", QuantityKind::Yen, "", "1500000"},
        {PriceKind::Limit, "503", QuantityKind::Shares, "2000", ""},
        {PriceKind::Limit, "x", QuantityKind::Shares, "1000", ""},
    };
    const auto pick = random.below(40);
    if (pick < 5 && pick % 2)
        session.pressSell(stock::kCode, forms[pick]);
    else if (pick < 5)
        session.pressBuy(stock::kCode, forms[pick]);
    else if (pick == 5)
        session.pressCancel();
}

// The presses of the second the session stands at, from `next` on, as the
// user made them.
void pressDue(PracticeSession& session, const std::vector<SessionAction>& presses,
              std::size_t& next) {
    for (; next < presses.size() && presses[next].second == session.elapsed(); ++next) {
        const SessionAction& a = presses[next];
        if (a.kind == ActionKind::Buy)
            session.pressBuy(a.codeText, a.form);
        else if (a.kind == ActionKind::Sell)
            session.pressSell(a.codeText, a.form);
        else
            session.pressCancel();
    }
}

// A record exactly as a file would hold it: presses, forms and results; its
// branches left out, so one line can be compared with another.
std::string fileText(SessionRecord record) {
    record.branches.clear();
    return writeSessionFile(record).text.value_or("");
}

// Four hours of random presses on market 7 with a clock of day, copies of
// the state kept every five minutes. Going back to any second gives the state
// the straight run had at its end (fill and tape times included, though the
// clock has moved on), quietly; pressing on as the straight run did gives its
// final state again.
TEST(SessionState, GoingBackToAnySecondAndOnAgainGivesTheStraightRun) {
    CountingLog log;
    std::int64_t clockBase = 1'700'000'000'000;
    PracticeSession* running = nullptr;
    PracticeSession session(log, log, 7, [&] {
        return clockBase + static_cast<std::int64_t>(running->elapsed()) * 1000;
    });
    running = &session;
    session.keepCheckpoints(300);

    SplitMix64 random(7);
    constexpr std::uint64_t kEnd = 4 * 3600;
    const std::uint64_t samples[] = {0, 1, 299, 300, 301, 7777, 9000, kEnd - 1, kEnd};
    std::map<std::uint64_t, SessionState> straight;
    pressAtRandom(session, random);
    straight.emplace(0, session.state());
    while (session.elapsed() < kEnd) {
        session.step();
        pressAtRandom(session, random);
        if (std::count(std::begin(samples), std::end(samples), session.elapsed()))
            straight.emplace(session.elapsed(), session.state());
    }
    const std::vector<SessionAction> presses = session.actions();
    ASSERT_GT(session.ledger().fills().size(), 50u);
    ASSERT_GT(log.boxes, 0);
    EXPECT_LT(session.checkpointBytes(), 1u << 20); // the lists are never copied

    for (const std::uint64_t second :
         {9000ull, 0ull, 301ull, 7777ull, 1ull, 300ull, 14399ull, 299ull, 14400ull}) {
        const int lines = log.lines, boxes = log.boxes;
        clockBase += 86'400'000; // a day later: the times come from the line left
        ASSERT_TRUE(session.rewindTo(second));
        clockBase -= 86'400'000;
        EXPECT_TRUE(session.state() == straight.at(second)) << second;
        EXPECT_EQ(std::make_pair(log.lines, log.boxes), std::make_pair(lines, boxes));
        std::size_t next = session.actions().size();
        while (session.elapsed() < kEnd) {
            session.step();
            pressDue(session, presses, next);
        }
        EXPECT_TRUE(session.state() == straight.at(kEnd)) << "on from " << second;
    }
    // The market alone: one tick apart is a different state.
    SessionState later = session.state();
    later.market.Tick();
    EXPECT_FALSE(later == session.state());
    EXPECT_FALSE(session.rewindTo(kEnd + 1));
    EXPECT_FALSE(straight.at(1).ledger == straight.at(kEnd).ledger);
}

// Two hours at random, then back to 0:50:00: the line left is a branch whose
// record is the straight run's to the letter and replays headless to the
// figures it was left with; the line going on is the straight run's record at
// 0:50:00. Looking back without pressing keeps nothing more; another try,
// left too, is a second branch beside the first.
TEST(SessionState, GoingBackKeepsTheLineLeftAsABranch) {
    SilentLog log;
    PracticeSession session(log, log, 3);
    session.keepCheckpoints(600);
    SplitMix64 random(3);
    constexpr std::uint64_t kLeftAt = 3000, kEnd = 7200;
    std::string atLeftSecond;
    while (session.elapsed() < kEnd) {
        session.step();
        pressAtRandom(session, random);
        if (session.elapsed() == kLeftAt)
            atLeftSecond = fileText(session.record());
    }
    const SessionRecord straight = session.record();
    ASSERT_GT(session.ledger().fills().size(), 20u);

    ASSERT_TRUE(session.goBackTo(kLeftAt));
    ASSERT_EQ(session.branches().size(), 1u);
    EXPECT_EQ(session.branches()[0].leftAt, kLeftAt);
    EXPECT_EQ(fileText(session.branchRecord(0)), fileText(straight));
    EXPECT_EQ(fileText(session.record()), atLeftSecond);
    const HeadlessReplay replayed = replaySession(session.branchRecord(0));
    EXPECT_TRUE(differingResults(session.branches()[0].results, replayed.results).empty());

    for (int second = 0; second < 500; ++second)
        session.step();
    ASSERT_TRUE(session.goBackTo(kLeftAt + 100));
    EXPECT_EQ(session.branches().size(), 1u);

    const OrderForm allIn{PriceKind::Market, "", QuantityKind::Everything, "", ""};
    session.pressBuy(stock::kCode, allIn);
    for (int second = 0; second < 900; ++second)
        session.step();
    const std::string secondTry = fileText(session.record());
    ASSERT_TRUE(session.goBackTo(kLeftAt - 1000));
    ASSERT_EQ(session.branches().size(), 2u);
    EXPECT_EQ(session.branches()[1].leftAt, kLeftAt - 1000);
    EXPECT_EQ(fileText(session.branchRecord(1)), secondTry);
    EXPECT_EQ(fileText(session.branchRecord(0)), fileText(straight));

    // Past the end, or during a file's replay, nothing goes back or is kept.
    EXPECT_FALSE(session.goBackTo(session.elapsed() + 1));
    session.startReplay(straight);
    EXPECT_TRUE(session.branches().empty());
    session.step();
    EXPECT_FALSE(session.goBackTo(0));
    EXPECT_TRUE(session.branches().empty());
}

// The state a fresh practice reaches pressing the record's presses straight
// through to its last second.
SessionState straightRun(const SessionRecord& record) {
    SilentLog log;
    PracticeSession session(log, log, record.market);
    std::size_t next = 0;
    pressDue(session, record.actions, next);
    while (session.elapsed() < record.results.seconds) {
        session.step();
        pressDue(session, record.actions, next);
    }
    return session.state();
}

// Continuing a branch makes the practice exactly the straight run of its
// presses, whether it ends before or after the line under way; the line left
// becomes a branch and can be continued back. A branch saved with the
// practice reopens the same, and the reopened practice continues it too.
TEST(SessionState, ContinuingABranchIsTheStraightRunOfItsPresses) {
    SilentLog log;
    PracticeSession session(log, log, 5);
    session.keepCheckpoints(600);
    SplitMix64 random(5);
    while (session.elapsed() < 5400) {
        session.step();
        pressAtRandom(session, random);
    }
    const SessionRecord first = session.record();
    ASSERT_TRUE(session.goBackTo(2000));
    for (int second = 0; second < 700; ++second) {
        session.step();
        pressAtRandom(session, random);
    }
    ASSERT_TRUE(session.pressedAfterBranch(0));
    const SessionRecord second = session.record();
    const SessionState secondState = session.state();

    ASSERT_TRUE(session.continueBranch(0));
    EXPECT_TRUE(session.state() == straightRun(first));
    ASSERT_EQ(session.branches().size(), 1u);
    EXPECT_EQ(fileText(session.branchRecord(0)), fileText(second));
    ASSERT_TRUE(session.continueBranch(0));
    EXPECT_TRUE(session.state() == secondState);
    EXPECT_EQ(fileText(session.branchRecord(0)), fileText(first));

    const SessionFileRead read =
        readSessionFile(writeSessionFile(session.record()).text.value_or(""));
    ASSERT_TRUE(read.record) << read.error;
    PracticeSession reopened(log, log);
    reopened.keepCheckpoints(600);
    reopened.startReplay(*read.record);
    while (reopened.replaying())
        reopened.step();
    ASSERT_EQ(reopened.branches().size(), 1u);
    EXPECT_EQ(fileText(reopened.record()), fileText(session.record()));
    EXPECT_EQ(fileText(reopened.branchRecord(0)), fileText(session.branchRecord(0)));
    ASSERT_TRUE(reopened.continueBranch(0));
    EXPECT_TRUE(reopened.state() == straightRun(first));
}

// What would have happened is what a live practice does with those presses:
// the same presses to the second, then nothing (あのまま持っていたら), or a
// cancel and a market sale of everything held (ここで決済していたら), on to
// the same last second.
TEST(SessionState, WhatIfsEndAsALivePracticePressingTheChangedPresses) {
    SilentLog log;
    PracticeSession original(log, log, 11);
    SplitMix64 random(11);
    const OrderForm allIn{PriceKind::Market, "", QuantityKind::Everything, "", ""};
    original.pressBuy(stock::kCode, allIn);
    while (original.elapsed() < 3600) {
        original.step();
        pressAtRandom(original, random);
    }
    const SessionRecord record = original.record();
    std::size_t closedWithShares = 0;
    for (const std::uint64_t second : {0ull, 900ull, 1800ull, 2400ull, 3000ull, 3599ull}) {
        for (const WhatIfKind kind : {WhatIfKind::Held, WhatIfKind::Closed}) {
            const WhatIf whatIf = replayWhatIf(record, kind, second);
            std::vector<SessionAction> before;
            std::copy_if(record.actions.begin(), record.actions.end(), std::back_inserter(before),
                         [second](const SessionAction& a) { return a.second <= second; });
            PracticeSession live(log, log, 11);
            std::size_t next = 0;
            for (pressDue(live, before, next); live.elapsed() < 3600;
                 pressDue(live, before, next)) {
                if (kind == WhatIfKind::Closed && live.elapsed() == second) {
                    live.pressCancel();
                    live.pressSell(stock::kCode, allIn);
                }
                live.step();
            }
            EXPECT_TRUE(differingResults(live.results(), whatIf.results).empty()) << second;
            const std::string sentence = whatIfSentence(whatIf, original.figures());
            if (kind == WhatIfKind::Closed && whatIf.held > 0) {
                ++closedWithShares;
                EXPECT_EQ(live.trader().account().holdings(), 0) << second;
                EXPECT_NE(
                    sentence.find(std::to_string(whatIf.fillsAfter.back().time.second - second) +
                                  " 秒後"),
                    std::string::npos)
                    << sentence;
            }
        }
    }
    EXPECT_GE(closedWithShares, 2u);

    // Without the last sale pressed before the last sale's fill: every other
    // press as it was.
    const auto& fills = original.ledger().fills();
    const auto sold = std::find_if(fills.rbegin(), fills.rend(), [](const LedgerFill& fill) {
        return fill.side == OrderSide::Sell;
    });
    ASSERT_NE(sold, fills.rend());
    std::vector<SessionAction> others = record.actions;
    for (auto press = others.rbegin(); press != others.rend(); ++press)
        if (press->kind == ActionKind::Sell && press->second < sold->time.second) {
            others.erase(std::prev(press.base()));
            break;
        }
    PracticeSession live(log, log, 11);
    std::size_t next = 0;
    for (pressDue(live, others, next); live.elapsed() < 3600; pressDue(live, others, next))
        live.step();
    const WhatIf without = replayWhatIf(record, WhatIfKind::WithoutSale, sold->time.second);
    EXPECT_TRUE(differingResults(live.results(), without.results).empty());
    EXPECT_EQ(
        whatIfSentence(without, original.figures()).rfind("この売りをしなかったら、純損益は", 0),
        0u);
}

} // namespace
} // namespace vantrel
