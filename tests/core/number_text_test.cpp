#include "settings/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>

namespace vk3 {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

TEST(NumberText, ParsesLikeTheGamesRuntime) {
    const std::pair<const char*, std::int32_t> ints[] = {
        // clang-format off
        {"4294967297", 1}, {"4294967295", -1}, {"-1", -1}, {"-2147483648", kIntMin},
        {"2147483648", kIntMin}, {"42A94967297", 42}, {"  +12.5", 12}, {"\t\r\n 3500.0\r\n", 3500},
        {"B42", 0}, {"", 0}, {"-", 0}, {"+-3", 0}, {"- 3", 0},
        // clang-format on
    };
    for (const auto& [text, value] : ints) {
        EXPECT_EQ(ParseInt(text), value) << text;
    }
    const std::pair<const char*, double> reals[] = {
        // clang-format off
        {"3500.7", 3500.7}, {"1E+3x", 1000.0}, {"2.5e-1", 0.25}, {"-2.5x", -2.5},
        {"  +12.5\r\n", 12.5}, {".5", 0.5}, {"5.", 5.0}, {"abc", 0.0}, {".", 0.0}, {"-", 0.0},
        {"1e", 1.0}, {"1e+", 1.0},                  // an exponent without digits is not part of it
        {"3,5", 3.0},                               // a decimal comma ends the number
        {"inf", 0.0}, {"nan", 0.0}, {"0x10", 0.0},  // forms the runtime does not read
        {"0.1", 0.1},  // correctly rounded, not accumulated digit by digit
        // Out of range: infinity or zero like the runtime; a subnormal still reads.
        {"1e400", kInf}, {"-1e99999999999999999999", -kInf}, {"123456789e-400", 0.0},
        {"0.0000001e-320", 0.0}, {"0.000e99999", 0.0}, {"4e-320", 4e-320},
        // clang-format on
    };
    for (const auto& [text, value] : reals) {
        EXPECT_EQ(ParseReal(text), value) << text;
    }
}

TEST(NumberText, FormatsRoundingTheExactValueHalfwayAwayFromZero) {
    const struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {
        // clang-format off
        // Exact binary halves: glibc's printf would round these to even.
        {0.125, 2, "0.13"}, {-0.125, 2, "-0.13"}, {0.625, 2, "0.63"}, {0.25, 1, "0.3"},
        {-0.25, 1, "-0.3"}, {2.75, 1, "2.8"},
        // Decimal texts that are not halves once stored: the exact value decides.
        {0.05, 1, "0.1"}, {0.15, 1, "0.1"}, {2.675, 2, "2.67"}, {1.005, 2, "1.00"},
        {0.01, 2, "0.01"},
        // Carries through the point and into a new leading digit.
        {9.96, 1, "10.0"}, {-99.96, 1, "-100.0"}, {9.999, 2, "10.00"}, {0.96, 1, "1.0"},
        // Every integer digit is printed.
        {0.0, 1, "0.0"}, {3500.0, 1, "3500.0"}, {-300.0, 1, "-300.0"},
        {4294967296.0, 1, "4294967296.0"}, {1e20, 1, "100000000000000000000.0"},
        {std::numeric_limits<float>::max(), 2, "340282346638528859811704183484516925440.00"},
        {std::numeric_limits<double>::denorm_min(), 2, "0.00"},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.decimals == 1 ? FormatFixed1(c.value) : FormatFixed2(c.value), c.text);
    }
    const std::string largest = FormatFixed1(std::numeric_limits<double>::max());
    EXPECT_EQ(largest.size(), 309u + 2u);
    EXPECT_EQ(largest.substr(0, 6), "179769");
    EXPECT_EQ(FormatInt(kIntMin), "-2147483648");

    const std::pair<std::uint32_t, const char*> megabytes[] = {
        // clang-format off
        {0, "0.00 MB"}, {131072, "0.13 MB"}, {655360, "0.63 MB"},  // exactly 0.125 and 0.625
        {5242, "0.00 MB"}, {5243, "0.01 MB"},                       // just below and above 0.005
        {1048576, "1.00 MB"}, {4294967295u, "4096.00 MB"},
        // clang-format on
    };
    for (const auto& [bytes, text] : megabytes) {
        EXPECT_EQ(FormatMegabytes(bytes), text) << bytes;
    }
}

TEST(NumberText, IgnoresTheProcessLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    bool comma = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr && *std::localeconv()->decimal_point == ',') {
            comma = true;
            break;
        }
    }
    if (comma) {
        EXPECT_EQ(FormatFixed1(3500.0), "3500.0");
        EXPECT_EQ(FormatFixed2(0.125), "0.13");
        EXPECT_EQ(FormatMegabytes(131072), "0.13 MB");
        EXPECT_EQ(ParseReal("3500.5"), 3500.5);
        EXPECT_EQ(ParseReal("3500,5"), 3500.0);
        EXPECT_EQ(ParseInt("3500.5"), 3500);
    }
    std::setlocale(LC_ALL, saved.c_str());
    if (!comma) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
}

}  // namespace
}  // namespace vk3
