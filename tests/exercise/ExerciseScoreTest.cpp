#include "exercise/ExerciseScore.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

LedgerFill fill(OrderSide side, double price, double shares) {
    LedgerFill f;
    f.side = side;
    f.price = price;
    f.shares = shares;
    f.value = price * shares;
    return f;
}

// A hand-made exercise of the given kind over seconds 600 to 900.
ExerciseFacts made(ExerciseKind kind, std::vector<LedgerFill> fills = {}) {
    ExerciseFacts facts;
    facts.card.kind = kind;
    facts.card.start = 600;
    facts.card.timeLimit = 300;
    facts.trace.start = 600;
    facts.trace.end = 900;
    facts.trace.ending = ExerciseEnd::TimeUp;
    facts.sums = sumsOf(fills);
    return facts;
}

// 買い集め of 2,000 shares. The tape met 3,000 shares at 500 and 1,000 at
// 504: VWAP = (1,500,000 + 504,000) / 4,000 = 501.
TEST(ExerciseScore, AccumulateAgainstTheVwapByHand) {
    ExerciseFacts facts = made(ExerciseKind::Accumulate,
                               {fill(OrderSide::Buy, 499, 1000), fill(OrderSide::Buy, 501, 1000)});
    facts.card.shares = 2000;
    facts.trace.tapeValue = 3000 * 500 + 1000 * 504;
    facts.trace.tapeShares = 4000;
    // Bought 1,000 at 499 and 1,000 at 501: effective 500, and
    // (501 − 500) / 501 × 10,000 = 19.96008 bp ≥ 0: passed.
    ExerciseScore score = scoreExercise(facts, std::nullopt);
    EXPECT_NEAR(*score.score, 10000.0 / 501, 1e-9);
    EXPECT_TRUE(score.passed) << score.why;
    EXPECT_EQ(score.unit, "bp");

    // Only the first 1,000 bought; time ran out with the best ask at 505:
    // (499,000 + 1,000 × 505) / 2,000 = 502, (501 − 502) / 501 × 10,000.
    facts.sums = sumsOf({fill(OrderSide::Buy, 499, 1000)});
    facts.trace.closing.dblAskPrice = 505;
    score = scoreExercise(facts, std::nullopt);
    EXPECT_NEAR(*score.score, -10000.0 / 501, 1e-9);
    EXPECT_FALSE(score.passed);
    EXPECT_EQ(score.why, "2,000株のうち1,000株しか買いませんでした。");
    // No ask at all: the rest counts at 600, (499,000 + 600,000) / 2,000 =
    // 549.5, (501 − 549.5) / 501 × 10,000.
    facts.trace.closing.dblAskPrice = 0;
    EXPECT_NEAR(*scoreExercise(facts, std::nullopt).score, -485000.0 / 501, 1e-9);
    // A card asking 20 bp is not met by 19.96.
    facts.sums = sumsOf({fill(OrderSide::Buy, 499, 1000), fill(OrderSide::Buy, 501, 1000)});
    facts.card.threshold = 20;
    EXPECT_FALSE(scoreExercise(facts, std::nullopt).passed);
    // Nothing met on the tape: no VWAP, no score.
    facts.trace.tapeValue = facts.trace.tapeShares = 0;
    score = scoreExercise(facts, std::nullopt);
    EXPECT_FALSE(score.score);
    EXPECT_EQ(score.undefinedWhy, "課題の間に一株も売買されず、VWAP がありません");
}

// 売り切り of 2,000 shares bought at the arrival price of 500.
TEST(ExerciseScore, LiquidateAgainstTheArrivalPriceByHand) {
    ExerciseFacts facts = made(ExerciseKind::Liquidate, {fill(OrderSide::Sell, 502, 1000),
                                                         fill(OrderSide::Sell, 498, 1000)});
    facts.card.shares = facts.card.startShares = 2000;
    facts.trace.arrival = 500;
    // Sold at 502 and 498: effective 500, (500 − 500) / 500 × 10,000 = 0 bp,
    // which reaches the default mark of 0.
    ExerciseScore score = scoreExercise(facts, std::nullopt);
    EXPECT_EQ(*score.score, 0);
    EXPECT_TRUE(score.passed) << score.why;
    // Half sold at 510, no bid at the end: the rest at 400, (510,000 +
    // 400,000) / 2,000 = 455, (455 − 500) / 500 × 10,000 = −900 bp.
    facts.sums = sumsOf({fill(OrderSide::Sell, 510, 1000)});
    score = scoreExercise(facts, std::nullopt);
    EXPECT_DOUBLE_EQ(*score.score, -900);
    EXPECT_FALSE(score.passed);
    // Left before its first second: nothing to score.
    facts.trace.end = facts.trace.start;
    score = scoreExercise(facts, std::nullopt);
    EXPECT_FALSE(score.score);
    EXPECT_EQ(score.undefinedWhy, "課題が始まる前に終わりました");
}

// 利益目標 +5,000 yen with a drawdown of at most 20,000: the score is 純損益,
// passed only when the goal ended it.
TEST(ExerciseScore, ProfitTargetPassesOnlyWhenTheGoalEndedIt) {
    ExerciseFacts facts = made(ExerciseKind::ProfitTarget);
    facts.card.target = 5000;
    facts.card.drawdown = 20000;
    facts.netProfit = 5200; // bought 1,000 at 500 (2,100 commission), sold at 507.3
    facts.trace.ending = ExerciseEnd::Goal;
    ExerciseScore score = scoreExercise(facts, std::nullopt);
    EXPECT_EQ(*score.score, 5200);
    EXPECT_TRUE(score.passed);
    facts.netProfit = -21000;
    facts.trace.worstDrawdown = 21000;
    facts.trace.ending = ExerciseEnd::LimitBroken;
    score = scoreExercise(facts, std::nullopt);
    EXPECT_EQ(*score.score, -21000);
    EXPECT_FALSE(score.passed);
    EXPECT_EQ(score.why, "資産合計が最高から 21,000円下がり、上限の 20,000円を超えました。");
    facts.trace.ending = ExerciseEnd::TimeUp;
    EXPECT_EQ(scoreExercise(facts, std::nullopt).why,
              "時間内に目標の +5,000円に届きませんでした。");
    facts.trace.end = facts.trace.start;
    EXPECT_FALSE(scoreExercise(facts, std::nullopt).score);
}

// 往復 is scored by the comparison with chance (lower is better);
// 指値だけで利益 by 純損益 after enough round trips.
TEST(ExerciseScore, RoundTripKindsByHand) {
    ExerciseFacts facts = made(ExerciseKind::RoundTrips);
    facts.card.roundTrips = 3;
    facts.roundTrips = 3;
    facts.chance.tripShares = {1000, 1000, 1000};
    ChanceResult random;
    random.topPercent = 12.5; // 125 of 1,000 traders did better
    ExerciseScore score = scoreExercise(facts, random);
    EXPECT_EQ(*score.score, 12.5);
    EXPECT_TRUE(score.passed); // within the default 上位 50%
    facts.card.threshold = 10;
    EXPECT_FALSE(scoreExercise(facts, random).passed);
    facts.roundTrips = 2;
    facts.card.threshold.reset();
    EXPECT_FALSE(scoreExercise(facts, random).passed);
    // Without a comparison (too many trips to compare) there is no score.
    score = scoreExercise(facts, std::nullopt);
    EXPECT_FALSE(score.score);
    EXPECT_EQ(score.undefinedWhy, "往復が多すぎて、偶然と比べられません");

    facts = made(ExerciseKind::LimitProfit);
    facts.card.roundTrips = 2;
    facts.roundTrips = 2;
    facts.netProfit = 3000;
    EXPECT_TRUE(scoreExercise(facts, std::nullopt).passed);
    facts.netProfit = 0; // even is no profit
    EXPECT_FALSE(scoreExercise(facts, std::nullopt).passed);
    facts.trace.end = facts.trace.start;
    EXPECT_FALSE(scoreExercise(facts, std::nullopt).score);
}

} // namespace
} // namespace vantrel
