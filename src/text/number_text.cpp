#include "text/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <system_error>

namespace vk3 {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The decimal exponent of the leading digit of a number written as digits, point and
// exponent, used only to tell an overflow from an underflow.
long LeadingDigitMagnitude(std::string_view mantissa, long exponent) {
    const std::size_t point = mantissa.find('.');
    const std::size_t integerLength = point == std::string_view::npos ? mantissa.size() : point;
    for (std::size_t i = 0; i < mantissa.size(); ++i) {
        if (mantissa[i] >= '1' && mantissa[i] <= '9') {
            const long position = i < integerLength ? static_cast<long>(integerLength - i)
                                                    : -static_cast<long>(i - integerLength);
            return position + exponent;
        }
    }
    return 0;
}

}  // namespace

// "%.Nlf" for N decimals, rounding halfway cases away from zero.
std::string FormatFixed(double value, int decimals) {
    // Every double is a dyadic fraction with at most 1074 decimals, so this many digits is its
    // exact decimal value, and the rounding below sees the true digits, not rounded ones.
    constexpr int kExactDecimals = 1074;
    char buffer[1 + 309 + 1 + kExactDecimals + 16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, kExactDecimals);
    std::string exact(buffer, result.ptr);
    if (!std::isfinite(value)) {
        return exact;  // "inf", "-inf", "nan": the game never stores such a value
    }

    const bool negative = exact.front() == '-';
    std::string digits = exact.substr(negative ? 1 : 0);
    const std::size_t point = digits.find('.');
    const std::size_t keep = point + 1 + static_cast<std::size_t>(decimals);
    const bool roundUp = digits[keep] >= '5';
    digits.resize(decimals == 0 ? point : keep);
    bool carry = roundUp;
    for (std::size_t i = digits.size(); carry && i > 0;) {
        --i;
        if (digits[i] == '.') {
            continue;
        }
        carry = digits[i] == '9';
        digits[i] = carry ? '0' : static_cast<char>(digits[i] + 1);
    }
    if (carry) {
        digits.insert(digits.begin(), '1');
    }
    return negative ? "-" + digits : digits;
}

namespace {

// The position after the leading white space and the optional sign, as the runtime's
// number readers skip them.
std::size_t SkipBlanksAndSign(std::string_view text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

}  // namespace

std::optional<double> ReadTypedNumber(std::string_view text, NumberGrammar grammar) {
    if (grammar.blanks) {
        const std::size_t first = text.find_first_not_of(" \t");
        text = first == std::string_view::npos
                   ? std::string_view{}
                   : text.substr(first, text.find_last_not_of(" \t") - first + 1);
    }
    std::string number(text);
    std::size_t i = 0;
    if (i < number.size() && ((grammar.sign && (number[i] == '+' || number[i] == '-')) ||
                              (grammar.minus && number[i] == '-'))) {
        ++i;
    }
    std::size_t digits = 0;
    bool point = false;
    for (; i < number.size(); ++i) {
        if (IsDigit(number[i])) {
            ++digits;
        } else if (grammar.fraction && !point && (number[i] == '.' || number[i] == ',')) {
            number[i] = '.';
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (grammar.exponent && i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        ++i;
        if (i < number.size() && (number[i] == '+' || number[i] == '-')) {
            ++i;
        }
        const std::size_t exponentStart = i;
        while (i < number.size() && IsDigit(number[i])) {
            ++i;
        }
        if (i == exponentStart) {
            return std::nullopt;
        }
    }
    if (i != number.size()) {
        return std::nullopt;
    }
    return ParseReal(number) + 0.0;  // "-0" is 0
}

std::int32_t ParseInt(std::string_view text) {
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(text, negative);
    std::uint32_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<std::int32_t>(value);
}

double ParseReal(std::string_view text) {
    // Takes only the characters a decimal number can use: atof reads neither a locale's
    // decimal comma nor the hexadecimal, "inf" and "nan" forms that from_chars would accept.
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(text, negative);
    const std::size_t start = i;
    std::size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i) {
            ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    const std::string_view mantissa = text.substr(start, i - start);
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j) {
                if (exponent < 100000) {  // far past any double; keeps the sum from overflowing
                    exponent = exponent * 10 + (text[j] - '0');
                }
            }
            if (negativeExponent) {
                exponent = -exponent;
            }
            i = j;
        }
    }
    const std::string_view number = text.substr(start, i - start);
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // atof gives HUGE_VAL for a number too large and zero for one too small.
        value = LeadingDigitMagnitude(mantissa, exponent) > 0
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
    }
    return negative ? -value : value;
}

std::string FormatInt(std::int32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FormatFixed1(double value) {
    return FormatFixed(value, 1);
}

std::string FormatFixed2(double value) {
    return FormatFixed(value, 2);
}

std::string FormatMegabytes(std::int64_t bytes) {
    return FormatFixed2(static_cast<double>(bytes) / 1048576.0) + " MB";
}

std::string FormatShortFloat(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::general, 6);
    return std::string(buffer, result.ptr);
}

std::string FormatFloatDecimals(float value) {
    constexpr int kMostDecimals = 60;  // past the smallest float's six digits
    for (int decimals = 2;; ++decimals) {
        std::string text = FormatFixed(value, decimals);
        const std::size_t first = text.find_first_of("123456789");
        const std::size_t significant = first == std::string::npos
                                            ? 0
                                            : static_cast<std::size_t>(std::count_if(
                                                  text.begin() + first, text.end(), IsDigit));
        if (static_cast<float>(ParseReal(text)) == value || significant >= 6 ||
            decimals >= kMostDecimals) {
            return text;
        }
    }
}

}  // namespace vk3
