// Feeds arbitrary bytes to the number readings: nothing may crash or invoke
// undefined behaviour, and every finite value must survive a trip through
// its plain decimal text.
#include "base/NumberReading.h"
#include "base/NumberText.h"
#include "orders/PriceRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace vantrel;

static void checkRoundTrip(double value) {
    (void)toInt32RoundHalfEven(value);
    (void)GetLimitWidth(value);
    const std::string text = plainDecimal(value);
    if (std::isfinite(value) && (readStrict(text) != value || readLenient(text) != value))
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkRoundTrip(readLenient(text));
    checkRoundTrip(readStrict(text).value_or(0));
    // Raw bit patterns reach values that no text above would produce.
    double raw = 0;
    std::memcpy(&raw, data, std::min(size, sizeof raw));
    checkRoundTrip(raw);
    return 0;
}
