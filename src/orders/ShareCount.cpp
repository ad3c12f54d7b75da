#include "orders/ShareCount.h"

#include "base/NumberText.h"
#include "orders/PriceRules.h"
#include "orders/StockInfo.h"

#include <limits>

namespace vantrel {

std::optional<std::int32_t> wholeDivide(double dividend, double divisor) {
    const auto a = toInt32RoundHalfEven(dividend);
    const auto b = toInt32RoundHalfEven(divisor);
    if (!a || !b || *b == 0)
        return std::nullopt;
    // Only the most negative value divided by -1 leaves the range.
    const std::int64_t quotient = std::int64_t{*a} / *b;
    if (quotient > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(quotient);
}

double unitsAffordable(double amount, double price) {
    const auto perPrice = wholeDivide(amount, price);
    if (!perPrice)
        return 0;
    const auto units = wholeDivide(*perPrice, stock::kUnit);
    return units ? *units * stock::kUnit : 0;
}

double deriveShareCount(OrderSide side, const OrderValues& form, double buyingPower,
                        double holdings) {
    if (form.priceKind == PriceKind::None)
        return 0;
    const bool limit = form.priceKind == PriceKind::Limit;
    const double price = limit ? form.price : upperLimitPrice(stock::kPreviousClose);

    switch (form.quantityKind) {
    case QuantityKind::Shares:
        // The count placed is the count the form check accepted, at market
        // too. A strict reading of the text could only differ through
        // digit-grouping commas ("1000,0e-3" is 1000 to the check but 10
        // strictly) and would place shares nobody checked, fractions of a
        // unit included.
        return form.shares;
    case QuantityKind::Yen:
        return unitsAffordable(form.yen, price);
    case QuantityKind::Everything:
        return side == OrderSide::Buy ? unitsAffordable(buyingPower - kCommission, price)
                                      : holdings;
    case QuantityKind::None:
        break;
    }
    return 0;
}

} // namespace vantrel
