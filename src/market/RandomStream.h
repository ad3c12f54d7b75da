#pragma once

#include "market/RandomSource.h"

#include <cstdint>

namespace vantrel {

// The crowd's one source of chance: a 24-bit linear congruential generator
// that always starts from the same state and is never reseeded, so every run
// replays the same market.
class RandomStream final : public RandomSource {
public:
    static constexpr std::uint32_t kStartState = 327680;

    // Advances the state and returns state / 2^24 in single precision (exact,
    // since the state has 24 bits).
    float NextRandom() override;

    std::uint32_t state() const { return m_state; }

private:
    std::uint32_t m_state = kStartState;
};

} // namespace vantrel
