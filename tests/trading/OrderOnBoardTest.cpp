#include "trading/OrderOnBoard.h"

#include "base/NumberText.h"
#include "market/Market.h"
#include "market/MarketNumber.h"

#include <gtest/gtest.h>

#include <set>

namespace {
using namespace vantrel;

// Eleven rows from top down, one yen apart: asks from the top down to
// lowestAsk, bids below it; the prices in `empty` hold nothing.
std::vector<BoardRow> board(int top, int lowestAsk, const std::set<int>& empty = {}) {
    std::vector<BoardRow> rows;
    for (int price = top; price > top - Market::kBoardRows; --price)
        rows.push_back({price, price >= lowestAsk && !empty.count(price) ? 1000.0 : 0,
                        price < lowestAsk && !empty.count(price) ? 2000.0 : 0});
    return rows;
}

PendingOrder order(OrderSide side, PriceKind kind, double price, double remaining = 1000) {
    return {side, price, "", kind, remaining, remaining};
}

// Where it stands as the board uses it (place: OnRow 0, AboveBoard 1,
// BelowBoard 2, BetweenRows 3; row; price; distance), then its sentence.
std::string shown(const std::optional<OrderOnBoard>& on) {
    if (!on)
        return "nothing";
    return std::to_string(static_cast<int>(on->place)) + " " + std::to_string(on->row) + " " +
           plainDecimal(on->price) + " " + plainDecimal(on->distance) + " " + on->text;
}

// Each order against one board (495 down to 485, asks from 491 up). The
// edge rows are on the board; one yen beyond is off it. A market order,
// held at the band's edge, stands where it meets the other side's best
// quote, skipping empty levels, and shows nothing without one.
TEST(OrderOnBoard, LimitAndMarketOrdersAgainstTheRows) {
    const auto buy = OrderSide::Buy, sell = OrderSide::Sell;
    const auto limit = PriceKind::Limit, market = PriceKind::Market;
    const auto rows = board(495, 491);
    const auto gaps = board(495, 491, {490, 491, 492});
    // clang-format off
    const struct { PendingOrder order; std::vector<BoardRow> rows; const char* shown; } cases[] = {
        {order(buy, limit, 490, 3000), rows, "0 5 490 0 あなたの買い注文 490円 残り 3,000株"},
        {order(buy, limit, 495), rows, "0 0 495 0 あなたの買い注文 495円 残り 1,000株"},
        {order(buy, limit, 485), rows, "0 10 485 0 あなたの買い注文 485円 残り 1,000株"},
        {order(buy, limit, 484), rows, "2 10 484 1 あなたの買い注文 484円 は板の下 1円"},
        {order(buy, limit, 600), rows, "1 0 600 105 あなたの買い注文 600円 は板の上 105円"},
        {order(sell, limit, 491, 12000), rows, "0 4 491 0 あなたの売り注文 491円 残り 12,000株"},
        {order(sell, limit, 496), rows, "1 0 496 1 あなたの売り注文 496円 は板の上 1円"},
        {order(sell, limit, 484.5), rows, "2 10 484.5 0.5 あなたの売り注文 484.5円 は板の下 0.5円"},
        {order(sell, limit, 487.5), rows, "3 7 487.5 0 あなたの売り注文 487.5円 は 488円 と 487円 の間"},
        {order(buy, market, 600, 1234000), rows, "0 4 491 0 あなたの買い注文 成行 491円 残り 1,234,000株"},
        {order(sell, market, 400), rows, "0 5 490 0 あなたの売り注文 成行 490円 残り 1,000株"},
        {order(buy, market, 600), gaps, "0 2 493 0 あなたの買い注文 成行 493円 残り 1,000株"},
        {order(sell, market, 400), gaps, "0 6 489 0 あなたの売り注文 成行 489円 残り 1,000株"},
        {order(buy, market, 600), board(495, 496), "nothing"},
        {order(sell, market, 400), board(495, 485), "nothing"},
        {order(buy, limit, 490), {}, "nothing"},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(shown(orderOnBoard(c.order, c.rows)), c.shown);
    EXPECT_EQ(shown(orderOnBoard(std::nullopt, rows)), "nothing");
}

// Tick after tick of real markets, a market order stands at the very quote
// the execution trades it against.
TEST(OrderOnBoard, MarketOrderMeetsTheMarketsOwnBestQuote) {
    for (const int number : {kStandardMarket, 17}) {
        Market market(number);
        market.keepTape(false);
        market.StartUp();
        for (int tick = 1; tick <= 3000; ++tick) {
            market.Tick();
            const auto rows = market.boardRows();
            const auto buy = orderOnBoard(order(OrderSide::Buy, PriceKind::Market, 600), rows);
            const auto sell = orderOnBoard(order(OrderSide::Sell, PriceKind::Market, 400), rows);
            ASSERT_TRUE(buy && sell) << number << " tick " << tick;
            ASSERT_EQ(buy->price, market.quotes().dblAskPrice) << number << " tick " << tick;
            ASSERT_EQ(sell->price, market.quotes().dblBidPrice) << number << " tick " << tick;
        }
    }
}

} // namespace
