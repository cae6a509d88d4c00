#include "settings/vocabulary.h"

#include <array>
#include <cstddef>

#include "text/ascii_text.h"

namespace vk3 {

namespace {

constexpr std::array<std::string_view, 3> kLevelItems{"low", "medium", "high"};
constexpr std::array<std::string_view, 3> kShaderItems{"1.4", "2.0", "3.0"};
constexpr std::array<std::string_view, 5> kFilterItems{"linear", "anisotropic", "anisotropic 4x",
                                                       "anisotropic 8x", "anisotropic 16x"};
constexpr std::array<std::string_view, 3> kPostProcessItems{"off", "bloom effect",
                                                            "horizontal blur"};
constexpr std::array<std::string_view, 2> kSwitchItems{"disabled", "enabled"};
constexpr std::array<std::string_view, 3> kDetailItems{"normal", "high", "ultra high"};

bool BeginsWithIgnoringCase(std::string_view item, std::string_view prefix) {
    return prefix.size() <= item.size() &&
           EqualIgnoringAsciiCase(item.substr(0, prefix.size()), prefix);
}

}  // namespace

std::span<const std::string_view> LevelItems() {
    return kLevelItems;
}
std::span<const std::string_view> ShaderItems() {
    return kShaderItems;
}
std::span<const std::string_view> FilterItems() {
    return kFilterItems;
}
std::span<const std::string_view> PostProcessItems() {
    return kPostProcessItems;
}
std::span<const std::string_view> SwitchItems() {
    return kSwitchItems;
}
std::span<const std::string_view> DetailItems() {
    return kDetailItems;
}

std::string_view PresetLevelName(std::uint32_t level) {
    switch (level) {
        case 0:
            return "disabled";
        case 1:
            return "low";
        case 2:
            return "medium";
        case 3:
            return "high";
        default:
            return "";
    }
}

std::string_view ItemToEngineValue(std::string_view item) {
    struct Mapping {
        std::string_view item;
        std::string_view word;
    };
    static constexpr std::array<Mapping, 7> kMappings{{
        {"enabled", "true"},
        {"disabled", "false"},
        {"low", "low"},
        {"medium", "med"},
        {"high", "high"},
        {"ultra high", "ultrahigh"},
        {"normal", "normal"},
    }};
    for (const Mapping& mapping : kMappings) {
        if (item == mapping.item) {
            return mapping.word;
        }
    }
    return "";
}

int EngineValueToIndex(std::string_view value, bool detailScale) {
    const std::string word = AsciiLower(value);
    if (detailScale) {
        if (word == "high") {
            return 1;
        }
        if (word == "ultrahigh") {
            return 2;
        }
        return 0;  // "normal" and every unknown word
    }
    if (word == "med" || word == "true") {
        return 1;
    }
    if (word == "high") {
        return 2;
    }
    return 0;  // "low", "false" and every unknown word
}

std::string ListState::SelectedText() const {
    if (selected < 0 || selected >= static_cast<int>(items.size())) {
        return {};
    }
    return items[static_cast<std::size_t>(selected)];
}

bool ListState::SelectByText(std::string_view text, int start) {
    const int count = static_cast<int>(items.size());
    if (text.empty() || count == 0) {
        return false;
    }
    if (start < 0 || start >= count) {
        start = 0;
    }
    for (int step = 0; step < count; ++step) {
        const int index = (start + step) % count;
        if (BeginsWithIgnoringCase(items[static_cast<std::size_t>(index)], text)) {
            selected = index;
            return true;
        }
    }
    return false;
}

void ListState::SelectByIndex(int index) {
    selected = index >= 0 && index < static_cast<int>(items.size()) ? index : -1;
}

}  // namespace vk3
