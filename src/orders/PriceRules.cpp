#include "orders/PriceRules.h"

#include <array>
#include <limits>

namespace vantrel {

namespace {

struct LimitRow {
    double upperBound; // exclusive: a price equal to it belongs to the next row
    int width;
};

// The last row has no upper bound; a NaN price fails every comparison and ends there too.
constexpr std::array<LimitRow, 29> kLimitTable{{
    {100, 30},
    {200, 50},
    {500, 80},
    {1'000, 100},
    {1'500, 200},
    {2'000, 300},
    {3'000, 400},
    {5'000, 500},
    {10'000, 1'000},
    {20'000, 2'000},
    {30'000, 3'000},
    {50'000, 4'000},
    {70'000, 5'000},
    {100'000, 10'000},
    {150'000, 20'000},
    {200'000, 30'000},
    {300'000, 40'000},
    {500'000, 50'000},
    {1'000'000, 100'000},
    {1'500'000, 200'000},
    {2'000'000, 300'000},
    {3'000'000, 400'000},
    {5'000'000, 500'000},
    {10'000'000, 1'000'000},
    {15'000'000, 2'000'000},
    {20'000'000, 3'000'000},
    {30'000'000, 4'000'000},
    {50'000'000, 5'000'000},
    {std::numeric_limits<double>::infinity(), 10'000'000},
}};

} // namespace

int GetLimitWidth(double basePrice) {
    for (const LimitRow& row : kLimitTable) {
        if (basePrice < row.upperBound)
            return row.width;
    }
    return kLimitTable.back().width;
}

double lowerLimitPrice(double previousClose) {
    return previousClose - GetLimitWidth(previousClose);
}

double upperLimitPrice(double previousClose) {
    return previousClose + GetLimitWidth(previousClose);
}

} // namespace vantrel
