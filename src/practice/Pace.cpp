#include "practice/Pace.h"

#include "market/MarketNumber.h"

#include <vector>

namespace vantrel {

std::string speedText(int speed) {
    return "×" + std::to_string(speed);
}

std::string practiceStateText(const Pace& pace, int marketNumber) {
    std::vector<std::string> parts;
    if (pace.paused)
        parts.push_back("一時停止");
    if (pace.speed != kNormalSpeed)
        parts.push_back(speedText(pace.speed));
    if (marketNumber != kStandardMarket)
        parts.push_back("市場番号 " + std::to_string(marketNumber));
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : kStateSeparator) + part;
    return text;
}

} // namespace vantrel
