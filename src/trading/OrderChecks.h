#pragma once

#include "trading/MessagePrompter.h"
#include "trading/OrderForm.h"

#include <optional>
#include <string>

namespace vantrel {

// The checks of the two order forms. An empty result means the form may be
// placed; otherwise it is the box of the first check that failed. Typed texts
// are read leniently, so "1000abc" counts as 1000 and "abc" as 0.
std::optional<MessageBoxText> CheckBuyOrder(const std::string& codeText, const OrderForm& form);
std::optional<MessageBoxText> CheckSellOrder(const std::string& codeText, const OrderForm& form,
                                             double holdings);

} // namespace vantrel
