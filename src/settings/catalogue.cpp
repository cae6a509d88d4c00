#include "settings/catalogue.h"

#include <array>
#include <cstddef>

#include "settings/vocabulary.h"
#include "text/number_text.h"

namespace vk3 {

namespace {

using MC = MainControl;
using SK = SettingKind;
constexpr MainGroup kCommon = MainGroup::Common;
constexpr MainGroup kAdvanced = MainGroup::Advanced;

// Indexed by MainControl: the entries stand in the enum's order.
constexpr std::array<MainControlInfo, kMainControlCount> kMainControls{{
    {MC::ViewRangeHigh, 1002, "viewRangeHighList", "view range high:", SK::Level, "2", kCommon, 1},
    {MC::ViewRangeLow, 1003, "viewRangeLowList", "view range low:", SK::LevelOrDisabled, "2",
     kCommon, 2},
    {MC::ResourceCache, 1004, "resourceCacheList", "resource cache:", SK::Level, "2", kCommon, 3},
    {MC::ObjectDetails, 1005, "objectDetailsList", "object details:", SK::Level, "2", kCommon, 4},
    {MC::ShaderQuality, 1006, "shaderQualityList", "shader quality:", SK::Shader, "2.0", kCommon,
     5},
    {MC::TextureQuality, 1007, "textureQualityList", "texture quality:", SK::Level, "2", kCommon,
     6},
    {MC::TextureFilter, 1008, "textureFilterList", "texture filter:", SK::Index, "1", kCommon, 7},
    {MC::VegetationDensity, 1009, "vegetationDensityList", "vegetation density:", SK::Level, "1",
     kCommon, 8},
    {MC::ShadowQuality, 1010, "shadowQualityList", "shadow quality:", SK::LevelOrDisabled, "1",
     kCommon, 9},
    {MC::PostProcessing, 1011, "postProcessingList", "post processing:", SK::Index, "1", kCommon,
     10},
    {MC::Vegetation, 1017, "vegetationList", "vegetation:", SK::Switch, "true", kAdvanced, 11},
    {MC::VegetationQuality, 1014, "vegetationQualityList", "vegetation quality:", SK::EngineLevel,
     "high", kAdvanced, 12},
    {MC::ViewRangeVegetation, 1015, "viewRangeVegetationEdit",
     "view range vegetation:", SK::Distance, "3500.0", kAdvanced, 13},
    {MC::TreeShadows, 1016, "treeShadowsList", "tree shadows:", SK::Switch, "true", kAdvanced, 14},
    {MC::StaticShadows, 1018, "staticShadowsList", "static shadows:", SK::Switch, "true", kAdvanced,
     15},
    {MC::DetailShadows, 1019, "detailShadowsList", "detailed shadows:", SK::Switch, "true",
     kAdvanced, 16},
    {MC::ViewRangePhysics, 1020, "viewRangePhysicsEdit", "view range physics:", SK::Distance,
     "1200.0", kAdvanced, 17},
    {MC::MaxRagdolls, 1021, "maxRagdollsEdit", "max ragdoll effects:", SK::Count, "999", kAdvanced,
     18},
    {MC::ViewRangeNpc, 1022, "viewRangeNpcEdit", "view range npc's, animals, etc.:", SK::Distance,
     "4000.0", kAdvanced, 19},
    {MC::LowHorizonPolygons, 1023, "lowHorizonPolygonsList", "low horizon polygons:", SK::Switch,
     "true", kAdvanced, 20},
    {MC::ObjectQuality, 1026, "objectQualityList", "object quality:", SK::Detail, "ultrahigh",
     kAdvanced, 21},
    {MC::AnimationQuality, 1027, "animationQualityList", "animation quality:", SK::Detail,
     "ultrahigh", kAdvanced, 22},
    {MC::ImageQuality, 1028, "imageQualityList", "image quality:", SK::Detail, "ultrahigh",
     kAdvanced, 23},
    {MC::Resolution, 1052, "resolutionList", "resolution:", SK::Resolution, "1024x768@60Hz",
     kCommon, 0},
}};

constexpr bool StandInEnumOrder() {
    for (std::size_t i = 0; i < kMainControls.size(); ++i) {
        if (static_cast<std::size_t>(kMainControls[i].control) != i) {
            return false;
        }
    }
    return true;
}
static_assert(StandInEnumOrder(), "InfoOf indexes the table by MainControl");

constexpr ConfigFile kUser = ConfigFile::UserOptions;
constexpr ConfigFile kEngine = ConfigFile::Engine;
constexpr std::string_view kCustom = "Options.Custom";
constexpr std::string_view kVideo = "Options.Video";
constexpr std::string_view kSetup = "Engine.Setup";

constexpr std::array<SettingKey, 26> kCatalogue{{
    {kUser, kCustom, "DistanceHigh", MC::ViewRangeHigh, "1"},
    {kUser, kCustom, "DistanceLow", MC::ViewRangeLow, "1"},
    {kUser, kCustom, "ResourceCache", MC::ResourceCache, "1"},
    {kUser, kCustom, "ObjectDetails", MC::ObjectDetails, "1"},
    {kUser, kCustom, "ShaderQuality", MC::ShaderQuality, "1.4"},
    {kUser, kCustom, "TextureQuality", MC::TextureQuality, "1"},
    {kUser, kCustom, "TextureFilter", MC::TextureFilter, "1"},
    {kUser, kCustom, "VegetationQuality", MC::VegetationDensity, "1"},
    {kUser, kCustom, "ShadowQuality", MC::ShadowQuality, "1"},
    {kUser, kCustom, "PostProcessing", MC::PostProcessing, "0"},
    {kEngine, kSetup, "Render.EnableVegetationRendering", MC::Vegetation, "false"},
    {kEngine, kSetup, "VegetationAdmin.Quality", MC::VegetationQuality, "low"},
    {kEngine, kSetup, "VegetationAdmin.ViewRange", MC::ViewRangeVegetation, "0"},
    {kEngine, kSetup, "Shader.EnableTreeShadows", MC::TreeShadows, "false"},
    {kEngine, kSetup, "Shader.EnableStaticShadows", MC::StaticShadows, "false"},
    {kEngine, kSetup, "Shader.EnableDetailShadows", MC::DetailShadows, "false"},
    {kEngine, kSetup, "AnimationBlending.PhysicControllerDistance", MC::ViewRangePhysics, "0"},
    {kEngine, kSetup, "Animation.MaxRagDolls", MC::MaxRagdolls, "0"},
    {kEngine, kSetup, "Entity.ROI", MC::ViewRangeNpc, "0"},
    {kEngine, kSetup, "Render.EnableLowpolyRendering", MC::LowHorizonPolygons, "false"},
    {kEngine, kSetup, "Render.MeshLoDQuality", MC::ObjectQuality, "normal"},
    {kEngine, kSetup, "Render.AnimationLoDQuality", MC::AnimationQuality, "normal"},
    {kEngine, kSetup, "Render.ImageLoDQuality", MC::ImageQuality, "normal"},
    {kUser, kVideo, "Resolution.Width", MC::Resolution, "0"},
    {kUser, kVideo, "Resolution.Height", MC::Resolution, "0"},
    {kUser, kVideo, "Resolution.RefreshRate", MC::Resolution, "0"},
}};

std::vector<std::string> Items(std::span<const std::string_view> table) {
    return {table.begin(), table.end()};
}

}  // namespace

std::span<const MainControlInfo> MainControls() {
    return kMainControls;
}

const MainControlInfo& InfoOf(MainControl control) {
    return kMainControls[static_cast<std::size_t>(control)];
}

std::vector<std::string> ItemsOf(MainControl control) {
    switch (InfoOf(control).kind) {
        case SK::Level:
        case SK::EngineLevel:
            return Items(LevelItems());
        case SK::LevelOrDisabled: {
            std::vector<std::string> items{"disabled"};
            for (std::string_view item : LevelItems()) {
                items.emplace_back(item);
            }
            return items;
        }
        case SK::Index:
            return Items(control == MC::PostProcessing ? PostProcessItems() : FilterItems());
        case SK::Shader:
            return Items(ShaderItems());
        case SK::Switch:
            return Items(SwitchItems());
        case SK::Detail:
            return Items(DetailItems());
        case SK::Distance:
        case SK::Count:
        case SK::Resolution:
            break;
    }
    return {};
}

bool IsNumberField(MainControl control) {
    const SK kind = InfoOf(control).kind;
    return kind == SK::Distance || kind == SK::Count;
}

std::string DefaultShown(MainControl control) {
    const MainControlInfo& info = InfoOf(control);
    const std::string_view value = info.restoreValue;
    switch (info.kind) {
        case SK::Level:
        case SK::LevelOrDisabled:
            return std::string(PresetLevelName(static_cast<std::uint32_t>(ParseInt(value))));
        case SK::Index:
            return ItemsOf(control).at(static_cast<std::size_t>(ParseInt(value)));
        case SK::Switch:
        case SK::EngineLevel:
        case SK::Detail:
            return ItemsOf(control).at(
                static_cast<std::size_t>(EngineValueToIndex(value, info.kind == SK::Detail)));
        case SK::Shader:
        case SK::Distance:
        case SK::Count:
        case SK::Resolution:
            break;
    }
    return std::string(value);
}

std::span<const SettingKey> MainSettingCatalogue() {
    return kCatalogue;
}

}  // namespace vk3
