#pragma once

#include "market/RandomSource.h"

#include <cstdint>
#include <memory>

namespace vantrel {

// The crowd's one source of chance: a 24-bit linear congruential generator
// that starts from a fixed state (the standard market's unless another is
// given) and is never reseeded, so every run replays the same market.
class RandomStream final : public RandomSource {
public:
    static constexpr std::uint32_t kStartState = 327680;

    // Only the low 24 bits of the state are kept. The generator has full
    // period, so every start state lies on its one cycle through all states.
    explicit RandomStream(std::uint32_t startState = kStartState)
        : m_state(startState & ((1u << 24) - 1u)) {}

    // Advances the state and returns state / 2^24 in single precision (exact,
    // since the state has 24 bits).
    float NextRandom() override;
    std::unique_ptr<RandomSource> clone() const override {
        return std::make_unique<RandomStream>(*this);
    }
    bool sameDraws(const RandomSource& other) const override {
        const auto* stream = dynamic_cast<const RandomStream*>(&other);
        return stream && stream->m_state == m_state;
    }

    std::uint32_t state() const { return m_state; }

private:
    std::uint32_t m_state;
};

} // namespace vantrel
