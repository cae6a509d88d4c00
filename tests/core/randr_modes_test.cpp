#include "platform/randr_modes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vk3 {
namespace {

TEST(RandrModes, ListedAsSdlDoesRoundedMergedWidestFirst) {
    const std::vector<RandrMode> screen{
        {1, 1280, 1024, 108000000, 1688, 1066}, {2, 1920, 1080, 148500000, 2200, 1125},
        {3, 1920, 1080, 148350000, 2200, 1125}, {4, 1280, 1024, 135000000, 1688, 1066},
        {5, 1280, 960, 148500000, 1728, 1011},  {6, 800, 600, 0, 0, 0},
        {7, 640, 360, 17800000, 800, 375},
    };
    const auto listed = [&](const std::vector<std::uint32_t>& ids, bool turned) {
        std::vector<std::string> entries;
        for (const DisplayMode& mode : ListedOutputModes(screen, ids, turned)) {
            entries.push_back(ResolutionEntry(mode.width, mode.height, mode.refreshRate));
        }
        return entries;
    };
    // 59.94 Hz rounds to 60 and merges with 60.00; 59.33 rounds down; no timings, 0 Hz; an id
    // the screen lacks is left out.
    EXPECT_EQ(listed({7, 6, 1, 2, 3, 4, 5, 99}, false),
              (std::vector<std::string>{"1920x1080@60Hz", "1280x1024@75Hz", "1280x1024@60Hz",
                                        "1280x960@85Hz", "800x600@0Hz", "640x360@59Hz"}));
    EXPECT_EQ(listed({2, 1}, true), (std::vector<std::string>{"1080x1920@60Hz", "1024x1280@60Hz"}));
}

}  // namespace
}  // namespace vk3
