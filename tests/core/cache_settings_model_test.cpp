#include "cache_dialog/cache_settings_model.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace vk3 {
namespace {

constexpr std::size_t kLowImage = CacheSlot(CacheColumn::Low, CacheCategory::Image);

TEST(CacheSettingsModel, MegabyteLabelsReadTheSignedValue) {
    const std::vector<std::pair<std::string, std::string>> cases = {{"0", "0.00 MB"},
                                                                    {"18000", "0.02 MB"},
                                                                    {"131072", "0.13 MB"},
                                                                    {"128000000", "122.07 MB"},
                                                                    {"350000000", "333.79 MB"},
                                                                    {"-20000000", "-19.07 MB"},
                                                                    {"", "0.00 MB"},
                                                                    {"3000000000", "-1234.98 MB"}};
    CacheSettingsModel model;
    for (const auto& [text, label] : cases) {
        model.SetValueText(kLowImage, text);
        EXPECT_EQ(model.ValueLabel(kLowImage), label) << text;
        model.SetValueText(kTextureQualityHighSlot, text);
        EXPECT_EQ(model.ValueLabel(kTextureQualityHighSlot), label) << text;
    }
}

TEST(CacheSettingsModel, TotalsAndTotalCachesFollowEveryChange) {
    CacheSettingsModel model;
    model.RestoreStandardValues();
    struct Expected {
        CacheColumn column;
        std::uint32_t total;
        const char* totalLabel;
        std::uint32_t totalCache;
        const char* totalCacheLabel;
    };
    const std::vector<Expected> standard = {
        {CacheColumn::Common, 408000000, "389.10 MB", 0, ""},
        {CacheColumn::Low, 110518000, "105.40 MB", 460518000, "439.18 MB"},
        {CacheColumn::Medium, 171770000, "163.81 MB", 521770000, "497.60 MB"},
        {CacheColumn::High, 271021000, "258.47 MB", 621021000, "592.25 MB"}};
    for (const Expected& e : standard) {
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
    EXPECT_EQ(model.TotalCache(CacheColumn::High), 3271021000u);
    EXPECT_EQ(model.Total(CacheColumn::Common), 408000000u);
}

TEST(CacheSettingsModel, ScalingRoundsToTheByteAndStaysWithin32Bits) {
    struct Case {
        const char* value;
        const char* percent;
        ScaleDirection direction;
        const char* scaled;
    };
    const std::vector<Case> cases = {
        {"128000000", "10", ScaleDirection::Up, "140800000"},
        {"40000000", "30", ScaleDirection::Down, "28000000"},
        {"500000", "7", ScaleDirection::Down, "465000"},
        {"750000", "15", ScaleDirection::Up, "862500"},
        {"40000000", "150", ScaleDirection::Down, "0"},
        {"", "", ScaleDirection::Up, "0"},
        {"0070", "", ScaleDirection::Down, "70"},
        {"12abc", "0", ScaleDirection::Up, "12"},
        {"2000000000", "10", ScaleDirection::Up, "-2094967296"},
        // 3000000000 shown signed shrinks to 2700000000, and 4400000000 stops at 2^32 - 1.
        {"-1294967296", "10", ScaleDirection::Down, "-1594967296"},
        {"4000000000", "10", ScaleDirection::Up, "-1"},
        {"40000000", "1e400", ScaleDirection::Up, "-1"},
    };
    for (const Case& c : cases) {
        CacheSettingsModel model;
        model.RestoreStandardValues();
        model.SetValueText(kLowImage, c.value);
        model.ModifyText(CacheColumn::Low) = c.percent;
        model.Scale(CacheColumn::Low, c.direction);
        EXPECT_EQ(model.ValueText(kLowImage), c.scaled) << c.value << " by " << c.percent;
        EXPECT_EQ(model.ModifyText(CacheColumn::Low), c.percent);
        EXPECT_EQ(model.ValueText(kLowImage - 1), "10000000");  // common speed tree
        EXPECT_EQ(model.ValueText(kTextureQualityHighSlot), "350000000");
    }
}

TEST(CacheSettingsModel, SavingNeedsANumberInEveryField) {
    CacheSettingsModel model;
    model.RestoreStandardValues();
    EXPECT_EQ(model.FirstFieldWithoutNumber(), std::nullopt);
    model.SetValueText(kLowImage, "");
    model.SetValueText(kTextureQualityHighSlot, "-");
    ASSERT_EQ(model.FirstFieldWithoutNumber(), kTextureQualityHighSlot);  // before the levels
    EXPECT_EQ(CacheSettingsModel::FieldWithoutNumberMessage(kLowImage),
              "please enter a number for \"image, resource cache - low\".");
}

TEST(CacheSettingsModel, LoadsAGameFileAndSavesOnlyTheBudgets) {
    test::TempDir dir;
    const std::filesystem::path file = dir / "vkmain.ini";
    test::WriteFile(
        file,
        "; engine\r\n[Engine.Setup]\r\nRender.Gamma=1.2\r\nCache.SizeImage=0128000000\r\n"
        "cache.sizemesh = 70000000\r\n\r\n[Option.Sliders]\r\n; budgets\r\n"
        "ResourceCache.u32ImageMaxMemUsage_Low=3000000000\r\n"
        "ResourceCache.u32ImageMaxMemUsage_TextureQualityHigh=350000000\r\n");
    CacheSettingsModel model;
    model.Load(file);
    EXPECT_EQ(model.ValueText(0), "128000000");
    EXPECT_EQ(model.ValueText(1), "70000000");
    EXPECT_EQ(model.ValueText(2), "0");
    EXPECT_EQ(model.ValueText(kLowImage), "-1294967296");
    EXPECT_EQ(model.Total(CacheColumn::Low), 3000000000u);
    EXPECT_EQ(model.TotalCache(CacheColumn::Low), 3350000000u);

    model.SetValueText(CacheSlot(CacheColumn::High, CacheCategory::SpeedTree), "1000000");
    ASSERT_TRUE(model.Save(file));
    std::string appended;
    for (std::string level : {"Low", "Medium", "High"}) {
        for (std::string category :
             {"Image", "Material", "Mesh", "Sound", "CollisionMesh", "Animation", "SpeedTree"}) {
            if (level + category != "LowImage") {
                appended += "ResourceCache.u32" + category + "MaxMemUsage_" + level + "=" +
                            (level + category == "HighSpeedTree" ? "1000000" : "0") + "\r\n";
            }
        }
    }
    EXPECT_EQ(test::ReadFile(file),
              "; engine\r\n[Engine.Setup]\r\nRender.Gamma=1.2\r\nCache.SizeImage=128000000\r\n"
              "cache.sizemesh = 70000000\r\nCache.SizeMaterial=0\r\nCache.SizeSound=0\r\n"
              "Cache.SizeCollisionMesh=0\r\nCache.SizeAnimation=0\r\nCache.SizeSpeedTree=0\r\n"
              "\r\n[Option.Sliders]\r\n; budgets\r\n"
              "ResourceCache.u32ImageMaxMemUsage_Low=-1294967296\r\n"
              "ResourceCache.u32ImageMaxMemUsage_TextureQualityHigh=350000000\r\n" +
                  appended);
}

}  // namespace
}  // namespace vk3
