#include "app/settings_command.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "files/file_system.h"
#include "temp_dir.h"

namespace vk3 {
namespace {

// A copy of the demo installation: game/Ini/... and docs/veskaran3/UserOptions.ini.
InstallationPaths CopyDemo(const std::filesystem::path& root) {
    const std::filesystem::path demo = VK3_EXAMPLES_DIR;
    const InstallationPaths paths = test::InstallationUnder(root);
    test::WriteFile(paths.engineConfig, test::ReadFile(demo / "Veskaran3/Ini/vkmain.ini"));
    test::WriteFile(paths.debugConfig, test::ReadFile(demo / "Veskaran3/Ini/debug.ini"));
    test::WriteFile(paths.userOptions,
                    test::ReadFile(demo / "Documents/veskaran3/UserOptions.ini"));
    return paths;
}

// Every key of the three dialogs with its stored text.
std::map<std::string, std::string> StoredKeys(const InstallationPaths& paths) {
    SettingsSession session(paths, {});
    EXPECT_TRUE(session.Load());
    std::map<std::string, std::string> keys;
    for (const SettingReport& report : session.Report()) {
        for (const StoredKey& key : report.keys) {
            keys[key.key] = key.stored.value_or("(missing)");
        }
    }
    return keys;
}

struct SetCase {
    std::vector<std::string> assignments;
    std::string refusal;       // empty when every value is taken
    std::string changes = "";  // "KEY=TEXT ..." in the order of the keys, for each key changed
    std::vector<std::string> modes = {};  // the display's; none without a display
};

TEST(SettingsCommand, SetsValuesAsTheDialogsTakeAndSaveThem) {
    const std::vector<std::string> modes = {"1280x720@0Hz", "1920x1080@60Hz"};
    const SetCase cases[] = {
        // Names and items without regard to case; values in the game's form.
        {{"shaderQualityList=3.0"}, "", "ShaderQuality=3_0"},
        {{"DETAILSHADOWSLIST=Enabled"}, "", "Shader.EnableDetailShadows=true"},
        {{"objectQualityList=ultra high"}, "", "Render.MeshLoDQuality=ultrahigh"},
        {{"viewRangeVegetationEdit=4200"}, "", "VegetationAdmin.ViewRange=4200.0"},
        {{"resolutionList=2560x1440@144"},
         "",
         "Resolution.Height=1440 Resolution.RefreshRate=144 Resolution.Width=2560"},
        {{"resolutionList=1920x1080@60Hz"},
         "",
         "Resolution.Height=1080 Resolution.Width=1920",
         modes},
        {{"resolutionList=1280x720@0"},
         "",
         "Resolution.Height=720 Resolution.RefreshRate=0 Resolution.Width=1280",
         modes},
        {{"cacheImageLowEdit=64000000"}, "", "ResourceCache.u32ImageMaxMemUsage_Low=64000000"},
        {{"averageFpsEdit=45"}, "", "FpS.Average=45.0"},
        {{"levelOfDetailEdit=0.02"}, "", "Render.GlobalVisualLoDFactor=0.02"},
        // Several settings across all three files, saved together.
        {{"textureQualityList=low", "testModeList=enabled", "playerMemoryList=enabled",
          "cacheSoundHighEdit=25000000", "treeShadowsList=disabled"},
         "",
         "PlayerMemory.Enabled=true ResourceCache.u32SoundMaxMemUsage_High=25000000 "
         "Shader.EnableTreeShadows=false TestMode=true TextureQuality=1"},
        // What the files already hold writes nothing.
        {{"textureQualityList=high", "viewRangeVegetationEdit=3500", "playerMemoryList=disabled",
          "resolutionList=1024x768@60", "cacheImageLowEdit=32000000"},
         ""},
        // Refused: nothing is written, also of the values before.
        {{"textureQualityList=low", "textureQualityList=ultra"},
         "textureQualityList=ultra refused: please choose one of \"low\", \"medium\", \"high\"."},
        {{"noSuchList=1"}, "unknown setting \"noSuchList\""},
        {{"textureQualityList"}, "unknown setting \"textureQualityList\""},
        {{"viewRangeVegetationEdit=12.5"}, "viewRangeVegetationEdit=12.5 refused: please enter"},
        {{"cacheImageLowEdit=lots"}, "cacheImageLowEdit=lots refused: please enter"},
        {{"averageFpsEdit=-1"}, "averageFpsEdit=-1 refused: please enter"},
        {{"resolutionList=600x480@60"}, "resolutionList=600x480@60 refused: please give"},
        {{"resolutionList=1920x1080@144"},
         "resolutionList=1920x1080@144 refused: please choose one of the display's modes: "
         "\"1280x720@0Hz\", \"1920x1080@60Hz\".",
         "",
         modes},
    };
    std::set<std::filesystem::path> replaced;
    SetReplacementGuard([&replaced](const std::filesystem::path& file) {
        replaced.insert(file);
        return FileStatus::Success();
    });
    for (const SetCase& row : cases) {
        const std::string label = row.assignments.front();
        test::TempDir dir;
        const InstallationPaths paths = CopyDemo(dir.path());
        const std::map<std::string, std::string> before = StoredKeys(paths);
        replaced.clear();

        SettingsSession session(paths, row.modes);
        ASSERT_TRUE(session.Load()) << label;
        std::string refusal;
        for (std::size_t i = 0; refusal.empty() && i < row.assignments.size(); ++i) {
            refusal = session.Set(row.assignments[i]);
        }
        if (refusal.empty()) {
            EXPECT_TRUE(session.Save()) << label;
        }
        EXPECT_EQ(refusal.substr(0, row.refusal.size()), row.refusal) << label;
        EXPECT_EQ(refusal.empty(), row.refusal.empty()) << label << ": " << refusal;

        std::string changed;
        for (const auto& [key, text] : StoredKeys(paths)) {
            if (before.at(key) != text) {
                changed += (changed.empty() ? "" : " ") + key + "=" + text;
            }
        }
        EXPECT_EQ(changed, row.changes) << label;
        if (row.changes.empty()) {
            EXPECT_TRUE(replaced.empty()) << label << " replaced " << *replaced.begin();
        }
    }
    SetReplacementGuard({});
}

// Settings of the three dialogs are saved in one step: when one file cannot be kept safe, no
// file changes.
TEST(SettingsCommand, ChangesAcrossDialogsAreSavedTogetherOrNotAtAll) {
    test::TempDir dir;
    const InstallationPaths paths = CopyDemo(dir.path());
    const std::map<std::string, std::string> before = StoredKeys(paths);
    SettingsSession session(paths, {});
    ASSERT_TRUE(session.Load());
    for (const char* assignment :
         {"textureQualityList=low", "cacheSoundHighEdit=25000000", "playerMemoryList=enabled"}) {
        EXPECT_EQ(session.Set(assignment), "");
    }
    SetReplacementGuard([](const std::filesystem::path& file) {
        return file == file.parent_path() / "debug.ini" ? FileStatus::Failure(file, "no copy")
                                                        : FileStatus::Success();
    });
    EXPECT_EQ(session.Save().path, paths.debugConfig);
    SetReplacementGuard({});
    EXPECT_EQ(StoredKeys(paths), before);
}

}  // namespace
}  // namespace vk3
