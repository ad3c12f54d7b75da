#pragma once

#include <cstddef>
#include <optional>

namespace vantrel {

// Every number the results report: the figures, the statistics and the
// comparison with chance, in the order each group is shown. A name that is
// not here does not compile.
enum class Measure {
    // Figures, computed from the ledger and the account.
    BuyingPower,
    Holdings,
    AverageCost,
    Last,
    Unrealised,
    Realised,
    Commissions,
    NetProfit,
    TotalAssets,
    Rate,
    // Statistics of the round trips.
    RoundTrips,
    WinRate,
    AverageWin,
    AverageLoss,
    ProfitFactor,
    Expectancy,
    LargestWin,
    LargestLoss,
    MaxDrawdown,
    MaxDrawdownRate,
    AverageHolding,
    TimeInMarket,
    MostShares,
    // The comparison with chance.
    ChanceTopPercent,
    ChanceMedian,
    ChanceLow,
    ChanceHigh,
};
inline constexpr std::size_t kMeasures = static_cast<std::size_t>(Measure::ChanceHigh) + 1;
inline constexpr std::size_t kFigures = static_cast<std::size_t>(Measure::Rate) + 1;

inline constexpr std::size_t indexOf(Measure measure) {
    return static_cast<std::size_t>(measure);
}

// How a number is named, shown and coloured.
struct MeasureInfo {
    // Its name in a session file's results and in the verification.
    const char* key;
    // Shown under this caption; nullptr: kept in files only.
    const char* caption;
    const char* unit; // after the value: "円", "株", "%"
    int decimals;     // as shown; files keep the value unrounded
    // Drawn in the loss colour when the shown value is below zero.
    bool lossColoured;
    // Shown while the number has no value.
    const char* undefinedText;
    // What the number is and how to read it, in one or two plain sentences
    // for a beginner: the tooltip, the screen reader's description and the
    // line the results window shows, and `--explain`'s line. nullptr exactly
    // where the caption is.
    const char* explanation;
};

const MeasureInfo& measureInfo(Measure measure);

// One reported number and its value; empty where it has none (an average
// with nothing held, a rate of no trips).
struct MeasureRow {
    Measure measure;
    std::optional<double> value;

    const MeasureInfo& info() const { return measureInfo(measure); }
};

} // namespace vantrel
