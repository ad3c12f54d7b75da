#include "results/ResultsText.h"

#include "base/NumberText.h"
#include "orders/StockInfo.h"
#include "results/CsvTable.h"
#include "trading/OrderExecution.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace vantrel {
namespace {

const char* const kSideText[] = {"買", "売"};

const char* sideText(OrderSide side) {
    return kSideText[side == OrderSide::Buy ? 0 : 1];
}

std::string priceText(double yen) {
    return displayNumber(yen) + "円";
}

std::string sharesText(double shares) {
    return groupedNumber(shares) + "株";
}

// What the order waits for, or what the next attempt fills and why. A market
// order is held at the edge of the day's band, so that edge is its limit.
std::string waitingFor(const PendingOrder& order, const Quotes& q) {
    const bool buy = order.side == OrderSide::Buy;
    const bool atMarket = order.priceKind == PriceKind::Market;
    const std::string limitName = atMarket ? (buy ? "成行の上限" : "成行の下限") : "指値";
    const std::string limit = limitName + " " + priceText(order.price);
    const std::string best = buy ? "最良売気配 " : "最良買気配 ";
    const double bestPrice = buy ? q.dblAskPrice : q.dblBidPrice;
    const std::string through =
        "、現値が" + limitName + (buy ? "を下回る" : "を上回る") + "と約定します";
    const auto fill = expectedFill(order, q);
    if (fill && fill->shares == 0)
        return buy ? "売気配が出るまで約定しません。" : "買気配が出るまで約定しません。";
    if (!fill && bestPrice == 0)
        return (buy ? "売気配がないので" : "買気配がないので") + through + "。";
    if (!fill) {
        const double gap = buy ? bestPrice - order.price : order.price - bestPrice;
        return best + priceText(bestPrice) + " が" + limit +
               (buy ? " まで下がるか" : " まで上がるか") + through + "（あと " +
               displayNumber(gap) + "円）。";
    }
    // A tick comes before the next attempt and may move the board, so this
    // is what the board as it stands would give, not a promise.
    const std::string fills = "、今の板なら " + priceText(fill->price) + " で " +
                              sharesText(fill->shares) + " 約定します。";
    switch (fill->rule) {
    case FillRule::BestQuote:
        return best + priceText(bestPrice) + " が" + limit + (buy ? " 以下なので" : " 以上なので") +
               fills;
    case FillRule::QueueTraded:
        return "現値が" + limit + " と同じで、" + (buy ? "買気配" : "売気配") + "の " +
               sharesText(buy ? q.dblBidAmount : q.dblAskAmount) + " を超える分が待っているので" +
               fills;
    case FillRule::TradedThrough:
        break;
    }
    return "現値 " + priceText(q.lastPrice) + " が" + limit +
           (buy ? " を下回ったので" : " を上回ったので") + fills;
}

} // namespace

std::string elapsedText(std::uint64_t seconds) {
    char text[32];
    const auto minutes = static_cast<unsigned long long>(seconds / 60);
    const auto rest = static_cast<unsigned>(seconds % 60);
    if (minutes < 60)
        std::snprintf(text, sizeof text, "%llu:%02u", minutes, rest);
    else
        std::snprintf(text, sizeof text, "%llu:%02llu:%02u", minutes / 60, minutes % 60, rest);
    return text;
}

bool isLoss(double yen) {
    return roundHalfEven(yen) < 0;
}

std::string yenText(double yen) {
    return groupedNumber(yen) + "円";
}

std::string signedYenText(double yen) {
    std::string text = yenText(yen);
    return isLoss(yen) || text == "0円" ? text : "+" + text;
}

std::string measureText(const MeasureRow& row) {
    const MeasureInfo& info = row.info();
    if (!row.value)
        return info.undefinedText;
    return groupedNumber(*row.value, info.decimals) + info.unit;
}

std::string explanationLine(Measure measure) {
    return std::string("  ") + measureInfo(measure).explanation;
}

bool isShownLoss(const MeasureRow& row) {
    return row.info().lossColoured && row.value && shownValue(row.measure, *row.value) < 0;
}

double shownValue(Measure measure, double value) {
    return roundTo(value, measureInfo(measure).decimals);
}

std::string waitText(const Account& account, const Quotes& quotes, bool paused) {
    const auto& order = account.order();
    if (!order)
        return "注文なし";
    std::string text = waitingFor(*order, quotes) + "\n";
    if (order->remaining < order->ordered)
        text += "残り " + sharesText(order->remaining) + "（" +
                sharesText(order->ordered - order->remaining) + " 約定済み）。";
    // An attempt is made on the first execution tick whose wait has reached the
    // threshold; a press restarts the wait, a fill shortens it.
    const double ticks = account.dblExecWait >= kExecWaitThreshold
                             ? 1
                             : kExecWaitThreshold - account.dblExecWait + 1;
    text += "次の約定判定まで約 " + displayNumber(ticks) + "秒";
    return text + (paused ? "（一時停止中は時間が止まっています）。" : "。");
}

const std::array<const char*, kHistoryColumns>& historyCaptions() {
    static const std::array<const char*, kHistoryColumns> captions = {
        "日時", "経過", "売買", "価格", "株数", "金額", "実現損益", "手数料"};
    return captions;
}

std::array<std::string, kHistoryColumns> historyCells(const LedgerFill& fill,
                                                      const std::string& timeText) {
    const bool sale = fill.side == OrderSide::Sell;
    return {timeText,
            elapsedText(fill.time.second),
            sideText(fill.side),
            yenText(fill.price),
            groupedNumber(fill.shares),
            yenText(fill.value),
            sale ? yenText(fill.realised) : "",
            fill.commission != 0 ? yenText(fill.commission) : ""};
}

std::string tradeHistoryCsv(const std::vector<LedgerFill>& fills,
                            const std::function<std::string(const LedgerFill&)>& timeText) {
    return csvTable(historyCaptions(), fills, [&timeText](const LedgerFill& fill) {
        const bool sale = fill.side == OrderSide::Sell;
        return std::array<std::string, kHistoryColumns>{
            timeText(fill),
            elapsedText(fill.time.second),
            sideText(fill.side),
            plainYen(fill.price),
            displayNumber(fill.shares),
            plainYen(fill.value),
            sale ? plainYen(fill.realised) : "",
            fill.commission != 0 ? plainYen(fill.commission) : ""};
    });
}

const std::array<RoundTripColumn, kRoundTripColumns>& roundTripColumns() {
    static const std::array<RoundTripColumn, kRoundTripColumns> columns = {{
        {"番号", "往復取引の通し番号です。"
                 "古いものから 1, 2, 3… と数えます。"},
        {"開始", "最初の買いが約定した時刻を、練習の始めからの経過時間で表します。"},
        {"終了", "売って持ち株が0株に戻った時刻です。"
                 "まだ持っているなら、今の時刻です。"},
        {"保有時間", "開始から終了までの、株を持っていた時間です。"
                     "長いほど、値動きの影響を長く受けていました。"},
        {"最大保有株数", "この往復取引のあいだに一度に持った株の数の最大です。"
                         "買い増しをすると、最初に買った株数より多くなります。"},
        {"平均買値", "この往復取引で買った株の平均の値段です。"
                     "平均売値より低ければ、値幅では利益が出ています。"},
        {"平均売値", "この往復取引で売った株の平均の値段です。"
                     "まだ売っていなければ空欄です。"},
        {"損益", "売って確定した損益から、この往復取引の手数料を引いたものです。"
                 "保有中なら、現値で売ったとして数えます。"},
        {"手数料", "この往復取引の約定で払った手数料の合計です。"
                   "損益からは、もう引いてあります。"},
        {"最大逆行幅", "持っているあいだに含み損が一番大きくなったときの額です。"
                       "損益と比べると、どこまで下がるのを我慢したかがわかります。"},
        {"最大順行幅", "持っているあいだに含み益が一番大きくなったときの額です。"
                       "損益がこれよりずっと小さければ、利益の多くを逃しています。"},
        {"状態", "決済済は売り切って終わった往復取引、保有中はまだ株を持っている往復取引です。"},
    }};
    return columns;
}

std::array<std::string, kRoundTripColumns> roundTripCells(const RoundTrip& trip, int number) {
    return {std::to_string(number),
            elapsedText(trip.start),
            elapsedText(trip.end),
            elapsedText(trip.holdingSeconds()),
            groupedNumber(trip.mostShares),
            groupedNumber(trip.averageBuy, 2) + "円",
            trip.averageSell ? groupedNumber(*trip.averageSell, 2) + "円" : "",
            yenText(trip.profit),
            trip.commissions != 0 ? yenText(trip.commissions) : "",
            yenText(trip.adverse),
            yenText(trip.favourable),
            trip.open ? "保有中" : "決済済"};
}

} // namespace vantrel
