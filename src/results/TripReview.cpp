#include "results/TripReview.h"

#include "base/NumberText.h"
#include "results/ResultsText.h"

#include <algorithm>
#include <cmath>

namespace vantrel {
namespace {

// A price to the sen, as the round-trip table shows its averages.
std::string senText(double yen) {
    return groupedNumber(yen, 2) + "円";
}

// Every comparison is made between the shown (rounded) numbers, so what a
// sentence says can be read off the numbers beside it.
double shownYen(double yen) {
    return roundHalfEven(yen);
}

std::string keptProfit(double profit, double favourable) {
    if (favourable == 0)
        return "保有中に含み益になった秒はなく、確定した損益は " + signedYenText(profit) +
               " でした。";
    if (profit == favourable)
        return "保有中の最大の含み益 " + signedYenText(favourable) + " をすべて確定できました。";
    // Sold above every last price of the seconds held.
    if (profit > favourable)
        return "確定した " + signedYenText(profit) + " は、保有中の最大の含み益 " +
               signedYenText(favourable) + " を上回りました。";
    return "最大 " + signedYenText(favourable) + " の含み益のうち、確定できたのは " +
           signedYenText(profit) + " でした。";
}

std::string worstMoment(double profit, double adverse) {
    if (adverse == 0)
        return "保有中に含み損になった秒はありませんでした。";
    const std::string worst = signedYenText(adverse);
    if (profit > 0)
        return "一時は " + worst + " の含み損でしたが、" + signedYenText(profit) +
               " で終えました。";
    if (profit > adverse)
        return "一時は " + worst + " の含み損で、" + signedYenText(profit) +
               " まで戻して終えました。";
    return "最大 " + worst + " の含み損から戻らず、" + signedYenText(profit) + " で終えました。";
}

// "1.20円 安く", "0.80円 高く" or "VWAP と同じ値段で": how far a side's average
// stood from the VWAP, `better` when it stood on the side the trader wants.
std::string sideAgainstVwap(double gap, const char* better, const char* worse) {
    if (gap == 0)
        return "VWAP と同じ値段で";
    return senText(std::fabs(gap)) + " " + (gap > 0 ? better : worse);
}

std::string againstVwap(const RoundTrip& trip, const std::optional<double>& vwap) {
    if (!vwap)
        return "往復の間に市場で約定した株がなく、VWAP と比べられません。";
    const double shown = roundTo(*vwap, 2);
    const double buyGap = roundTo(shown - roundTo(trip.averageBuy, 2), 2);
    const double sellGap = roundTo(roundTo(trip.averageSell.value_or(0), 2) - shown, 2);
    return "往復の間の VWAP " + senText(shown) + " に対し、買いは " +
           sideAgainstVwap(buyGap, "安く", "高く") + "、売りは " +
           sideAgainstVwap(sellGap, "高く", "安く") + "約定しました。";
}

std::string holding(std::uint64_t seconds, std::uint64_t earlierSeconds, int earlierTrips) {
    const std::string held = "保有時間 " + groupedNumber(static_cast<double>(seconds)) + "秒";
    if (earlierTrips == 0)
        return held + " でした（この練習で最初の往復で、比べる平均はまだありません）。";
    const double average =
        roundTo(static_cast<double>(earlierSeconds) / static_cast<double>(earlierTrips), 1);
    const double gap = roundTo(static_cast<double>(seconds) - average, 1);
    const std::string compared = held + " は、それまでの " + std::to_string(earlierTrips) +
                                 " 回の平均 " + groupedNumber(average, 1) + "秒";
    if (gap == 0)
        return compared + " と同じでした。";
    return compared + " より " + groupedNumber(std::fabs(gap), 1) + "秒 " +
           (gap > 0 ? "長く持ちました。" : "短く済みました。");
}

} // namespace

std::string TripReview::text() const {
    std::string joined;
    for (const ReviewSentence& sentence : sentences)
        joined += sentence.text;
    return joined;
}

std::optional<double> tapeVwap(const Tape& tape, std::uint64_t first, std::uint64_t last) {
    // The lines are in the order of their seconds: find the first of `first`.
    std::size_t low = 0, high = tape.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (tape.at(middle).second < first)
            low = middle + 1;
        else
            high = middle;
    }
    // Dropped lines may have held some of these seconds.
    if (tape.dropped() > 0 && (tape.empty() || tape.at(0).second > first))
        return std::nullopt;
    std::uint64_t volume = 0, value = 0;
    for (std::size_t i = low; i < tape.size() && tape.at(i).second <= last; ++i) {
        const TapeEntry& line = tape.at(i);
        volume += line.shares;
        value += static_cast<std::uint64_t>(line.shares) * static_cast<std::uint64_t>(line.price);
    }
    if (volume == 0)
        return std::nullopt;
    return static_cast<double>(value) / static_cast<double>(volume);
}

std::vector<TripReview> reviewTrips(const std::vector<RoundTrip>& trips, const Tape& tape) {
    std::vector<TripReview> reviews;
    std::uint64_t earlierSeconds = 0;
    int earlier = 0;
    std::optional<double> worstLoss, bestWin; // shown yen, of the trips before
    for (std::size_t i = 0; i < trips.size(); ++i) {
        const RoundTrip& trip = trips[i];
        if (trip.open)
            continue;
        TripReview review;
        review.number = static_cast<int>(i) + 1;
        review.vwap = tapeVwap(tape, trip.start, trip.end);
        const double profit = shownYen(trip.profit);
        const auto say = [&review](ReviewPoint point, std::string text) {
            review.sentences.push_back({point, std::move(text)});
        };
        say(ReviewPoint::KeptProfit, keptProfit(profit, shownYen(trip.favourable)));
        say(ReviewPoint::WorstMoment, worstMoment(profit, shownYen(trip.adverse)));
        say(ReviewPoint::AgainstVwap, againstVwap(trip, review.vwap));
        say(ReviewPoint::Holding, holding(trip.holdingSeconds(), earlierSeconds, earlier));
        // Only against earlier trips: the first trip is no record of anything.
        if (earlier > 0 && profit < 0 && (!worstLoss || profit < *worstLoss))
            say(ReviewPoint::Record,
                "この損失 " + signedYenText(profit) + " は、この練習でこれまでで最大の損失です。");
        if (earlier > 0 && profit > 0 && (!bestWin || profit > *bestWin))
            say(ReviewPoint::Record,
                "この利益 " + signedYenText(profit) + " は、この練習でこれまでで最大の利益です。");
        if (profit < 0)
            worstLoss = worstLoss ? std::min(*worstLoss, profit) : profit;
        if (profit > 0)
            bestWin = bestWin ? std::max(*bestWin, profit) : profit;
        earlierSeconds += trip.holdingSeconds();
        ++earlier;
        reviews.push_back(std::move(review));
    }
    return reviews;
}

} // namespace vantrel
