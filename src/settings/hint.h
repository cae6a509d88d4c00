#pragma once

#include <string>
#include <string_view>

namespace vk3 {

inline constexpr std::string_view kDefaultHintPrefix = "default: ";
inline constexpr std::string_view kStandardHintPrefix = "Standard: ";
// Hints wider than this many pixels wrap onto further lines.
inline constexpr int kHintMaxWidth = 1000;

// A hint is its prefix immediately followed by the value it announces.
inline std::string JoinHint(std::string_view prefix, std::string_view value) {
    std::string hint(prefix);
    hint += value;
    return hint;
}

}  // namespace vk3
