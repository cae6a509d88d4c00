// The settings vocabulary: number texts as the game's runtime reads and writes them, list
// words, display mode entries and the defaults each control announces.
#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "settings/resolution.h"
#include "settings/vocabulary.h"
#include "text/number_text.h"

namespace vk3 {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

// Number texts must not follow the process locale: the number tests run under one with a
// decimal comma where one is installed.
class NumberText : public ::testing::Test {
protected:
    NumberText() {
        for (const char* name :
             {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if (std::setlocale(LC_ALL, name) && *std::localeconv()->decimal_point == ',') {
                return;
            }
        }
    }
    ~NumberText() override { std::setlocale(LC_ALL, saved_.c_str()); }

private:
    const std::string saved_ = std::setlocale(LC_ALL, nullptr);
};

TEST_F(NumberText, ParsesLikeTheGamesRuntime) {
    const std::pair<const char*, std::int32_t> ints[] = {
        // clang-format off
        {"4294967297", 1}, {"4294967295", -1}, {"-1", -1}, {"-2147483648", kIntMin},
        {"2147483648", kIntMin}, {"42A94967297", 42}, {"  +12.5", 12}, {"\t\r\n 3500.0\r\n", 3500},
        {"B42", 0}, {"", 0}, {"-", 0}, {"+-3", 0}, {"- 3", 0}, {"   +7x", 7},
        {"99999999999", 1215752191}, {"3000000000", -1294967296},
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

TEST_F(NumberText, FormatsRoundingTheExactValueHalfwayAwayFromZero) {
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

TEST(Vocabulary, TranslatesBetweenItemsAndStoredWords) {
    EXPECT_EQ(PresetLevelName(0), "disabled");
    EXPECT_EQ(PresetLevelName(4), "");
    EXPECT_EQ(PresetLevelName(4294967295u), "");  // a stored -1

    // Items are matched exactly and case-sensitively.
    const std::pair<const char*, const char*> toEngine[] = {
        {"enabled", "true"}, {"medium", "med"}, {"ultra high", "ultrahigh"},
        {"Enabled", ""},     {"enabled ", ""},  {"med", ""}};
    for (const auto& [item, stored] : toEngine) {
        EXPECT_EQ(ItemToEngineValue(item), stored) << item;
    }

    // Stored words are read without regard to case, and only the short forms.
    const struct {
        const char* stored;
        bool detailScale;
        int index;
    } toIndex[] = {
        // clang-format off
        {"low", false, 0}, {"false", false, 0}, {"High", false, 2}, {"ultrahigh", false, 0},
        {"true ", false, 0}, {"normal", true, 0}, {"true", true, 0}, {"", true, 0},
        // clang-format on
    };
    for (const auto& c : toIndex) {
        EXPECT_EQ(EngineValueToIndex(c.stored, c.detailScale), c.index) << c.stored;
    }
}

TEST(ListState, SelectByTextTakesTheFirstItemBeginningWithTheTextFromStartOn) {
    const std::vector<std::string> levels = {"disabled", "low", "medium", "high"};
    const std::vector<std::string> modes = {"1024x768@60Hz", "1024x768@75Hz", "800x600@60Hz",
                                            "1024x768@85Hz"};
    const struct {
        const char* name;
        std::vector<std::string> items;
        int before;
        const char* text;
        int start;
        bool found;
        int after;
    } cases[] = {
        // clang-format off
        {"ignores case", levels, -1, "HIGH", 0, true, 3},
        {"a prefix", levels, -1, "m", 0, true, 2},
        {"longer than every item", {"1.4", "2.0", "3.0"}, 1, "3.0 ", 0, false, 1},
        {"a level the list lacks", {"low", "medium", "high"}, 2, "disabled", 0, false, 2},
        {"an empty text", levels, 2, "", 0, false, 2},
        {"an empty list", {}, -1, "low", 1, false, -1},
        {"from start", modes, -1, "1024x768", 1, true, 1},
        {"skipping to the next match", modes, -1, "1024x768", 2, true, 3},
        {"wrapping round", modes, -1, "1024x768@60", 1, true, 0},
        {"start past the end", modes, 2, "1024x768", 4, true, 0},
        {"negative start", modes, 2, "1024x768", -1, true, 0},
        {"one item from its second", {"1024x768@60Hz"}, -1, "1024x768@60Hz", 1, true, 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ListState list{c.items, c.before};
        EXPECT_EQ(list.SelectByText(c.text, c.start), c.found);
        EXPECT_EQ(list.selected, c.after);
    }
}

TEST(Resolution, EntriesKeepModesFrom640WideInTheirOrderWithoutMerging) {
    const std::vector<DisplayMode> modes{
        {1024, 768, 75}, {600, 400, 60},  {640, 480, 60},      {320, 200, 70},
        {1024, 768, 60}, {1024, 768, 75}, {4294967295u, 1, 0}, {639, 2000, 60},
    };
    const std::vector<std::string> expected{
        "1024x768@75Hz", "640x480@60Hz", "1024x768@60Hz", "1024x768@75Hz", "4294967295x1@0Hz",
    };
    EXPECT_EQ(ResolutionEntries(modes), expected);
}

TEST(Resolution, AspectRatioComparesWithTheSinglePrecisionThresholds) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        // clang-format off
        {"640x480@60Hz", "4:3"}, {"1600x1200@60Hz", "4:3"}, {"1280x1024@75Hz", "4:3"},
        {"720x576@50Hz", "4:3"}, {"720x480@60Hz", "16:10"}, {"1280x800@60Hz", "16:10"},
        {"1680x1050@60Hz", "16:10"}, {"1280x768@60Hz", "16:9"}, {"1920x1080@60Hz", "16:9"},
        // Exactly 1.4 lies above the float 1.4 (1.39999997...), exactly 1.6 below the float 1.6.
        {"1400x1000@60Hz", "16:10"}, {"1120x800@60Hz", "16:10"},
        {"1600001x1000000@60Hz", "16:9"},  // a hair above the float 1.6 is past it
        // Texts that are no entry: nothing selected, no division by zero, width past floats.
        {"", std::nullopt}, {"1024x768", std::nullopt}, {"1024@768x60Hz", std::nullopt},
        {"1024x0@60Hz", "16:9"}, {"0x0@0Hz", "16:9"}, {"x@Hz", "16:9"}, {"0x768@60Hz", "4:3"},
        {"1e300x1@60Hz", "16:9"}, {"1024x768@", "4:3"},
        // clang-format on
    };
    for (const auto& [entry, label] : cases) {
        EXPECT_EQ(AspectRatioOf(entry), label) << entry;
    }
}

}  // namespace
}  // namespace vk3
