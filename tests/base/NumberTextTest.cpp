#include "base/NumberText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>
#include <string>

namespace {
using namespace vantrel;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The plain form spells out every digit of the shortest text that reads
// back exactly; the display form first rounds to fifteen significant digits.
TEST(NumberText, PlainAndDisplayForms) {
    const std::string zeros(323, '0');
    // clang-format off
    const struct { double value; std::string plain, display; } rows[] = {
        {0.0, "0", "0"},    {-0.0, "0", "0"},    {3000000, "3000000", "3000000"},    {-1234.5, "-1234.5", "-1234.5"},
        {0.1 + 0.2, "0.30000000000000004", "0.3"}, {-1.0 / 3.0, "-0.3333333333333333", "-0.333333333333333"},
        {499500 + (500.1 - 500) * 2000, "499700.00000000006", "499700"},
        {1e15 + 2, "1000000000000002", "1" + zeros.substr(0, 15)}, {1.25e-7, "0.000000125", "0.000000125"},
        {-1.25e22, "-125" + zeros.substr(0, 20), "-125" + zeros.substr(0, 20)},
        {DBL_MAX, "17976931348623157" + zeros.substr(0, 292), "179769313486232" + zeros.substr(0, 294)},
        {std::numeric_limits<double>::denorm_min(), "0." + zeros + "5", "0." + zeros + "494065645841247"},
        {kInf, "inf", "inf"}, {-kInf, "-inf", "-inf"}, {kNaN, "nan", "nan"},
    };
    // clang-format on
    for (const auto& row : rows) {
        EXPECT_EQ(plainDecimal(row.value), row.plain) << row.display.substr(0, 20);
        EXPECT_EQ(displayNumber(row.value), row.display) << row.display.substr(0, 20);
    }
}

TEST(NumberText, RoundsHalfToEvenAndRefusesWhatAnInt32CannotHold) {
    // clang-format off
    const struct { double value; std::optional<std::int32_t> expected; } rows[] = {
        {1000.5, 1000},       {1500.5, 1500},        {0.5, 0},             {1.5, 2},
        {-0.5, 0},            {-1.5, -2},            {-2.5, -2},           {2.4999999999999996, 2},
        {2.5000000000000004, 3},                     {2147483647.4, 2147483647},
        {2147483647.5, std::nullopt},                {-2147483648.5, -2147483647 - 1},
        {-2147483648.6, std::nullopt},               {1e300, std::nullopt},
        {-kInf, std::nullopt},                       {kNaN, std::nullopt},
    };
    // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(toInt32RoundHalfEven(row.value), row.expected) << row.value;
}

} // namespace
