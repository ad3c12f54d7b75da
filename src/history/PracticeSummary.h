#pragma once

#include "exercise/ExerciseCard.h"
#include "practice/SessionFile.h"
#include "practice/SessionRecord.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vantrel {

class PracticeSession;

// What the list shows of an exercise's attempt. The title is cut to
// kAttemptTitleBytes so the summary stays within the head the list reads.
struct AttemptSummary {
    std::string title;
    ExerciseKind kind = ExerciseKind::Accumulate;
    std::string unit;            // the score's, as exerciseScoreUnit gives it
    double passLine = 0;         // passingScore of its card
    bool scored = false;         // false while the attempt is under way
    std::optional<double> score; // empty when scored: undefined ("—")
    bool passed = false;
};
inline constexpr std::size_t kAttemptTitleBytes = 256;

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
    // 上位 N% against chance; computed later, off the practice's own thread,
    // and kept apart from the file (see TopPercentIndex.h). Files of earlier
    // versions may carry it here.
    std::optional<double> topPercent;
    // The mark of a file Vantrel kept itself: the name it was created under
    // and its place among the kept practices (1, 2, …, in the order their
    // files were first written, whatever the clock said). Empty and 0 in a
    // summary that does not carry them.
    std::string keptAs;
    std::uint64_t order = 0;
    // An exercise's attempt: its card and score; none for a free practice.
    // Shared, a pointer's size in the rows of a folder of free practices.
    std::shared_ptr<const AttemptSummary> attempt;
};

// The practice as it stands, without the comparison with chance; an
// attempt's card and its result once scored.
PracticeSummary summarisePractice(const PracticeSession& session, std::int64_t startedMs);

// The session file with the summary in its first line; refused as the plain
// file would be when beyond the limits.
SessionFileWrite writeKeptPractice(const SessionRecord& record, const PracticeSummary& summary);

// The summary from the first bytes of a kept file, or why there is none. The
// market is the file's own member. A summary whose values no practice can
// reach (a start outside the years 2000 to 9999, a 純損益 beyond what the
// market allows in a week, a 損益率 that does not match it, counts beyond the
// session file's limits, an attempt of an unknown kind, a unit not its
// kind's, a score without passed or beyond what its unit allows, a member it
// does not know) is refused as damaged.
struct SummaryRead {
    std::optional<PracticeSummary> summary;
    std::string error;
};
SummaryRead readSummary(const std::string& head);

// The widest 純損益 a practice can reach: at worst it loses its whole start
// (the commissions included), and a week at prices that stay between 400
// and 600 yen cannot multiply it by more than a few thousand even when every
// trade wins.
inline constexpr double kLeastNetProfit = -3000000.0 * 2;
inline constexpr double kMostNetProfit = 3000000.0 * 1e4;

// The first line of a kept file (its summary) as a number, so that a value
// computed from the file is known to belong to this very practice: 0 when
// the head has no such line.
std::uint64_t headIdentity(const std::string& head);

} // namespace vantrel
