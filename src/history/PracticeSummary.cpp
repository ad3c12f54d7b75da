#include "history/PracticeSummary.h"

#include "exercise/ExerciseScore.h"
#include "market/MarketNumber.h"
#include "orders/StockInfo.h"
#include "practice/PracticeSession.h"
#include "results/RoundTrips.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <utility>

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

// The title cut to its first kAttemptTitleBytes bytes at a character's
// start, "…" saying that it was.
std::string shortTitle(const std::string& title) {
    if (title.size() <= kAttemptTitleBytes)
        return title;
    const std::string more = "…";
    std::size_t end = kAttemptTitleBytes - more.size();
    while (end > 0 && (static_cast<unsigned char>(title[end]) & 0xC0) == 0x80)
        --end;
    return title.substr(0, end) + more;
}

// The attempt the session's exercise member (written by the exercise layer,
// so well formed) describes.
std::optional<AttemptSummary> summariseAttempt(const std::string& member) {
    if (member.empty())
        return std::nullopt;
    const Json exercise = Json::parse(member, nullptr, false);
    if (!exercise.is_object() || !exercise.contains("card"))
        return std::nullopt;
    const ExerciseCardRead read = readExerciseCard(exercise["card"].dump());
    if (!read.card)
        return std::nullopt;
    AttemptSummary attempt;
    attempt.title = shortTitle(read.card->title);
    attempt.kind = read.card->kind;
    attempt.unit = exerciseScoreUnit(attempt.kind);
    attempt.passLine = passingScore(*read.card);
    const Json& result = exercise.value("result", Json());
    if (result.is_object()) {
        attempt.scored = true;
        if (result.value("score", Json()).is_number())
            attempt.score = result["score"].get<double>();
        attempt.passed = result.value("passed", false);
    }
    return attempt;
}

// The attempt member of a summary, read strictly: nothing but its own
// members, each of its type and within what its kind allows.
std::optional<AttemptSummary> readAttemptSummary(const Json& a) {
    if (!a.is_object())
        return std::nullopt;
    for (const auto& member : a.items())
        if (member.key() != "title" && member.key() != "kind" && member.key() != "unit" &&
            member.key() != "passLine" && member.key() != "score" && member.key() != "passed")
            return std::nullopt;
    const auto text = [&a](const char* key) { return a.contains(key) && a[key].is_string(); };
    const auto finite = [](const Json& value) {
        return value.is_number() && std::isfinite(value.get<double>()) &&
               std::fabs(value.get<double>()) <= kMostNetProfit;
    };
    if (!text("title") || !text("kind") || !text("unit") || !a.contains("passLine") ||
        !finite(a["passLine"]) || a.contains("score") != a.contains("passed") ||
        (a.contains("passed") && !a["passed"].is_boolean()) ||
        (a.contains("score") && !a["score"].is_null() && !finite(a["score"])))
        return std::nullopt;
    AttemptSummary attempt;
    attempt.title = a["title"].get<std::string>();
    const std::optional<ExerciseKind> kind = exerciseKindOfKey(a["kind"].get<std::string>());
    if (attempt.title.empty() || attempt.title.size() > kAttemptTitleBytes || !kind ||
        a["unit"].get<std::string>() != exerciseScoreUnit(*kind))
        return std::nullopt;
    attempt.kind = *kind;
    attempt.unit = a["unit"].get<std::string>();
    attempt.passLine = a["passLine"].get<double>();
    attempt.scored = a.contains("score");
    if (attempt.scored && !a["score"].is_null())
        attempt.score = a["score"].get<double>();
    attempt.passed = attempt.scored && a["passed"].get<bool>();
    // 上位 N% lies between 0 and 100.
    if (attempt.unit == "%" && (attempt.passLine < 0 || attempt.passLine > 100 ||
                                (attempt.score && (*attempt.score < 0 || *attempt.score > 100))))
        return std::nullopt;
    return attempt;
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
    if (std::optional<AttemptSummary> attempt = summariseAttempt(session.exercise()))
        summary.attempt = std::make_shared<const AttemptSummary>(std::move(*attempt));
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
    if (const std::shared_ptr<const AttemptSummary>& a = summary.attempt) {
        Json& attempt = object["attempt"];
        attempt["title"] = a->title;
        attempt["kind"] = exerciseKindKey(a->kind);
        attempt["unit"] = a->unit;
        attempt["passLine"] = a->passLine;
        if (a->scored) {
            attempt["score"] = a->score ? Json(*a->score) : Json();
            attempt["passed"] = a->passed;
        }
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
        (s.contains("keptAs") && (!s["keptAs"].is_string() || !whole_number("order"))) ||
        (s.contains("attempt") && !readAttemptSummary(s["attempt"])))
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
    if (s.contains("attempt"))
        summary.attempt = std::make_shared<const AttemptSummary>(*readAttemptSummary(s["attempt"]));
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
