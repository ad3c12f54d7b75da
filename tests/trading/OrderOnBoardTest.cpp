#include "trading/OrderOnBoard.h"

#include "base/NumberText.h"
#include "market/Market.h"
#include "market/MarketNumber.h"

#include <gtest/gtest.h>

#include <set>

namespace {
using namespace vantrel;

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

// Where it stands, as the board uses it: place, row, price and distance.
std::string where(const OrderOnBoard& on) {
    return std::to_string(static_cast<int>(on.place)) + " " + std::to_string(on.row) + " " +
           plainDecimal(on.price) + " " + plainDecimal(on.distance);
}

// Each order against one board (495 down to 485, asks from 491 up): where it
// stands (OnRow 0, AboveBoard 1, BelowBoard 2, BetweenRows 3; row; price;
// distance) and what the board says of it. The edge rows are on the board;
// one yen beyond is off it.
TEST(OrderOnBoard, LimitAndMarketOrdersAgainstTheRows) {
    const auto buy = OrderSide::Buy, sell = OrderSide::Sell;
    const auto limit = PriceKind::Limit, market = PriceKind::Market;
    // clang-format off
    const struct { OrderSide side; PriceKind kind; double price, remaining; const char *where, *text; } cases[] = {
        {buy, limit, 490, 3000, "0 5 490 0", "あなたの買い注文 490円 残り 3,000株"},
        {buy, limit, 495, 1000, "0 0 495 0", "あなたの買い注文 495円 残り 1,000株"},
        {buy, limit, 485, 1000, "0 10 485 0", "あなたの買い注文 485円 残り 1,000株"},
        {buy, limit, 484, 1000, "2 10 484 1", "あなたの買い注文 484円 は板の下 1円"},
        {buy, limit, 480, 3000, "2 10 480 5", "あなたの買い注文 480円 は板の下 5円"},
        {buy, limit, 484.5, 1000, "2 10 484.5 0.5", "あなたの買い注文 484.5円 は板の下 0.5円"},
        {buy, limit, 600, 1000, "1 0 600 105", "あなたの買い注文 600円 は板の上 105円"},
        {sell, limit, 491, 12000, "0 4 491 0", "あなたの売り注文 491円 残り 12,000株"},
        {sell, limit, 496, 1000, "1 0 496 1", "あなたの売り注文 496円 は板の上 1円"},
        {sell, limit, 400, 1000, "2 10 400 85", "あなたの売り注文 400円 は板の下 85円"},
        {sell, limit, 487.5, 1000, "3 7 487.5 0", "あなたの売り注文 487.5円 は 488円 と 487円 の間"},
        {buy, limit, 494.9, 1000, "3 0 494.9 0", "あなたの買い注文 494.9円 は 495円 と 494円 の間"},
        // Held at the band's edge (600 or 400), it stands where it meets the
        // other side's best quote.
        {buy, market, 600, 1234000, "0 4 491 0", "あなたの買い注文 成行 491円 残り 1,234,000株"},
        {sell, market, 400, 1000, "0 5 490 0", "あなたの売り注文 成行 490円 残り 1,000株"},
    };
    // clang-format on
    const auto rows = board(495, 491);
    for (const auto& c : cases) {
        const auto on = orderOnBoard(order(c.side, c.kind, c.price, c.remaining), rows);
        ASSERT_TRUE(on) << c.text;
        EXPECT_EQ(where(*on), c.where) << c.text;
        EXPECT_EQ(on->text, c.text);
    }
}

// A market order meets the nearest level that holds shares, skipping empty
// ones; with none on the other side, or no board at all, nothing is shown.
TEST(OrderOnBoard, MarketOrderSkipsEmptyLevelsAndNeedsAQuote) {
    const auto buy = order(OrderSide::Buy, PriceKind::Market, 600, 1000);
    const auto sell = order(OrderSide::Sell, PriceKind::Market, 400, 1000);
    const auto gaps = board(495, 491, {490, 491, 492});
    EXPECT_EQ(where(*orderOnBoard(buy, gaps)), "0 2 493 0");
    EXPECT_EQ(where(*orderOnBoard(sell, gaps)), "0 6 489 0");
    EXPECT_FALSE(orderOnBoard(buy, board(495, 496)));  // bids only
    EXPECT_FALSE(orderOnBoard(sell, board(495, 485))); // asks only
    EXPECT_FALSE(orderOnBoard(std::nullopt, gaps));
    EXPECT_FALSE(orderOnBoard(order(OrderSide::Buy, PriceKind::Limit, 490, 1000), {}));
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
            const auto buy = orderOnBoard(order(OrderSide::Buy, PriceKind::Market, 600, 1), rows);
            const auto sell = orderOnBoard(order(OrderSide::Sell, PriceKind::Market, 400, 1), rows);
            ASSERT_EQ(buy->price, market.quotes().dblAskPrice) << number << " tick " << tick;
            ASSERT_EQ(sell->price, market.quotes().dblBidPrice) << number << " tick " << tick;
        }
    }
}

} // namespace
