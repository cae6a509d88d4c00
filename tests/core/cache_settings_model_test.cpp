#include "cache_dialog/cache_settings_model.h"

#include <gtest/gtest.h>

#include <functional>

#include "profile/profile_store.h"

#include "temp_dir.h"

namespace vk3 {
namespace {

constexpr std::size_t kLowImage = CacheSlot(CacheColumn::Low, CacheCategory::Image);

TEST(CacheSettingsModel, MegabyteLabelsReadTheSignedValueAndTotalsFollowEveryChange) {
    // Rounded half up, shown signed; an empty field counts as nothing.
    const std::pair<const char*, const char*> cases[] = {{"131072", "0.13 MB"},
                                                         {"-20000000", "-19.07 MB"},
                                                         {"", "0.00 MB"},
                                                         {"3000000000", "-1234.98 MB"}};
    CacheSettingsModel model;
    for (const auto& [text, label] : cases) {
        model.SetValueText(kLowImage, text);
        EXPECT_EQ(model.ValueLabel(kLowImage), label) << text;
    }

    // Totals and total caches follow every change.
    model.RestoreStandardValues();
    struct Expected {
        CacheColumn column;
        std::uint32_t total, totalCache;
        const char *totalLabel, *totalCacheLabel;
    };
    for (const Expected& e : std::vector<Expected>{
             {CacheColumn::Common, 408000000, 0, "389.10 MB", ""},
             {CacheColumn::Low, 110518000, 460518000, "105.40 MB", "439.18 MB"},
             {CacheColumn::Medium, 171770000, 521770000, "163.81 MB", "497.60 MB"},
             {CacheColumn::High, 271021000, 621021000, "258.47 MB", "592.25 MB"}}) {
        EXPECT_EQ(model.Total(e.column), e.total);
        EXPECT_EQ(model.TotalLabel(e.column), e.totalLabel);
        EXPECT_EQ(model.TotalCache(e.column), e.totalCache);
        EXPECT_EQ(model.TotalCacheLabel(e.column), e.totalCacheLabel);
    }
    EXPECT_EQ(model.ValueLabel(kTextureQualityHighSlot), "333.79 MB");

    // Unsigned sums wrap modulo 2^32; the texture budget reaches the levels, not common.
    for (std::size_t category = 0; category < kCacheCategoryCount; ++category) {
        model.SetValueText(kLowImage + category, "1000000000");
    }
    model.SetValueText(kTextureQualityHighSlot, "3000000000");
    EXPECT_EQ(model.Total(CacheColumn::Low), 2705032704u);
    EXPECT_EQ(model.TotalCache(CacheColumn::Low), 1410065408u);
    EXPECT_EQ(model.TotalCacheLabel(CacheColumn::Low), "1344.74 MB");
    EXPECT_EQ(model.Total(CacheColumn::Common), 408000000u);
}

TEST(CacheSettingsModel, ScalingRoundsToTheByteAndStaysWithin32Bits) {
    using enum ScaleDirection;
    const std::tuple<const char*, ScaleDirection, const char*, const char*> cases[] = {
        {"128000000", Up, "10", "140800000"},
        {"40000000", Down, "30", "28000000"},
        {"750000", Up, "15", "862500"},  // 862499.99... in doubles
        {"40000000", Down, "150", "0"},
        {"2000000000", Up, "10", "-2094967296"},
        // 3000000000 shown signed shrinks to 2700000000, and 4400000000 stops at 2^32 - 1.
        {"-1294967296", Down, "10", "-1594967296"},
        {"4000000000", Up, "10", "-1"},
    };
    for (const auto& [value, direction, percent, scaled] : cases) {
        CacheSettingsModel model;
        model.RestoreStandardValues();
        model.SetValueText(kLowImage, value);
        model.ModifyText(CacheColumn::Low) = percent;
        model.Scale(CacheColumn::Low, direction);
        EXPECT_EQ(model.ValueText(kLowImage), scaled) << value << " by " << percent;
        EXPECT_EQ(model.ValueText(kLowImage - 1), "10000000");  // common speed tree
    }
}

TEST(CacheSettingsModel, SavesWhatTheUserChangedAndKeepsEveryOtherStoredText) {
    test::TempDir dir;
    const std::filesystem::path file = dir / "vkmain.ini";
    const InstallationPaths paths{file, {}, {}};
    const std::string stored =
        "; engine\r\n[Engine.Setup]\r\nRender.Gamma=1.2\r\nCache.SizeImage=0128000000\r\n"
        "cache.sizemesh = 0070000000\r\nCache.SizeSound=3000000000\r\n\r\n[Game]\r\nTest=1\r\n"
        "[Option.Sliders]\r\nResourceCache.u32MeshMaxMemUsage_Medium=40000000.5\r\n"
        "ResourceCache.u32SoundMaxMemUsage_High=3000000000\r\n"
        "ResourceCache.u32SoundMaxMemUsage_Medium=99999999999\r\n";
    const std::vector<std::pair<const char*, const char*>> keys = {
        {"Engine.Setup", "Cache.SizeImage"},
        {"Engine.Setup", "Cache.SizeMesh"},
        {"Engine.Setup", "Cache.SizeAnimation"},  // missing
        {"Option.Sliders", "ResourceCache.u32MeshMaxMemUsage_Medium"},
        {"Option.Sliders", "ResourceCache.u32SoundMaxMemUsage_High"},
        {"Option.Sliders", "ResourceCache.u32SoundMaxMemUsage_Medium"}};
    const std::size_t commonMesh = CacheSlot(CacheColumn::Common, CacheCategory::Mesh);
    const std::size_t highSound = CacheSlot(CacheColumn::High, CacheCategory::Sound);
    struct Case {
        const char* what;
        std::function<void(CacheSettingsModel&)> change;
        std::vector<const char*> saved;  // in the order of keys
    };
    const Case cases[] = {
        {"typed, and typed back to what was shown",
         [&](CacheSettingsModel& model) {
             model.SetValueText(commonMesh, "5");
             model.SetValueText(highSound, "7");
             model.SetValueText(highSound, "-1294967296");
         },
         {"0128000000", "5", "0", "40000000.5", "3000000000", "99999999999"}},
        {"scaled",
         [](CacheSettingsModel& model) {
             model.ModifyText(CacheColumn::Common) = "10";
             model.Scale(CacheColumn::Common, ScaleDirection::Up);
         },
         {"140800000", "77000000", "0", "40000000.5", "3000000000", "99999999999"}},
        {"restored",
         [](CacheSettingsModel& model) { model.RestoreStandardValues(); },
         {"128000000", "70000000", "40000000", "40000000", "20000000", "15000000"}},
    };
    for (const Case& c : cases) {
        test::WriteFile(file, stored);
        CacheSettingsModel model;
        ASSERT_TRUE(model.Load(paths).ok());
        c.change(model);
        EXPECT_TRUE(model.Binder().HasUnsavedChanges()) << c.what;
        ASSERT_TRUE(model.Save(paths).ok()) << c.what;
        EXPECT_FALSE(model.Binder().HasUnsavedChanges()) << c.what;
        ProfileReader saved(file);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            EXPECT_EQ(saved.ReadString(keys[i].first, keys[i].second, "?"), c.saved[i])
                << c.what << ": " << keys[i].second;
        }
        // Other lines stay; missing keys are added in the order of the table.
        const std::string text = test::ReadFile(file);
        EXPECT_EQ(text.rfind("; engine\r\n[Engine.Setup]\r\nRender.Gamma=1.2\r\n", 0), 0u);
        EXPECT_LT(text.find("Cache.SizeMaterial="), text.find("Cache.SizeSpeedTree="));
    }
}

}  // namespace
}  // namespace vk3
