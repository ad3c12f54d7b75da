#pragma once

namespace vantrel {

// The daily price-limit width for a previous close (from a fixed table of 29
// rows). Any number, negative or huge included, yields a width.
int GetLimitWidth(double basePrice);

// The day's band around the previous close; both ends belong to it.
double lowerLimitPrice(double previousClose);
double upperLimitPrice(double previousClose);

} // namespace vantrel
