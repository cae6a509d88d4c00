#include "settings/vocabulary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vk3 {
namespace {

TEST(Vocabulary, TranslatesBetweenItemsAndStoredWords) {
    EXPECT_EQ(PresetLevelName(0), "disabled");
    EXPECT_EQ(PresetLevelName(3), "high");
    EXPECT_EQ(PresetLevelName(4), "");
    EXPECT_EQ(PresetLevelName(4294967295u), "");  // a stored -1

    // Items are matched exactly and case-sensitively.
    const std::pair<const char*, const char*> toEngine[] = {
        {"enabled", "true"}, {"medium", "med"}, {"ultra high", "ultrahigh"},
        {"Enabled", ""},     {"enabled ", ""},  {"med", ""}};
    for (const auto& [item, stored] : toEngine) {
        EXPECT_EQ(ItemToEngineValue(item), stored) << item;
    }

    // Stored words are read without regard to case, and only the short forms.
    const struct {
        const char* stored;
        bool detailScale;
        int index;
    } toIndex[] = {
        // clang-format off
        {"low", false, 0}, {"false", false, 0}, {"med", false, 1}, {"TRUE", false, 1},
        {"High", false, 2}, {"medium", false, 0}, {"ultrahigh", false, 0}, {"true ", false, 0},
        {"normal", true, 0}, {"high", true, 1}, {"UltraHigh", true, 2}, {"ultra high", true, 0},
        {"true", true, 0}, {"", true, 0},
        // clang-format on
    };
    for (const auto& c : toIndex) {
        EXPECT_EQ(EngineValueToIndex(c.stored, c.detailScale), c.index) << c.stored;
    }
}

TEST(ListState, SelectByTextTakesTheFirstItemBeginningWithTheTextFromStartOn) {
    const std::vector<std::string> levels = {"disabled", "low", "medium", "high"};
    const std::vector<std::string> modes = {"1024x768@60Hz", "1024x768@75Hz", "800x600@60Hz",
                                            "1024x768@85Hz"};
    const struct {
        const char* name;
        std::vector<std::string> items;
        int before;
        const char* text;
        int start;
        bool found;
        int after;
    } cases[] = {
        // clang-format off
        {"ignores case", levels, -1, "HIGH", 0, true, 3},
        {"a prefix", levels, -1, "m", 0, true, 2},
        {"longer than every item", {"1.4", "2.0", "3.0"}, 1, "3.0 ", 0, false, 1},
        {"a level the list lacks", {"low", "medium", "high"}, 2, "disabled", 0, false, 2},
        {"an empty text", levels, 2, "", 0, false, 2},
        {"an empty list", {}, -1, "low", 1, false, -1},
        {"from start", modes, -1, "1024x768", 1, true, 1},
        {"skipping to the next match", modes, -1, "1024x768", 2, true, 3},
        {"wrapping round", modes, -1, "1024x768@60", 1, true, 0},
        {"start past the end", modes, 2, "1024x768", 4, true, 0},
        {"negative start", modes, 2, "1024x768", -1, true, 0},
        {"one item from its second", {"1024x768@60Hz"}, -1, "1024x768@60Hz", 1, true, 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ListState list{c.items, c.before};
        EXPECT_EQ(list.SelectByText(c.text, c.start), c.found);
        EXPECT_EQ(list.selected, c.after);
    }
}

}  // namespace
}  // namespace vk3
