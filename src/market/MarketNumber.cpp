#include "market/MarketNumber.h"

#include "base/CommandLine.h"
#include "market/Market.h"
#include "market/RandomStream.h"

#include <array>
#include <memory>

namespace vantrel {

namespace {

constexpr std::uint32_t kMask = (1u << 24) - 1u;

// Each step (xor with a right shift, product with an odd factor modulo 2^24)
// can be undone, so the whole mix is a permutation of the 24-bit states:
// different numbers can never share a state. Numbers near each other land
// far apart in the stream's one cycle.
std::uint32_t scrambled(std::uint32_t number) {
    std::uint32_t x = number & kMask;
    x ^= x >> 12;
    x = (x * 0x9E3779u) & kMask;
    x ^= x >> 11;
    x = (x * 0x85EBCBu) & kMask;
    x ^= x >> 12;
    return x;
}

bool seedsUncrossedBook(std::uint32_t state) {
    Market market(std::make_unique<RandomStream>(state));
    market.StartUp();
    return market.uncrossed();
}

// Market N starts from the scrambled N when that seeds an uncrossed book (so
// such a number runs the market it always ran); otherwise from the next
// scrambled number above 9999 that does. Seeding all of them takes a few
// tens of milliseconds, once.
const std::array<std::uint32_t, kLastMarket + 1>& startStates() {
    static const std::array<std::uint32_t, kLastMarket + 1> states = [] {
        std::array<std::uint32_t, kLastMarket + 1> table{};
        table[kStandardMarket] = RandomStream::kStartState;
        std::uint32_t spare = kLastMarket + 1;
        for (int number = kStandardMarket + 1; number <= kLastMarket; ++number) {
            std::uint32_t state = scrambled(static_cast<std::uint32_t>(number));
            while (!seedsUncrossedBook(state)) {
                do
                    state = scrambled(spare++);
                while (state == RandomStream::kStartState);
            }
            table[number] = state;
        }
        return table;
    }();
    return states;
}

bool isMarketNumber(int number) {
    return number >= kStandardMarket && number <= kLastMarket;
}

} // namespace

std::optional<int> parseMarketNumber(const std::string& text) {
    const std::optional<std::uint64_t> value =
        readBoundedNumber(text, kStandardMarket, kLastMarket);
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

std::uint32_t marketStartState(int marketNumber) {
    // The standard market needs no table.
    if (marketNumber == kStandardMarket || !isMarketNumber(marketNumber))
        return RandomStream::kStartState;
    return startStates()[marketNumber];
}

bool marketStartReplaced(int marketNumber) {
    return isMarketNumber(marketNumber) && marketNumber != kStandardMarket &&
           startStates()[marketNumber] != scrambled(static_cast<std::uint32_t>(marketNumber));
}

} // namespace vantrel
