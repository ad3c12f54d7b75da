#pragma once

#include "exercise/ExerciseScore.h"
#include "practice/ChanceComparison.h"

#include <memory>
#include <optional>
#include <vector>

namespace vantrel {

// How many market orders a computer trader splits a 買い集め or 売り切り
// into, at most: one a trading unit up to this many.
inline constexpr int kRandomTaskOrders = 10;

// The same task done by computer traders on the same market and seconds,
// through the real trading rules, the exercise's score placed among theirs
// (nets and learnerNet hold scores here): 上位, the median, the 5% and 95%
// points and the histogram. For 買い集め a thousand traders buy the N shares
// in up to ten market orders of whole units at random seconds of the
// exercise, an order still unfilled when the next comes cancelled and its
// rest carried into the next; 売り切り sells them so. The other kinds are
// compared with chance as any practice is, on the exercise's seconds. The
// seed is the attempt's, so the same attempt always gets the same answer.
// Empty where the score has no value, or the comparison has nothing to
// compare. `quotes`, when given, are the market's after every second up to
// the exercise's end at least.
std::optional<ChanceResult>
sameTaskAtRandom(const ExerciseFacts& facts, const ChanceProgress& progress = {},
                 std::shared_ptr<const std::vector<Quotes>> quotes = {});

} // namespace vantrel
