#pragma once

#include <cstdint>
#include <vector>

#include "settings/resolution.h"

namespace vk3 {

// A mode as the X server's RandR extension describes it.
struct RandrMode {
    std::uint32_t id = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t dotClock = 0;  // pixels per second
    std::uint32_t horizontalTotal = 0;
    std::uint32_t verticalTotal = 0;
};

// An output's modes as SDL's X11 video driver lists them: each of the output's mode ids
// looked up among the screen's modes, turned a quarter when the output is, its refresh
// rate rounded to whole hertz (0 without timings), equal modes once, widest first, then
// tallest, then fastest.
std::vector<DisplayMode> ListedOutputModes(const std::vector<RandrMode>& screenModes,
                                           const std::vector<std::uint32_t>& outputModeIds,
                                           bool turnedQuarter);

}  // namespace vk3
