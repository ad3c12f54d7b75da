#include "ui/results/ResultLabels.h"

namespace vantrel {

const char* resultLabelName(Measure measure) {
    static const char* const names[] = {
        nullptr, // 余力 is shown in the main window, not here
        "lblHeld",
        "lblAverageCost",
        "lblLast",
        "lblUnrealised",
        "lblRealised",
        "lblCommissions",
        "lblNet",
        "lblAssets",
        "lblRate",

        "lblRoundTrips",
        "lblWinRate",
        "lblAverageWin",
        "lblAverageLoss",
        "lblProfitFactor",
        "lblExpectancy",
        "lblLargestWin",
        "lblLargestLoss",
        "lblMaxDrawdown",
        "lblMaxDrawdownRate",
        "lblAverageHolding",
        "lblTimeInMarket",
        "lblMostShares",

        "lblChanceTopPercent",
        "lblChanceMedian",
        "lblChanceLow",
        "lblChanceHigh",
    };
    static_assert(sizeof names / sizeof names[0] == kMeasures, "a name for every measure");
    return names[indexOf(measure)];
}

} // namespace vantrel
