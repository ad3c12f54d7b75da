#pragma once

#include "orders/MessagePrompter.h"
#include "trading/TradeLog.h"

#include <string>

namespace vantrel {

// A log and boxes nobody reads: the computer traders', a practice analysed
// without a window, the sessions a benchmark builds. It says it is not
// listening, so the rules build no lines for it.
class SilentLog final : public TradeLog, public MessagePrompter {
public:
    void AddLog(const std::string&) override {}
    bool listening() const override { return false; }
    void ShowMessage(const std::string&, const std::string&) override {}
};

} // namespace vantrel
