#pragma once

#include "market/Tape.h"
#include "results/RoundTrips.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// What a look back at a closed round trip points out. Each is a rule over
// numbers the results show (the trip's row, the statistics) or that the
// sentence itself states, never advice that cannot be checked.
enum class ReviewPoint {
    // 最大順行幅 against the trip's 損益: how much of the best open profit was kept.
    KeptProfit,
    // 最大逆行幅 against the trip's 損益: how deep the worst moment went.
    WorstMoment,
    // 平均買値 and 平均売値 against the market's VWAP over the trip's seconds.
    AgainstVwap,
    // 保有時間 against the average of the trips closed before it.
    Holding,
    // The largest loss or profit of the practice so far.
    Record,
};

struct ReviewSentence {
    ReviewPoint point;
    std::string text;
};

// The look back at one closed round trip (振り返り).
struct TripReview {
    int number = 0; // as the round-trip table numbers it, 1 for the first
    // The market's VWAP over the trip's seconds; empty when nothing traded.
    std::optional<double> vwap;
    std::vector<ReviewSentence> sentences;

    // The sentences one after another, as the window and the tool show them.
    std::string text() const;
};

// The VWAP of the tape's lines printed in the market seconds first to last,
// both included; empty when no shares met then, or when lines of those
// seconds were dropped (only past a week), so a part is never taken for all.
std::optional<double> tapeVwap(const Tape& tape, std::uint64_t first, std::uint64_t last);

// A review of every closed trip, oldest first; an open trip has no outcome
// to look back on yet. A trip's review uses only that trip, the trips before
// it and the tape of its own seconds, so it reads the same however the
// practice goes on.
std::vector<TripReview> reviewTrips(const std::vector<RoundTrip>& trips, const Tape& tape);

} // namespace vantrel
