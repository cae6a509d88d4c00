#include "settings/resolution.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vk3 {
namespace {

TEST(ResolutionEntries, KeepModesFrom640WideInTheirOrderWithoutMerging) {
    const std::vector<DisplayMode> modes{
        {1024, 768, 75}, {600, 400, 60},  {640, 480, 60},      {320, 200, 70},
        {1024, 768, 60}, {1024, 768, 75}, {4294967295u, 1, 0}, {639, 2000, 60},
    };
    const std::vector<std::string> expected{
        "1024x768@75Hz", "640x480@60Hz", "1024x768@60Hz", "1024x768@75Hz", "4294967295x1@0Hz",
    };
    EXPECT_EQ(ResolutionEntries(modes), expected);
    EXPECT_TRUE(ResolutionEntries({}).empty());
}

TEST(SplitResolutionEntry, TakesTheDigitTextsBetweenTheMarks) {
    const auto parts = SplitResolutionEntry("1024x768@60Hz");
    ASSERT_TRUE(parts.has_value());
    EXPECT_EQ(parts->width, "1024");
    EXPECT_EQ(parts->height, "768");
    EXPECT_EQ(parts->refreshRate, "60");

    const auto odd = SplitResolutionEntry("x@H");
    ASSERT_TRUE(odd.has_value());
    EXPECT_EQ(odd->width, "");
    EXPECT_EQ(odd->height, "");
    EXPECT_EQ(odd->refreshRate, "");

    EXPECT_FALSE(SplitResolutionEntry("").has_value());  // a list without entries
    EXPECT_FALSE(SplitResolutionEntry("1024x768").has_value());
    EXPECT_FALSE(SplitResolutionEntry("1024x768@60").has_value());
    EXPECT_FALSE(SplitResolutionEntry("1024*768@60Hz").has_value());
    EXPECT_FALSE(SplitResolutionEntry("H@1024x768").has_value());  // marks out of order
}

TEST(AspectRatioOf, ComparesWithTheSinglePrecisionThresholds) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"640x480@60Hz", "4:3"},
        {"800x600@60Hz", "4:3"},
        {"1024x768@60Hz", "4:3"},
        {"1600x1200@60Hz", "4:3"},
        {"1280x1024@75Hz", "4:3"},
        {"720x576@50Hz", "4:3"},
        {"720x480@60Hz", "16:10"},
        {"1280x800@60Hz", "16:10"},
        {"1440x900@60Hz", "16:10"},
        {"1680x1050@60Hz", "16:10"},
        {"1280x768@60Hz", "16:9"},
        {"1280x720@60Hz", "16:9"},
        {"1920x1080@60Hz", "16:9"},
        // Exactly 1.4 lies above the float 1.4 (1.39999997...), exactly 1.6 below the float 1.6.
        {"1400x1000@60Hz", "16:10"},
        {"1120x800@60Hz", "16:10"},
        // A hair above the float 1.6 is past it.
        {"1600001x1000000@60Hz", "16:9"},
    };
    for (const auto& [entry, label] : cases) {
        EXPECT_EQ(AspectRatioOf(entry), label) << entry;
    }
}

TEST(AspectRatioOf, ToleratesTextsThatAreNoEntry) {
    EXPECT_FALSE(AspectRatioOf("").has_value());  // nothing selected
    EXPECT_FALSE(AspectRatioOf("1024x768").has_value());
    EXPECT_FALSE(AspectRatioOf("1024@768x60Hz").has_value());
    EXPECT_EQ(AspectRatioOf("1024x0@60Hz"), "16:9");  // no division by zero
    EXPECT_EQ(AspectRatioOf("0x0@0Hz"), "16:9");
    EXPECT_EQ(AspectRatioOf("x@Hz"), "16:9");
    EXPECT_EQ(AspectRatioOf("0x768@60Hz"), "4:3");
    EXPECT_EQ(AspectRatioOf("1e300x1@60Hz"), "16:9");  // width past the float range
    EXPECT_EQ(AspectRatioOf("1024x768@"), "4:3");      // the refresh rate plays no part
}

}  // namespace
}  // namespace vk3
