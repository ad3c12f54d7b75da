#pragma once

#include "practice/SessionFile.h"
#include "practice/SessionRecord.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

class PracticeSession;

// What the list of kept practices shows of one, computed when its file is
// written so that listing never replays a practice. A kept file carries it
// in its first line, before the actions, where the list reads it from a few
// hundred bytes; the strict reader passes over it and a replay never trusts
// it. Counts are empty for a practice file that came without a summary.
struct PracticeSummary {
    std::int64_t startedMs = 0; // the wall clock at its start, ms since the Unix epoch
    int market = 1;
    std::uint64_t seconds = 0; // market time
    std::optional<std::size_t> fills;
    std::optional<std::size_t> roundTrips; // closed ones
    double netProfit = 0;
    double profitRate = 0;
    // 上位 N% against chance; computed later, off the practice's own thread.
    std::optional<double> topPercent;
};

// The practice as it stands, without the comparison with chance.
PracticeSummary summarisePractice(const PracticeSession& session, std::int64_t startedMs);

// The session file with the summary in its first line; refused as the plain
// file would be when beyond the limits.
SessionFileWrite writeKeptPractice(const SessionRecord& record, const PracticeSummary& summary);

// The summary from the first bytes of a kept file, or why there is none. The
// market is the file's own member.
struct SummaryRead {
    std::optional<PracticeSummary> summary;
    std::string error;
};
SummaryRead readSummary(const std::string& head);

} // namespace vantrel
