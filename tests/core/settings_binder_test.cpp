#include "settings/settings_binder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "temp_dir.h"

namespace vk3 {
namespace {

std::span<const SettingRow> TableOf(std::string_view name) {
    for (const auto rows : {MainSettingRows(), CacheSettingRows(), OtherSettingRows()}) {
        if (std::any_of(rows.begin(), rows.end(),
                        [&](auto& row) { return row.objectName == name; })) {
            return rows;
        }
    }
    return {};
}

// Each kind of value: read from a file written by Windows, shown, left alone, then given a
// value as its control takes it, checked, and written in the game's form.
TEST(SettingsBinder, LoadsShowsChecksAndWritesEveryKindOfValue) {
    const struct {
        const char* name;
        const char* stored;   // the key's text in its file
        const char* shown;    // what its control shows after loading
        const char* typed;    // the item chosen or the text typed
        const char* written;  // what a save stores then; nothing: refused, nothing written
    } cases[] = {
        // clang-format off
        {"textureQualityList", "3", "high", "low", "1"},
        {"viewRangeLowList", "0", "disabled", "high", "3"},
        {"textureFilterList", "4", "anisotropic 16x", "linear", "0"},
        {"textureFilterList", "7", "", "anisotropic", "1"},  // no such item: nothing selected
        {"shadowQualityList", "-3", "", "low", "1"},
        {"vegetationDensityList", "9", "", "high", "3"},
        {"treeShadowsList", "high", "", "enabled", "true"},
        {"animationQualityList", "ultra high", "normal", "high", "high"},  // unknown: the first
        {"postProcessingList", "2", "horizontal blur", "off", "0"},
        {"shaderQualityList", "3,0", "3.0", "1.4", "1_4"},
        {"vegetationList", "TRUE", "enabled", "disabled", "false"},
        {"vegetationQualityList", "med", "medium", "high", "high"},
        {"vegetationQualityList", "medium", "low", "high", "high"},
        {"objectQualityList", "UltraHigh", "ultra high", "normal", "normal"},
        {"viewRangeVegetationEdit", "3500.7", "3500", "4200", "4200.0"},
        {"viewRangePhysicsEdit", "-300.0", "4294967040", "12.5", nullptr},  // as a float
        {"viewRangeNpcEdit", "1", "1", "-5", nullptr},
        {"maxRagdollsEdit", "-1", "4294967295", "4294967294", "-2"},
        {"maxRagdollsEdit", "12", "12", "4294967296", nullptr},
        {"viewRangeObjectsLowEdit", "-300.0", "-300", " -7\t", "-7.0"},
        {"viewRangeObjectsLowEdit", "0", "0", "2147483648", nullptr},
        {"averageFpsEdit", "-5", "4294967291", "+30", "30.0"},
        {"levelOfDetailEdit", "0.0150001", "0.0150001", "0,5", "0.50"},
        {"levelOfDetailEdit", "0.01", "0.01", "1234.5678", "1234.57"},
        {"levelOfDetailEdit", "0.01", "0.01", "0.5,1", nullptr},
        {"levelOfDetailEdit", "0.01", "0.01", "1e", nullptr},
        {"levelOfDetailEdit", "1e39", "inf", "-1e39", nullptr},
        {"cacheImageLowEdit", "3000000000", "-1294967296", "0070", "0070"},
        {"cacheMeshHighEdit", "0", "0", "+5", nullptr},
        // clang-format on
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        const InstallationPaths paths = test::InstallationUnder(dir.path());
        SettingsBinder binder(TableOf(c.name));
        const std::size_t row = binder.Row(c.name);
        const SettingRow& setting = binder.Rows()[row];
        const std::filesystem::path file = PathOf(paths, setting.file);
        const std::string key(setting.keys[0]);
        for (const std::filesystem::path& each :
             {paths.userOptions, paths.engineConfig, paths.debugConfig}) {
            test::WriteFile(each, "");
        }
        const std::string text =
            "[" + std::string(setting.section) + "]\r\n" + key + " = " + c.stored + "\r\n";
        test::WriteFile(file, text);
        ASSERT_TRUE(binder.Load(paths).ok()) << c.name;
        EXPECT_EQ(binder.Shown(row), c.shown) << c.name;

        // Left alone, its stored text stays, whatever the save adds of the missing keys; a
        // value the game reads as infinity is refused even so.
        const SettingsResult untouched = binder.Save(paths);
        EXPECT_EQ(untouched.ok(), SettingsBinder::Holds(setting.kind, c.shown)) << c.name;
        EXPECT_EQ(test::ReadFile(file).rfind(text, 0), 0u) << c.name;

        if (IsList(setting.kind)) {
            binder.List(row).SelectByText(c.typed);
        } else {
            binder.Text(row) = c.typed;
        }
        EXPECT_EQ(SettingsBinder::Holds(setting.kind, c.typed), c.written != nullptr) << c.typed;
        EXPECT_TRUE(binder.HasUnsavedChanges()) << c.name;
        const std::string saved = test::ReadFile(file);
        const SettingsResult result = binder.Save(paths);
        if (!c.written) {
            EXPECT_EQ(result.invalidRow, row) << c.typed;
            EXPECT_EQ(test::ReadFile(file), saved) << c.typed;
            EXPECT_NE(binder.InvalidMessage(row).find("\"" + SettingName(setting) + "\"."),
                      std::string::npos);
            continue;
        }
        EXPECT_TRUE(result.ok()) << c.typed;
        EXPECT_EQ(ReadProfileString(file, setting.section, key, "?"), c.written) << c.typed;
        EXPECT_FALSE(binder.HasUnsavedChanges()) << c.typed;
    }
}

TEST(SettingsBinder, HintsAnnounceTheRestoredValueAsTheControlShowsIt) {
    const std::pair<const char*, const char*> hints[] = {
        // clang-format off
        {"viewRangeHighList", "default: medium"}, {"shaderQualityList", "default: 2.0"},
        {"textureFilterList", "default: anisotropic"}, {"maxFpsEdit", "default: 120"},
        {"objectQualityList", "default: ultra high"}, {"viewRangeVegetationEdit", "default: 3500.0"},
        {"viewRangeHighQualityLowEdit", "standard: 6000.0"}, {"testModeList", "default: enabled"},
        {"cacheImageCommonEdit", "Standard: 128000000"},
        // clang-format on
    };
    for (const auto& [name, hint] : hints) {
        const std::span<const SettingRow> rows = TableOf(name);
        EXPECT_EQ(SettingsBinder::Hint(rows[RowIndex(rows, name)]), hint);
    }
}

}  // namespace
}  // namespace vk3
