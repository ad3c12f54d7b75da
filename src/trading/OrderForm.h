#pragma once

#include <string>

namespace vantrel {

// What an order form shows when its button is pressed. None means no option of
// the group is selected.
enum class PriceKind { None = -1, Limit = 0, Market = 1 };
enum class QuantityKind { None = -1, Shares = 0, Yen = 1, Everything = 2 };

struct OrderForm {
    PriceKind priceKind = PriceKind::Limit;
    std::string priceText;
    QuantityKind quantityKind = QuantityKind::Shares;
    std::string sharesText;
    std::string yenText;
};

} // namespace vantrel
