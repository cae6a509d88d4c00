#pragma once

#include <cstdint>
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

// A non-empty text of the digits 0 to 9 alone, as the number fields take them.
bool IsDigitText(std::string_view text);

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

}  // namespace vk3
