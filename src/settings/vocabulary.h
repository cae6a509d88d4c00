#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vk3 {

// The six item tables, in list order.
std::span<const std::string_view> LevelItems();        // low, medium, high
std::span<const std::string_view> ShaderItems();       // 1.4, 2.0, 3.0
std::span<const std::string_view> FilterItems();       // linear ... anisotropic 16x
std::span<const std::string_view> PostProcessItems();  // off, bloom effect, horizontal blur
std::span<const std::string_view> SwitchItems();       // disabled, enabled
std::span<const std::string_view> DetailItems();       // normal, high, ultra high

// 0 "disabled", 1 "low", 2 "medium", 3 "high"; anything else the empty text.
std::string_view PresetLevelName(std::uint32_t level);

// The word stored in a configuration file for a list item, compared case-sensitively:
// "enabled" -> "true", "medium" -> "med", "ultra high" -> "ultrahigh", ...; otherwise "".
std::string_view ItemToEngineValue(std::string_view item);

// The list index (0, 1 or 2) of a stored word, read without regard to case; unknown words
// give 0. With detailScale the words are normal/high/ultrahigh, else low|false/med|true/high.
int EngineValueToIndex(std::string_view value, bool detailScale);

// A drop-down list as the dialogs' models hold it: items in the order they were added and
// the selected index, -1 for none.
struct ListState {
    std::vector<std::string> items;
    int selected = -1;

    // The selected item's text, empty when nothing is selected.
    std::string SelectedText() const;

    // Selects the first item that begins with text, ignoring case, searching from start and
    // wrapping round to the items before it. No match, or the empty text, keeps the
    // selection. Returns whether an item was selected.
    bool SelectByText(std::string_view text, int start = 0);

    // An index outside the list leaves no item selected.
    void SelectByIndex(int index);
};

}  // namespace vk3
