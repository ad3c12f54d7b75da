#include "market/MarketNumber.h"

#include "base/CommandLine.h"
#include "market/RandomStream.h"

namespace vantrel {

std::optional<int> parseMarketNumber(const std::string& text) {
    const std::optional<std::uint64_t> value =
        readBoundedNumber(text, kStandardMarket, kLastMarket);
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
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
