#include "main_dialog/main_settings_model.h"

#include <gtest/gtest.h>

#include "profile/profile_store.h"
#include "temp_dir.h"

namespace vk3 {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const std::vector<std::string> kModes = {"640x480@60Hz",  "1024x768@60Hz", "1024x768@75Hz",
                                         "1280x800@60Hz", "1280x768@60Hz", "1920x1080@60Hz"};

class MainSettingsModelTest : public ::testing::Test {
protected:
    MainSettingsModelTest() { paths = test::InstallationUnder(dir.path()); }

    std::string Selected(MainControl control) const { return model.List(control).SelectedText(); }
    std::string Stored(const std::filesystem::path& file, const char* section,
                       const char* key) const {
        return ReadProfileString(file, section, key, "<absent>");
    }

    TempDir dir;
    InstallationPaths paths;
    MainSettingsModel model{kModes};
};

constexpr const char* kUserOptions =
    "; written by the game\r\n"
    "[Options.Custom]\r\n"
    "DistanceHigh=3\r\n"
    "DistanceLow=0\r\n"
    "ResourceCache=2\r\n"
    "ObjectDetails=0\r\n"
    "ShaderQuality=3,0\r\n"
    "TextureQuality=1\r\n"
    "TextureFilter=7\r\n"
    "VegetationQuality=9\r\n"
    "ShadowQuality=2\r\n"
    "PostProcessing=2\r\n"
    "Subtitles=1\r\n"
    "\r\n"
    "[Options.Video]\r\n"
    "Resolution.Width=1280\r\n"
    "Resolution.Height=800\r\n"
    "Resolution.RefreshRate=60\r\n"
    "Gamma=1.0\r\n";

constexpr const char* kEngine =
    "[Engine.Setup]\r\n"
    "Render.EnableVegetationRendering=TRUE\r\n"
    "VegetationAdmin.Quality=medium\r\n"
    "VegetationAdmin.ViewRange=3500.7\r\n"
    "Shader.EnableTreeShadows=high\r\n"
    "Shader.EnableStaticShadows=false\r\n"
    "  ; tuned by hand\r\n"
    "Shader.EnableDetailShadows=true\r\n"
    "AnimationBlending.PhysicControllerDistance=-300.0\r\n"
    "Animation.MaxRagDolls=12\r\n"
    "Entity.ROI=4000\r\n"
    "Render.EnableLowpolyRendering=true\r\n"
    "Render.MeshLoDQuality=UltraHigh\r\n"
    "Render.AnimationLoDQuality=ultra high\r\n"
    "Render.ImageLoDQuality=high\r\n"
    "Render.Gamma=1.2\r\n"
    "[Game]\r\n"
    "Game.TestMode=false";

TEST_F(MainSettingsModelTest, LoadShowsStoredValuesAndKeepsSelectionsForValuesThatMatchNothing) {
    WriteFile(paths.userOptions, kUserOptions);
    WriteFile(paths.engineConfig, kEngine);
    // Selections from before, as after an earlier load.
    model.List(MainControl::ObjectDetails).SelectByIndex(2);
    model.List(MainControl::VegetationDensity).SelectByIndex(1);
    model.Load(paths);

    EXPECT_EQ(Selected(MainControl::ViewRangeHigh), "high");
    EXPECT_EQ(Selected(MainControl::ViewRangeLow), "disabled");
    EXPECT_EQ(Selected(MainControl::ResourceCache), "medium");
    EXPECT_EQ(Selected(MainControl::ObjectDetails), "high");         // 0 is not in this list
    EXPECT_EQ(Selected(MainControl::ShaderQuality), "3.0");          // "3,0" read as 3.0
    EXPECT_EQ(model.List(MainControl::TextureFilter).selected, -1);  // index 7 does not exist
    EXPECT_EQ(Selected(MainControl::VegetationDensity), "medium");   // 9 names no level
    EXPECT_EQ(Selected(MainControl::ShadowQuality), "medium");
    EXPECT_EQ(Selected(MainControl::PostProcessing), "horizontal blur");
    EXPECT_EQ(Selected(MainControl::Vegetation), "enabled");     // case ignored
    EXPECT_EQ(Selected(MainControl::VegetationQuality), "low");  // "medium" is not "med"
    EXPECT_EQ(model.FieldText(MainControl::ViewRangeVegetation), "3500");
    EXPECT_EQ(model.List(MainControl::TreeShadows).selected, -1);  // "high" is index 2
    EXPECT_EQ(Selected(MainControl::DetailShadows), "enabled");
    // -300 taken as unsigned, then as a float: 4294966996 rounds to 4294967040.
    EXPECT_EQ(model.FieldText(MainControl::ViewRangePhysics), "4294967040");
    EXPECT_EQ(model.FieldText(MainControl::MaxRagdolls), "12");
    EXPECT_EQ(model.FieldText(MainControl::ViewRangeNpc), "4000");
    EXPECT_EQ(Selected(MainControl::ObjectQuality), "ultra high");
    EXPECT_EQ(Selected(MainControl::AnimationQuality), "normal");  // "ultra high" unknown
    EXPECT_EQ(Selected(MainControl::ImageQuality), "high");
    EXPECT_EQ(Selected(MainControl::Resolution), "1280x800@60Hz");
    EXPECT_EQ(model.AspectRatioText(), "16:10");
}

TEST_F(MainSettingsModelTest, MissingFilesShowTheDefaultsAndWriteNothing) {
    model.Load(paths);
    for (MainControl control : {MainControl::ViewRangeHigh, MainControl::ViewRangeLow,
                                MainControl::TextureQuality, MainControl::ShadowQuality}) {
        EXPECT_EQ(Selected(control), "low");
    }
    EXPECT_EQ(Selected(MainControl::ShaderQuality), "1.4");
    EXPECT_EQ(Selected(MainControl::TextureFilter), "anisotropic");
    EXPECT_EQ(Selected(MainControl::PostProcessing), "off");
    EXPECT_EQ(Selected(MainControl::LowHorizonPolygons), "disabled");
    EXPECT_EQ(Selected(MainControl::ImageQuality), "normal");
    EXPECT_EQ(model.FieldText(MainControl::ViewRangeNpc), "0");
    EXPECT_EQ(model.List(MainControl::Resolution).selected, -1);  // 0x0@0Hz matches nothing
    EXPECT_EQ(model.AspectRatioText(), "");
    EXPECT_FALSE(std::filesystem::exists(paths.userOptions));
    EXPECT_FALSE(std::filesystem::exists(paths.engineConfig));
}

TEST_F(MainSettingsModelTest, ShaderValuesAndTheResolutionSearchOrder) {
    WriteFile(
        paths.userOptions,
        "[Options.Custom]\r\nShaderQuality=4_0\r\n[Options.Video]\r\nResolution.Width=1024\r\n"
        "Resolution.Height=768\r\nResolution.RefreshRate=60\r\n");
    model.List(MainControl::ShaderQuality).SelectByIndex(1);
    model.Load(paths);
    EXPECT_EQ(Selected(MainControl::ShaderQuality), "2.0");  // 4.0 begins no item
    EXPECT_EQ(Selected(MainControl::Resolution), "1024x768@60Hz");
    EXPECT_EQ(model.AspectRatioText(), "4:3");

    WriteFile(paths.userOptions, "[Options.Custom]\r\nShaderQuality=2\r\n");
    model.Load(paths);
    EXPECT_EQ(Selected(MainControl::ShaderQuality), "2.0");  // too short: unchanged
    EXPECT_EQ(Selected(MainControl::Resolution), "1024x768@60Hz");

    // The search starts at the second entry and takes the first one last.
    WriteFile(paths.userOptions,
              "[Options.Video]\r\nResolution.Width=1024\r\n"
              "Resolution.Height=768\r\nResolution.RefreshRate=60\r\n");
    MainSettingsModel twice({"1024x768@60Hz", "1024x768@60Hz", "800x600@60Hz"});
    twice.Load(paths);
    EXPECT_EQ(twice.List(MainControl::Resolution).selected, 1);
    MainSettingsModel firstOnly({"1024x768@60Hz", "800x600@60Hz"});
    firstOnly.Load(paths);
    EXPECT_EQ(firstOnly.List(MainControl::Resolution).selected, 0);
}

TEST_F(MainSettingsModelTest, LoadThenSaveNormalisesOnlyTheKeysOfTheDialog) {
    WriteFile(paths.userOptions, kUserOptions);
    WriteFile(paths.engineConfig, kEngine);
    model.Load(paths);
    ASSERT_FALSE(model.FirstInvalidField());
    ASSERT_TRUE(model.Save(paths).empty());

    const std::string user = ReadFile(paths.userOptions);
    const std::string engine = ReadFile(paths.engineConfig);
    EXPECT_NE(user.find("; written by the game\r\n[Options.Custom]\r\nDistanceHigh=3\r\n"
                        "DistanceLow=0\r\nResourceCache=2\r\nObjectDetails=0\r\n"
                        "ShaderQuality=3_0\r\nTextureQuality=1\r\nTextureFilter=-1\r\n"
                        "VegetationQuality=0\r\nShadowQuality=2\r\nPostProcessing=2\r\n"
                        "Subtitles=1\r\n\r\n[Options.Video]\r\nResolution.Width=1280\r\n"
                        "Resolution.Height=800\r\nResolution.RefreshRate=60\r\nGamma=1.0\r\n"),
              std::string::npos)
        << user;
    EXPECT_EQ(Stored(paths.engineConfig, "Engine.Setup", "Render.EnableVegetationRendering"),
              "true");
    EXPECT_EQ(Stored(paths.engineConfig, "Engine.Setup", "VegetationAdmin.Quality"), "low");
    EXPECT_EQ(Stored(paths.engineConfig, "Engine.Setup", "VegetationAdmin.ViewRange"), "3500.0");
    EXPECT_EQ(Stored(paths.engineConfig, "Engine.Setup", "Shader.EnableTreeShadows"), "");
    EXPECT_EQ(Stored(paths.engineConfig, "Engine.Setup", "Entity.ROI"), "4000.0");
    EXPECT_EQ(Stored(paths.engineConfig, "Engine.Setup", "Animation.MaxRagDolls"), "12");
    EXPECT_EQ(Stored(paths.engineConfig, "Engine.Setup", "Render.MeshLoDQuality"), "ultrahigh");
    EXPECT_EQ(Stored(paths.engineConfig, "Engine.Setup", "Render.AnimationLoDQuality"), "normal");
    // Untouched lines stay byte for byte, the last one still without a line end.
    EXPECT_NE(engine.find("\r\n  ; tuned by hand\r\n"), std::string::npos);
    EXPECT_NE(engine.find("Render.Gamma=1.2\r\n[Game]\r\nGame.TestMode=false"), std::string::npos);
    EXPECT_TRUE(engine.ends_with("Game.TestMode=false"));

    // A second load and save changes nothing more, but for the emptied switch, which now
    // reads as "disabled".
    MainSettingsModel again(kModes);
    again.Load(paths);
    ASSERT_TRUE(again.Save(paths).empty());
    EXPECT_EQ(ReadFile(paths.userOptions), user);
    std::string expected = engine;
    const std::string emptied = "Shader.EnableTreeShadows=\r\n";
    expected.replace(expected.find(emptied), emptied.size(), "Shader.EnableTreeShadows=false\r\n");
    EXPECT_EQ(ReadFile(paths.engineConfig), expected);
}

TEST_F(MainSettingsModelTest, RestoreThenSaveStoresTheProgramDefaults) {
    WriteFile(paths.userOptions, kUserOptions);
    WriteFile(paths.engineConfig, kEngine);
    model.Load(paths);
    model.FieldText(MainControl::ViewRangeNpc) = "77";
    model.RestoreDefaults();
    EXPECT_EQ(model.FieldText(MainControl::ViewRangeVegetation), "3500");
    EXPECT_EQ(model.FieldText(MainControl::ViewRangePhysics), "1200");
    EXPECT_EQ(model.FieldText(MainControl::MaxRagdolls), "999");
    EXPECT_EQ(model.FieldText(MainControl::ViewRangeNpc), "4000");
    EXPECT_EQ(model.AspectRatioText(), "4:3");
    ASSERT_TRUE(model.Save(paths).empty());

    const auto custom = [&](const char* key) {
        return Stored(paths.userOptions, "Options.Custom", key);
    };
    const auto video = [&](const char* key) {
        return Stored(paths.userOptions, "Options.Video", key);
    };
    const auto engine = [&](const char* key) {
        return Stored(paths.engineConfig, "Engine.Setup", key);
    };
    for (const char* key :
         {"DistanceHigh", "DistanceLow", "ResourceCache", "ObjectDetails", "TextureQuality"}) {
        EXPECT_EQ(custom(key), "2") << key;
    }
    EXPECT_EQ(custom("ShaderQuality"), "2_0");
    EXPECT_EQ(custom("TextureFilter"), "1");
    EXPECT_EQ(custom("VegetationQuality"), "1");
    EXPECT_EQ(custom("ShadowQuality"), "1");
    EXPECT_EQ(custom("PostProcessing"), "1");
    for (const char* key : {"Render.EnableVegetationRendering", "Shader.EnableTreeShadows",
                            "Shader.EnableStaticShadows", "Shader.EnableDetailShadows",
                            "Render.EnableLowpolyRendering"}) {
        EXPECT_EQ(engine(key), "true") << key;
    }
    EXPECT_EQ(engine("VegetationAdmin.Quality"), "high");
    EXPECT_EQ(engine("VegetationAdmin.ViewRange"), "3500.0");
    EXPECT_EQ(engine("AnimationBlending.PhysicControllerDistance"), "1200.0");
    EXPECT_EQ(engine("Entity.ROI"), "4000.0");
    EXPECT_EQ(engine("Animation.MaxRagDolls"), "999");
    for (const char* key :
         {"Render.MeshLoDQuality", "Render.AnimationLoDQuality", "Render.ImageLoDQuality"}) {
        EXPECT_EQ(engine(key), "ultrahigh") << key;
    }
    EXPECT_EQ(video("Resolution.Width"), "1024");
    EXPECT_EQ(video("Resolution.Height"), "768");
    EXPECT_EQ(video("Resolution.RefreshRate"), "60");
}

TEST_F(MainSettingsModelTest, ResolutionWithoutSelectionOrWithoutEntries) {
    WriteFile(paths.engineConfig, "");
    WriteFile(paths.userOptions, "[Options.Video]\r\nResolution.Width=7\r\n");
    ASSERT_TRUE(model.Save(paths).empty());
    // An unselected list saves its first entry, and shows it selected afterwards.
    EXPECT_EQ(model.List(MainControl::Resolution).selected, 0);
    EXPECT_EQ(Stored(paths.userOptions, "Options.Video", "Resolution.Width"), "640");
    EXPECT_EQ(Stored(paths.userOptions, "Options.Video", "Resolution.RefreshRate"), "60");

    // No display modes at all: the resolution keys stay as they are.
    MainSettingsModel withoutModes;
    WriteFile(paths.userOptions, "[Options.Video]\r\nResolution.Width=7\r\n");
    ASSERT_TRUE(withoutModes.Save(paths).empty());
    EXPECT_EQ(Stored(paths.userOptions, "Options.Video", "Resolution.Width"), "7");
    EXPECT_EQ(Stored(paths.userOptions, "Options.Video", "Resolution.Height"), "<absent>");
    withoutModes.UpdateAspectRatio();
    EXPECT_EQ(withoutModes.AspectRatioText(), "");
}

TEST_F(MainSettingsModelTest, NumberFieldsMustHoldStorableNumbers) {
    WriteFile(paths.userOptions, "");
    WriteFile(paths.engineConfig, "");
    EXPECT_FALSE(model.FirstInvalidField());
    model.FieldText(MainControl::ViewRangePhysics) = "";
    model.FieldText(MainControl::MaxRagdolls) = "4294967296";
    EXPECT_EQ(model.FirstInvalidField(), MainControl::ViewRangePhysics);
    model.FieldText(MainControl::ViewRangePhysics) = "1200";
    EXPECT_EQ(model.FirstInvalidField(), MainControl::MaxRagdolls);
    model.FieldText(MainControl::MaxRagdolls) = "4294967295";
    model.FieldText(MainControl::ViewRangeNpc) = "12a";
    EXPECT_EQ(model.FirstInvalidField(), MainControl::ViewRangeNpc);
    EXPECT_EQ(MainSettingsModel::InvalidFieldMessage(MainControl::ViewRangeNpc),
              "please enter a number for \"view range npc's, animals, etc.\".");
    model.FieldText(MainControl::ViewRangeNpc) = "1200";
    ASSERT_TRUE(model.Save(paths).empty());
    EXPECT_EQ(Stored(paths.engineConfig, "Engine.Setup", "Entity.ROI"), "1200.0");
    EXPECT_EQ(Stored(paths.engineConfig, "Engine.Setup", "Animation.MaxRagDolls"), "-1");
}

TEST_F(MainSettingsModelTest, AFailedWriteIsReportedAndLeavesThatFileAsItWas) {
    WriteFile(paths.userOptions, kUserOptions);
    WriteFile(paths.engineConfig, kEngine);
    test::MakeReadOnly(paths.engineConfig);
    model.Load(paths);
    model.List(MainControl::Vegetation).SelectByIndex(0);
    const std::vector<FileStatus> failures = model.Save(paths);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].path, paths.engineConfig);
    EXPECT_EQ(failures[0].reason, "the file is read-only");
    EXPECT_EQ(ReadFile(paths.engineConfig), kEngine);
}

}  // namespace
}  // namespace vk3
