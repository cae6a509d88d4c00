#include "settings/resolution.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vk3 {
namespace {

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
