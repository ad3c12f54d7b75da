#pragma once

#include <string>

namespace vantrel {

// Where every trading result is reported, one message per line.
class TradeLog {
public:
    virtual ~TradeLog() = default;
    virtual void AddLog(const std::string& message) = 0;
};

} // namespace vantrel
