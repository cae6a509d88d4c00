#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk3 {

struct DisplayMode {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t refreshRate = 0;
};

// "1024x768@60Hz"
std::string ResolutionEntry(std::uint32_t width, std::uint32_t height, std::uint32_t refreshRate);

// One entry per mode at least 640 pixels wide, in the source's order; nothing merged.
std::vector<std::string> ResolutionEntries(const std::vector<DisplayMode>& modes);

// The digit texts of an entry: before the first "x", up to the first "@", up to the
// first "H". Nothing when the entry lacks one of the three marks.
struct ResolutionParts {
    std::string width;
    std::string height;
    std::string refreshRate;
};
std::optional<ResolutionParts> SplitResolutionEntry(std::string_view entry);

// "4:3", "16:10" or "16:9" for an entry; nothing for a text without "x" and "@". The width
// is taken as a float, the height as a double, and the ratio compared with the
// single-precision constants 1.4 and 1.6, as the game's own tool always did.
std::optional<std::string> AspectRatioOf(std::string_view entry);

}  // namespace vk3
