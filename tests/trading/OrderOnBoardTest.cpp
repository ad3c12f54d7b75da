#include "trading/OrderOnBoard.h"

#include "market/Market.h"
#include "market/MarketNumber.h"

#include <gtest/gtest.h>

#include <set>

namespace {
using namespace vantrel;
using Place = OrderOnBoard::Place;

// Eleven rows from top down, one yen apart: asks from the top down to
// lowestAsk, bids below it, each level's shares its price's last digit
// times 1000; the prices in `empty` hold nothing.
std::vector<BoardRow> board(int top, int lowestAsk, const std::set<int>& empty = {}) {
    std::vector<BoardRow> rows;
    for (int price = top; price > top - Market::kBoardRows; --price) {
        const double shares = 1000.0 * (price % 10 + 1);
        BoardRow row{price, 0, 0};
        if (!empty.count(price))
            (price >= lowestAsk ? row.offered : row.bid) = shares;
        rows.push_back(row);
    }
    return rows;
}

PendingOrder order(OrderSide side, PriceKind kind, double price, double remaining) {
    return {side, price, "", kind, remaining, remaining};
}

// Each order against one board (495 down to 485, asks from 491 up): where
// it stands and what the board says of it. The edges of the board are rows
// of it; one yen beyond is off it.
TEST(OrderOnBoard, LimitAndMarketOrdersAgainstTheRows) {
    const auto buy = OrderSide::Buy, sell = OrderSide::Sell;
    const auto limit = PriceKind::Limit, market = PriceKind::Market;
    // clang-format off
    const struct {
        OrderSide side; PriceKind kind; double price, remaining;
        Place place; int row; double shownPrice, distance; const char* text;
    } cases[] = {
        {buy, limit, 490, 3000, Place::OnRow, 5, 490, 0, "あなたの買い注文 490円 残り 3,000株"},
        {buy, limit, 495, 1000, Place::OnRow, 0, 495, 0, "あなたの買い注文 495円 残り 1,000株"},
        {buy, limit, 485, 1000, Place::OnRow, 10, 485, 0, "あなたの買い注文 485円 残り 1,000株"},
        {buy, limit, 484, 1000, Place::BelowBoard, 10, 484, 1, "あなたの買い注文 484円 は板の下 1円"},
        {buy, limit, 480, 3000, Place::BelowBoard, 10, 480, 5, "あなたの買い注文 480円 は板の下 5円"},
        {buy, limit, 484.5, 1000, Place::BelowBoard, 10, 484.5, 0.5,
         "あなたの買い注文 484.5円 は板の下 0.5円"},
        {buy, limit, 600, 1000, Place::AboveBoard, 0, 600, 105, "あなたの買い注文 600円 は板の上 105円"},
        {sell, limit, 491, 12000, Place::OnRow, 4, 491, 0, "あなたの売り注文 491円 残り 12,000株"},
        {sell, limit, 496, 1000, Place::AboveBoard, 0, 496, 1, "あなたの売り注文 496円 は板の上 1円"},
        {sell, limit, 400, 1000, Place::BelowBoard, 10, 400, 85, "あなたの売り注文 400円 は板の下 85円"},
        {sell, limit, 487.5, 1000, Place::BetweenRows, 7, 487.5, 0,
         "あなたの売り注文 487.5円 は 488円 と 487円 の間"},
        {buy, limit, 494.9, 1000, Place::BetweenRows, 0, 494.9, 0,
         "あなたの買い注文 494.9円 は 495円 と 494円 の間"},
        // Held at the band's edge (600 or 400), it stands where it meets the
        // other side's best quote.
        {buy, market, 600, 1234000, Place::OnRow, 4, 491, 0, "あなたの買い注文 成行 491円 残り 1,234,000株"},
        {sell, market, 400, 1000, Place::OnRow, 5, 490, 0, "あなたの売り注文 成行 490円 残り 1,000株"},
    };
    // clang-format on
    const auto rows = board(495, 491);
    for (const auto& c : cases) {
        const auto on = orderOnBoard(order(c.side, c.kind, c.price, c.remaining), rows);
        ASSERT_TRUE(on) << c.text;
        EXPECT_EQ(on->place, c.place) << c.text;
        EXPECT_EQ(on->onBoard(), c.place == Place::OnRow) << c.text;
        EXPECT_EQ(on->row, c.row) << c.text;
        EXPECT_EQ(on->price, c.shownPrice) << c.text;
        EXPECT_EQ(on->distance, c.distance) << c.text;
        EXPECT_EQ(on->text, c.text);
        EXPECT_EQ(on->side, c.side) << c.text;
        EXPECT_EQ(on->priceKind, c.kind) << c.text;
        EXPECT_EQ(on->remaining, c.remaining) << c.text;
    }
}

// A market order meets the nearest level that holds shares, skipping empty
// ones; with none on the other side, or no board at all, nothing is shown.
TEST(OrderOnBoard, MarketOrderSkipsEmptyLevelsAndNeedsAQuote) {
    const auto marketBuy = order(OrderSide::Buy, PriceKind::Market, 600, 1000);
    const auto marketSell = order(OrderSide::Sell, PriceKind::Market, 400, 1000);
    const auto gaps = board(495, 491, {491, 492, 490});
    EXPECT_EQ(orderOnBoard(marketBuy, gaps)->row, 2);
    EXPECT_EQ(orderOnBoard(marketBuy, gaps)->price, 493);
    EXPECT_EQ(orderOnBoard(marketSell, gaps)->row, 6);
    EXPECT_EQ(orderOnBoard(marketSell, gaps)->price, 489);

    const auto onlyBids = board(495, 496);
    const auto onlyAsks = board(495, 485);
    EXPECT_FALSE(orderOnBoard(marketBuy, onlyBids));
    EXPECT_FALSE(orderOnBoard(marketSell, onlyAsks));
    EXPECT_TRUE(orderOnBoard(marketSell, onlyBids));
    EXPECT_TRUE(orderOnBoard(order(OrderSide::Buy, PriceKind::Limit, 490, 1000), onlyBids));

    EXPECT_FALSE(orderOnBoard(std::nullopt, board(495, 491)));
    EXPECT_FALSE(orderOnBoard(marketBuy, {}));
    EXPECT_FALSE(orderOnBoard(order(OrderSide::Buy, PriceKind::Limit, 490, 1000), {}));
}

// Tick after tick of real markets, a market order stands at the very quote
// the execution trades it against, and a limit at a shown price on its row.
TEST(OrderOnBoard, MarketOrderMeetsTheMarketsOwnBestQuote) {
    for (const int number : {kStandardMarket, 17}) {
        Market market(number);
        market.keepTape(false);
        market.StartUp();
        for (int tick = 0; tick < 3000; ++tick) {
            market.Tick();
            const auto rows = market.boardRows();
            const Quotes q = market.quotes();
            const auto buy =
                orderOnBoard(order(OrderSide::Buy, PriceKind::Market, 600, 1000), rows);
            const auto sell =
                orderOnBoard(order(OrderSide::Sell, PriceKind::Market, 400, 1000), rows);
            ASSERT_TRUE(buy && sell) << number << " tick " << tick;
            ASSERT_EQ(buy->price, q.dblAskPrice) << number << " tick " << tick;
            ASSERT_EQ(sell->price, q.dblBidPrice) << number << " tick " << tick;
            const int row = tick % Market::kBoardRows;
            const auto limit =
                orderOnBoard(order(OrderSide::Sell, PriceKind::Limit, rows[row].price, 1000), rows);
            ASSERT_EQ(limit->row, row) << number << " tick " << tick;
        }
    }
}

} // namespace
