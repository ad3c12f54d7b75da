#include "practice/ChanceComparison.h"
#include "practice/PracticeSession.h"
#include "practice/SessionStatistics.h"
#include "trading/SilentLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace vantrel {
namespace {

const OrderForm kMarketBuy{PriceKind::Market, "", QuantityKind::Shares, "1000", ""};
const OrderForm kSellAll{PriceKind::Market, "", QuantityKind::Everything, "", ""};

bool near(double a, double b) {
    return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(b));
}

// Random presses over five hours of market 7, then everything sold. Checked
// against what the session itself kept: the trips' profits add up to the
// realised profit less every commission, their seconds to the seconds shares
// were held, and 資産合計 derived from the fills to the account's at times.
TEST(SessionStatistics, IdentitiesOverALongRandomSession) {
    SilentLog quiet;
    PracticeSession session(quiet, quiet, 7);
    SplitMix64 random(20261207);
    const OrderForm forms[] = {
        kMarketBuy,
        kSellAll,
        {PriceKind::Limit, "497", QuantityKind::Yen, "", "1500000"},
        {PriceKind::Limit, "503", QuantityKind::Shares, "1000", ""},
        {PriceKind::Market, "", QuantityKind::Everything, "", ""},
    };
    std::uint64_t heldSeconds = 0;
    double most = 0;
    const auto second = [&] {
        session.step();
        const double held = session.trader().account().holdings();
        heldSeconds += held > 0;
        most = std::max(most, held);
    };
    for (int s = 0; s < 18000; ++s) {
        second();
        const auto pick = random.below(60);
        if (pick < 5 && pick % 2)
            session.pressSell(stock::kCode, forms[pick]);
        else if (pick < 5)
            session.pressBuy(stock::kCode, forms[pick]);
        else if (pick == 5)
            session.pressCancel();
        if (s % 997 == 0) {
            ASSERT_TRUE(near(assetsPerSecond(session.ledger().fills(), session.prices()).back(),
                             session.figures()[Measure::TotalAssets].value()))
                << s;
        }
    }
    session.pressCancel();
    session.pressSell(stock::kCode, kSellAll);
    for (int s = 0; s < 600 && session.trader().account().hasPendingOrder(); ++s)
        second();
    ASSERT_EQ(session.trader().account().holdings(), 0);

    const Ledger& ledger = session.ledger();
    const std::vector<RoundTrip> trips = roundTrips(ledger.fills(), session.prices());
    double profits = 0, seconds = 0;
    for (const RoundTrip& trip : trips) {
        EXPECT_FALSE(trip.open);
        EXPECT_LE(trip.adverse, 0);
        EXPECT_GE(trip.favourable, 0);
        profits += trip.profit;
        seconds += static_cast<double>(trip.holdingSeconds());
    }
    EXPECT_GT(trips.size(), 40u);
    EXPECT_TRUE(near(profits, ledger.realised() - ledger.commissions()));
    EXPECT_EQ(seconds, static_cast<double>(heldSeconds));
    const Statistics st = computeStatistics(trips, ledger.fills(), session.prices());
    EXPECT_EQ(st.mostShares, most);
    EXPECT_EQ(*st.timeInMarket, 100.0 * heldSeconds / session.elapsed());
}

// Runs the practice second by second, pressing at the seconds given.
void practise(PracticeSession& session, std::uint64_t seconds, std::uint64_t buyAt,
              std::uint64_t sellAt) {
    for (std::uint64_t s = 0; s < seconds; ++s) {
        if (s == buyAt)
            session.pressBuy(stock::kCode, kMarketBuy);
        if (s == sellAt)
            session.pressSell(stock::kCode, kSellAll);
        session.step();
    }
}

// A learner who knows the market buys before its lowest ask and sells before
// the highest bid after it (an attempt comes six seconds after a press): no
// computer trader making one round trip of the same size does better.
TEST(ChanceComparison, ALearnerWhoBeatsEveryComputerTraderIsTopZero) {
    constexpr std::uint64_t kSeconds = 3600, kWait = 6;
    Market market(3);
    market.StartUp();
    std::vector<Quotes> q{market.quotes()};
    for (std::uint64_t s = 0; s < kSeconds; ++s) {
        market.Tick();
        q.push_back(market.quotes());
    }
    // s: the second the sale fills; cheapest: the best second for the buy to
    // fill, at least an attempt's wait before the sale is pressed.
    double best = -1e9;
    std::uint64_t buyAt = 0, sellAt = 0, cheapest = kWait;
    for (std::uint64_t s = 2 * kWait; s < kSeconds; ++s) {
        const Quotes& buy = q[s - kWait];
        if (buy.dblAskPrice < q[cheapest].dblAskPrice && buy.dblAskAmount >= 1000)
            cheapest = s - kWait;
        if (q[s].dblBidAmount >= 1000 && q[s].dblBidPrice - q[cheapest].dblAskPrice > best) {
            best = q[s].dblBidPrice - q[cheapest].dblAskPrice;
            buyAt = cheapest - kWait;
            sellAt = s - kWait;
        }
    }
    SilentLog quiet;
    PracticeSession session(quiet, quiet, 3);
    practise(session, kSeconds, buyAt, sellAt);
    const SessionStatistics analysis = analysePractice(session);
    ASSERT_EQ(analysis.statistics.trips, 1);
    ASSERT_TRUE(analysis.chance);
    EXPECT_GT(analysis.chance->learnerNet, analysis.chance->nets.back());
    EXPECT_EQ(analysis.chance->topPercent, 0);
}

// The practice and its saved file replayed get the same answer; 上位 counts
// only the traders strictly above; the histogram holds every trader and the
// learner's bin holds the learner; progress runs to the end unless cancelled.
TEST(ChanceComparison, SameSessionSameAnswerAndTheFiguresDefined) {
    SilentLog quiet;
    PracticeSession session(quiet, quiet, 5);
    practise(session, 2400, 100, 1300);
    const SessionStatistics live = analysePractice(session);
    ASSERT_TRUE(live.chance);
    const ChanceResult& r = *live.chance;
    EXPECT_EQ(analyseRecord(session.record()).chance->nets, r.nets);
    EXPECT_EQ(r.nets.size(), static_cast<std::size_t>(kChanceTraders));
    EXPECT_TRUE(std::is_sorted(r.nets.begin(), r.nets.end()));
    EXPECT_LT(r.nets.front(), r.nets.back()); // the traders did differ
    EXPECT_TRUE(r.low <= r.median && r.median <= r.high);
    EXPECT_EQ(r.low, r.nets[49]); // the 50th and the 950th of a thousand
    EXPECT_EQ(r.high, r.nets[949]);

    ChancePlan plan = chancePlan(session.record(), session.elapsed(), live.trips, 0);
    const struct {
        double learner, top;
    } edges[] = {{r.nets.back(), 0}, {r.nets.back() + 1, 0}, {r.nets.front() - 1, 100}};
    for (const auto& edge : edges) {
        plan.learnerNet = edge.learner;
        std::vector<double> fractions;
        const auto result = compareWithChance(plan, {[&](double f) { fractions.push_back(f); }});
        EXPECT_EQ(result->topPercent, edge.top) << edge.learner;
        int counted = 0;
        for (const ChanceBin& bin : result->bins)
            counted += bin.count;
        EXPECT_EQ(counted, kChanceTraders);
        const ChanceBin& mine = result->bins[result->learnerBin];
        EXPECT_TRUE(mine.lower <= edge.learner && edge.learner <= mine.upper);
        EXPECT_EQ(fractions.back(), 1.0);
    }
    std::atomic<bool> cancel{false};
    EXPECT_FALSE(compareWithChance(plan, {[&](double) { cancel = true; }, &cancel}));
    plan.lastOpen = true; // the traders' one trip is held to the end as well
    const auto open = compareWithChance(plan);
    EXPECT_LT(open->nets.front(), open->nets.back());
    EXPECT_EQ(SplitMix64(0).next(), 0xe220a8397b1dcdafull); // the reference stream
}

// A closed practice is compared over the learner's own span, to the last
// closing fill: idling on, or a press that trades nothing, changes neither the
// span, the seed nor the answer, and the market tool's replay of the file
// agrees. With a trip open the span runs to the second now.
TEST(ChanceComparison, IdlingAfterTheLastRoundTripChangesNothing) {
    SilentLog quiet;
    PracticeSession session(quiet, quiet, 5);
    practise(session, 1500, 100, 1300);
    const SessionStatistics first = analysePractice(session);
    ASSERT_TRUE(first.chance);
    ASSERT_FALSE(first.trips.back().open);
    ASSERT_LT(first.trips.back().end, session.elapsed());
    session.pressBuy(stock::kCode, {PriceKind::Limit, "401", QuantityKind::Shares, "1000", ""});
    for (int s = 0; s < 900; ++s)
        session.step();
    session.pressCancel();
    for (int s = 0; s < 900; ++s)
        session.step();
    const SessionStatistics later = analysePractice(session);
    EXPECT_EQ(later.chance->nets, first.chance->nets);
    EXPECT_EQ(later.chance->topPercent, first.chance->topPercent);
    EXPECT_EQ(analyseRecord(session.record()).chance->nets, first.chance->nets);
    const ChancePlan plan = chancePlan(session.record(), session.elapsed(), later.trips, 0);
    EXPECT_EQ(plan.seconds, first.trips.back().end);

    std::vector<RoundTrip> open = later.trips;
    open.back().open = true;
    EXPECT_EQ(chancePlan(session.record(), session.elapsed(), open, 0).seconds, session.elapsed());
}

// A cancel is looked at while the market's run is computed, not only between
// traders: the first look comes before any real work, and once set nothing more
// is done.
TEST(ChanceComparison, ACancelIsSeenBeforeTheMarketRunsItsWeek) {
    ChancePlan plan;
    plan.seconds = 7 * 24 * 3600;
    plan.tripShares = {1000};
    std::atomic<bool> cancel{false};
    std::vector<double> fractions;
    const auto stopAtOnce = [&](double fraction) {
        fractions.push_back(fraction);
        cancel = true;
    };
    EXPECT_FALSE(compareWithChance(plan, {stopAtOnce, &cancel}));
    ASSERT_EQ(fractions.size(), 1u);
    EXPECT_LT(fractions.front(), 0.001);
}

// The comparison's work is bounded: many round trips, fewer traders; too
// many, no comparison rather than seconds of waiting.
TEST(ChanceComparison, TradersShrinkWithTheRoundTripsWithinTheBudget) {
    const std::pair<std::size_t, int> rows[] = {{0, 0},     {1, 1000},   {250, 1000},
                                                {251, 996}, {2500, 100}, {2501, 0}};
    for (const auto& [trips, traders] : rows)
        EXPECT_EQ(chanceTraders(trips), traders) << trips;
    ChancePlan plan;
    plan.seconds = 100;
    plan.tripShares.assign(2501, 1000);
    EXPECT_FALSE(compareWithChance(plan));
}

} // namespace
} // namespace vantrel
