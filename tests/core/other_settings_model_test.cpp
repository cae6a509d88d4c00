#include "other_dialog/other_settings_model.h"

#include <gtest/gtest.h>

#include <tuple>

#include "profile/profile_store.h"
#include "temp_dir.h"

namespace vk3 {
namespace {

using enum OtherControl;
using test::ReadFile;
using test::WriteFile;

// As the game writes them: CR LF, a comment, odd values; FpS.Max and one slider missing.
constexpr const char* kEngine =
    "; written by the game\r\n"
    "[Engine.Setup]\r\n"
    "FpS.Average=-5\r\n"
    "FpS.Min = 10.0\r\n"
    "Render.GlobalVisualLoDFactor=0.0150001\r\n"
    "\r\n"
    "[Option.Sliders]\r\n"
    "ObjectDetails.fRangedBaseLoDOffset_Low=-300.0\r\n"
    "DistanceHigh.fFarClippingPlane_Low=123.7\r\n"
    "DistanceLow.fFarClippingPlaneLowPolyMesh_Low=20000.0\r\n"
    "ObjectDetails.fRangedBaseLoDOffset_Medium=0.0\r\n"
    "DistanceHigh.fFarClippingPlane_Medium=8000.0\r\n"
    "DistanceLow.fFarClippingPlaneLowPolyMesh_Medium=45000.0\r\n"
    "ObjectDetails.fRangedBaseLoDOffset_High=300.0\r\n"
    "DistanceHigh.fFarClippingPlane_High=10000.0\r\n"
    "[Game]\r\n"
    "TestMode=TRUE\r\n";
constexpr const char* kDebug = "[PropertySets]\r\nPlayerMemory.Enabled=high\r\n";

class OtherSettingsModelTest : public ::testing::Test {
protected:
    OtherSettingsModelTest() {
        WriteFile(paths.engineConfig, kEngine);
        WriteFile(paths.debugConfig, kDebug);
        model.Load(paths);
    }
    std::string Stored(OtherControl control) const {
        const OtherSetting& setting = SettingOf(control);
        return ReadProfileString(
            setting.file == OtherFile::Engine ? paths.engineConfig : paths.debugConfig,
            setting.section, setting.key, "<absent>");
    }

    test::TempDir dir;
    InstallationPaths paths = test::InstallationUnder(dir.path());
    OtherSettingsModel model;
};

TEST_F(OtherSettingsModelTest, LoadShowsStoredValuesAndSaveKeepsWhatWasNotChanged) {
    const std::pair<OtherControl, const char*> shown[] = {
        {HighQualityLow, "123"}, {LowQualityHigh, "0"},        {AverageFps, "4294967291"},
        {MinFps, "10"},          {LevelOfDetail, "0.0150001"},
    };
    for (const auto& [control, text] : shown) {
        EXPECT_EQ(model.FieldText(control), text) << SettingOf(control).key;
    }
    EXPECT_EQ(model.List(TestMode).SelectedText(), "enabled");  // TRUE
    EXPECT_EQ(model.List(PlayerMemory).selected, -1);           // "high" selects nothing

    EXPECT_TRUE(model.Save(paths).failures.empty());
    std::string expected = kEngine;
    expected.insert(expected.find("\r\n\r\n[Option") + 2, "FpS.Max=0.0\r\n");
    expected.insert(expected.find("[Game]"),
                    "DistanceLow.fFarClippingPlaneLowPolyMesh_High=0.0\r\n");
    EXPECT_EQ(ReadFile(paths.engineConfig), expected);
    EXPECT_EQ(ReadFile(paths.debugConfig), kDebug);
}

TEST_F(OtherSettingsModelTest, ChangedValuesAreWrittenInTheGamesForm) {
    // The control, the field text or list item the user chose, the text stored.
    const std::tuple<OtherControl, const char*, const char*> changes[] = {
        {ObjectsHigh, " -7\t", "-7.0"},          {MinFps, "4294967295", "4294967295.0"},
        {LevelOfDetail, "1.5", "1.50"},          {LevelOfDetail, "0.015", "0.015"},
        {LevelOfDetail, "1234.5678", "1234.57"}, {LevelOfDetail, "0,5", "0.50"},
        {LevelOfDetail, " 0,03", "0.03"},        {TestMode, "disabled", "false"},
        {PlayerMemory, "enabled", "true"},
    };
    for (const auto& [control, typed, stored] : changes) {
        WriteFile(paths.engineConfig, kEngine);
        model.Load(paths);
        if (SettingOf(control).kind == OtherKind::Switch) {
            model.List(control).SelectByText(typed);
        } else {
            model.FieldText(control) = typed;
        }
        EXPECT_TRUE(model.Save(paths).failures.empty());
        EXPECT_EQ(Stored(control), stored) << typed;
        EXPECT_EQ(Stored(HighQualityLow), "123.7");
    }
}

TEST_F(OtherSettingsModelTest, RestoreWritesNothingUntilSavedThenTheDefaults) {
    model.Restore();
    EXPECT_EQ(ReadFile(paths.engineConfig), kEngine);
    EXPECT_TRUE(model.Save(paths).failures.empty());
    const std::pair<OtherControl, const char*> defaults[] = {
        {HighQualityLow, "6000.0"},
        {MaxFps, "120.0"},
        {LevelOfDetail, "0.01"},
        {TestMode, "false"},
    };
    for (const auto& [control, stored] : defaults) {
        EXPECT_EQ(Stored(control), stored);
    }
}

TEST_F(OtherSettingsModelTest, AFieldWithoutAStorableValueStopsTheSave) {
    const std::pair<OtherControl, const char*> refused[] = {
        {MinFps, "-1"},           {ObjectsLow, "12.5"},    {HighQualityMedium, ""},
        {LevelOfDetail, "0.0.1"}, {LevelOfDetail, "1e"},   {ObjectsLow, "2147483648"},
        {LevelOfDetail, "0,5,1"}, {LevelOfDetail, "0.5,1"}};
    for (const auto& [control, text] : refused) {
        model.Load(paths);
        model.FieldText(ObjectsMedium) = "5";
        model.FieldText(control) = text;
        EXPECT_EQ(model.Save(paths).invalidField, control) << text;
        EXPECT_EQ(ReadFile(paths.engineConfig), kEngine);
    }
}

TEST_F(OtherSettingsModelTest, FilesThatCouldNotBeReadGetOnlyWhatTheUserChanged) {
    for (const std::filesystem::path& file : {paths.engineConfig, paths.debugConfig}) {
        std::filesystem::remove(file);
        std::filesystem::create_directory(file);  // there, but not readable
    }
    const std::vector<FileStatus> failures = model.Load(paths);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[1].path, paths.debugConfig);
    std::filesystem::remove(paths.engineConfig);
    WriteFile(paths.engineConfig, kEngine);
    model.FieldText(MaxFps) = "60";
    EXPECT_TRUE(model.Save(paths).failures.empty());
    EXPECT_EQ(
        ReadFile(paths.engineConfig),
        std::string(kEngine).insert(std::string(kEngine).find("\r\n\r\n"), "\r\nFpS.Max=60.0"));
}

// Beyond the float's range the game reads infinity: the dialog shows that, and asks for a
// number before it saves.
TEST_F(OtherSettingsModelTest, ALevelOfDetailBeyondTheFloatRangeShowsAsInfinity) {
    for (const auto& [stored, shown] : {std::pair{"1e39", "inf"}, {"-1e39", "-inf"}}) {
        WriteProfileString(paths.engineConfig, "Engine.Setup", "Render.GlobalVisualLoDFactor",
                           stored);
        const std::string before = ReadFile(paths.engineConfig);
        model.Load(paths);
        EXPECT_EQ(model.FieldText(LevelOfDetail), shown);
        EXPECT_EQ(model.Save(paths).invalidField, LevelOfDetail);
        EXPECT_EQ(ReadFile(paths.engineConfig), before);
    }
}

}  // namespace
}  // namespace vk3
