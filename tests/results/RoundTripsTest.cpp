#include "results/RoundTrips.h"
#include "results/ResultsText.h"
#include "results/Statistics.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct Fill {
    std::uint64_t second;
    OrderSide side;
    double price, shares, commission;
};

// A ledger fed the fills at their seconds, and the statistics as the replay
// tool prints them.
struct Books {
    Ledger ledger;
    PriceHistory prices;
    Books(const std::vector<Fill>& fills, const std::vector<double>& last) {
        prices.prices = last;
        double held = 0;
        for (const Fill& f : fills) {
            ledger.setTime({f.second, 0});
            ledger.onFill(f.side, f.price, f.shares, held);
            held += f.side == OrderSide::Buy ? f.shares : -f.shares;
            if (f.commission != 0)
                ledger.onCommission(f.commission);
        }
    }
    std::vector<RoundTrip> trips() const { return roundTrips(ledger.fills(), prices); }
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        for (const MeasureRow& row :
             statisticRows(computeStatistics(trips(), ledger.fills(), prices)))
            out.push_back(statisticLine(row));
        return out;
    }
};

constexpr OrderSide B = OrderSide::Buy, S = OrderSide::Sell;

// Two buys averaging 499 sold at 510 after a commission (+19,900), a loss of
// 15,000, and a trip still open at the end.
const std::vector<Fill> kThreeTrips = {{1, B, 500, 1000, 0},    {3, B, 498, 1000, 0},
                                       {5, S, 510, 2000, 2100}, {6, B, 510, 1000, 0},
                                       {8, S, 495, 1000, 0},    {9, B, 500, 1000, 0}};
const std::vector<double> kThreeTripPrices = {500, 500, 502, 498, 505, 510,
                                              510, 507, 495, 500, 503};

TEST(RoundTrips, TripsWithTheirExcursionsAsCsv) {
    // Excursions of the first trip: 0, +2,000, −2,000 (2,000 shares at 498
    // against 499), +12,000; the open trip is marked to 503.
    EXPECT_EQ(roundTripCsv(Books(kThreeTrips, kThreeTripPrices).trips()),
              "\xEF\xBB\xBF番号,開始秒,終了秒,保有秒数,最大保有株数,平均買値,平均売値,損益,"
              "手数料,最大逆行幅,最大順行幅,状態\r\n"
              "1,1,5,4,2000,499,510,19900,2100,-2000,12000,決済済\r\n"
              "2,6,8,2,1000,510,495,-15000,0,-3000,0,決済済\r\n"
              "3,9,10,1,1000,500,,3000,0,0,3000,保有中\r\n");
    // Nothing held and nothing moved: no trip.
    EXPECT_TRUE(Books({{2, B, 0, 0, 0}}, {500, 500, 500}).trips().empty());
}

// The window's round-trip rows and statistic values: market time as m:ss,
// grouped numbers with their units, — for an undefined figure.
TEST(RoundTrips, RowsAndStatisticsAsTheWindowShowsThem) {
    const Books books(kThreeTrips, kThreeTripPrices);
    const auto trips = books.trips();
    using Cells = std::array<std::string, kRoundTripColumns>;
    EXPECT_EQ(roundTripCells(trips[0], 1),
              (Cells{"1", "0:01", "0:05", "0:04", "2,000", "499.00円", "510.00円", "19,900円",
                     "2,100円", "-2,000円", "12,000円", "決済済"}));
    EXPECT_EQ(roundTripCells(trips[2], 3), (Cells{"3", "0:09", "0:10", "0:01", "1,000", "500.00円",
                                                  "", "3,000円", "", "0円", "3,000円", "保有中"}));
    std::vector<std::string> texts;
    std::vector<bool> losses;
    for (const MeasureRow& row :
         statisticRows(computeStatistics(trips, books.ledger.fills(), books.prices))) {
        texts.push_back(measureText(row));
        losses.push_back(isShownLoss(row));
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"2回", "50.00%", "19,900円", "-15,000円", "1.33",
                                               "2,450円", "19,900円", "-15,000円", "15,000円",
                                               "0.50%", "3.0秒", "70.00%", "2,000株"}));
    EXPECT_EQ(losses, (std::vector<bool>{false, false, false, true, false, false, false, true,
                                         false, false, false, false, false}));
    EXPECT_EQ(measureText({Measure::AverageLoss, std::nullopt}), "—");
    EXPECT_FALSE(isShownLoss({Measure::AverageLoss, -0.4})); // shows as 0円
}

TEST(Statistics, EveryFigureOfHandMadeSessions) {
    struct Row {
        const char* name;
        std::vector<Fill> fills;
        std::vector<double> prices;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        // Drawdown: assets peak at 3,019,900 after the first sale and fall
        // to 3,004,900 with the second (15,000, 0.497 %).
        {"wins, losses and an open trip",
         kThreeTrips,
         kThreeTripPrices,
         {"往復取引数=2", "勝率=50", "平均利益=19900", "平均損失=-15000",
          "プロフィットファクター=1.33", "期待値（1往復あたり）=2450", "最大利益=19900",
          "最大損失=-15000", "最大ドローダウン=15000", "最大ドローダウン率=0.5", "平均保有時間=3",
          "保有時間率=70", "最大保有株数=2000"}},
        {"no trade in a session of no seconds",
         {},
         {500},
         {"往復取引数=0", "勝率=—", "平均利益=—", "平均損失=—", "プロフィットファクター=—",
          "期待値（1往復あたり）=—", "最大利益=—", "最大損失=—", "最大ドローダウン=0",
          "最大ドローダウン率=0", "平均保有時間=—", "保有時間率=—", "最大保有株数=0"}},
        {"a win and an even trip: no losing trip",
         {{1, B, 500, 1000, 0}, {2, S, 501, 1000, 0}, {3, B, 500, 3000, 0}, {5, S, 500, 3000, 0}},
         {500, 500, 501, 500, 499, 500},
         {"往復取引数=2", "勝率=50", "平均利益=1000", "平均損失=—", "プロフィットファクター=—",
          "期待値（1往復あたり）=500", "最大利益=1000", "最大損失=—", "最大ドローダウン=3000",
          "最大ドローダウン率=0.1", "平均保有時間=1.5", "保有時間率=60", "最大保有株数=3000"}},
        {"losses only",
         {{0, B, 500, 1000, 2100}, {4, S, 490, 1000, 0}},
         {500, 495, 490, 490, 490},
         {"往復取引数=1", "勝率=0", "平均利益=—", "平均損失=-12100", "プロフィットファクター=0",
          "期待値（1往復あたり）=-12100", "最大利益=—", "最大損失=-12100", "最大ドローダウン=12100",
          "最大ドローダウン率=0.4", "平均保有時間=4", "保有時間率=100", "最大保有株数=1000"}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Books(row.fills, row.prices).lines(), row.lines) << row.name;
}

} // namespace
} // namespace vantrel
