#include "settings/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace vk3 {
namespace {

TEST(ParseInt, ReadsLeadingDigitsAndWrapsModulo2To32) {
    EXPECT_EQ(ParseInt("4294967297"), 1);
    EXPECT_EQ(ParseInt("4294967295"), -1);
    EXPECT_EQ(ParseInt("-1"), -1);
    EXPECT_EQ(ParseInt("42A94967297"), 42);
    EXPECT_EQ(ParseInt("  +12.5"), 12);
    EXPECT_EQ(ParseInt("\t\r\n 3500.0\r\n"), 3500);
    EXPECT_EQ(ParseInt("B42"), 0);
    EXPECT_EQ(ParseInt(""), 0);
    EXPECT_EQ(ParseInt("-"), 0);
    EXPECT_EQ(ParseInt("+-3"), 0);
    EXPECT_EQ(ParseInt("- 3"), 0);
    EXPECT_EQ(ParseInt("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ParseInt("2147483648"), std::numeric_limits<std::int32_t>::min());
}

TEST(ParseReal, ReadsTheLeadingDecimalNumberOnly) {
    EXPECT_EQ(ParseReal("3500.7"), 3500.7);
    EXPECT_EQ(ParseReal("1e3"), 1000.0);
    EXPECT_EQ(ParseReal("1E+3x"), 1000.0);
    EXPECT_EQ(ParseReal("2.5e-1"), 0.25);
    EXPECT_EQ(ParseReal("-2.5x"), -2.5);
    EXPECT_EQ(ParseReal("  +12.5\r\n"), 12.5);
    EXPECT_EQ(ParseReal(".5"), 0.5);
    EXPECT_EQ(ParseReal("5."), 5.0);
    EXPECT_EQ(ParseReal("1e"), 1.0);  // an exponent without digits is not part of it
    EXPECT_EQ(ParseReal("1e+"), 1.0);
    EXPECT_EQ(ParseReal("3,5"), 3.0);  // a decimal comma ends the number
    EXPECT_EQ(ParseReal("abc"), 0.0);
    EXPECT_EQ(ParseReal(""), 0.0);
    EXPECT_EQ(ParseReal("."), 0.0);
    EXPECT_EQ(ParseReal("-"), 0.0);
    EXPECT_EQ(ParseReal("inf"), 0.0);  // forms the game's runtime does not read
    EXPECT_EQ(ParseReal("nan"), 0.0);
    EXPECT_EQ(ParseReal("0x10"), 0.0);
    EXPECT_EQ(ParseReal("0.1"), 0.1);  // correctly rounded, not accumulated digit by digit
}

TEST(ParseReal, OutOfRangeGivesInfinityOrZeroLikeTheRuntime) {
    EXPECT_EQ(ParseReal("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseReal("-1e99999999999999999999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseReal("123456789e-400"), 0.0);
    EXPECT_EQ(ParseReal("0.0000001e-320"), 0.0);
    EXPECT_EQ(ParseReal("0.000e99999"), 0.0);
    EXPECT_EQ(ParseReal("4e-320"), 4e-320);  // a subnormal still reads as a number
}

TEST(FormatInt, PrintsSignedDecimal) {
    EXPECT_EQ(FormatInt(0), "0");
    EXPECT_EQ(FormatInt(999), "999");
    EXPECT_EQ(FormatInt(-1), "-1");
    EXPECT_EQ(FormatInt(std::numeric_limits<std::int32_t>::min()), "-2147483648");
    EXPECT_EQ(FormatInt(std::numeric_limits<std::int32_t>::max()), "2147483647");
}

TEST(FormatFixed, RoundsTheExactValueHalfwayAwayFromZero) {
    // Exact binary halves: glibc's printf would round these to even.
    EXPECT_EQ(FormatFixed2(0.125), "0.13");
    EXPECT_EQ(FormatFixed2(-0.125), "-0.13");
    EXPECT_EQ(FormatFixed2(0.625), "0.63");
    EXPECT_EQ(FormatFixed1(0.25), "0.3");
    EXPECT_EQ(FormatFixed1(-0.25), "-0.3");
    EXPECT_EQ(FormatFixed1(2.5 + 0.25), "2.8");
    // Decimal texts that are not halves once stored: the exact value decides.
    EXPECT_EQ(FormatFixed1(0.05), "0.1");    // 0.05000000000000000277...
    EXPECT_EQ(FormatFixed1(0.15), "0.1");    // 0.14999999999999999444...
    EXPECT_EQ(FormatFixed2(2.675), "2.67");  // 2.67499999999999982236...
    EXPECT_EQ(FormatFixed2(1.005), "1.00");  // 1.00499999999999989341...
    EXPECT_EQ(FormatFixed2(0.01), "0.01");
    // Carries through the point and into a new leading digit.
    EXPECT_EQ(FormatFixed1(9.96), "10.0");
    EXPECT_EQ(FormatFixed1(-99.96), "-100.0");
    EXPECT_EQ(FormatFixed2(9.999), "10.00");
    EXPECT_EQ(FormatFixed1(0.96), "1.0");
    // Whole numbers and large values print every integer digit.
    EXPECT_EQ(FormatFixed1(0.0), "0.0");
    EXPECT_EQ(FormatFixed1(3500.0), "3500.0");
    EXPECT_EQ(FormatFixed1(-300.0), "-300.0");
    EXPECT_EQ(FormatFixed1(static_cast<double>(4294967295.0f)), "4294967296.0");
    EXPECT_EQ(FormatFixed1(1e20), "100000000000000000000.0");
    EXPECT_EQ(FormatFixed2(static_cast<double>(std::numeric_limits<float>::max())),
              "340282346638528859811704183484516925440.00");
    EXPECT_EQ(FormatFixed2(std::numeric_limits<double>::denorm_min()), "0.00");
    const std::string largest = FormatFixed1(std::numeric_limits<double>::max());
    EXPECT_EQ(largest.size(), 309u + 2u);
    EXPECT_EQ(largest.substr(0, 6), "179769");
}

TEST(FormatMegabytes, DividesBy1048576WithTwoDecimals) {
    EXPECT_EQ(FormatMegabytes(0), "0.00 MB");
    EXPECT_EQ(FormatMegabytes(131072), "0.13 MB");  // exactly 0.125
    EXPECT_EQ(FormatMegabytes(655360), "0.63 MB");  // exactly 0.625
    EXPECT_EQ(FormatMegabytes(5242), "0.00 MB");    // just below 0.005
    EXPECT_EQ(FormatMegabytes(5243), "0.01 MB");    // just above 0.005
    EXPECT_EQ(FormatMegabytes(1048576), "1.00 MB");
    EXPECT_EQ(FormatMegabytes(41943040), "40.00 MB");
    EXPECT_EQ(FormatMegabytes(4294967295u), "4096.00 MB");
}

// Sets a locale that writes a decimal comma for as long as it lives, if the system has one.
class CommaLocale {
public:
    CommaLocale() : saved_(std::setlocale(LC_ALL, nullptr)) {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "de_DE@euro",
                                 "German_Germany.1252", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if (std::setlocale(LC_ALL, name) != nullptr &&
                *std::localeconv()->decimal_point == ',') {
                active_ = true;
                return;
            }
        }
        std::setlocale(LC_ALL, saved_.c_str());
    }
    ~CommaLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    bool active() const { return active_; }

private:
    std::string saved_;
    bool active_ = false;
};

TEST(NumberText, IgnoresTheProcessLocale) {
    const CommaLocale locale;
    if (!locale.active()) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    EXPECT_EQ(FormatFixed1(3500.0), "3500.0");
    EXPECT_EQ(FormatFixed2(0.125), "0.13");
    EXPECT_EQ(FormatMegabytes(131072), "0.13 MB");
    EXPECT_EQ(ParseReal("3500.5"), 3500.5);
    EXPECT_EQ(ParseReal("3500,5"), 3500.0);
    EXPECT_EQ(ParseInt("3500.5"), 3500);
}

}  // namespace
}  // namespace vk3
