#include "base/NumberText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace vantrel {

namespace {

std::optional<std::string> specialText(double value) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    if (value == 0.0)
        return "0"; // negative zero too
    return std::nullopt;
}

// Spells out a number written by std::to_chars, fixed or as d.ddde±x, in the
// plain form. With trimZeros, trailing zeros of the written digits go first.
std::string spellOut(std::string_view written, bool trimZeros) {
    std::string out;
    if (written.front() == '-') {
        out = "-";
        written.remove_prefix(1);
    }
    const auto e = written.find('e');
    const std::string_view mantissa = written.substr(0, e);
    int exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view exponentText = written.substr(e + 1);
        if (exponentText.front() == '+')
            exponentText.remove_prefix(1);
        std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    }

    std::string digits;
    int point = static_cast<int>(mantissa.size());
    for (const char c : mantissa) {
        if (c == '.')
            point = static_cast<int>(digits.size());
        else
            digits.push_back(c);
    }
    if (trimZeros) {
        const auto last = digits.find_last_not_of('0');
        digits.erase(last == std::string::npos ? 1 : last + 1);
    }
    const int shifted = point + exponent;
    const int count = static_cast<int>(digits.size());
    if (shifted <= 0)
        out.append("0.").append(static_cast<std::size_t>(-shifted), '0').append(digits);
    else if (shifted >= count)
        out.append(digits).append(static_cast<std::size_t>(shifted - count), '0');
    else
        out.append(digits, 0, static_cast<std::size_t>(shifted))
            .append(".")
            .append(digits, static_cast<std::size_t>(shifted));
    return out;
}

} // namespace

std::string plainDecimal(double value) {
    if (auto special = specialText(value))
        return *special;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return spellOut(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)), false);
}

std::string displayNumber(double value) {
    if (auto special = specialText(value))
        return *special;
    // to_chars ignores the C locale, unlike printf, so the point stays a point.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    return spellOut(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)), true);
}

double roundHalfEven(double value) {
    if (!std::isfinite(value))
        return value;
    // value - floor(value) is exact for every double, so the halfway test is too.
    double rounded = std::floor(value);
    const double fraction = value - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    return rounded;
}

double roundTo(double value, int decimals) {
    if (!(std::fabs(value) < 9007199254740992.0))
        return value;
    const double scale = std::pow(10.0, decimals);
    return roundHalfEven(value * scale) / scale;
}

std::string plainYen(double yen) {
    // The plain form writes a negative zero as "0".
    return displayNumber(roundTo(yen, 0));
}

std::optional<std::int32_t> toInt32RoundHalfEven(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = roundHalfEven(value);
    if (rounded < -2147483648.0 || rounded > 2147483647.0)
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::string groupedNumber(double value, int decimals) {
    const double rounded = roundTo(value, decimals);
    // Room for every digit of the largest double (309 before the point), so
    // no value is ever cut; to_chars keeps the point a point in any locale.
    std::array<char, 400> digits;
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(),
                                       std::fabs(rounded), std::chars_format::fixed, decimals);
    if (written.ec != std::errc())
        return displayNumber(rounded);
    std::string text(digits.data(), written.ptr);
    const std::size_t point = text.find('.');
    for (std::size_t end = point == std::string::npos ? text.size() : point; end > 3; end -= 3)
        text.insert(end - 3, ",");
    return rounded < 0 ? "-" + text : text;
}

} // namespace vantrel
