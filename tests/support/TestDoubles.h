#pragma once

#include "trading/MessagePrompter.h"
#include "trading/OrderForm.h"
#include "trading/TradeLog.h"

#include <string>
#include <vector>

namespace vantrel {

// Short names for the form's choices, so that table rows read as forms.
using Lines = std::vector<std::string>;
inline constexpr auto Limit = PriceKind::Limit;
inline constexpr auto AtMarket = PriceKind::Market;
inline constexpr auto Shares = QuantityKind::Shares;
inline constexpr auto Yen = QuantityKind::Yen;
inline constexpr auto All = QuantityKind::Everything;

class RecordingLog final : public TradeLog {
public:
    void AddLog(const std::string& message) override { lines.push_back(message); }
    std::vector<std::string> lines;
};

class RecordingPrompter final : public MessagePrompter {
public:
    void ShowMessage(const std::string& prompt, const std::string& title) override {
        boxes.push_back({prompt, title});
    }
    std::vector<MessageBoxText> boxes;
};

inline bool operator==(const MessageBoxText& a, const MessageBoxText& b) {
    return a.prompt == b.prompt && a.title == b.title;
}

} // namespace vantrel
