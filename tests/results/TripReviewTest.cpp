#include "results/TripReview.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

constexpr OrderSide B = OrderSide::Buy, S = OrderSide::Sell;

struct Fill {
    std::uint64_t second;
    OrderSide side;
    double price, shares, commission;
};

struct Line {
    std::uint64_t second;
    std::uint32_t shares;
    std::int16_t price;
};

// A practice made by hand: its fills, the last price of every second and
// the market's tape, one line at most a second.
struct Practice {
    Ledger ledger;
    PriceHistory prices;
    Tape tape;
    Practice(const std::vector<Fill>& fills, const std::vector<double>& last,
             const std::vector<Line>& lines) {
        prices.prices = last;
        double held = 0;
        for (const Fill& f : fills) {
            ledger.setTime({f.second, 0});
            ledger.onFill(f.side, f.price, f.shares, held);
            held += f.side == B ? f.shares : -f.shares;
            if (f.commission != 0)
                ledger.onCommission(f.commission);
        }
        auto next = lines.begin();
        for (std::uint64_t second = 1; second < last.size(); ++second) {
            std::optional<TapeEntry> trade;
            if (next != lines.end() && next->second == second) {
                trade = TapeEntry{second, next->shares, next->price, TapeSide::Buy};
                ++next;
            }
            tape.record(second, trade);
        }
    }
    std::vector<TripReview> reviews() const {
        return reviewTrips(roundTrips(ledger.fills(), prices), tape);
    }
};

std::vector<std::string> texts(const TripReview& review) {
    std::vector<std::string> out;
    for (const ReviewSentence& sentence : review.sentences)
        out.push_back(sentence.text);
    return out;
}

// Four closed trips and each way a trip can end:
//  1 bought 500 at 2, sold 503 at 6; open profit 0, −3,000, +6,000, +4,000;
//    VWAP of seconds 2..6 (3,506,000 / 7,000) 500.857…, the lines of
//    seconds 1 and 7 outside it;
//  2 bought 505 at 8, sold 499 at 11 with 500 commission (−6,500); open
//    0, −2,000, −3,000; VWAP 2,007,000 / 4,000 = 501.75;
//  3 bought 500 at 12, sold 510 at 14 (+10,000); open 0, +8,000; only
//    lines of no shares, so no VWAP;
//  4 bought 500 at 15, sold 499 at 19 (−1,000); open 0, −4,000, +2,000,
//    −1,000; VWAP 2,000,000 / 4,000 = 500, nothing traded at 19.
TEST(TripReview, EachWayATripEndsIsSaidWithItsNumbers) {
    const Practice practice({{2, B, 500, 1000, 0},
                             {6, S, 503, 1000, 0},
                             {8, B, 505, 1000, 0},
                             {11, S, 499, 1000, 500},
                             {12, B, 500, 1000, 0},
                             {14, S, 510, 1000, 0},
                             {15, B, 500, 1000, 0},
                             {19, S, 499, 1000, 0}},
                            {500, 501, 500, 497, 506, 504, 503, 490, 505, 503,
                             502, 500, 500, 508, 510, 500, 496, 502, 499, 499},
                            {{1, 4000, 501},
                             {2, 1000, 500},
                             {3, 3000, 497},
                             {4, 2000, 506},
                             {5, 0, 504},
                             {6, 1000, 503},
                             {7, 5000, 490},
                             {8, 1000, 505},
                             {10, 1000, 502},
                             {11, 2000, 500},
                             {12, 0, 500},
                             {14, 0, 510},
                             {15, 1000, 500},
                             {16, 1000, 496},
                             {17, 1000, 502},
                             {18, 1000, 502}});
    const std::vector<TripReview> reviews = practice.reviews();
    ASSERT_EQ(reviews.size(), 4u);
    EXPECT_EQ(texts(reviews[0]),
              (std::vector<std::string>{
                  "最大 +6,000円 の含み益のうち、確定できたのは +3,000円 でした。",
                  "一時は -3,000円 の含み損でしたが、+3,000円 で終えました。",
                  "往復の間の VWAP 500.86円 に対し、買いは 0.86円 安く、売りは 2.14円 "
                  "高く約定しました。",
                  "保有時間 4秒 でした（この練習で最初の往復で、比べる平均はまだありません）。"}));
    EXPECT_EQ(texts(reviews[1]),
              (std::vector<std::string>{
                  "保有中に含み益になった秒はなく、確定した損益は -6,500円 でした。",
                  "最大 -3,000円 の含み損から戻らず、-6,500円 で終えました。",
                  "往復の間の VWAP 501.75円 に対し、買いは 3.25円 高く、売りは 2.75円 "
                  "安く約定しました。",
                  "保有時間 3秒 は、それまでの 1 回の平均 4.0秒 より 1.0秒 短く済みました。",
                  "この損失 -6,500円 は、この練習でこれまでで最大の損失です。"}));
    EXPECT_EQ(texts(reviews[2]),
              (std::vector<std::string>{
                  "確定した +10,000円 は、保有中の最大の含み益 +8,000円 を上回りました。",
                  "保有中に含み損になった秒はありませんでした。",
                  "往復の間に市場で約定した株がなく、VWAP と比べられません。",
                  "保有時間 2秒 は、それまでの 2 回の平均 3.5秒 より 1.5秒 短く済みました。",
                  "この利益 +10,000円 は、この練習でこれまでで最大の利益です。"}));
    EXPECT_EQ(texts(reviews[3]),
              (std::vector<std::string>{
                  "最大 +2,000円 の含み益のうち、確定できたのは -1,000円 でした。",
                  "一時は -4,000円 の含み損で、-1,000円 まで戻して終えました。",
                  "往復の間の VWAP 500.00円 に対し、買いは VWAP と同じ値段で、売りは 1.00円 "
                  "安く約定しました。",
                  "保有時間 4秒 は、それまでの 3 回の平均 3.0秒 より 1.0秒 長く持ちました。"}));
    EXPECT_EQ(reviews[3].text(), texts(reviews[3])[0] + texts(reviews[3])[1] +
                                     texts(reviews[3])[2] + texts(reviews[3])[3]);
    EXPECT_EQ(reviews[3].sentences[2].point, ReviewPoint::AgainstVwap);
}

// A profit kept whole, a trip held as long as the average, a trip that
// neither won nor lost (no record either way), and an open trip, which has
// no review yet; the numbers are the round-trip table's.
TEST(TripReview, KeptWholeEvenTripsAndOpenTrips) {
    const Practice practice({{1, B, 500, 1000, 0},
                             {3, S, 502, 1000, 0},
                             {4, B, 502, 1000, 0},
                             {6, S, 502, 1000, 0},
                             {7, B, 502, 1000, 0}},
                            {500, 500, 502, 502, 502, 502, 502, 502, 503},
                            {{1, 2000, 499}, {2, 2000, 502}, {4, 1000, 501}, {5, 1000, 503}});
    const std::vector<TripReview> reviews = practice.reviews();
    ASSERT_EQ(reviews.size(), 2u);
    EXPECT_EQ(reviews[0].number, 1);
    EXPECT_EQ(texts(reviews[0])[0], "保有中の最大の含み益 +2,000円 をすべて確定できました。");
    EXPECT_EQ(texts(reviews[0])[2], "往復の間の VWAP 500.50円 に対し、買いは 0.50円 安く、売りは "
                                    "1.50円 高く約定しました。");
    EXPECT_EQ(reviews[1].number, 2);
    EXPECT_EQ(texts(reviews[1]),
              (std::vector<std::string>{
                  "保有中に含み益になった秒はなく、確定した損益は 0円 でした。",
                  "保有中に含み損になった秒はありませんでした。",
                  "往復の間の VWAP 502.00円 に対し、買いは VWAP と同じ値段で、売りは VWAP "
                  "と同じ値段で約定しました。",
                  "保有時間 2秒 は、それまでの 1 回の平均 2.0秒 と同じでした。"}));
}

// The VWAP of a stretch of seconds against a sum over the tape's lines made
// here, including once the tape is full and its oldest lines are gone: then
// a stretch that reaches back to them has no VWAP rather than a part's.
TEST(TripReview, VwapOfSecondsIsTheSumOverTheirLines) {
    Tape tape;
    std::vector<TapeEntry> lines;
    std::uint64_t second = 0;
    while (lines.size() < Tape::kCapacity + 500) {
        ++second;
        // Some seconds print nothing, some only move the price.
        if (second % 7 == 3) {
            tape.record(second, std::nullopt);
            continue;
        }
        const TapeEntry line{second, static_cast<std::uint32_t>((second * 37) % 11 * 1000),
                             static_cast<std::int16_t>(480 + second % 41), TapeSide::Sell};
        tape.record(second, line);
        lines.push_back(line);
    }
    const auto summed = [&lines](std::uint64_t first, std::uint64_t last) {
        double value = 0, volume = 0;
        for (const TapeEntry& line : lines)
            if (line.second >= first && line.second <= last) {
                value += static_cast<double>(line.price) * line.shares;
                volume += line.shares;
            }
        return value / volume;
    };
    const std::uint64_t oldestKept = lines[500].second;
    for (const auto& [first, last] : std::vector<std::pair<std::uint64_t, std::uint64_t>>{
             {oldestKept, oldestKept + 40}, {second - 1000, second}, {second - 3, second - 3}}) {
        ASSERT_TRUE(tapeVwap(tape, first, last)) << first;
        EXPECT_DOUBLE_EQ(*tapeVwap(tape, first, last), summed(first, last)) << first;
    }
    EXPECT_FALSE(tapeVwap(tape, oldestKept - 1, oldestKept + 40));
    EXPECT_FALSE(tapeVwap(tape, 1, 20));
    // A second that printed nothing, and a stretch past the last line.
    const std::uint64_t silent = second / 7 * 7 - 4;
    EXPECT_FALSE(tapeVwap(tape, silent, silent));
    EXPECT_FALSE(tapeVwap(tape, second + 1, second + 10));
}

} // namespace
} // namespace vantrel
