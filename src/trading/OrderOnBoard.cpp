#include "trading/OrderOnBoard.h"

#include "base/NumberText.h"

namespace vantrel {
namespace {

std::string yen(double price) {
    return displayNumber(price) + "円";
}

// The best quote a market order meets, as the execution reads it from the
// board: a buy the lowest row offered, a sell the highest row bid.
std::optional<int> metQuoteRow(OrderSide side, const std::vector<BoardRow>& rows) {
    std::optional<int> met;
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const BoardRow& level = rows[static_cast<std::size_t>(row)];
        if (side == OrderSide::Buy && level.hasAsk())
            met = row;
        if (side == OrderSide::Sell && level.hasBid())
            return row;
    }
    return met;
}

} // namespace

std::optional<OrderOnBoard> orderOnBoard(const std::optional<PendingOrder>& order,
                                         const std::vector<BoardRow>& rows) {
    if (!order || rows.empty())
        return std::nullopt;
    OrderOnBoard on;
    on.side = order->side;
    on.priceKind = order->priceKind;
    on.price = order->price;
    on.remaining = order->remaining;
    const std::string whose =
        order->side == OrderSide::Buy ? "あなたの買い注文 " : "あなたの売り注文 ";
    const std::string left = " 残り " + groupedNumber(on.remaining) + "株";

    if (order->priceKind == PriceKind::Market) {
        // Held at the edge of the day's band, a market order would always
        // read as off the board; it stands where it will trade.
        const auto met = metQuoteRow(order->side, rows);
        if (!met)
            return std::nullopt;
        on.row = *met;
        on.price = rows[static_cast<std::size_t>(*met)].price;
        on.text = whose + "成行 " + yen(on.price) + left;
        return on;
    }

    const auto last = static_cast<int>(rows.size()) - 1;
    const double top = rows.front().price;
    const double bottom = rows.back().price;
    if (on.price > top) {
        on.place = OrderOnBoard::Place::AboveBoard;
        on.distance = on.price - top;
        on.text = whose + yen(on.price) + " は板の上 " + yen(on.distance);
        return on;
    }
    if (on.price < bottom) {
        on.place = OrderOnBoard::Place::BelowBoard;
        on.row = last;
        on.distance = bottom - on.price;
        on.text = whose + yen(on.price) + " は板の下 " + yen(on.distance);
        return on;
    }
    // Inside the board: the first row from the top at or below the price.
    int row = 0;
    while (rows[static_cast<std::size_t>(row)].price > on.price)
        ++row;
    if (rows[static_cast<std::size_t>(row)].price == on.price) {
        on.row = row;
        on.text = whose + yen(on.price) + left;
        return on;
    }
    on.place = OrderOnBoard::Place::BetweenRows;
    on.row = row - 1;
    on.text = whose + yen(on.price) + " は " + yen(rows[static_cast<std::size_t>(row - 1)].price) +
              " と " + yen(rows[static_cast<std::size_t>(row)].price) + " の間";
    return on;
}

} // namespace vantrel
