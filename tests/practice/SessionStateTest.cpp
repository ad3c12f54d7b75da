#include "practice/ChanceComparison.h"
#include "practice/PracticeSession.h"
#include "trading/SilentLog.h"

#include <gtest/gtest.h>

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

    const OrderForm forms[] = {
        {PriceKind::Market, "", QuantityKind::Shares, "1000", ""},
        {PriceKind::Market, "", QuantityKind::Everything, "", ""},
        {PriceKind::Limit, "497", QuantityKind::Yen, "", "1500000"},
        {PriceKind::Limit, "503", QuantityKind::Shares, "2000", ""},
        {PriceKind::Limit, "x", QuantityKind::Shares, "1000", ""}, // refused with a box
    };
    SplitMix64 random(7);
    const auto pressAtRandom = [&] {
        const auto pick = random.below(40);
        if (pick < 5 && pick % 2)
            session.pressSell(stock::kCode, forms[pick]);
        else if (pick < 5)
            session.pressBuy(stock::kCode, forms[pick]);
        else if (pick == 5)
            session.pressCancel();
    };
    constexpr std::uint64_t kEnd = 4 * 3600;
    const std::uint64_t samples[] = {0, 1, 299, 300, 301, 7777, 9000, kEnd - 1, kEnd};
    std::map<std::uint64_t, SessionState> straight;
    pressAtRandom();
    straight.emplace(0, session.state());
    while (session.elapsed() < kEnd) {
        session.step();
        pressAtRandom();
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
        const auto pressesOf = [&] {
            for (; next < presses.size() && presses[next].second == session.elapsed(); ++next) {
                const SessionAction& a = presses[next];
                if (a.kind == ActionKind::Buy)
                    session.pressBuy(a.codeText, a.form);
                else if (a.kind == ActionKind::Sell)
                    session.pressSell(a.codeText, a.form);
                else
                    session.pressCancel();
            }
        };
        while (session.elapsed() < kEnd) {
            session.step();
            pressesOf();
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

} // namespace
} // namespace vantrel
