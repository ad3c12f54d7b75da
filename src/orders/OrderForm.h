#pragma once

#include <string>

namespace vantrel {

// What an order form shows when its button is pressed. None means no option of
// the group is selected.
enum class PriceKind { None = -1, Limit = 0, Market = 1 };
enum class QuantityKind { None = -1, Shares = 0, Yen = 1, Everything = 2 };
// Which form an order comes from: 買い or 売り.
enum class OrderSide { Buy, Sell };

struct OrderForm {
    PriceKind priceKind = PriceKind::Limit;
    std::string priceText;
    QuantityKind quantityKind = QuantityKind::Shares;
    std::string sharesText;
    std::string yenText;
};

// An order form read once; the checks, the share count and the placement all
// work on these values, so they all see the same numbers.
struct OrderValues {
    PriceKind priceKind = PriceKind::Limit;
    double price = 0;            // the limit price; 0 unless priceKind is Limit
    std::string storedPriceText; // how a limit order keeps its price; reads as price
    QuantityKind quantityKind = QuantityKind::Shares;
    double shares = 0;
    double yen = 0;
};

// Reads every text of the form leniently, so "1000abc" counts as 1000 and
// "abc" as 0. A limit price is kept as typed when the strict and the lenient
// reading agree on it; any other text is replaced by its lenient value. So is a
// text with control characters (a pasted tab or line break): shown in the
// labels and the log, a line break would split a log line in two.
OrderValues readOrderForm(const OrderForm& form);

} // namespace vantrel
