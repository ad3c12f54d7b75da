#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// The version of the card file this program reads and writes.
inline constexpr int kExerciseCardFormat = 1;
// A card is a few hundred bytes; anything near this is not a card.
inline constexpr std::size_t kExerciseCardMaxBytes = 64u * 1024u;
// The longest practice a session file holds: an exercise must end within it.
inline constexpr std::uint64_t kExerciseLongestSession = 7u * 24u * 3600u;
// An exercise runs at most eight hours, a trading day and more.
inline constexpr std::uint64_t kExerciseMaxSeconds = 8u * 3600u;
inline constexpr std::size_t kExerciseMaxTextBytes = 4096;
// Round trips a card may ask for: the comparison with chance still runs
// a thousand computer traders at this many.
inline constexpr int kExerciseMaxRoundTrips = 250;

// The kinds of task, each scored one way (ExerciseScore).
enum class ExerciseKind {
    Accumulate,   // 買い集め: buy N shares within T, against the VWAP
    Liquidate,    // 売り切り: sell the N shares held within T, against the arrival price
    ProfitTarget, // 利益目標: reach +X yen without a drawdown over Y
    RoundTrips,   // 往復: at least K round trips, ranked against chance
    LimitProfit,  // 指値だけで利益: limit orders only, K round trips, a profit
};

// The kind's name in a card file ("accumulate") and on screen ("買い集め").
const char* exerciseKindKey(ExerciseKind kind);
const char* exerciseKindName(ExerciseKind kind);
std::optional<ExerciseKind> exerciseKindOfKey(const std::string& key);

// One exercise: what the learner is told, the market and the moment it
// starts at, the time it lasts, the task and its numbers, and the limits a
// press must keep. A plain value; readExerciseCard checks every field.
struct ExerciseCard {
    int format = kExerciseCardFormat;
    std::string title;
    std::string instructions;
    std::string hint; // may be empty
    // Empty: a different market at each attempt, drawn and then recorded in
    // the attempt's file.
    std::optional<int> market;
    // The market second the exercise starts at; the market runs ahead to it.
    std::uint64_t start = 0;
    // Held when it starts, bought at the arrival price (売り切り only).
    double startShares = 0;
    std::uint64_t timeLimit = 600; // market seconds
    ExerciseKind kind = ExerciseKind::Accumulate;
    double shares = 0;   // N: 買い集め, 売り切り
    double target = 0;   // X yen of 純損益: 利益目標
    double drawdown = 0; // Y yen below the peak of 資産合計: 利益目標
    int roundTrips = 0;  // K: 往復, 指値だけで利益
    // The score that passes: basis points (買い集め, 売り切り) or 上位 N%
    // (往復). Empty: the kind's default.
    std::optional<double> threshold;
    // The most shares held at once, a pending buy counted as if filled;
    // empty: no limit beyond the money.
    std::optional<double> maxShares;
    bool limitOrders = true;
    bool marketOrders = true;

    // The threshold in force: the card's, or 0 bp, or 上位 50%.
    double passMark() const;
    // The second the exercise ends at when time runs out.
    std::uint64_t end() const { return start + timeLimit; }
};

// A card read strictly, or a Japanese message naming the field at fault.
struct ExerciseCardRead {
    std::optional<ExerciseCard> card;
    std::string error;
};
ExerciseCardRead readExerciseCard(const std::string& text);
// The card as compact JSON, as an attempt's file carries it, or indented by
// that many blanks for a card file a teacher reads; reads back as the same
// card.
std::string writeExerciseCard(const ExerciseCard& card, int indent = -1);
// A card file at a path (UTF-8), never read beyond the size limit.
ExerciseCardRead openExerciseCard(const std::string& path);

// What the learner is told before starting, beside the instructions: the
// market, the times, the task's numbers and the limits, as caption and value
// ("制限時間", "300 秒"). The window and the market tool show the same.
struct CardFact {
    std::string caption;
    std::string value;
};
std::vector<CardFact> cardFacts(const ExerciseCard& card);

} // namespace vantrel
