#include "market/RandomStream.h"

#include <gtest/gtest.h>

#include <cmath>

using vantrel::RandomStream;

TEST(RandomStream, FirstFiveDrawsAfterStart) {
    RandomStream stream;
    EXPECT_EQ(stream.state(), 327680u);
    const double expected[] = {0.7055475, 0.533424, 0.5795186, 0.2895625, 0.301948};
    for (double value : expected) {
        const float r = stream.NextRandom();
        // Seven significant digits as published; the draw itself is exact.
        EXPECT_NEAR(r, value, 5e-7);
        EXPECT_EQ(static_cast<double>(r) * 16777216.0, static_cast<double>(stream.state()));
    }
}

TEST(RandomStream, StaysInsideUnitIntervalAndCyclesThroughAllStates) {
    // A full-period 24-bit generator must return to its start after exactly
    // 2^24 steps and never before; every result lies in [0, 1).
    RandomStream stream;
    std::uint32_t steps = 0;
    do {
        const float r = stream.NextRandom();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        ++steps;
    } while (stream.state() != RandomStream::kStartState && steps <= (1u << 24));
    EXPECT_EQ(steps, 1u << 24);
}
