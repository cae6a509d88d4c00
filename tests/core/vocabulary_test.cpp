#include "settings/vocabulary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vk3 {
namespace {

TEST(PresetLevelName, NamesZeroToThreeAndNothingElse) {
    EXPECT_EQ(PresetLevelName(0), "disabled");
    EXPECT_EQ(PresetLevelName(1), "low");
    EXPECT_EQ(PresetLevelName(2), "medium");
    EXPECT_EQ(PresetLevelName(3), "high");
    EXPECT_EQ(PresetLevelName(4), "");
    EXPECT_EQ(PresetLevelName(4294967295u), "");  // a stored -1
}

TEST(ItemToEngineValue, MatchesItemsExactlyAndCaseSensitively) {
    EXPECT_EQ(ItemToEngineValue("enabled"), "true");
    EXPECT_EQ(ItemToEngineValue("medium"), "med");
    EXPECT_EQ(ItemToEngineValue("ultra high"), "ultrahigh");
    EXPECT_EQ(ItemToEngineValue("Enabled"), "");
    EXPECT_EQ(ItemToEngineValue("enabled "), "");
    EXPECT_EQ(ItemToEngineValue("med"), "");
    EXPECT_EQ(ItemToEngineValue(""), "");
}

TEST(EngineValueToIndex, ReadsWordsWithoutRegardToCaseAndOnlyTheShortForms) {
    EXPECT_EQ(EngineValueToIndex("low", false), 0);
    EXPECT_EQ(EngineValueToIndex("false", false), 0);
    EXPECT_EQ(EngineValueToIndex("med", false), 1);
    EXPECT_EQ(EngineValueToIndex("TRUE", false), 1);
    EXPECT_EQ(EngineValueToIndex("High", false), 2);
    EXPECT_EQ(EngineValueToIndex("medium", false), 0);
    EXPECT_EQ(EngineValueToIndex("Medium", false), 0);
    EXPECT_EQ(EngineValueToIndex("ultrahigh", false), 0);
    EXPECT_EQ(EngineValueToIndex("", false), 0);
    EXPECT_EQ(EngineValueToIndex("true ", false), 0);

    EXPECT_EQ(EngineValueToIndex("normal", true), 0);
    EXPECT_EQ(EngineValueToIndex("high", true), 1);
    EXPECT_EQ(EngineValueToIndex("ULTRAHIGH", true), 2);
    EXPECT_EQ(EngineValueToIndex("UltraHigh", true), 2);
    EXPECT_EQ(EngineValueToIndex("ultra high", true), 0);
    EXPECT_EQ(EngineValueToIndex("true", true), 0);
    EXPECT_EQ(EngineValueToIndex("", true), 0);
}

ListState Levels(bool withDisabled) {
    ListState list;
    if (withDisabled) {
        list.items.emplace_back("disabled");
    }
    for (std::string_view item : LevelItems()) {
        list.items.emplace_back(item);
    }
    return list;
}

TEST(ListState, SelectByTextTakesTheFirstItemBeginningWithTheText) {
    ListState list = Levels(true);
    EXPECT_TRUE(list.SelectByText("HIGH"));
    EXPECT_EQ(list.selected, 3);
    EXPECT_TRUE(list.SelectByText("m"));
    EXPECT_EQ(list.SelectedText(), "medium");

    ListState shader;
    for (std::string_view item : ShaderItems()) {
        shader.items.emplace_back(item);
    }
    EXPECT_TRUE(shader.SelectByText("3.0"));
    EXPECT_FALSE(shader.SelectByText("3.0 "));  // longer than every item
    EXPECT_EQ(shader.SelectedText(), "3.0");
}

TEST(ListState, SelectByTextThatMatchesNothingKeepsTheSelection) {
    ListState list = Levels(false);
    EXPECT_FALSE(list.SelectByText("disabled"));  // a stored level 0 in a list without it
    EXPECT_EQ(list.selected, -1);
    list.SelectByIndex(2);
    EXPECT_FALSE(list.SelectByText("disabled"));
    EXPECT_FALSE(list.SelectByText(""));  // a preset number outside 0 to 3
    EXPECT_EQ(list.selected, 2);

    ListState empty;
    EXPECT_FALSE(empty.SelectByText("low"));
    EXPECT_FALSE(empty.SelectByText("low", 1));
    EXPECT_EQ(empty.selected, -1);
    EXPECT_EQ(empty.SelectedText(), "");
}

TEST(ListState, SelectByTextSearchesFromStartAndWrapsToTheItemsBeforeIt) {
    ListState list;
    list.items = {"1024x768@60Hz", "1024x768@75Hz", "800x600@60Hz", "1024x768@85Hz"};
    EXPECT_TRUE(list.SelectByText("1024x768", 1));
    EXPECT_EQ(list.selected, 1);
    EXPECT_TRUE(list.SelectByText("1024x768", 2));
    EXPECT_EQ(list.selected, 3);
    EXPECT_TRUE(list.SelectByText("1024x768@60", 1));  // only the first item: found last
    EXPECT_EQ(list.selected, 0);
    EXPECT_TRUE(list.SelectByText("800", 3));
    EXPECT_EQ(list.selected, 2);
    // A start outside the list searches from the first item.
    EXPECT_TRUE(list.SelectByText("1024x768", 4));
    EXPECT_EQ(list.selected, 0);
    EXPECT_TRUE(list.SelectByText("1024x768", -1));
    EXPECT_EQ(list.selected, 0);
    // A single-item list searched from its second item still finds the one item.
    ListState single;
    single.items = {"1024x768@60Hz"};
    EXPECT_TRUE(single.SelectByText("1024x768@60Hz", 1));
    EXPECT_EQ(single.selected, 0);
}

TEST(ListState, SelectByIndexOutsideTheListLeavesNoSelection) {
    ListState list = Levels(false);
    list.SelectByIndex(2);
    EXPECT_EQ(list.SelectedText(), "high");
    list.SelectByIndex(3);
    EXPECT_EQ(list.selected, -1);
    EXPECT_EQ(list.SelectedText(), "");
    list.SelectByIndex(0);
    list.SelectByIndex(-2);
    EXPECT_EQ(list.selected, -1);

    // A switch key holding "high" reads as index 2: the two-item list shows nothing.
    ListState switches;
    switches.items = {"disabled", "enabled"};
    switches.SelectByIndex(EngineValueToIndex("high", false));
    EXPECT_EQ(switches.selected, -1);

    // A selection index the list no longer has reads as no text.
    switches.selected = 5;
    EXPECT_EQ(switches.SelectedText(), "");
}

}  // namespace
}  // namespace vk3
