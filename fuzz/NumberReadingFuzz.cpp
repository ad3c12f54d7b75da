// Feeds arbitrary bytes to the number readings: nothing may crash or invoke
// undefined behaviour, and every finite value must survive a trip through
// its plain decimal text.
#include "base/NumberText.h"
#include "trading/NumberReading.h"
#include "trading/PriceRules.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

void checkRoundTrip(double value) {
    (void)vantrel::toInt32RoundHalfEven(value);
    (void)vantrel::GetLimitWidth(value);
    const std::string text = vantrel::plainDecimal(value);
    if (!std::isfinite(value))
        return;
    const auto strict = vantrel::readStrict(text);
    if (!strict || *strict != value || vantrel::readLenient(text) != value)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkRoundTrip(vantrel::readLenient(text));
    if (const auto strict = vantrel::readStrict(text))
        checkRoundTrip(*strict);
    // Raw bit patterns reach values that no text above would produce.
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        checkRoundTrip(raw);
    }
    return 0;
}
