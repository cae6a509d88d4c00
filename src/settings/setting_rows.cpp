#include "settings/setting_rows.h"

#include <algorithm>
#include <cstdlib>

namespace vk3 {

namespace {

using enum ValueKind;
constexpr SettingFile kUser = SettingFile::UserOptions;
constexpr SettingFile kEngine = SettingFile::Engine;
constexpr std::string_view kCustom = "Options.Custom";
constexpr std::string_view kVideo = "Options.Video";
constexpr std::string_view kSetup = "Engine.Setup";
constexpr std::string_view kSliders = "Option.Sliders";
constexpr std::string_view kDefault = "default: ";
constexpr std::string_view kStandard = "standard: ";  // lower case, as the program always said

// A main setting: one key (or the resolution's three), no group, the "default: " hint.
constexpr SettingRow Main(SettingFile file, std::string_view section,
                          std::array<std::string_view, 3> keys, ValueKind kind,
                          std::string_view caption, std::string_view objectName,
                          std::string_view missing, std::string_view restore) {
    return {file, section, keys, kind, caption, {}, objectName, missing, restore, kDefault, {}};
}

// clang-format off
constexpr SettingRow kMainRows[] = {
    Main(kUser, kCustom, {"DistanceHigh"}, Level, "view range high:", "viewRangeHighList", "1", "2"),
    Main(kUser, kCustom, {"DistanceLow"}, LevelOrDisabled, "view range low:", "viewRangeLowList", "1", "2"),
    Main(kUser, kCustom, {"ResourceCache"}, Level, "resource cache:", "resourceCacheList", "1", "2"),
    Main(kUser, kCustom, {"ObjectDetails"}, Level, "object details:", "objectDetailsList", "1", "2"),
    Main(kUser, kCustom, {"ShaderQuality"}, Shader, "shader quality:", "shaderQualityList", "1.4", "2.0"),
    Main(kUser, kCustom, {"TextureQuality"}, Level, "texture quality:", "textureQualityList", "1", "2"),
    Main(kUser, kCustom, {"TextureFilter"}, Filter, "texture filter:", "textureFilterList", "1", "1"),
    Main(kUser, kCustom, {"VegetationQuality"}, Level, "vegetation density:", "vegetationDensityList", "1", "1"),
    Main(kUser, kCustom, {"ShadowQuality"}, LevelOrDisabled, "shadow quality:", "shadowQualityList", "1", "1"),
    Main(kUser, kCustom, {"PostProcessing"}, PostProcess, "post processing:", "postProcessingList", "0", "1"),
    Main(kEngine, kSetup, {"Render.EnableVegetationRendering"}, Switch, "vegetation:", "vegetationList", "false", "true"),
    Main(kEngine, kSetup, {"VegetationAdmin.Quality"}, EngineLevel, "vegetation quality:", "vegetationQualityList", "low", "high"),
    Main(kEngine, kSetup, {"VegetationAdmin.ViewRange"}, Distance, "view range vegetation:", "viewRangeVegetationEdit", "0", "3500.0"),
    Main(kEngine, kSetup, {"Shader.EnableTreeShadows"}, Switch, "tree shadows:", "treeShadowsList", "false", "true"),
    Main(kEngine, kSetup, {"Shader.EnableStaticShadows"}, Switch, "static shadows:", "staticShadowsList", "false", "true"),
    Main(kEngine, kSetup, {"Shader.EnableDetailShadows"}, Switch, "detailed shadows:", "detailShadowsList", "false", "true"),
    Main(kEngine, kSetup, {"AnimationBlending.PhysicControllerDistance"}, Distance, "view range physics:", "viewRangePhysicsEdit", "0", "1200.0"),
    Main(kEngine, kSetup, {"Animation.MaxRagDolls"}, Count, "max ragdoll effects:", "maxRagdollsEdit", "0", "999"),
    Main(kEngine, kSetup, {"Entity.ROI"}, Distance, "view range npc's, animals, etc.:", "viewRangeNpcEdit", "0", "4000.0"),
    Main(kEngine, kSetup, {"Render.EnableLowpolyRendering"}, Switch, "low horizon polygons:", "lowHorizonPolygonsList", "false", "true"),
    Main(kEngine, kSetup, {"Render.MeshLoDQuality"}, Detail, "object quality:", "objectQualityList", "normal", "ultrahigh"),
    Main(kEngine, kSetup, {"Render.AnimationLoDQuality"}, Detail, "animation quality:", "animationQualityList", "normal", "ultrahigh"),
    Main(kEngine, kSetup, {"Render.ImageLoDQuality"}, Detail, "image quality:", "imageQualityList", "normal", "ultrahigh"),
    Main(kUser, kVideo, {"Resolution.Width", "Resolution.Height", "Resolution.RefreshRate"}, Resolution, "resolution:", "resolutionList", "0", "1024x768@60Hz"),
};

// A cache budget: missing ones read as 0, the standard value is restored and announced.
constexpr SettingRow Cache(std::string_view section, std::string_view key,
                           std::string_view caption, std::string_view group,
                           std::string_view objectName, std::string_view standard) {
    return {kEngine, section, {key}, Budget, caption, group, objectName, "0", standard,
            "Standard: ", {}};
}

constexpr std::string_view kLow = "resource cache - low";
constexpr std::string_view kMedium = "resource cache - medium";
constexpr std::string_view kHigh = "resource cache - high";

// In the order the budgets are written, which is also the order new keys are appended in.
constexpr SettingRow kCacheRows[] = {
    Cache(kSetup, "Cache.SizeImage", "image:", "common", "cacheImageCommonEdit", "128000000"),
    Cache(kSetup, "Cache.SizeMaterial", "material:", "common", "cacheMaterialCommonEdit", "40000000"),
    Cache(kSetup, "Cache.SizeMesh", "mesh:", "common", "cacheMeshCommonEdit", "70000000"),
    Cache(kSetup, "Cache.SizeSound", "sound:", "common", "cacheSoundCommonEdit", "80000000"),
    Cache(kSetup, "Cache.SizeCollisionMesh", "collision mesh:", "common", "cacheCollisionMeshCommonEdit", "40000000"),
    Cache(kSetup, "Cache.SizeAnimation", "animation:", "common", "cacheAnimationCommonEdit", "40000000"),
    Cache(kSetup, "Cache.SizeSpeedTree", "speed tree:", "common", "cacheSpeedTreeCommonEdit", "10000000"),
    Cache(kSliders, "ResourceCache.u32ImageMaxMemUsage_Low", "image:", kLow, "cacheImageLowEdit", "32000000"),
    Cache(kSliders, "ResourceCache.u32MaterialMaxMemUsage_Low", "material:", kLow, "cacheMaterialLowEdit", "18000"),
    Cache(kSliders, "ResourceCache.u32MeshMaxMemUsage_Low", "mesh:", kLow, "cacheMeshLowEdit", "30000000"),
    Cache(kSliders, "ResourceCache.u32SoundMaxMemUsage_Low", "sound:", kLow, "cacheSoundLowEdit", "10000000"),
    Cache(kSliders, "ResourceCache.u32CollisionMeshMaxMemUsage_Low", "collision mesh:", kLow, "cacheCollisionMeshLowEdit", "13000000"),
    Cache(kSliders, "ResourceCache.u32AnimationMaxMemUsage_Low", "animation:", kLow, "cacheAnimationLowEdit", "25000000"),
    Cache(kSliders, "ResourceCache.u32SpeedTreeMaxMemUsage_Low", "speed tree:", kLow, "cacheSpeedTreeLowEdit", "500000"),
    Cache(kSliders, "ResourceCache.u32ImageMaxMemUsage_Medium", "image:", kMedium, "cacheImageMediumEdit", "70000000"),
    Cache(kSliders, "ResourceCache.u32MaterialMaxMemUsage_Medium", "material:", kMedium, "cacheMaterialMediumEdit", "20000"),
    Cache(kSliders, "ResourceCache.u32MeshMaxMemUsage_Medium", "mesh:", kMedium, "cacheMeshMediumEdit", "40000000"),
    Cache(kSliders, "ResourceCache.u32SoundMaxMemUsage_Medium", "sound:", kMedium, "cacheSoundMediumEdit", "15000000"),
    Cache(kSliders, "ResourceCache.u32CollisionMeshMaxMemUsage_Medium", "collision mesh:", kMedium, "cacheCollisionMeshMediumEdit", "16000000"),
    Cache(kSliders, "ResourceCache.u32AnimationMaxMemUsage_Medium", "animation:", kMedium, "cacheAnimationMediumEdit", "30000000"),
    Cache(kSliders, "ResourceCache.u32SpeedTreeMaxMemUsage_Medium", "speed tree:", kMedium, "cacheSpeedTreeMediumEdit", "750000"),
    Cache(kSliders, "ResourceCache.u32ImageMaxMemUsage_High", "image:", kHigh, "cacheImageHighEdit", "96000000"),
    Cache(kSliders, "ResourceCache.u32MaterialMaxMemUsage_High", "material:", kHigh, "cacheMaterialHighEdit", "21000"),
    Cache(kSliders, "ResourceCache.u32MeshMaxMemUsage_High", "mesh:", kHigh, "cacheMeshHighEdit", "96000000"),
    Cache(kSliders, "ResourceCache.u32SoundMaxMemUsage_High", "sound:", kHigh, "cacheSoundHighEdit", "20000000"),
    Cache(kSliders, "ResourceCache.u32CollisionMeshMaxMemUsage_High", "collision mesh:", kHigh, "cacheCollisionMeshHighEdit", "18000000"),
    Cache(kSliders, "ResourceCache.u32AnimationMaxMemUsage_High", "animation:", kHigh, "cacheAnimationHighEdit", "40000000"),
    Cache(kSliders, "ResourceCache.u32SpeedTreeMaxMemUsage_High", "speed tree:", kHigh, "cacheSpeedTreeHighEdit", "1000000"),
    Cache(kSliders, "ResourceCache.u32ImageMaxMemUsage_TextureQualityHigh", "high quality textures:", {}, "cacheHighQualityTexturesEdit", "350000000"),
};

// An other setting of the engine file.
constexpr SettingRow Other(std::string_view section, std::string_view key, ValueKind kind,
                           std::string_view caption, std::string_view group,
                           std::string_view objectName, std::string_view restore,
                           std::string_view hintPrefix = kDefault, std::string_view hint = {}) {
    const std::string_view missing = kind == Switch ? "false" : kind == DetailFactor ? "0.01" : "0";
    return {kEngine, section, {key}, kind, caption, group, objectName, missing, restore,
            hintPrefix, hint};
}

constexpr SettingRow InDebugFile(SettingRow row) {
    row.file = SettingFile::Debug;
    return row;
}

constexpr SettingRow kOtherRows[] = {
    Other(kSliders, "ObjectDetails.fRangedBaseLoDOffset_Low", ViewRange, "view range objects:", "low settings", "viewRangeObjectsLowEdit", "-300.0"),
    Other(kSliders, "DistanceHigh.fFarClippingPlane_Low", ViewRange, "view range high quality:", "low settings", "viewRangeHighQualityLowEdit", "6000.0", kStandard),
    Other(kSliders, "DistanceLow.fFarClippingPlaneLowPolyMesh_Low", ViewRange, "view range low quality:", "low settings", "viewRangeLowQualityLowEdit", "20000.0", kStandard),
    Other(kSliders, "ObjectDetails.fRangedBaseLoDOffset_Medium", ViewRange, "view range objects:", "medium settings", "viewRangeObjectsMediumEdit", "0.0"),
    Other(kSliders, "DistanceHigh.fFarClippingPlane_Medium", ViewRange, "view range high quality:", "medium settings", "viewRangeHighQualityMediumEdit", "8000.0"),
    Other(kSliders, "DistanceLow.fFarClippingPlaneLowPolyMesh_Medium", ViewRange, "view range low quality:", "medium settings", "viewRangeLowQualityMediumEdit", "45000.0"),
    Other(kSliders, "ObjectDetails.fRangedBaseLoDOffset_High", ViewRange, "view range objects:", "high settings", "viewRangeObjectsHighEdit", "300.0"),
    Other(kSliders, "DistanceHigh.fFarClippingPlane_High", ViewRange, "view range high quality:", "high settings", "viewRangeHighQualityHighEdit", "10000.0"),
    Other(kSliders, "DistanceLow.fFarClippingPlaneLowPolyMesh_High", ViewRange, "view range low quality:", "high settings", "viewRangeLowQualityHighEdit", "100000.0"),
    Other(kSetup, "FpS.Average", FramesPerSecond, "average FPS:", "FPS", "averageFpsEdit", "30.0"),
    Other(kSetup, "FpS.Min", FramesPerSecond, "min FPS:", "FPS", "minFpsEdit", "10.0"),
    Other(kSetup, "FpS.Max", FramesPerSecond, "max FPS:", "FPS", "maxFpsEdit", "120.0", kDefault, "120"),
    Other(kSetup, "Render.GlobalVisualLoDFactor", DetailFactor, "level of detail:", "miscellaneous", "levelOfDetailEdit", "0.01"),
    InDebugFile(Other("PropertySets", "PlayerMemory.Enabled", Switch, "player memory:", "miscellaneous", "playerMemoryList", "false")),
    // The hint has always named "enabled" while restoring selects "disabled".
    Other("Game", "TestMode", Switch, "test mode:", "miscellaneous", "testModeList", "false", kDefault, "enabled"),
};
// clang-format on

}  // namespace

bool IsList(ValueKind kind) {
    return kind <= ValueKind::Resolution;
}

std::span<const SettingRow> MainSettingRows() {
    return kMainRows;
}

std::span<const SettingRow> CacheSettingRows() {
    return kCacheRows;
}

std::span<const SettingRow> OtherSettingRows() {
    return kOtherRows;
}

std::size_t RowIndex(std::span<const SettingRow> rows, std::string_view objectName) {
    const auto found = std::find_if(rows.begin(), rows.end(), [&](const SettingRow& row) {
        return row.objectName == objectName;
    });
    if (found == rows.end()) {
        std::abort();  // the tables name every control the program asks for
    }
    return static_cast<std::size_t>(found - rows.begin());
}

std::string WithoutColon(std::string_view caption) {
    if (caption.ends_with(':')) {
        caption.remove_suffix(1);
    }
    return std::string(caption);
}

std::string SettingName(const SettingRow& row) {
    std::string name = WithoutColon(row.caption);
    if (!row.group.empty()) {
        name += ", ";
        name += row.group;
    }
    return name;
}

}  // namespace vk3
