#include "settings/catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace vk3 {
namespace {

using MC = MainControl;
using Items = std::vector<std::string>;

TEST(MainControls, HaveDistinctIdsAndNamesAndTheGamesCaptionsAndItems) {
    std::set<int> ids;
    std::set<std::string_view> names;
    for (const MainControlInfo& info : MainControls()) {
        ids.insert(info.resourceId);
        names.insert(info.objectName);
    }
    EXPECT_EQ(ids.size(), static_cast<std::size_t>(kMainControlCount));
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kMainControlCount));
    EXPECT_EQ(InfoOf(MC::Vegetation).resourceId, 1017);  // out of step with its neighbours
    EXPECT_EQ(InfoOf(MC::Resolution).resourceId, 1052);
    EXPECT_EQ(InfoOf(MC::DetailShadows).caption, "detailed shadows:");
    EXPECT_EQ(InfoOf(MC::ViewRangeNpc).caption, "view range npc's, animals, etc.:");

    const std::pair<MC, Items> lists[] = {
        {MC::ViewRangeHigh, {"low", "medium", "high"}},
        {MC::ViewRangeLow, {"disabled", "low", "medium", "high"}},
        {MC::ShadowQuality, {"disabled", "low", "medium", "high"}},
        {MC::VegetationQuality, {"low", "medium", "high"}},
        {MC::ShaderQuality, {"1.4", "2.0", "3.0"}},
        {MC::TextureFilter,
         {"linear", "anisotropic", "anisotropic 4x", "anisotropic 8x", "anisotropic 16x"}},
        {MC::PostProcessing, {"off", "bloom effect", "horizontal blur"}},
        {MC::LowHorizonPolygons, {"disabled", "enabled"}},
        {MC::ImageQuality, {"normal", "high", "ultra high"}},
        {MC::MaxRagdolls, {}},
        {MC::Resolution, {}},  // the display modes fill this list
    };
    for (const auto& [control, items] : lists) {
        EXPECT_EQ(ItemsOf(control), items) << InfoOf(control).objectName;
    }
}

TEST(DefaultShown, IsWhatEachHintAnnouncesAndRestoringShows) {
    const std::pair<MC, const char*> defaults[] = {
        // clang-format off
        {MC::ViewRangeHigh, "medium"}, {MC::ViewRangeLow, "medium"}, {MC::ResourceCache, "medium"},
        {MC::ObjectDetails, "medium"}, {MC::ShaderQuality, "2.0"}, {MC::TextureQuality, "medium"},
        {MC::TextureFilter, "anisotropic"}, {MC::VegetationDensity, "low"},
        {MC::ShadowQuality, "low"}, {MC::PostProcessing, "bloom effect"},
        {MC::Vegetation, "enabled"}, {MC::VegetationQuality, "high"},
        {MC::ViewRangeVegetation, "3500.0"}, {MC::TreeShadows, "enabled"},
        {MC::StaticShadows, "enabled"}, {MC::DetailShadows, "enabled"},
        {MC::ViewRangePhysics, "1200.0"}, {MC::MaxRagdolls, "999"}, {MC::ViewRangeNpc, "4000.0"},
        {MC::LowHorizonPolygons, "enabled"}, {MC::ObjectQuality, "ultra high"},
        {MC::AnimationQuality, "ultra high"}, {MC::ImageQuality, "ultra high"},
        {MC::Resolution, "1024x768@60Hz"},
        // clang-format on
    };
    for (const auto& [control, shown] : defaults) {
        EXPECT_EQ(DefaultShown(control), shown) << InfoOf(control).objectName;
    }
}

TEST(MainSettingCatalogue, ListsThe26KeysInReadAndWriteOrder) {
    const auto catalogue = MainSettingCatalogue();
    ASSERT_EQ(catalogue.size(), 26u);
    // Every control once, in control order, except the resolution's three keys at the end.
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        EXPECT_EQ(catalogue[i].control, i < 23 ? static_cast<MC>(i) : MC::Resolution);
        EXPECT_EQ(catalogue[i].file == ConfigFile::Engine, catalogue[i].section == "Engine.Setup");
    }
    const struct {
        std::size_t index;
        ConfigFile file;
        const char* section;
        const char* key;
    } keys[] = {
        {7, ConfigFile::UserOptions, "Options.Custom", "VegetationQuality"},  // vegetation density
        {11, ConfigFile::Engine, "Engine.Setup", "VegetationAdmin.Quality"},
        {16, ConfigFile::Engine, "Engine.Setup", "AnimationBlending.PhysicControllerDistance"},
        {17, ConfigFile::Engine, "Engine.Setup", "Animation.MaxRagDolls"},
        {19, ConfigFile::Engine, "Engine.Setup", "Render.EnableLowpolyRendering"},
        {20, ConfigFile::Engine, "Engine.Setup", "Render.MeshLoDQuality"},
        {25, ConfigFile::UserOptions, "Options.Video", "Resolution.RefreshRate"},
    };
    for (const auto& k : keys) {
        EXPECT_EQ(catalogue[k.index].file, k.file) << k.key;
        EXPECT_EQ(catalogue[k.index].section, k.section) << k.key;
        EXPECT_EQ(catalogue[k.index].key, k.key);
    }
}

}  // namespace
}  // namespace vk3
