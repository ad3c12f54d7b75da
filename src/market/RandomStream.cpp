#include "market/RandomStream.h"

namespace vantrel {

float RandomStream::NextRandom() {
    constexpr std::uint32_t kMultiplier = 1140671485u;
    constexpr std::uint32_t kIncrement = 12820163u;
    constexpr std::uint32_t kMask = (1u << 24) - 1u;
    // Unsigned arithmetic wraps modulo 2^32; the low 24 bits are those of the
    // exact product, which is all the modulus 2^24 keeps.
    m_state = (m_state * kMultiplier + kIncrement) & kMask;
    return static_cast<float>(m_state) / 16777216.0f;
}

} // namespace vantrel
