#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

// Markets are numbered 1 to 9999. Number 1 is the standard market; every
// other number starts the same random stream from its own state, so the same
// number always replays the same market. Every number's start book is
// uncrossed, as the standard market's is.
inline constexpr int kStandardMarket = 1;
inline constexpr int kLastMarket = 9999;

// Reads a market number written as plain decimal digits (no sign, spaces or
// other text; leading zeros allowed) from 1 to 9999; anything else gives nothing.
std::optional<int> parseMarketNumber(const std::string& text);

// The random stream's start state for a market number: the standard state
// for market 1, a scrambled one for the others. Distinct numbers give
// distinct states, none of them the standard one. Numbers outside 1 to 9999
// give the standard state.
std::uint32_t marketStartState(int marketNumber);

// Whether a number's first scrambled state seeded a crossed book and was
// replaced: earlier versions (session files of format 1) ran another market
// under this number. False for every number whose market is unchanged.
bool marketStartReplaced(int marketNumber);

} // namespace vantrel
