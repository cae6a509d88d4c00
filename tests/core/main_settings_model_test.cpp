#include "main_dialog/main_settings_model.h"

#include <gtest/gtest.h>

#include "profile/profile_store.h"
#include "temp_dir.h"

namespace vk3 {
namespace {

using test::ReadFile;
using test::WriteFile;

const std::vector<std::string> kModes = {"640x480@60Hz",  "1024x768@60Hz", "1024x768@75Hz",
                                         "1280x800@60Hz", "1280x768@60Hz", "1920x1080@60Hz"};

ListState& List(MainSettingsModel& model, std::string_view name) {
    return model.Binder().List(model.Binder().Row(name));
}
std::string& Text(MainSettingsModel& model, std::string_view name) {
    return model.Binder().Text(model.Binder().Row(name));
}

class MainSettingsModelTest : public ::testing::Test {
protected:
    std::string Stored(const std::filesystem::path& file, const char* section,
                       const char* key) const {
        return ReadProfileString(file, section, key, "<absent>");
    }

    test::TempDir dir;
    InstallationPaths paths = test::InstallationUnder(dir.path());
    MainSettingsModel model{kModes};
};

constexpr const char* kUserOptions =
    "; written by the game\r\n[Options.Custom]\r\nDistanceHigh=3\r\nDistanceLow=0\r\n"
    "ResourceCache=2\r\nObjectDetails=0\r\nShaderQuality=3,0\r\nTextureQuality=1\r\n"
    "TextureFilter=7\r\nVegetationQuality=9\r\nShadowQuality=-3\r\nPostProcessing=2\r\n"
    "Subtitles=1\r\n\r\n[Options.Video]\r\nResolution.Width=1280\r\nResolution.Height=800\r\n"
    "Resolution.RefreshRate=60\r\nGamma=1.0\r\n";

constexpr const char* kEngine =
    "[Engine.Setup]\r\nRender.EnableVegetationRendering=TRUE\r\nVegetationAdmin.Quality=medium\r\n"
    "VegetationAdmin.ViewRange=3500.7\r\nShader.EnableTreeShadows=high\r\n"
    "Shader.EnableStaticShadows=false\r\n  ; tuned by hand\r\nShader.EnableDetailShadows=true\r\n"
    "AnimationBlending.PhysicControllerDistance=-300.0\r\nAnimation.MaxRagDolls=12\r\n"
    "Entity.ROI=4000\r\nRender.EnableLowpolyRendering=true\r\nRender.MeshLoDQuality=UltraHigh\r\n"
    "Render.AnimationLoDQuality=ultra high\r\nRender.ImageLoDQuality=high\r\n"
    "Render.Gamma=1.2\r\n[Game]\r\nGame.TestMode=false";

TEST_F(MainSettingsModelTest, MissingFilesShowTheDefaultsAndUnreadOnesGetOnlyChanges) {
    model.Load(paths);
    EXPECT_EQ(Text(model, "viewRangeNpcEdit"), "0");
    EXPECT_EQ(List(model, "resolutionList").selected, -1);  // 0x0@0Hz matches nothing
    EXPECT_EQ(model.AspectRatioText(), "");
    EXPECT_FALSE(std::filesystem::exists(paths.userOptions) ||
                 std::filesystem::exists(paths.engineConfig));

    // Files that could not be read get only what the user changed.
    std::filesystem::create_directories(paths.userOptions);  // there, but not readable
    std::filesystem::create_directories(paths.engineConfig);
    EXPECT_FALSE(model.Load(paths).ok());
    std::filesystem::remove(paths.userOptions);
    std::filesystem::remove(paths.engineConfig);
    WriteFile(paths.userOptions, "[Options.Custom]\r\n");
    WriteFile(paths.engineConfig, "");
    List(model, "textureQualityList").SelectByText("high");
    ASSERT_TRUE(model.Save(paths).ok());
    EXPECT_EQ(ReadFile(paths.userOptions), "[Options.Custom]\r\nTextureQuality=3\r\n");
    EXPECT_EQ(ReadFile(paths.engineConfig), "");
}

TEST_F(MainSettingsModelTest, ShaderValuesAndTheResolutionSearchOrder) {
    WriteFile(
        paths.userOptions,
        "[Options.Custom]\r\nShaderQuality=4_0\r\n[Options.Video]\r\nResolution.Width=1024\r\n"
        "Resolution.Height=768\r\nResolution.RefreshRate=60\r\n");
    List(model, "shaderQualityList").SelectByIndex(1);
    model.Load(paths);
    EXPECT_EQ(List(model, "shaderQualityList").SelectedText(), "2.0");  // 4.0 begins no item
    EXPECT_EQ(model.AspectRatioText(), "4:3");

    WriteFile(paths.userOptions, "[Options.Custom]\r\nShaderQuality=2\r\n");
    model.Load(paths);
    EXPECT_EQ(List(model, "shaderQualityList").SelectedText(), "2.0");  // too short: unchanged

    // The search starts at the second entry and takes the first one last.
    WriteFile(paths.userOptions,
              "[Options.Video]\r\nResolution.Width=1024\r\n"
              "Resolution.Height=768\r\nResolution.RefreshRate=60\r\n");
    MainSettingsModel twice({"1024x768@60Hz", "1024x768@60Hz", "800x600@60Hz"});
    twice.Load(paths);
    EXPECT_EQ(List(twice, "resolutionList").selected, 1);
    MainSettingsModel firstOnly({"1024x768@60Hz", "800x600@60Hz"});
    firstOnly.Load(paths);
    EXPECT_EQ(List(firstOnly, "resolutionList").selected, 0);

    // No display mode listed: the stored resolution is the one entry, and a save, also after
    // restoring the defaults, keeps it; without stored keys the list stays empty.
    WriteFile(paths.userOptions,
              "[Options.Video]\r\nResolution.Width=1280\r\n"
              "Resolution.Height=800\r\nResolution.RefreshRate=75\r\n");
    WriteFile(paths.engineConfig, kEngine);
    MainSettingsModel noModes;
    noModes.Load(paths);
    EXPECT_EQ(List(noModes, "resolutionList").items, std::vector<std::string>{"1280x800@75Hz"});
    EXPECT_EQ(List(noModes, "resolutionList").SelectedText(), "1280x800@75Hz");
    EXPECT_EQ(noModes.AspectRatioText(), "16:10");
    noModes.RestoreDefaults();
    ASSERT_TRUE(noModes.Save(paths).ok());
    EXPECT_EQ(Stored(paths.userOptions, "Options.Video", "Resolution.Width"), "1280");
    EXPECT_EQ(Stored(paths.userOptions, "Options.Video", "Resolution.RefreshRate"), "75");
    WriteFile(paths.userOptions, "[Options.Custom]\r\nShaderQuality=2\r\n");
    noModes.Load(paths);
    EXPECT_TRUE(List(noModes, "resolutionList").items.empty());
    ASSERT_TRUE(noModes.Save(paths).ok());
    EXPECT_EQ(Stored(paths.userOptions, "Options.Video", "Resolution.Width"), "<absent>");
}

TEST_F(MainSettingsModelTest, SaveWritesOnlyWhatChangedOrIsMissing) {
    WriteFile(paths.userOptions, kUserOptions);
    WriteFile(paths.engineConfig, kEngine);
    model.Load(paths);
    // Touched controls are written in the game's form; the rest keeps its stored text.
    List(model, "vegetationList").SelectByIndex(0);
    List(model, "textureFilterList").SelectByIndex(2);
    List(model, "shaderQualityList").SelectByIndex(1);
    List(model, "resolutionList").SelectByIndex(1);
    Text(model, "viewRangeNpcEdit") = "4500";
    ASSERT_TRUE(model.Save(paths).ok());
    std::string user = kUserOptions;
    user.replace(user.find("3,0"), 3, "2_0");
    user.replace(user.find("Filter=7"), 8, "Filter=2");
    user.replace(user.find("1280\r\nResolution.Height=800"), 27, "1024\r\nResolution.Height=768");
    EXPECT_EQ(ReadFile(paths.userOptions), user);
    std::string engine = kEngine;
    engine.replace(engine.find("Rendering=TRUE"), 14, "Rendering=false");
    engine.replace(engine.find("ROI=4000"), 8, "ROI=4500.0");
    EXPECT_EQ(ReadFile(paths.engineConfig), engine);

    // Back to what was loaded: the files hold the saved values now, so that is a change.
    List(model, "vegetationList").SelectByIndex(1);
    ASSERT_TRUE(model.Save(paths).ok());
    EXPECT_EQ(Stored(paths.engineConfig, "Engine.Setup", "Render.EnableVegetationRendering"),
              "true");

    // Missing keys are written; lists that select nothing still write nothing.
    WriteFile(paths.userOptions, "[Options.Custom]\r\nTextureFilter=9\r\n");
    WriteFile(paths.engineConfig, "[Engine.Setup]\r\nShader.EnableTreeShadows=high\r\n");
    MainSettingsModel fresh(kModes);
    fresh.Load(paths);
    ASSERT_TRUE(fresh.Save(paths).ok());
    EXPECT_EQ(Stored(paths.userOptions, "Options.Custom", "TextureFilter"), "9");
    EXPECT_EQ(Stored(paths.userOptions, "Options.Custom", "DistanceHigh"), "1");
    EXPECT_EQ(Stored(paths.userOptions, "Options.Video", "Resolution.Width"), "<absent>");
    EXPECT_EQ(Stored(paths.engineConfig, "Engine.Setup", "Entity.ROI"), "0.0");
}

TEST_F(MainSettingsModelTest, RestoreThenSaveStoresTheProgramDefaults) {
    WriteFile(paths.userOptions, kUserOptions);
    WriteFile(paths.engineConfig, kEngine);
    model.Load(paths);
    Text(model, "viewRangeNpcEdit") = "77";
    model.RestoreDefaults();
    EXPECT_EQ(model.AspectRatioText(), "4:3");
    ASSERT_TRUE(model.Save(paths).ok());
    EXPECT_EQ(Stored(paths.userOptions, "Options.Video", "Resolution.Height"), "768");
    EXPECT_EQ(Stored(paths.engineConfig, "Engine.Setup", "Entity.ROI"), "4000.0");
}

}  // namespace
}  // namespace vk3
