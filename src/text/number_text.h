#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vk3 {

// Number texts as the Windows C runtime reads and prints them, independent of the user's
// locale: the game's files always hold "3500.0", never "3500,0".

// atoi: leading white space, one optional sign, decimal digits up to the first other
// character, accumulated modulo 2^32; 0 when there are no digits.
std::int32_t ParseInt(std::string_view text);

// atof: the leading decimal number of the text (white space, sign, digits, one point,
// exponent) as a double; 0.0 when the text does not begin with a number.
double ParseReal(std::string_view text);

// What a number typed into a field may hold besides its digits.
struct NumberGrammar {
    bool blanks = false;    // blanks and tabs around it
    bool sign = false;      // a leading "+" or "-"
    bool minus = false;     // a leading "-" only
    bool fraction = false;  // one decimal point or comma
    bool exponent = false;  // "e" or "E", an optional sign and digits
};

// The value of a typed number, read as the game reads it (a comma as the point); nothing
// when the text is not a number of the grammar. Digits alone are the grammar {}.
std::optional<double> ReadTypedNumber(std::string_view text, NumberGrammar grammar);

// "%i"
std::string FormatInt(std::int32_t value);
// "%.1lf" and "%.2lf": exact decimal value of the double, halfway cases rounded away from
// zero as the Windows runtime does (0.125 gives "0.13", where glibc gives "0.12").
std::string FormatFixed1(double value);
// "%.Nlf" for N decimals, with the same rounding.
std::string FormatFixed(double value, int decimals);
std::string FormatFixed2(double value);
// "%.2lf MB" of a byte count, a megabyte being 1048576 bytes. Signed and unsigned 32-bit
// counts both fit.
std::string FormatMegabytes(std::int64_t bytes);
// "%g": up to six significant digits ("0.01", "1e+10", "inf").
std::string FormatShortFloat(float value);
// Two decimals when they read back as the same float; else the fewest that do, up to six
// significant digits ("0.01", "0.015", "1234.57").
std::string FormatFloatDecimals(float value);

}  // namespace vk3
