#include "market/MarketNumber.h"

#include "market/RandomStream.h"

namespace vantrel {

std::optional<int> parseMarketNumber(const std::string& text) {
    if (text.empty() || text.size() > 4)
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < kStandardMarket || value > kLastMarket)
        return std::nullopt;
    return value;
}

std::uint32_t marketStartState(int marketNumber) {
    if (marketNumber == kStandardMarket)
        return RandomStream::kStartState;
    // Each step (xor with a right shift, product with an odd factor modulo
    // 2^24) can be undone, so the whole mix is a permutation of the 24-bit
    // states: different numbers can never share a start. Numbers near each
    // other land far apart in the stream's one cycle.
    constexpr std::uint32_t kMask = (1u << 24) - 1u;
    std::uint32_t x = static_cast<std::uint32_t>(marketNumber) & kMask;
    x ^= x >> 12;
    x = (x * 0x9E3779u) & kMask;
    x ^= x >> 11;
    x = (x * 0x85EBCBu) & kMask;
    x ^= x >> 12;
    return x;
}

} // namespace vantrel
