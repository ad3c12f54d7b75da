#pragma once

#include "trading/MessagePrompter.h"
#include "trading/TradeLog.h"

#include <string>
#include <vector>

namespace vantrel {

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
