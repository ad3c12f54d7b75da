#include "history/PracticeSummary.h"

#include "market/MarketNumber.h"
#include "orders/StockInfo.h"
#include "practice/PracticeSession.h"
#include "results/RoundTrips.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

using Json = nlohmann::ordered_json;

// The writer ends its first line with this, and the actions follow on lines
// of their own; the summary goes in front of it.
const std::string kActionsStart = ",\"actions\":[";

// 2000-01-01 and the end of 9999 (UTC), in ms since the Unix epoch.
constexpr std::int64_t kEarliestStartMs = 946684800000;
constexpr std::int64_t kLatestStartMs = 253402300799999;

// Whether the values are ones a practice can reach: a forged or damaged
// summary is refused rather than shown as if it were a practice.
bool plausible(const PracticeSummary& s) {
    const bool rateMatches = std::fabs(s.profitRate - s.netProfit / stock::kStartPower * 100) <=
                             1e-9 * std::max(1.0, std::fabs(s.profitRate));
    return s.startedMs >= kEarliestStartMs && s.startedMs <= kLatestStartMs &&
           s.seconds <= kSessionFileMaxSeconds && *s.fills <= kSessionFileMaxActions &&
           *s.roundTrips <= *s.fills && std::isfinite(s.netProfit) &&
           s.netProfit >= kLeastNetProfit && s.netProfit <= kMostNetProfit && rateMatches &&
           (!s.topPercent || (*s.topPercent >= 0 && *s.topPercent <= 100));
}

} // namespace

PracticeSummary summarisePractice(const PracticeSession& session, std::int64_t startedMs) {
    PracticeSummary summary;
    summary.startedMs = startedMs;
    summary.market = session.marketNumber();
    summary.seconds = session.elapsed();
    const std::vector<LedgerFill>& fills = session.ledger().fills();
    summary.fills = fills.size();
    const std::vector<RoundTrip> trips = roundTrips(fills, session.prices());
    summary.roundTrips = static_cast<std::size_t>(std::count_if(
        trips.begin(), trips.end(), [](const RoundTrip& trip) { return !trip.open; }));
    const Figures figures = session.figures();
    summary.netProfit = figures[Measure::NetProfit].value_or(0);
    summary.profitRate = figures[Measure::Rate].value_or(0);
    return summary;
}

SessionFileWrite writeKeptPractice(const SessionRecord& record, const PracticeSummary& summary) {
    SessionFileWrite written = writeSessionFile(record);
    if (!written.text)
        return written;
    Json object;
    object["started"] = summary.startedMs;
    object["seconds"] = summary.seconds;
    object["fills"] = summary.fills.value_or(0);
    object["roundTrips"] = summary.roundTrips.value_or(0);
    object["netProfit"] = summary.netProfit;
    object["profitRate"] = summary.profitRate;
    if (summary.topPercent)
        object["topPercent"] = *summary.topPercent;
    if (!summary.keptAs.empty()) {
        object["keptAs"] = summary.keptAs;
        object["order"] = summary.order;
    }
    std::string& text = *written.text;
    // The first occurrence is the member itself: a quote inside the program's
    // name is written escaped.
    const std::size_t at = text.find(kActionsStart);
    text.insert(at, ",\"summary\":" + object.dump());
    if (text.size() > kSessionFileMaxBytes)
        return {std::nullopt, "ファイルが大きすぎます"};
    return written;
}

SummaryRead readSummary(const std::string& head) {
    const std::size_t lineEnd = head.find('\n');
    const std::string line = head.substr(0, lineEnd);
    if (lineEnd == std::string::npos || line.size() < kActionsStart.size() ||
        line.compare(line.size() - kActionsStart.size(), kActionsStart.size(), kActionsStart) != 0)
        return {std::nullopt, "要約がありません"};
    const Json whole =
        Json::parse(line.substr(0, line.size() - kActionsStart.size()) + "}", nullptr, false);
    if (!whole.is_object() || !whole.contains("summary"))
        return {std::nullopt, "要約がありません"};
    const Json& market = whole.value("market", Json());
    const Json& format = whole.value("format", Json());
    const Json& s = whole["summary"];
    const auto whole_number = [&s](const char* key) {
        return s.contains(key) && s[key].is_number_unsigned();
    };
    const auto number = [&s](const char* key) { return s.contains(key) && s[key].is_number(); };
    if (!format.is_number_integer() || format.get<std::int64_t>() < 1 ||
        format.get<std::int64_t>() > kSessionFormat || !market.is_number_integer() ||
        market.get<std::int64_t>() < kStandardMarket || market.get<std::int64_t>() > kLastMarket ||
        !s.is_object() || !s.contains("started") || !s["started"].is_number_integer() ||
        !whole_number("seconds") || !whole_number("fills") || !whole_number("roundTrips") ||
        !number("netProfit") || !number("profitRate") ||
        (s.contains("topPercent") && !number("topPercent")) ||
        (s.contains("keptAs") && (!s["keptAs"].is_string() || !whole_number("order"))))
        return {std::nullopt, "要約が読めません"};
    PracticeSummary summary;
    summary.startedMs = s["started"].get<std::int64_t>();
    summary.market = market.get<int>();
    summary.seconds = s["seconds"].get<std::uint64_t>();
    summary.fills = s["fills"].get<std::size_t>();
    summary.roundTrips = s["roundTrips"].get<std::size_t>();
    summary.netProfit = s["netProfit"].get<double>();
    summary.profitRate = s["profitRate"].get<double>();
    if (s.contains("topPercent"))
        summary.topPercent = s["topPercent"].get<double>();
    if (s.contains("keptAs")) {
        summary.keptAs = s["keptAs"].get<std::string>();
        summary.order = s["order"].get<std::uint64_t>();
    }
    if (!plausible(summary))
        return {std::nullopt, "要約の値がありえません"};
    return {summary, {}};
}

std::uint64_t headIdentity(const std::string& head) {
    const std::size_t lineEnd = head.find('\n');
    if (lineEnd == std::string::npos)
        return 0;
    // FNV-1a: a change anywhere in the line changes the number.
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < lineEnd; ++i)
        hash = (hash ^ static_cast<unsigned char>(head[i])) * 1099511628211ull;
    return hash == 0 ? 1 : hash;
}

} // namespace vantrel
