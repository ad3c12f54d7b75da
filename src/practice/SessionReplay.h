#pragma once

#include "practice/SessionRecord.h"
#include "practice/SessionStatistics.h"

#include <cstdint>
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

// What would have happened in the practice: its presses up to the end of a
// chosen second, then a change, replayed headless to its last second under
// the same rules, waits and part fills (the market is the same whatever is
// pressed).
enum class WhatIfKind {
    // あのまま持っていたら: nothing pressed after the second.
    Held,
    // ここで決済していたら: at the second, the pending order cancelled and
    // every share held sold at market; nothing pressed after.
    Closed,
    // この売りをしなかったら: for a sale filled at the second, the last sale
    // pressed before it left out, every other press as it was.
    WithoutSale,
};
SessionRecord editedRecord(const SessionRecord& record, WhatIfKind kind, std::uint64_t second);

struct WhatIf {
    WhatIfKind kind = WhatIfKind::Held;
    std::uint64_t second = 0;
    // At the practice's last second.
    SessionResults results;
    // The fills after the second: for Closed, the sale's parts.
    std::vector<LedgerFill> fillsAfter;
    // The shares held at the end of the second.
    double held = 0;
    // Every fill of the changed practice: its 資産合計 second by second.
    std::vector<LedgerFill> fills;
};
WhatIf replayWhatIf(const SessionRecord& record, WhatIfKind kind, std::uint64_t second);

// The what-if in one sentence against the practice's own 純損益:
// ここで成行で売っていたら、純損益は −2,000円 ではなく +3,100円 でした（約定は 3 秒後、498円）。
// A sale in parts gives when its last part filled and the average price.
std::string whatIfSentence(const WhatIf& whatIf, const Figures& actual);

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
