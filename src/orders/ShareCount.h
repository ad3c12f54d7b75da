#pragma once

#include "orders/OrderForm.h"

#include <cstdint>
#include <optional>

namespace vantrel {

// a \ b: both operands rounded half to even and taken as 32-bit integers, the
// quotient truncated toward zero. Empty when an operand is out of that range
// or not finite, when the divisor is 0, or when the quotient overflows.
std::optional<std::int32_t> wholeDivide(double dividend, double divisor);

// The largest whole number of trading units the amount pays for at the price:
// ((amount \ price) \ unit) × unit, or 0 where a division has no value.
double unitsAffordable(double amount, double price);

// The share count an order form asks for. Yen and all-in amounts are priced
// at the upper daily limit for a market order, on either side. 0 when no
// price kind or no quantity kind is chosen.
double deriveShareCount(OrderSide side, const OrderValues& form, double buyingPower,
                        double holdings);

} // namespace vantrel
