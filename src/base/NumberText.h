#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

// The plain decimal form: digits only, no grouping, a minus sign if negative,
// a decimal point only for a fraction, never exponent notation. Finite values
// come out with the fewest digits that read back to the same double; negative
// zero is "0". Infinities and NaN come out as "inf", "-inf" and "nan".
// For text that is read back: stored prices and the replay's CSV.
std::string plainDecimal(double value);

// The same plain form with at most 15 significant digits (rounded as printf's
// %.15g rounds) and no trailing zeros, so that binary noise such as
// 499700.00000000006 reads 499700 while every whole figure below 10^15 and
// every fraction a person would type reads as written. For what people read:
// labels and log lines.
std::string displayNumber(double value);

// Rounds to the nearest whole number, an exact half to the even neighbour,
// whatever the floating-point rounding mode. Non-finite values pass through.
double roundHalfEven(double value);

// Rounds to the given number of decimals, half to even, as every shown
// figure is rounded. From 2^53 on every double is whole already, and scaling
// it would only add binary noise (or overflow), so it comes back as it is.
double roundTo(double value, int decimals);

// The value with the given number of decimals, rounded half to even, its
// whole part grouped by threes ("1,234,567"); a minus sign only when the
// rounded value is below zero. For share counts and money in sentences.
std::string groupedNumber(double value, int decimals = 0);

// Whole yen in the plain form, for a spreadsheet to read as a number.
std::string plainYen(double yen);

// Rounds half to even and takes the result as a 32-bit signed integer; empty
// when the value is not finite or out of range. Every double-to-integer
// conversion of the trading rules goes through here.
std::optional<std::int32_t> toInt32RoundHalfEven(double value);

} // namespace vantrel
