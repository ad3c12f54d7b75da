#include "trading/PriceRules.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace vantrel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(PriceRulesTest, WidthFollowsTheTable) {
    // clang-format off
    const struct {
        double price;
        int width;
    } rows[] = {
        {99, 30},            {100, 50},              {199.5, 50},          {499, 80},
        {500, 100},          {999, 100},             {1'000, 200},         {69'999, 5'000},
        {70'000, 10'000},    {0, 30},                {-1, 30},             {49'999'999, 5'000'000},
        {50'000'000, 10'000'000},                    {1e12, 10'000'000},   {-1e300, 30},
        {-kInf, 30},         {DBL_MAX, 10'000'000},  {kInf, 10'000'000},
        {std::numeric_limits<double>::quiet_NaN(), 10'000'000},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.price);
        EXPECT_EQ(GetLimitWidth(row.price), row.width);
    }
}

TEST(PriceRulesTest, EachBoundBelongsToTheHigherRow) {
    // The first price of every row after the first, with that row's width.
    // clang-format off
    const struct {
        double from;
        int width;
    } rows[] = {
        {100, 50},          {200, 80},          {500, 100},        {1'000, 200},
        {1'500, 300},       {2'000, 400},       {3'000, 500},      {5'000, 1'000},
        {10'000, 2'000},    {20'000, 3'000},    {30'000, 4'000},   {50'000, 5'000},
        {70'000, 10'000},   {100'000, 20'000},  {150'000, 30'000}, {200'000, 40'000},
        {300'000, 50'000},  {500'000, 100'000}, {1e6, 200'000},    {1.5e6, 300'000},
        {2e6, 400'000},     {3e6, 500'000},     {5e6, 1'000'000},  {1e7, 2'000'000},
        {1.5e7, 3'000'000}, {2e7, 4'000'000},   {3e7, 5'000'000},  {5e7, 10'000'000},
    };
    // clang-format on
    int widthBelow = 30;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.from);
        EXPECT_EQ(GetLimitWidth(std::nextafter(row.from, -kInf)), widthBelow);
        EXPECT_EQ(GetLimitWidth(row.from), row.width);
        widthBelow = row.width;
    }
}

TEST(PriceRulesTest, BandAroundThePreviousClose) {
    EXPECT_EQ(lowerLimitPrice(500), 400);
    EXPECT_EQ(upperLimitPrice(500), 600);
    EXPECT_EQ(lowerLimitPrice(70'000), 60'000);
    EXPECT_EQ(upperLimitPrice(70'000), 80'000);
    EXPECT_EQ(lowerLimitPrice(0), -30);
    EXPECT_EQ(upperLimitPrice(kInf), kInf);
}

} // namespace
} // namespace vantrel
