#include "settings/catalogue.h"

#include <gtest/gtest.h>

namespace vk3 {
namespace {

using MC = MainControl;

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

}  // namespace
}  // namespace vk3
