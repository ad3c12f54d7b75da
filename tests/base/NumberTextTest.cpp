#include "base/NumberText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>
#include <string>

namespace vantrel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

std::string zeros(std::size_t n) {
    return std::string(n, '0');
}

TEST(NumberTextTest, PlainDecimalSpellsEveryDigit) {
    // clang-format off
    const struct {
        double value;
        std::string expected;
    } rows[] = {
        {0.0, "0"},          {-0.0, "0"},            {3000000, "3000000"}, {501, "501"},
        {-42, "-42"},        {0.5, "0.5"},           {-0.25, "-0.25"},     {0.1, "0.1"},
        {1e-5, "0.00001"},   {1.5e-7, "0.00000015"}, {1e21, "1" + zeros(21)},
        {1e300, "1" + zeros(300)},                   {-1.25e22, "-125" + zeros(20)},
        {9007199254740992.0, "9007199254740992"},    {DBL_MAX, "17976931348623157" + zeros(292)},
        {std::numeric_limits<double>::denorm_min(), "0." + zeros(323) + "5"},
        {kInf, "inf"},       {-kInf, "-inf"},        {std::numeric_limits<double>::quiet_NaN(), "nan"},
        {-std::numeric_limits<double>::quiet_NaN(), "nan"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected.substr(0, 40));
        EXPECT_EQ(plainDecimal(row.value), row.expected);
    }
}

TEST(NumberTextTest, DisplayNumberShowsAtMostFifteenSignificantDigits) {
    // clang-format off
    const struct {
        double value;
        std::string expected;
    } rows[] = {
        {499500 + (500.1 - 500) * 2000, "499700"}, // 499700.00000000006
        {500000.5, "500000.5"},   {3000000, "3000000"},     {-0.0, "0"},
        {0.1 + 0.2, "0.3"},       {-1.0 / 3.0, "-0.333333333333333"},
        {999999999999999, "999999999999999"},               {1e15 + 2, "1" + zeros(15)},
        {1.25e-7, "0.000000125"}, {1e21, "1" + zeros(21)},  {kInf, "inf"},
        {std::numeric_limits<double>::quiet_NaN(), "nan"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected);
        EXPECT_EQ(displayNumber(row.value), row.expected);
    }
}

TEST(NumberTextTest, RoundsHalfToEvenAndRefusesWhatAnInt32CannotHold) {
    // clang-format off
    const struct {
        double value;
        std::optional<std::int32_t> expected;
    } rows[] = {
        {0.0, 0},            {1000.5, 1000},         {1500.5, 1500},       {2500.5, 2500},
        {0.5, 0},            {1.5, 2},               {-0.5, 0},            {-1.5, -2},
        {-2.5, -2},          {2.4999999999999996, 2}, {2.5000000000000004, 3}, {DBL_MIN, 0},
        {2147483647.0, 2147483647},                  {2147483647.4, 2147483647},
        {2147483647.5, std::nullopt},                // rounds to 2^31
        {-2147483648.0, -2147483647 - 1},
        {-2147483648.5, -2147483647 - 1},            // rounds to the even -2^31
        {-2147483648.6, std::nullopt},               {4503599627370497.0, std::nullopt},
        {1e300, std::nullopt},                       {-1e300, std::nullopt},
        {kInf, std::nullopt},                        {-kInf, std::nullopt},
        {std::numeric_limits<double>::quiet_NaN(), std::nullopt},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(toInt32RoundHalfEven(row.value), row.expected);
    }
}

} // namespace
} // namespace vantrel
