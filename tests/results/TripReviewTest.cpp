#include "results/TripReview.h"

#include <gtest/gtest.h>

#include <array>

namespace vantrel {
namespace {

using Texts = std::vector<std::string>;
constexpr OrderSide B = OrderSide::Buy, S = OrderSide::Sell;

struct Fill {
    std::uint64_t second;
    OrderSide side;
    double price, shares, commission;
};

// Five closed trips, each way a trip can end, then one still held:
//  1 bought 500 at 2, sold 503 at 6; open profit 0, −3,000, +6,000, +4,000;
//    VWAP of seconds 2..6 3,506,000 / 7,000 = 500.857…, the lines of 1 and
//    7 outside it;
//  2 bought 505 at 8, sold 499 at 11 paying 500 (−6,500); open 0, −2,000,
//    −3,000; VWAP 2,007,000 / 4,000 = 501.75;
//  3 bought 500 at 12, sold 510 at 14 (+10,000); open 0, +8,000; only
//    lines of no shares, so no VWAP;
//  4 bought 500 at 15, sold 499 at 18 (−1,000); open 0, −4,000, +2,000;
//    VWAP 500; held 3 s, the average of 4, 3 and 2;
//  5 bought 499 at 19, sold 501 at 23 (+2,000); open 0, then +2,000;
//    VWAP 499.
const std::vector<Fill> kFills = {
    {2, B, 500, 1000, 0},  {6, S, 503, 1000, 0},  {8, B, 505, 1000, 0},  {11, S, 499, 1000, 500},
    {12, B, 500, 1000, 0}, {14, S, 510, 1000, 0}, {15, B, 500, 1000, 0}, {18, S, 499, 1000, 0},
    {19, B, 499, 1000, 0}, {23, S, 501, 1000, 0}, {24, B, 501, 1000, 0}};
const std::vector<double> kLast = {500, 501, 500, 497, 506, 504, 503, 490, 505, 503, 502, 500, 500,
                                   508, 510, 500, 496, 502, 499, 499, 501, 501, 501, 501, 501};
// The tape's shares and price of seconds 1 to 23; no line where shares is -1.
const std::vector<std::array<int, 2>> kTape = {
    {4000, 501}, {1000, 500}, {3000, 497}, {2000, 506}, {0, 504},    {1000, 503},
    {5000, 490}, {1000, 505}, {-1, 0},     {1000, 502}, {2000, 500}, {0, 500},
    {-1, 0},     {0, 510},    {1000, 500}, {1000, 496}, {1000, 502}, {1000, 502},
    {-1, 0},     {1000, 501}, {-1, 0},     {1000, 497}, {-1, 0}};

const std::vector<Texts> kSaid = {
    {"最大 +6,000円 の含み益のうち、確定できたのは +3,000円 でした。",
     "一時は -3,000円 の含み損でしたが、+3,000円 で終えました。",
     "往復の間の VWAP 500.86円 に対し、買いは 0.86円 安く、売りは 2.14円 高く約定しました。",
     "保有時間 4秒 でした（この練習で最初の往復で、比べる平均はまだありません）。"},
    {"保有中に含み益になった秒はなく、確定した損益は -6,500円 でした。",
     "最大 -3,000円 の含み損から戻らず、-6,500円 で終えました。",
     "往復の間の VWAP 501.75円 に対し、買いは 3.25円 高く、売りは 2.75円 安く約定しました。",
     "保有時間 3秒 は、それまでの 1 回の平均 4.0秒 より 1.0秒 短く済みました。",
     "この損失 -6,500円 は、この練習でこれまでで最大の損失です。"},
    {"確定した +10,000円 は、保有中の最大の含み益 +8,000円 を上回りました。",
     "保有中に含み損になった秒はありませんでした。",
     "往復の間に市場で約定した株がなく、VWAP と比べられません。",
     "保有時間 2秒 は、それまでの 2 回の平均 3.5秒 より 1.5秒 短く済みました。",
     "この利益 +10,000円 は、この練習でこれまでで最大の利益です。"},
    {"最大 +2,000円 の含み益のうち、確定できたのは -1,000円 でした。",
     "一時は -4,000円 の含み損で、-1,000円 まで戻して終えました。",
     "往復の間の VWAP 500.00円 に対し、買いは VWAP と同じ値段で、売りは 1.00円 安く約定しました。",
     "保有時間 3秒 は、それまでの 3 回の平均 3.0秒 と同じでした。"},
    {"保有中の最大の含み益 +2,000円 をすべて確定できました。",
     "保有中に含み損になった秒はありませんでした。",
     "往復の間の VWAP 499.00円 に対し、買いは VWAP と同じ値段で、売りは 2.00円 高く約定しました。",
     "保有時間 4秒 は、それまでの 4 回の平均 3.0秒 より 1.0秒 長く持ちました。"}};

TEST(TripReview, EachWayATripEndsIsSaidWithItsNumbers) {
    Ledger ledger;
    double held = 0;
    for (const Fill& f : kFills) {
        ledger.setTime({f.second, 0});
        ledger.onFill(f.side, f.price, f.shares, held);
        held += f.side == B ? f.shares : -f.shares;
        if (f.commission != 0)
            ledger.onCommission(f.commission);
    }
    Tape tape;
    for (std::uint64_t second = 1; second <= kTape.size(); ++second) {
        const auto [shares, price] = kTape[second - 1];
        tape.record(second, shares < 0 ? std::nullopt
                                       : std::optional<TapeEntry>(
                                             {second, std::uint32_t(shares), std::int16_t(price)}));
    }
    const std::vector<TripReview> reviews = reviewTrips(roundTrips(ledger.fills(), {kLast}), tape);
    ASSERT_EQ(reviews.size(), kSaid.size());
    for (std::size_t i = 0; i < reviews.size(); ++i) {
        EXPECT_EQ(reviews[i].number, static_cast<int>(i) + 1);
        Texts said;
        for (const ReviewSentence& sentence : reviews[i].sentences)
            said.push_back(sentence.text);
        EXPECT_EQ(said, kSaid[i]) << i;
    }
    EXPECT_EQ(reviews[4].text(), kSaid[4][0] + kSaid[4][1] + kSaid[4][2] + kSaid[4][3]);
}

// Once the tape is full its oldest lines are gone: a stretch of seconds that
// reaches back to them has no VWAP rather than the VWAP of a part.
TEST(TripReview, NoVwapFromATapeMissingSomeOfTheSeconds) {
    Tape tape;
    for (std::uint64_t second = 1; second <= Tape::kCapacity + 10; ++second)
        tape.record(second, TapeEntry{second, 1000, std::int16_t(second % 2 ? 500 : 510)});
    EXPECT_FALSE(tapeVwap(tape, 10, 20));
    EXPECT_EQ(tapeVwap(tape, 11, 14), 505); // the oldest line kept is of second 11
    EXPECT_FALSE(tapeVwap(tape, Tape::kCapacity + 11, Tape::kCapacity + 20));
}

} // namespace
} // namespace vantrel
