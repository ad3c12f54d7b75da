#pragma once

#include "exercise/ExerciseCard.h"
#include "market/Quotes.h"
#include "practice/ChanceComparison.h"
#include "results/Ledger.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// How an exercise ended, or that it runs still.
enum class ExerciseEnd { Running, TimeUp, Goal, LimitBroken, Abandoned };
// "timeUp" and the like, as an attempt's file holds it; "時間切れ" on screen.
const char* exerciseEndKey(ExerciseEnd end);
const char* exerciseEndName(ExerciseEnd end);
std::optional<ExerciseEnd> exerciseEndOfKey(const std::string& key);

// The shares and yen the fills of the exercise moved (the opening's shares
// are not among them).
struct TradeSums {
    double boughtShares = 0;
    double boughtValue = 0;
    double soldShares = 0;
    double soldValue = 0;
};
TradeSums sumsOf(const std::vector<LedgerFill>& fills, std::size_t first = 0);

// What an exercise's run saw second by second. Plain values: a window can
// hand them to another thread for the same task at random.
struct ExerciseTrace {
    std::uint64_t start = 0;
    std::uint64_t end = 0; // the last second so far
    double arrival = 0;    // the last price when it started
    double tapeValue = 0;  // Σ price × shares the tape met after the start
    double tapeShares = 0;
    double peakAssets = 0;    // the highest 資産合計 since the start
    double worstDrawdown = 0; // the most 資産合計 fell below its peak
    Quotes closing;           // the quotes at the last second
    ExerciseEnd ending = ExerciseEnd::Running;

    std::uint64_t seconds() const { return end - start; }
    std::optional<double> vwap() const {
        return tapeShares > 0 ? std::optional<double>(tapeValue / tapeShares) : std::nullopt;
    }
};

// Everything a score is computed from.
struct ExerciseFacts {
    ExerciseCard card;
    int market = kStandardMarket;
    ExerciseTrace trace;
    TradeSums sums;
    double netProfit = 0; // 純損益 at the last second
    int roundTrips = 0;   // closed round trips since the start
    // The comparison with chance on the exercise's span, for the kinds that
    // are placed as any practice is; its seed is the attempt's.
    ChancePlan chance;
};

// The price a 買い集め or 売り切り came to, the unfilled shares counted at
// the closing best ask (600 yen without one) or best bid (400 yen).
double effectivePrice(const ExerciseCard& card, const TradeSums& sums, const Quotes& closing);
// The score of a 買い集め or 売り切り in basis points, for the learner and for
// each computer trader alike; empty without a VWAP (買い集め).
std::optional<double> basisPointScore(const ExerciseCard& card, const ExerciseTrace& trace,
                                      const TradeSums& sums);

// One number a score came from, as shown.
struct ScoreNumber {
    std::string caption;
    std::optional<double> value;
    int decimals = 0;
};

struct ExerciseScore {
    ExerciseKind kind = ExerciseKind::Accumulate;
    ExerciseEnd ending = ExerciseEnd::Running;
    std::optional<double> score; // empty: "—", and undefinedWhy says why
    std::string unit;            // "bp", "円", "%"
    std::string undefinedWhy;
    bool passed = false;
    std::string why; // one sentence, passed or not
    std::vector<ScoreNumber> numbers;
    std::optional<ChanceResult> random; // the same task at random
};

// The unit a kind's score is in: "bp", "円" or "%".
const char* exerciseScoreUnit(ExerciseKind kind);
// The decimals a score in that unit is written with: whole yen, 上位 % to
// 0.1, bp to 0.01.
int exerciseScoreDecimals(const std::string& unit);
// The score an attempt must reach to pass, in that unit: the card's pass
// mark, 利益目標's target, or 0 yen (指値だけで利益 needs a profit). 往復 is
// passed at or below it, the others at or above.
double passingScore(const ExerciseCard& card);

// The score, passed or not and why, and the numbers behind them. `random` is
// the same task at random (sameTaskAtRandom); 往復 is scored by it.
ExerciseScore scoreExercise(const ExerciseFacts& facts, const std::optional<ChanceResult>& random);

// What the same task at random says of the score, in one sentence: the
// learner's place among the computer traders and where the middle of them
// came to, or why there is nothing to compare with.
std::string randomSentence(const ExerciseScore& score);

} // namespace vantrel
