#include "base/CommandLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <sstream>

namespace {
using namespace vantrel;

TEST(CommandLine, BoundedNumbersReadAlikeWhateverTheirLeadingZeros) {
    const std::string zeros(40, '0');
    const struct {
        std::string text;
        std::uint64_t low, high;
        std::optional<std::uint64_t> read;
    } rows[] = {
        {"7", 1, 9999, 7},
        {"0007", 1, 9999, 7},
        {zeros + "7", 1, 9999, 7},
        {"9999", 1, 9999, 9999},
        {"0", 0, 5, 0},
        {zeros, 0, 5, 0},
        {"0", 1, 9999, std::nullopt},
        {"10000", 1, 9999, std::nullopt},
        {"18446744073709551616", 0, UINT64_MAX, std::nullopt},
        {"18446744073709551615", 0, UINT64_MAX, UINT64_MAX},
        {"", 0, 5, std::nullopt},
        {"+1", 0, 5, std::nullopt},
        {"1 ", 0, 5, std::nullopt},
        {"-0", 0, 5, std::nullopt},
        {"1e3", 0, 5000, std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(readBoundedNumber(row.text, row.low, row.high), row.read) << row.text;
}

// Written output, or a reader that went away, keeps the status; any other
// failed write is one line and status 3, even after a verdict of 1.
TEST(CommandLine, OutputThatCannotBeWrittenIsOneLineAndStatusThree) {
    const struct {
        bool written;
        int status, systemError, expected;
        std::size_t lines;
    } rows[] = {
        {true, 0, ENOSPC, 0, 0},  {true, 1, 0, 1, 0},       {false, 0, EPIPE, 0, 0},
        {false, 0, ENOSPC, 3, 1}, {false, 1, ENOSPC, 3, 1}, {false, 0, 0, 3, 1},
    };
    for (const auto& row : rows) {
        std::ostringstream out, err;
        if (!row.written)
            out.setstate(std::ios::badbit);
        EXPECT_EQ(outputStatus("tool", row.status, out, row.systemError, err), row.expected);
        const std::string said = err.str();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), row.lines) << said;
    }
}

} // namespace
