#include "market/Market.h"
#include "market/RandomStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {
using namespace vantrel;

// The real stream, counting its draws.
class CountingStream final : public RandomSource {
public:
    float NextRandom() override {
        ++count;
        return stream.NextRandom();
    }
    std::unique_ptr<RandomSource> clone() const override {
        return std::make_unique<CountingStream>(*this);
    }
    bool sameDraws(const RandomSource& other) const override {
        const auto* counting = dynamic_cast<const CountingStream*>(&other);
        return counting && counting->stream.state() == stream.state();
    }
    RandomStream stream;
    int count = 0;
};

TEST(Market, StartUpAndFirstTicksReplayExactly) {
    RandomStream stream;
    EXPECT_EQ(stream.state(), 327680u);
    for (const double value : {0.7055475, 0.533424, 0.5795186, 0.2895625, 0.301948}) {
        const float r = stream.NextRandom();
        // Seven significant digits as published; the draw itself is exact.
        EXPECT_NEAR(r, value, 5e-7);
        EXPECT_EQ(static_cast<double>(r) * 16777216.0, static_cast<double>(stream.state()));
    }
    auto* draws = new CountingStream;
    Market market{std::unique_ptr<RandomSource>(draws)};
    market.StartUp();
    // The seeded book: bids at 496 to 500, asks at 501 to 503, nothing else.
    const auto& book = market.dblBoard();
    EXPECT_EQ(std::vector<double>(book.begin() + 496, book.begin() + 504),
              std::vector<double>({7000, 20000, 5000, 3000, 4000, -7000, -9000, -12000}));
    EXPECT_EQ(std::count(book.begin(), book.end(), 0.0), Market::kBookSize - 8);
    EXPECT_EQ(std::make_pair(draws->count, draws->stream.state()), std::make_pair(204, 3004620u));
    EXPECT_TRUE(market.boardRows().empty());
    const Quotes start = market.quotes();
    EXPECT_EQ(std::vector<double>({start.dblAskPrice, start.dblAskAmount, start.dblBidPrice,
                                   start.dblBidAmount, start.lastPrice}),
              std::vector<double>({0, 0, 0, 0, 500}));

    // Tick 1 refills 505 and 495 (the board and quotes are pinned by the
    // replay tool's first row); tick 2 sells 3000 into the bid at 500 and
    // refills nothing; tick 3 rests a buy of 2000 at 498.
    market.Tick();
    EXPECT_EQ(draws->count, 204 + 8);
    market.Tick();
    EXPECT_EQ(draws->count, 212 + 6);
    EXPECT_EQ(market.boardEntry(500), 1000);
    market.Tick();
    EXPECT_EQ(market.boardEntry(498), 7000);
}

} // namespace
