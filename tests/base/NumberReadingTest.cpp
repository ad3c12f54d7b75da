#include "base/NumberReading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {
using namespace vantrel;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::optional<double> F = std::nullopt; // the strict reading fails

// The lenient reading (blanks, tabs and line feeds dropped, then the leading
// number or 0) and the strict one (the whole text, trimmed, one number with
// optional digit grouping), side by side.
TEST(NumberReading, LenientAndStrictOnTheTextsThatMatter) {
    const std::string tie = "1.00000000000000011102230246251565404236316680908203125";
    const std::string zeros(400, '0');
    const struct {
        std::string text;
        double lenient;
        std::optional<double> strict;
    } rows[] = {
        // clang-format off
        {"", 0, F},                    {" 1 2 3 ", 123, F},              {"\t-\n4 2", -42, F},
        {"\t\r\n42\r\n", 0, 42},       {"12\r", 12, 12},                 {"+7", 7, 7},
        {"1,000", 1, 1000},            {"1,234,567.5", 1, 1234567.5},    {",1", 0, F},
        {"1,", 1, F},                  {"1,,0", 1, F},                   {"1,.5", 1, F},
        {"1.5,0", 1.5, F},             {"1e1,0", 10, F},                 {".5", 0.5, 0.5},
        {"-.5", -0.5, -0.5},           {"5.", 5, 5},                     {".", 0, F},
        {"-", 0, F},                   {"1.2.3", 1.2, F},                {"1E+3", 1000, 1000},
        {"2.5D-1", 0.25, 0.25},        {"1d2", 100, 100},                {"1e", 1, F},
        {"1e+", 1, F},                 {"1e-x", 1, F},                   {"e3", 0, F},
        {"12abc", 12, F},              {"0x10", 0, F},                   {"&H10", 16, 16},
        {"&hff", 255, 255},            {"& H 1 F", 31, F},               {"&HFFFFFFFF", 4294967295.0, 4294967295.0},
        {"&H1G", 1, F},                {"&O17", 15, 15},  {"&O764", 500, 500},  {"&o178", 15, F},
        {"&O8", 0, F},                 {"&H", 0, F},                     {"&X1", 0, F},
        {"-&H10", 0, F},               {"inf", 0, F},                    {"nan", 0, F},
        {"1e999", kInf, kInf},         {"-1e999", -kInf, -kInf},         {"1e-999", 0, 0},
        {"0e999999999999", 0, 0},      {"1e00000000000000000000001", 10, 10},
        {"１２", 0, F},                {"\xff\xfe" "1", 0, F},           {std::string("1\0" "2", 3), 1, F},
        // Long digit strings are correctly rounded: ties go to even.
        {tie, 1, 1},                   {tie + zeros + "1", std::nextafter(1.0, 2.0), std::nextafter(1.0, 2.0)},
        {"1" + zeros.substr(0, 308), 1e308, 1e308},                      {"-1" + zeros, -kInf, -kInf},
        {"0." + zeros + "1", 0, 0},    {"1" + zeros + "e-400", 1, 1},    {"&H" + std::string(256, 'F'), kInf, kInf},
        {"&H20000000000001", std::ldexp(1.0, 53), std::ldexp(1.0, 53)},  {"&H20000000000003", std::ldexp(1.0, 53) + 4, std::ldexp(1.0, 53) + 4},
        {"&O1" + zeros.substr(0, 341), std::ldexp(1.0, 1023), std::ldexp(1.0, 1023)},
        {"&O2" + zeros.substr(0, 341), kInf, kInf},                      {"&O" + std::string(20, '7'), std::ldexp(1.0, 60), std::ldexp(1.0, 60)},
        // clang-format on
    };
    for (const auto& row : rows) {
        EXPECT_EQ(readLenient(row.text), row.lenient) << row.text.substr(0, 40);
        EXPECT_EQ(readStrict(row.text), row.strict) << row.text.substr(0, 40);
    }
}

} // namespace
