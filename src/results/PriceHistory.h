#pragma once

#include <vector>

namespace vantrel {

// The last price at every market second since the session started: element
// n is the price after n ticks. 28,800 seconds (eight hours) take 225 KiB.
struct PriceHistory {
    std::vector<double> prices;
    void append(double last) { prices.push_back(last); }
    bool operator==(const PriceHistory& other) const { return prices == other.prices; }
};

} // namespace vantrel
