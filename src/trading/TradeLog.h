#pragma once

#include <string>

namespace vantrel {

// Where every trading result is reported, one message per line.
class TradeLog {
public:
    virtual ~TradeLog() = default;
    virtual void AddLog(const std::string& message) = 0;
    // False for a log nobody reads (the computer traders'): the rules then
    // skip building its lines, which would cost more than the trading itself.
    virtual bool listening() const { return true; }
};

} // namespace vantrel
