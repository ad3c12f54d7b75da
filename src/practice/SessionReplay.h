#pragma once

#include "practice/SessionRecord.h"
#include "practice/SessionStatistics.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// A session replayed without a window, to the second its file was saved at.
struct HeadlessReplay {
    // What the log would hold, each line "<market second>  <message>".
    std::vector<std::string> lines;
    SessionResults results;
    // Only when asked for: they need the price of every second, which a
    // replay otherwise does not keep.
    std::optional<SessionStatistics> statistics;
};
// Given onLine, each log line goes there as it is made and none is kept, so
// memory follows what is written, not the seconds replayed. A record handed
// over (std::move) is replayed without a copy of its actions.
using ReplayLineSink = std::function<void(const std::string&)>;
HeadlessReplay replaySession(SessionRecord record, const ReplayLineSink& onLine = {},
                             bool withStatistics = false);

// The results window's figures, one "caption=value" line each, the values as
// plain numbers rounded as the window shows them; empty where a figure has no
// value (平均取得単価 while nothing is held). Explained, each is followed by
// its explanation line.
std::vector<std::string> figureResultLines(const Figures& figures, bool explained = false);

// The saved results that differ, one "key: file X, replay Y" line each;
// empty when the claim holds exactly.
std::vector<std::string> differingResults(const SessionResults& claimed,
                                          const SessionResults& replayed);

} // namespace vantrel
