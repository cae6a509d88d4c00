#include "settings/number_text.h"

#include <clocale>
#include <cstdlib>
#include <string>

namespace vk3 {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::int32_t ParseInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
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
    // Copies only the characters a decimal number can use, so that strtod never meets a
    // locale's decimal comma, nor the hexadecimal, "inf" and "nan" forms atof does not read.
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number += text[i++];
    }
    std::size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
        number += text[i];
    }
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
            number += text[i];
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            exponent += text[j++];
        }
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j) {
                exponent += text[j];
            }
            number += exponent;
        }
    }
    // The "C" locale's point: swap it for whatever this process's locale uses.
    const char point = *std::localeconv()->decimal_point;
    for (char& c : number) {
        if (c == '.') {
            c = point;
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

}  // namespace vk3
