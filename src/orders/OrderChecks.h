#pragma once

#include "orders/MessagePrompter.h"
#include "orders/OrderForm.h"

#include <optional>
#include <string>

namespace vantrel {

// The checks of the two order forms. An empty result means the form may be
// placed; otherwise it is the box of the first check that failed.
std::optional<MessageBoxText> CheckBuyOrder(const std::string& codeText, const OrderValues& form);
std::optional<MessageBoxText> CheckSellOrder(const std::string& codeText, const OrderValues& form,
                                             double holdings);

} // namespace vantrel
