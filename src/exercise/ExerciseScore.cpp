#include "exercise/ExerciseScore.h"

#include "orders/PriceRules.h"
#include "orders/StockInfo.h"
#include "results/ResultsText.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vantrel {

namespace {

constexpr std::array<std::pair<ExerciseEnd, std::pair<const char*, const char*>>, 5> kEnds = {{
    {ExerciseEnd::Running, {"running", "実行中"}},
    {ExerciseEnd::TimeUp, {"timeUp", "時間切れ"}},
    {ExerciseEnd::Goal, {"goal", "目標達成"}},
    {ExerciseEnd::LimitBroken, {"limitBroken", "制限を超えた"}},
    {ExerciseEnd::Abandoned, {"abandoned", "中断"}},
}};

std::string shares(double value) {
    return groupedNumber(value) + "株";
}

std::string basisPoints(double value) {
    return groupedNumber(value, 2) + " bp";
}

// The shares the task moved: bought less sold for a 買い集め, sold less
// bought for a 売り切り.
double movedShares(const ExerciseCard& card, const TradeSums& sums) {
    return card.kind == ExerciseKind::Accumulate ? sums.boughtShares - sums.soldShares
                                                 : sums.soldShares - sums.boughtShares;
}

void scoreBasisPoints(const ExerciseFacts& facts, ExerciseScore& result) {
    const ExerciseCard& card = facts.card;
    const bool buying = card.kind == ExerciseKind::Accumulate;
    const double moved = movedShares(card, facts.sums);
    const double price = effectivePrice(card, facts.sums, facts.trace.closing);
    result.unit = exerciseScoreUnit(card.kind);
    result.score = basisPointScore(card, facts.trace, facts.sums);
    if (!result.score)
        result.undefinedWhy = "課題の間に一株も売買されず、VWAP がありません";
    result.numbers.push_back({buying ? "買った株数" : "売った株数", moved, 0});
    result.numbers.push_back({buying ? "買う株数" : "売る株数", card.shares, 0});
    if (buying)
        result.numbers.push_back({"VWAP", facts.trace.vwap(), 2});
    else
        result.numbers.push_back({"到着価格", facts.trace.arrival, 2});
    result.numbers.push_back({"実効価格", price, 2});
    result.numbers.push_back(
        {buying ? "終了時の最良売り気配" : "終了時の最良買い気配",
         buying ? facts.trace.closing.dblAskPrice : facts.trace.closing.dblBidPrice, 0});
    result.numbers.push_back({"合格点 (bp)", card.passMark(), 2});
    const std::string goal = buying ? "買い" : "売り";
    if (moved < card.shares) {
        result.why = shares(card.shares) + "のうち" + shares(std::max(0.0, moved)) + "しか" + goal +
                     "ませんでした。";
    } else if (!result.score) {
        result.why = result.undefinedWhy + "。";
    } else if (*result.score < card.passMark()) {
        result.why = "全部" + goal + "ましたが、得点 " + basisPoints(*result.score) + " が合格点 " +
                     basisPoints(card.passMark()) + " に届きません。";
    } else {
        result.passed = true;
        result.why = "全部" + goal + "、得点 " + basisPoints(*result.score) + " は合格点 " +
                     basisPoints(card.passMark()) + " 以上です。";
    }
}

void scoreProfitTarget(const ExerciseFacts& facts, ExerciseScore& result) {
    const ExerciseCard& card = facts.card;
    result.unit = exerciseScoreUnit(card.kind);
    result.score = facts.netProfit;
    result.numbers.push_back({"純損益", facts.netProfit, 0});
    result.numbers.push_back({"目標", card.target, 0});
    result.numbers.push_back({"最高の資産合計", facts.trace.peakAssets, 0});
    result.numbers.push_back({"最大の下げ幅", facts.trace.worstDrawdown, 0});
    result.numbers.push_back({"下げ幅の上限", card.drawdown, 0});
    switch (facts.trace.ending) {
    case ExerciseEnd::Goal:
        result.passed = true;
        result.why = "下げ幅を " + yenText(card.drawdown) + "以内に保ったまま、目標の +" +
                     yenText(card.target) + "に届きました。";
        break;
    case ExerciseEnd::LimitBroken:
        result.why = "資産合計が最高から " + yenText(facts.trace.worstDrawdown) +
                     "下がり、上限の " + yenText(card.drawdown) + "を超えました。";
        break;
    default:
        result.why = "時間内に目標の +" + yenText(card.target) + "に届きませんでした。";
        break;
    }
}

void scoreRoundTrips(const ExerciseFacts& facts, const std::optional<ChanceResult>& random,
                     ExerciseScore& result) {
    const ExerciseCard& card = facts.card;
    const bool limitOnly = card.kind == ExerciseKind::LimitProfit;
    result.numbers.push_back({"往復", facts.roundTrips, 0});
    result.numbers.push_back({"必要な往復", card.roundTrips, 0});
    result.numbers.push_back({"純損益", facts.netProfit, 0});
    const bool enough = facts.roundTrips >= card.roundTrips;
    const std::string trips = std::to_string(facts.roundTrips) + " 回";
    if (limitOnly) {
        result.unit = exerciseScoreUnit(card.kind);
        result.score = facts.netProfit;
        result.passed = enough && facts.netProfit > 0;
        if (!enough)
            result.why =
                "往復が " + trips + "で、" + std::to_string(card.roundTrips) + " 回に足りません。";
        else if (!result.passed)
            result.why = "指値だけで往復しましたが、純損益 " + yenText(facts.netProfit) +
                         "は利益ではありません。";
        else
            result.why = "指値だけで " + trips + "往復し、" + yenText(facts.netProfit) +
                         "の利益を上げました。";
        return;
    }
    result.unit = exerciseScoreUnit(card.kind);
    result.numbers.push_back({"合格点 (上位 %)", card.passMark(), 1});
    if (random)
        result.score = random->topPercent;
    else
        result.undefinedWhy = facts.roundTrips == 0 && facts.chance.tripShares.empty()
                                  ? "往復がなく、偶然と比べられません"
                                  : "往復が多すぎて、偶然と比べられません";
    result.passed = enough && result.score && *result.score <= card.passMark();
    if (!enough)
        result.why =
            "往復が " + trips + "で、" + std::to_string(card.roundTrips) + " 回に足りません。";
    else if (!result.score)
        result.why = result.undefinedWhy + "。";
    else if (!result.passed)
        result.why = "上位 " + groupedNumber(*result.score, 1) + "% で、合格点の上位 " +
                     groupedNumber(card.passMark(), 1) + "% に届きません。";
    else
        result.why = "上位 " + groupedNumber(*result.score, 1) + "% で、合格点の上位 " +
                     groupedNumber(card.passMark(), 1) + "% 以内です。";
}

} // namespace

const char* exerciseScoreUnit(ExerciseKind kind) {
    switch (kind) {
    case ExerciseKind::Accumulate:
    case ExerciseKind::Liquidate:
        return "bp";
    case ExerciseKind::RoundTrips:
        return "%";
    default:
        return "円";
    }
}

int exerciseScoreDecimals(const std::string& unit) {
    return unit == "円" ? 0 : unit == "%" ? 1 : 2;
}

double passingScore(const ExerciseCard& card) {
    switch (card.kind) {
    case ExerciseKind::ProfitTarget:
        return card.target;
    case ExerciseKind::LimitProfit:
        return 0;
    default:
        return card.passMark();
    }
}

const char* exerciseEndKey(ExerciseEnd end) {
    for (const auto& [e, names] : kEnds)
        if (e == end)
            return names.first;
    return kEnds[0].second.first;
}

const char* exerciseEndName(ExerciseEnd end) {
    for (const auto& [e, names] : kEnds)
        if (e == end)
            return names.second;
    return kEnds[0].second.second;
}

std::optional<ExerciseEnd> exerciseEndOfKey(const std::string& key) {
    for (const auto& [e, names] : kEnds)
        if (key == names.first)
            return e;
    return std::nullopt;
}

TradeSums sumsOf(const std::vector<LedgerFill>& fills, std::size_t first) {
    TradeSums sums;
    for (std::size_t i = first; i < fills.size(); ++i) {
        const LedgerFill& fill = fills[i];
        if (fill.side == OrderSide::Buy) {
            sums.boughtShares += fill.shares;
            sums.boughtValue += fill.value;
        } else {
            sums.soldShares += fill.shares;
            sums.soldValue += fill.value;
        }
    }
    return sums;
}

double effectivePrice(const ExerciseCard& card, const TradeSums& sums, const Quotes& closing) {
    const bool buying = card.kind == ExerciseKind::Accumulate;
    const double moved = movedShares(card, sums);
    const double value =
        buying ? sums.boughtValue - sums.soldValue : sums.soldValue - sums.boughtValue;
    const double missing = std::max(0.0, card.shares - moved);
    double closingPrice = buying ? closing.dblAskPrice : closing.dblBidPrice;
    if (closingPrice <= 0)
        closingPrice = buying ? upperLimitPrice(stock::kPreviousClose)
                              : lowerLimitPrice(stock::kPreviousClose);
    // A task of N > 0 shares always has N shares to price.
    return (value + missing * closingPrice) / (moved + missing);
}

std::optional<double> basisPointScore(const ExerciseCard& card, const ExerciseTrace& trace,
                                      const TradeSums& sums) {
    const double price = effectivePrice(card, sums, trace.closing);
    if (card.kind == ExerciseKind::Accumulate) {
        const std::optional<double> vwap = trace.vwap();
        if (!vwap)
            return std::nullopt;
        return (*vwap - price) / *vwap * 10000;
    }
    return (price - trace.arrival) / trace.arrival * 10000;
}

ExerciseScore scoreExercise(const ExerciseFacts& facts, const std::optional<ChanceResult>& random) {
    ExerciseScore result;
    result.kind = facts.card.kind;
    result.ending = facts.trace.ending;
    result.random = random;
    switch (facts.card.kind) {
    case ExerciseKind::Accumulate:
    case ExerciseKind::Liquidate:
        scoreBasisPoints(facts, result);
        break;
    case ExerciseKind::ProfitTarget:
        scoreProfitTarget(facts, result);
        break;
    case ExerciseKind::RoundTrips:
    case ExerciseKind::LimitProfit:
        scoreRoundTrips(facts, random, result);
        break;
    }
    // Whatever the kind, an exercise left before its first second has
    // nothing to score.
    if (facts.trace.seconds() == 0) {
        result.score.reset();
        result.undefinedWhy = "課題が始まる前に終わりました";
        result.passed = false;
        result.why = result.undefinedWhy + "。";
    }
    return result;
}

std::string randomSentence(const ExerciseScore& score) {
    if (!score.random)
        return "この課題の結果は、偶然に任せた場合と比べられませんでした。";
    const ChanceResult& random = *score.random;
    // 往復 is scored by its place: its traders are ranked by 純損益.
    const std::string unit = score.kind == ExerciseKind::RoundTrips ? "円" : score.unit;
    const int decimals = unit == "円" ? 0 : 2;
    return "同じ課題を偶然に任せたコンピューター " +
           groupedNumber(static_cast<double>(random.nets.size())) + " 人の中で、上位 " +
           groupedNumber(random.topPercent, 1) + "% でした（中央値 " +
           groupedNumber(random.median, decimals) + " " + unit + "）。";
}

} // namespace vantrel
