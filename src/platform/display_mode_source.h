#pragma once

#include <vector>

#include "settings/resolution.h"

namespace vk3 {

// The 32-bit display modes of the primary display, in the order the system lists them.
class DisplayModeSource {
public:
    virtual ~DisplayModeSource() = default;
    // Empty when the video system cannot be reached.
    virtual std::vector<DisplayMode> Modes() = 0;
};

}  // namespace vk3
