#include "trading/NumberReading.h"
#include "base/NumberText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace vantrel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::optional<double> kFails = std::nullopt;

std::string zeros(std::size_t n) {
    return std::string(n, '0');
}

// 2^-1075, half the smallest denormal, written out exactly: 5^1075 / 10^1075.
std::string halfOfSmallestDenormal() {
    std::string digits = "1"; // most significant digit last
    for (int i = 0; i < 1075; ++i) {
        int carry = 0;
        for (char& d : digits) {
            const int v = (d - '0') * 5 + carry;
            d = static_cast<char>('0' + v % 10);
            carry = v / 10;
        }
        for (; carry > 0; carry /= 10)
            digits.push_back(static_cast<char>('0' + carry % 10));
    }
    return "0." + zeros(1075 - digits.size()) + std::string(digits.rbegin(), digits.rend());
}

TEST(NumberReadingTest, LenientReadsTheLeadingNumberAndNeverFails) {
    // clang-format off
    const struct {
        std::string text;
        double expected;
    } rows[] = {
        {"", 0},            {"   ", 0},          {"123", 123},         {" 1 2 3 ", 123},
        {"\t-\n4 2", -42},  {"+7", 7},           {"1 e 3", 1000},      {"00012.50", 12.5},
        {"1,000", 1},       {".5", 0.5},         {"-.5", -0.5},        {"5.", 5},
        {".", 0},           {"-", 0},            {"+", 0},             {"-.", 0},
        {"1..2", 1},        {"1.2.3", 1.2},      {"1e3", 1000},        {"1E+3", 1000},
        {"2.5D-1", 0.25},   {"1d2", 100},        {"1e", 1},            {"1e+", 1},
        {"1e-x", 1},        {"e3", 0},           {"12abc", 12},        {"abc", 0},
        {"12\r", 12},       {"\r12", 0},         {"0x10", 0},          {"&H10", 16},
        {"&hff", 255},      {"& H 1 F", 31},     {"&HFFFFFFFF", 4294967295.0},
        {"&O17", 15},       {"&o178", 15},       {"&O8", 0},           {"&H", 0},
        {"&", 0},           {"&X1", 0},          {"-&H10", 0},         {"+&O7", 0},
        {"inf", 0},         {"-inf", 0},         {"nan", 0},           {"infinity", 0},
        {"1e999", kInf},    {"-1e999", -kInf},   {"1e-999", 0},        {"-1e-999", 0},
        {"0e999999999999", 0},                   {"1e00000000000000000000001", 10},
        {"1e-99999999999999999999", 0},
        {"\xEF\xBC\x91\xEF\xBC\x92", 0}, // full-width 12
        {"\xff\xfe" "1", 0}, {"1\xff" "2", 1},   {std::string("1\0" "2", 3), 1},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(readLenient(row.text), row.expected);
    }
}

TEST(NumberReadingTest, StrictNeedsTheWholeTextToBeOneNumber) {
    // clang-format off
    const struct {
        std::string text;
        std::optional<double> expected;
    } rows[] = {
        {"0", 0},           {" 42 ", 42},        {"\t\r\n42\r\n", 42}, {"+5", 5},
        {"-5", -5},         {"1,000", 1000},     {"1,234,567.5", 1234567.5},
        {"1,0,0", 100},     {",1", kFails},      {"1,", kFails},       {"1,,0", kFails},
        {"1,.5", kFails},   {"-,1", kFails},     {"1.5,0", kFails},    {"1e1,0", kFails},
        {".5", 0.5},        {"5.", 5},           {"-.5", -0.5},        {".", kFails},
        {"-", kFails},      {"", kFails},        {" \t ", kFails},     {"1 000", kFails},
        {"- 5", kFails},    {"1..2", kFails},    {"1e3", 1000},        {"1D-3", 0.001},
        {"1e", kFails},     {"1e+", kFails},     {"e3", kFails},       {"&H1F", 31},
        {"&o17", 15},       {"&H", kFails},      {"&O8", kFails},      {"-&H1", kFails},
        {"&H1G", kFails},   {"&H1.5", kFails},   {"inf", kFails},      {"nan", kFails},
        {"infinity", kFails},                    {"-inf", kFails},     {"1e999", kInf},
        {"-1e999", -kInf},  {"1e-999", 0},       {"12abc", kFails},    {"0x10", kFails},
        {"\xEF\xBC\x91\xEF\xBC\x92", kFails},    {"\xff", kFails},     {"1\xff", kFails},
        {std::string("1\0", 2), kFails},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(readStrict(row.text), row.expected);
    }
}

TEST(NumberReadingTest, EverySingleByteReadsAsItsDigitOrNothing) {
    for (int b = 0; b < 256; ++b) {
        const std::string text(1, static_cast<char>(b));
        const bool digit = b >= '0' && b <= '9';
        SCOPED_TRACE(b);
        EXPECT_EQ(readLenient(text), digit ? b - '0' : 0.0);
        EXPECT_EQ(readStrict(text), digit ? std::optional<double>(b - '0') : kFails);
    }
}

TEST(NumberReadingTest, LongDigitStringsAreCorrectlyRounded) {
    const std::string tieAboveOne = "1.00000000000000011102230246251565404236316680908203125";
    const std::string tieBelowDenormal = halfOfSmallestDenormal();
    const struct {
        std::string text;
        double expected;
    } rows[] = {
        {tieAboveOne, 1.0}, // exactly halfway: ties to even
        {tieAboveOne + zeros(5000) + "1", std::nextafter(1.0, 2.0)},
        {tieBelowDenormal, 0.0},
        {tieBelowDenormal + "1", std::numeric_limits<double>::denorm_min()},
        {"-" + tieBelowDenormal + "1", -std::numeric_limits<double>::denorm_min()},
        {"1" + zeros(308), 1e308},
        {"1" + zeros(309), kInf},
        {"-1" + zeros(309), -kInf},
        {"0." + zeros(9999) + "1", 0.0},
        {"1" + zeros(1'000'000) + "e-1000000", 1.0},
        {zeros(5000) + "42", 42.0},
        {"&H" + std::string(255, 'F'), std::ldexp(1.0, 1020)},
        {"&H" + std::string(256, 'F'), kInf},
        {"&H" + zeros(3000) + "1", 1.0},
        {"&H20000000000001", std::ldexp(1.0, 53)},     // tie, rounds down to even
        {"&H20000000000003", std::ldexp(1.0, 53) + 4}, // tie, rounds up to even
        {"&O1" + zeros(341), std::ldexp(1.0, 1023)},
        {"&O2" + zeros(341), kInf},
        {"&O" + std::string(20, '7'), std::ldexp(1.0, 60)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.substr(0, 40));
        EXPECT_EQ(readLenient(row.text), row.expected);
        EXPECT_EQ(readStrict(row.text), row.expected);
    }
    std::string grouped = "1";
    for (int i = 0; i < 100; ++i)
        grouped += ",000";
    EXPECT_EQ(readStrict(grouped), 1e300);
    EXPECT_EQ(readLenient(grouped), 1.0);
}

TEST(NumberReadingTest, PlainDecimalReadsBackToTheSameValue) {
    std::vector<double> values = {DBL_MAX,
                                  -DBL_MAX,
                                  DBL_MIN,
                                  std::nextafter(DBL_MIN, 0.0),
                                  std::numeric_limits<double>::denorm_min(),
                                  -std::numeric_limits<double>::denorm_min(),
                                  0.1,
                                  1.0 / 3.0,
                                  9007199254740993.0,
                                  1e22,
                                  1e23,
                                  123456789.125};
    std::mt19937_64 random(20240601);
    while (values.size() < 20000) {
        const std::uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value))
            values.push_back(value);
    }
    for (const double value : values) {
        const std::string text = plainDecimal(value);
        SCOPED_TRACE(text.substr(0, 60));
        ASSERT_EQ(text.find_first_not_of("-0123456789."), std::string::npos);
        ASSERT_EQ(readStrict(text), value);
        ASSERT_EQ(readLenient(text), value);
    }
}

} // namespace
} // namespace vantrel
