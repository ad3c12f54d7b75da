#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// The lenient reading: never fails. Blanks, tabs and line feeds anywhere are
// ignored; then an optional sign, digits with at most one decimal point and an
// optional exponent (E or D) are read, or a number written &H (hexadecimal) or
// &O (octal). Reading stops at the first character that cannot continue the
// number; a text with no leading number reads as 0. Commas are not recognised,
// and words such as inf or nan are not numbers. &H and &O numbers are whole and
// never negative; a sign before them is not part of the number. A value too
// large for a double reads as plus or minus infinity, one too small as 0.
double readLenient(std::string_view text);

// The strict reading: the whole text, apart from blanks, tabs, carriage returns
// and line feeds around it, must be one number of the same forms, where single
// commas may stand between integer digits (1,000). Anything else, words such as
// inf or nan included, is an empty optional; 1e999 is a number and reads as
// infinity.
std::optional<double> readStrict(std::string_view text);

} // namespace vantrel
