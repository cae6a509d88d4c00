#include "settings/settings_binder.h"

#include <gtest/gtest.h>

#include <tuple>

#include "profile/profile_store.h"
#include "temp_dir.h"

namespace vk3 {
namespace {

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
    std::string Stored(std::string_view name) const {
        const SettingRow& row = model.Rows()[model.Row(name)];
        return ReadProfileString(PathOf(paths, row.file), row.section, row.keys[0], "<absent>");
    }
    std::string& FieldText(std::string_view name) { return model.Text(model.Row(name)); }
    ListState& List(std::string_view name) { return model.List(model.Row(name)); }

    test::TempDir dir;
    InstallationPaths paths = test::InstallationUnder(dir.path());
    SettingsBinder model{OtherSettingRows()};
};

TEST_F(OtherSettingsModelTest, LoadShowsStoredValuesAndSaveKeepsWhatWasNotChanged) {
    const std::pair<const char*, const char*> shown[] = {
        {"viewRangeHighQualityLowEdit", "123"}, {"viewRangeLowQualityHighEdit", "0"},
        {"averageFpsEdit", "4294967291"},       {"minFpsEdit", "10"},
        {"levelOfDetailEdit", "0.0150001"},
    };
    for (const auto& [control, text] : shown) {
        EXPECT_EQ(FieldText(control), text) << control;
    }
    EXPECT_EQ(List("testModeList").SelectedText(), "enabled");  // TRUE
    EXPECT_EQ(List("playerMemoryList").selected, -1);           // "high" selects nothing

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
    const std::tuple<const char*, const char*, const char*> changes[] = {
        {"viewRangeObjectsHighEdit", " -7\t", "-7.0"}, {"minFpsEdit", "4294967295", "4294967295.0"},
        {"levelOfDetailEdit", "1.5", "1.50"},          {"levelOfDetailEdit", "0.015", "0.015"},
        {"levelOfDetailEdit", "1234.5678", "1234.57"}, {"levelOfDetailEdit", "0,5", "0.50"},
        {"levelOfDetailEdit", " 0,03", "0.03"},        {"testModeList", "disabled", "false"},
        {"playerMemoryList", "enabled", "true"},
    };
    for (const auto& [control, typed, stored] : changes) {
        WriteFile(paths.engineConfig, kEngine);
        model.Load(paths);
        if (IsList(model.Rows()[model.Row(control)].kind)) {
            List(control).SelectByText(typed);
        } else {
            FieldText(control) = typed;
        }
        EXPECT_TRUE(model.Save(paths).failures.empty());
        EXPECT_EQ(Stored(control), stored) << typed;
        EXPECT_EQ(Stored("viewRangeHighQualityLowEdit"), "123.7");
    }
}

TEST_F(OtherSettingsModelTest, RestoreWritesNothingUntilSavedThenTheDefaults) {
    model.Restore();
    EXPECT_EQ(ReadFile(paths.engineConfig), kEngine);
    EXPECT_TRUE(model.Save(paths).failures.empty());
    const std::pair<const char*, const char*> defaults[] = {
        {"viewRangeHighQualityLowEdit", "6000.0"},
        {"maxFpsEdit", "120.0"},
        {"levelOfDetailEdit", "0.01"},
        {"testModeList", "false"},
    };
    for (const auto& [control, stored] : defaults) {
        EXPECT_EQ(Stored(control), stored);
    }
}

TEST_F(OtherSettingsModelTest, AFieldWithoutAStorableValueStopsTheSave) {
    const std::pair<const char*, const char*> refused[] = {
        {"minFpsEdit", "-1"},
        {"viewRangeObjectsLowEdit", "12.5"},
        {"viewRangeHighQualityMediumEdit", ""},
        {"levelOfDetailEdit", "0.0.1"},
        {"levelOfDetailEdit", "1e"},
        {"viewRangeObjectsLowEdit", "2147483648"},
        {"levelOfDetailEdit", "0,5,1"},
        {"levelOfDetailEdit", "0.5,1"}};
    for (const auto& [control, text] : refused) {
        model.Load(paths);
        FieldText("viewRangeObjectsMediumEdit") = "5";
        FieldText(control) = text;
        EXPECT_EQ(model.Save(paths).invalidRow, model.Row(control)) << text;
        EXPECT_EQ(ReadFile(paths.engineConfig), kEngine);
    }
}

TEST_F(OtherSettingsModelTest, FilesThatCouldNotBeReadGetOnlyWhatTheUserChanged) {
    for (const std::filesystem::path& file : {paths.engineConfig, paths.debugConfig}) {
        std::filesystem::remove(file);
        std::filesystem::create_directory(file);  // there, but not readable
    }
    const std::vector<FileStatus> failures = model.Load(paths).failures;
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[1].path, paths.debugConfig);
    std::filesystem::remove(paths.engineConfig);
    WriteFile(paths.engineConfig, kEngine);
    FieldText("maxFpsEdit") = "60";
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
        EXPECT_EQ(FieldText("levelOfDetailEdit"), shown);
        EXPECT_EQ(model.Save(paths).invalidRow, model.Row("levelOfDetailEdit"));
        EXPECT_EQ(ReadFile(paths.engineConfig), before);
    }
}

}  // namespace
}  // namespace vk3
