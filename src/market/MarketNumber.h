#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

// Markets are numbered 1 to 9999. Number 1 is the standard market; every
// other number starts the same random stream from its own state, so the same
// number always replays the same market.
inline constexpr int kStandardMarket = 1;
inline constexpr int kLastMarket = 9999;

// Reads a market number written as plain decimal digits (no sign, spaces or
// other text; leading zeros allowed) from 1 to 9999; anything else gives nothing.
std::optional<int> parseMarketNumber(const std::string& text);

// The random stream's start state for a market number: the standard state
// for market 1, a scrambled one for the others. Distinct numbers give
// distinct states, none of them the standard one.
std::uint32_t marketStartState(int marketNumber);

} // namespace vantrel
