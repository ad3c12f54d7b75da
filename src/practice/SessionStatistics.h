#pragma once

#include "practice/ChanceComparison.h"
#include "practice/SessionRecord.h"
#include "results/RoundTrips.h"
#include "results/Statistics.h"
#include "results/TripReview.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

class PracticeSession;

// Luck or skill: the practice's round trips, what they add up to, and how a
// thousand computer traders fared on the same market.
struct SessionStatistics {
    std::vector<RoundTrip> trips;
    Statistics statistics;
    std::optional<ChanceResult> chance;
    // A look back at each closed trip, against the market's tape.
    std::vector<TripReview> reviews;
};

// The practice as it stands. The statistics take no time; the comparison
// does, so a window runs compareWithChance on a ChancePlan of its own.
// `quotes`, when given, are the market's quotes after every second of the
// practice, sparing the comparison a second run of the market.
SessionStatistics analysePractice(const PracticeSession& session,
                                  const ChanceProgress& progress = {},
                                  std::shared_ptr<const std::vector<Quotes>> quotes = {});
// The record replayed without a window to its last second, then analysed.
// Always computed from the replay: a file's claims play no part. The replay
// keeps its tape, which the reviews measure the trips against.
SessionStatistics analyseRecord(const SessionRecord& record, const ChanceProgress& progress = {});

// The statistics, then the comparison, one "caption=value" line each: plain
// numbers rounded to their decimals, "—" where a figure is undefined.
// Explained, each is followed by its explanation line.
std::vector<std::string> statisticsLines(const SessionStatistics& analysis, bool explained = false);
// The reviews, one "振り返り N=sentences" line each, N the trip's number.
std::vector<std::string> reviewLines(const SessionStatistics& analysis);

} // namespace vantrel
