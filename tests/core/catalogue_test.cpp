#include "settings/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "settings/number_text.h"
#include "settings/vocabulary.h"

namespace vk3 {
namespace {

using MC = MainControl;

TEST(MainControls, StandInEnumOrderWithDistinctIdsAndNames) {
    const auto controls = MainControls();
    ASSERT_EQ(controls.size(), static_cast<std::size_t>(kMainControlCount));
    std::set<int> ids;
    std::set<std::string_view> names;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(controls[i].control), i);
        EXPECT_EQ(&InfoOf(controls[i].control), &controls[i]);
        ids.insert(controls[i].resourceId);
        names.insert(controls[i].objectName);
        const bool edit = controls[i].objectName.ends_with("Edit");
        EXPECT_EQ(edit, IsNumberField(controls[i].control)) << controls[i].objectName;
        EXPECT_TRUE(edit || controls[i].objectName.ends_with("List"));
        EXPECT_TRUE(controls[i].caption.ends_with(":"));
    }
    EXPECT_EQ(ids.size(), controls.size());
    EXPECT_EQ(names.size(), controls.size());

    EXPECT_EQ(InfoOf(MC::VegetationDensity).resourceId, 1009);
    EXPECT_EQ(InfoOf(MC::VegetationDensity).caption, "vegetation density:");
    EXPECT_EQ(InfoOf(MC::VegetationQuality).resourceId, 1014);
    EXPECT_EQ(InfoOf(MC::Vegetation).resourceId, 1017);
    EXPECT_EQ(InfoOf(MC::DetailShadows).caption, "detailed shadows:");
    EXPECT_EQ(InfoOf(MC::ViewRangeNpc).caption, "view range npc's, animals, etc.:");
    EXPECT_EQ(InfoOf(MC::ViewRangeNpc).objectName, "viewRangeNpcEdit");
    EXPECT_EQ(InfoOf(MC::Resolution).resourceId, 1052);
    EXPECT_EQ(InfoOf(MC::Resolution).objectName, "resolutionList");
}

TEST(ItemsOf, FillsEachListFromItsTable) {
    using Items = std::vector<std::string>;
    EXPECT_EQ(ItemsOf(MC::ViewRangeHigh), (Items{"low", "medium", "high"}));
    EXPECT_EQ(ItemsOf(MC::ViewRangeLow), (Items{"disabled", "low", "medium", "high"}));
    EXPECT_EQ(ItemsOf(MC::ShadowQuality), (Items{"disabled", "low", "medium", "high"}));
    EXPECT_EQ(ItemsOf(MC::VegetationQuality), (Items{"low", "medium", "high"}));
    EXPECT_EQ(ItemsOf(MC::ShaderQuality), (Items{"1.4", "2.0", "3.0"}));
    EXPECT_EQ(ItemsOf(MC::TextureFilter), (Items{"linear", "anisotropic", "anisotropic 4x",
                                                 "anisotropic 8x", "anisotropic 16x"}));
    EXPECT_EQ(ItemsOf(MC::PostProcessing), (Items{"off", "bloom effect", "horizontal blur"}));
    EXPECT_EQ(ItemsOf(MC::LowHorizonPolygons), (Items{"disabled", "enabled"}));
    EXPECT_EQ(ItemsOf(MC::ImageQuality), (Items{"normal", "high", "ultra high"}));
    EXPECT_TRUE(ItemsOf(MC::MaxRagdolls).empty());
    EXPECT_TRUE(ItemsOf(MC::ViewRangeVegetation).empty());
    EXPECT_TRUE(ItemsOf(MC::Resolution).empty());
}

TEST(DefaultShown, EqualsTheHintOfEveryControl) {
    const std::vector<std::pair<MC, std::string>> hints{
        {MC::Resolution, "1024x768@60Hz"},
        {MC::ViewRangeHigh, "medium"},
        {MC::ViewRangeLow, "medium"},
        {MC::ResourceCache, "medium"},
        {MC::ShadowQuality, "low"},
        {MC::ObjectDetails, "medium"},
        {MC::ShaderQuality, "2.0"},
        {MC::TextureQuality, "medium"},
        {MC::TextureFilter, "anisotropic"},
        {MC::VegetationDensity, "low"},
        {MC::PostProcessing, "bloom effect"},
        {MC::Vegetation, "enabled"},
        {MC::VegetationQuality, "high"},
        {MC::ViewRangeVegetation, "3500.0"},
        {MC::TreeShadows, "enabled"},
        {MC::StaticShadows, "enabled"},
        {MC::DetailShadows, "enabled"},
        {MC::ViewRangePhysics, "1200.0"},
        {MC::MaxRagdolls, "999"},
        {MC::ViewRangeNpc, "4000.0"},
        {MC::LowHorizonPolygons, "enabled"},
        {MC::ObjectQuality, "ultra high"},
        {MC::AnimationQuality, "ultra high"},
        {MC::ImageQuality, "ultra high"},
    };
    ASSERT_EQ(hints.size(), static_cast<std::size_t>(kMainControlCount));
    for (const auto& [control, hint] : hints) {
        EXPECT_EQ(DefaultShown(control), hint) << InfoOf(control).objectName;
    }
}

// What saving writes for an item of a list, as the game stores it.
std::string StoredForm(MC control, const std::string& item) {
    const MainControlInfo& info = InfoOf(control);
    const auto items = ItemsOf(control);
    const int index = static_cast<int>(std::find(items.begin(), items.end(), item) - items.begin());
    switch (info.kind) {
        case SettingKind::Level:
            return FormatInt(index + 1);
        case SettingKind::LevelOrDisabled:
        case SettingKind::Index:
            return FormatInt(index);
        case SettingKind::Shader:
            return item.substr(0, 1) + "_" + item.substr(2);
        case SettingKind::Switch:
        case SettingKind::EngineLevel:
        case SettingKind::Detail:
            return std::string(ItemToEngineValue(item));
        default:
            return item;
    }
}

TEST(RestoreValue, IsWhatSavingTheRestoredItemStores) {
    // Restoring and then saving must store the restore values, though "medium" stands at
    // index 1 in the view range high list and at index 2 in the view range low list.
    for (const MainControlInfo& info : MainControls()) {
        if (info.kind == SettingKind::Distance || info.kind == SettingKind::Count ||
            info.kind == SettingKind::Resolution) {
            continue;
        }
        const std::string shown = DefaultShown(info.control);
        const auto items = ItemsOf(info.control);
        ASSERT_NE(std::find(items.begin(), items.end(), shown), items.end()) << shown;
        const std::string expected =
            info.kind == SettingKind::Shader ? "2_0" : std::string(info.restoreValue);
        EXPECT_EQ(StoredForm(info.control, shown), expected) << info.objectName;
    }
    EXPECT_EQ(StoredForm(MC::ViewRangeHigh, "high"), "3");
    EXPECT_EQ(StoredForm(MC::ViewRangeLow, "high"), "3");
    EXPECT_EQ(StoredForm(MC::ViewRangeLow, "disabled"), "0");
    EXPECT_EQ(StoredForm(MC::TextureFilter, "anisotropic 16x"), "4");
    // The numeric restore values keep their whole part when read as an integer.
    EXPECT_EQ(ParseInt(InfoOf(MC::ViewRangeVegetation).restoreValue), 3500);
    EXPECT_EQ(ParseInt(InfoOf(MC::ViewRangePhysics).restoreValue), 1200);
    EXPECT_EQ(ParseInt(InfoOf(MC::MaxRagdolls).restoreValue), 999);
    EXPECT_EQ(ParseInt(InfoOf(MC::ViewRangeNpc).restoreValue), 4000);
}

TEST(MainSettingCatalogue, ListsThe26KeysInReadAndWriteOrder) {
    const auto catalogue = MainSettingCatalogue();
    ASSERT_EQ(catalogue.size(), 26u);

    // Every control once, in control order, except the resolution's three keys at the end.
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        const MC expected = i < 23 ? static_cast<MC>(i) : MC::Resolution;
        EXPECT_EQ(catalogue[i].control, expected) << catalogue[i].key;
    }

    const SettingKey& vegetationDensity = catalogue[7];
    EXPECT_EQ(vegetationDensity.file, ConfigFile::UserOptions);
    EXPECT_EQ(vegetationDensity.section, "Options.Custom");
    EXPECT_EQ(vegetationDensity.key, "VegetationQuality");
    EXPECT_EQ(vegetationDensity.control, MC::VegetationDensity);
    const SettingKey& vegetationQuality = catalogue[11];
    EXPECT_EQ(vegetationQuality.file, ConfigFile::Engine);
    EXPECT_EQ(vegetationQuality.section, "Engine.Setup");
    EXPECT_EQ(vegetationQuality.key, "VegetationAdmin.Quality");
    EXPECT_EQ(catalogue[16].key, "AnimationBlending.PhysicControllerDistance");
    EXPECT_EQ(catalogue[17].key, "Animation.MaxRagDolls");
    EXPECT_EQ(catalogue[19].key, "Render.EnableLowpolyRendering");
    EXPECT_EQ(catalogue[20].key, "Render.MeshLoDQuality");
    EXPECT_EQ(catalogue[25].key, "Resolution.RefreshRate");
    EXPECT_EQ(catalogue[25].section, "Options.Video");
    EXPECT_EQ(catalogue[25].file, ConfigFile::UserOptions);

    for (const SettingKey& key : catalogue) {
        const bool engine = key.section == "Engine.Setup";
        EXPECT_EQ(key.file == ConfigFile::Engine, engine) << key.key;
    }
}

}  // namespace
}  // namespace vk3
