#include "platform/randr_modes.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace vk3 {

std::vector<DisplayMode> ListedOutputModes(const std::vector<RandrMode>& screenModes,
                                           const std::vector<std::uint32_t>& outputModeIds,
                                           bool turnedQuarter) {
    std::vector<DisplayMode> modes;
    for (const std::uint32_t id : outputModeIds) {
        const auto found = std::find_if(screenModes.begin(), screenModes.end(),
                                        [id](const RandrMode& mode) { return mode.id == id; });
        if (found == screenModes.end()) {
            continue;
        }
        const double frameSize =
            static_cast<double>(found->horizontalTotal) * static_cast<double>(found->verticalTotal);
        const auto refreshRate = static_cast<std::uint32_t>(
            frameSize > 0 ? std::round(static_cast<double>(found->dotClock) / frameSize) : 0);
        modes.push_back(turnedQuarter ? DisplayMode{found->height, found->width, refreshRate}
                                      : DisplayMode{found->width, found->height, refreshRate});
    }
    const auto key = [](const DisplayMode& mode) {
        return std::tuple(mode.width, mode.height, mode.refreshRate);
    };
    std::sort(modes.begin(), modes.end(),
              [&key](const DisplayMode& a, const DisplayMode& b) { return key(a) > key(b); });
    modes.erase(std::unique(modes.begin(), modes.end(),
                            [&key](const DisplayMode& a, const DisplayMode& b) {
                                return key(a) == key(b);
                            }),
                modes.end());
    return modes;
}

}  // namespace vk3
