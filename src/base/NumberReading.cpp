#include "base/NumberReading.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

namespace vantrel {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Far beyond any exponent a double can use, yet small enough to add to a digit count.
constexpr long long kExponentCap = 1'000'000'000;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isOctalDigit(char c) {
    return c >= '0' && c <= '7';
}
bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// std::from_chars leaves the value untouched when the result does not fit a
// double, so the caller has to say whether the number was too large or too small.
double convert(const std::string& text, std::chars_format format, bool tooLarge) {
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, format);
    if (result.ec == std::errc::result_out_of_range)
        return tooLarge ? kInfinity : 0.0;
    return value;
}

// &H and &O numbers are whole and never negative. Octal digits are regrouped into
// hexadecimal ones so that one correctly rounded conversion serves both.
double radixValue(std::string_view digits, bool octal) {
    if (!octal)
        return convert(std::string(digits), std::chars_format::hex, true);
    std::string hex;
    unsigned bits = 0;
    int count = 0;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        bits |= static_cast<unsigned>(*it - '0') << count;
        count += 3;
        if (count >= 4) {
            hex.push_back(kHexDigits[bits & 15u]);
            bits >>= 4;
            count -= 4;
        }
    }
    if (count > 0)
        hex.push_back(kHexDigits[bits]);
    std::reverse(hex.begin(), hex.end());
    return convert(hex, std::chars_format::hex, true);
}

struct Scanned {
    double value;
    std::size_t end;
};

// Reads the longest number at the start of the text, or nothing if no number
// starts there. With grouping, a single comma between two integer digits is
// skipped, as in 1,000.
std::optional<Scanned> scanNumber(std::string_view text, bool grouping) {
    // The text may hold any bytes, NUL included; past its end we see a NUL,
    // which continues nothing.
    const auto at = [text](std::size_t i) { return i < text.size() ? text[i] : '\0'; };

    if (at(0) == '&') {
        const bool octal = at(1) == 'O' || at(1) == 'o';
        if (!octal && at(1) != 'H' && at(1) != 'h')
            return std::nullopt;
        std::size_t pos = 2;
        while (octal ? isOctalDigit(at(pos)) : isHexDigit(at(pos)))
            ++pos;
        if (pos == 2)
            return std::nullopt;
        return Scanned{radixValue(text.substr(2, pos - 2), octal), pos};
    }

    std::size_t pos = 0;
    const bool negative = at(pos) == '-';
    if (negative || at(pos) == '+')
        ++pos;
    std::string digits; // integer and fraction digits, without the point
    std::size_t integerCount = 0;
    while (true) {
        if (isDigit(at(pos))) {
            digits.push_back(text[pos++]);
            ++integerCount;
        } else if (grouping && at(pos) == ',' && integerCount > 0 && isDigit(at(pos + 1))) {
            ++pos;
        } else {
            break;
        }
    }
    if (at(pos) == '.') {
        ++pos;
        while (isDigit(at(pos)))
            digits.push_back(text[pos++]);
    }
    if (digits.empty())
        return std::nullopt;

    // An exponent letter without digits after it is not part of the number.
    long long exponent = 0;
    if (const char e = at(pos); e == 'E' || e == 'e' || e == 'D' || e == 'd') {
        std::size_t p = pos + 1;
        const bool negativeExponent = at(p) == '-';
        if (negativeExponent || at(p) == '+')
            ++p;
        if (isDigit(at(p))) {
            for (; isDigit(at(p)); ++p)
                exponent = std::min(exponent * 10 + (text[p] - '0'), kExponentCap);
            if (negativeExponent)
                exponent = -exponent;
            pos = p;
        }
    }

    // The power of ten of the leading non-zero digit tells overflow from underflow.
    const auto firstNonZero = digits.find_first_not_of('0');
    const long long leadingPower = firstNonZero == std::string::npos
                                       ? 0
                                       : static_cast<long long>(integerCount) -
                                             static_cast<long long>(firstNonZero) - 1 + exponent;
    std::string plain = integerCount > 0 ? digits.substr(0, integerCount) : std::string("0");
    if (digits.size() > integerCount)
        plain.append(".").append(digits, integerCount);
    plain.append("e").append(std::to_string(exponent));
    const double magnitude = convert(plain, std::chars_format::general, leadingPower > 0);
    return Scanned{negative ? -magnitude : magnitude, pos};
}

} // namespace

double readLenient(std::string_view text) {
    std::string packed;
    packed.reserve(text.size());
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n')
            packed.push_back(c);
    }
    // Plain digits, as nearly every form holds, are a whole number that a
    // double holds exactly up to fifteen digits: the same value, read at once.
    if (!packed.empty() && packed.size() <= 15 &&
        std::all_of(packed.begin(), packed.end(), isDigit)) {
        double whole = 0;
        for (const char c : packed)
            whole = whole * 10 + (c - '0');
        return whole;
    }
    const auto scanned = scanNumber(packed, false);
    return scanned ? scanned->value : 0.0;
}

std::optional<double> readStrict(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
    const auto scanned = scanNumber(text, true);
    if (!scanned || scanned->end != text.size())
        return std::nullopt;
    return scanned->value;
}

} // namespace vantrel
