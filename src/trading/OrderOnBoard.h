#pragma once

#include "market/BoardRow.h"
#include "orders/OrderForm.h"
#include "trading/Account.h"

#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// Where the user's pending order stands against the board, for the board to
// show it beside the crowd's queues. The order is never part of the book: it
// is only laid over the rows the market shows.
struct OrderOnBoard {
    enum class Place {
        OnRow,       // a row of the board holds its price
        AboveBoard,  // its price lies above the top row
        BelowBoard,  // its price lies below the bottom row
        BetweenRows, // a limit with a fraction of a yen, between two rows
    };

    OrderSide side = OrderSide::Buy;
    PriceKind priceKind = PriceKind::Limit;
    // A limit order's price; for a market order the best quote it will meet.
    double price = 0;
    double remaining = 0; // shares not yet filled
    Place place = Place::OnRow;
    // OnRow: the row of its price. BetweenRows: the row just above its
    // price. Off the board: the edge row it lies beyond. Rows count from the
    // top, 0 to 10.
    int row = 0;
    // Off the board: how many yen beyond the edge row; 0 otherwise.
    double distance = 0;

    // What the board says of it: on a row "あなたの買い注文 490円 残り 3,000株"
    // ("あなたの買い注文 成行 501円 残り 1,000株" for a market order), off the
    // board "あなたの買い注文 480円 は板の下 5円" or "… は板の上 5円", between
    // rows "あなたの買い注文 490.5円 は 491円 と 490円 の間".
    std::string text;

    bool onBoard() const { return place == Place::OnRow; }
};

// The pending order against the rows as the market last showed them (top to
// bottom). Nothing without an order, before the board's first rows, and for
// a market order whose other side shows no quote to meet.
std::optional<OrderOnBoard> orderOnBoard(const std::optional<PendingOrder>& order,
                                         const std::vector<BoardRow>& rows);

} // namespace vantrel
