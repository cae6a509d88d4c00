#include "settings/resolution.h"

#include <cmath>
#include <limits>

#include "text/number_text.h"

namespace vk3 {

namespace {

// A double as a float; values past the float range become infinite instead of undefined.
float ToFloat(double value) {
    if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) {
        return std::signbit(value) ? -std::numeric_limits<float>::infinity()
                                   : std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

// Where the "x" and the "@" of an entry stand. Each mark is looked for after the one before
// it, so a stray "@" or "H" in front of the "x" cannot turn a part inside out.
struct Marks {
    std::size_t x;
    std::size_t at;
};

std::optional<Marks> FindMarks(std::string_view entry) {
    const std::size_t x = entry.find('x');
    if (x == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t at = entry.find('@', x + 1);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    return Marks{x, at};
}

std::string_view Width(std::string_view entry, const Marks& marks) {
    return entry.substr(0, marks.x);
}

std::string_view Height(std::string_view entry, const Marks& marks) {
    return entry.substr(marks.x + 1, marks.at - marks.x - 1);
}

}  // namespace

std::string ResolutionEntry(std::uint32_t width, std::uint32_t height, std::uint32_t refreshRate) {
    return std::to_string(width) + "x" + std::to_string(height) + "@" +
           std::to_string(refreshRate) + "Hz";
}

std::vector<std::string> ResolutionEntries(const std::vector<DisplayMode>& modes) {
    std::vector<std::string> entries;
    for (const DisplayMode& mode : modes) {
        if (mode.width >= 640) {
            entries.push_back(ResolutionEntry(mode.width, mode.height, mode.refreshRate));
        }
    }
    return entries;
}

std::optional<ResolutionParts> SplitResolutionEntry(std::string_view entry) {
    const std::optional<Marks> marks = FindMarks(entry);
    if (!marks) {
        return std::nullopt;
    }
    const std::size_t hertz = entry.find('H', marks->at + 1);
    if (hertz == std::string_view::npos) {
        return std::nullopt;
    }
    return ResolutionParts{std::string(Width(entry, *marks)), std::string(Height(entry, *marks)),
                           std::string(entry.substr(marks->at + 1, hertz - marks->at - 1))};
}

std::optional<std::string> AspectRatioOf(std::string_view entry) {
    const std::optional<Marks> marks = FindMarks(entry);
    if (!marks) {
        return std::nullopt;
    }
    const float width = ToFloat(ParseReal(Width(entry, *marks)));
    const double height = ParseReal(Height(entry, *marks));
    if (height == 0.0) {
        return "16:9";  // an infinite or undefined ratio passes both thresholds
    }
    const double ratio = static_cast<double>(width) / height;
    if (ratio <= static_cast<double>(1.4f)) {
        return "4:3";
    }
    if (ratio <= static_cast<double>(1.6f)) {
        return "16:10";
    }
    return "16:9";
}

}  // namespace vk3
