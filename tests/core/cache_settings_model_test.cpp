#include "cache_dialog/cache_settings_model.h"

#include <gtest/gtest.h>

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
    struct Case {
        const char *value, *sign, *percent, *scaled;
    };
    const std::vector<Case> cases = {
        {"128000000", "+", "10", "140800000"},
        {"40000000", "-", "30", "28000000"},
        {"750000", "+", "15", "862500"},  // 862499.99... in doubles
        {"40000000", "-", "150", "0"},
        {"2000000000", "+", "10", "-2094967296"},
        // 3000000000 shown signed shrinks to 2700000000, and 4400000000 stops at 2^32 - 1.
        {"-1294967296", "-", "10", "-1594967296"},
        {"4000000000", "+", "10", "-1"},
    };
    for (const Case& c : cases) {
        CacheSettingsModel model;
        model.RestoreStandardValues();
        model.SetValueText(kLowImage, c.value);
        model.ModifyText(CacheColumn::Low) = c.percent;
        model.Scale(CacheColumn::Low, *c.sign == '+' ? ScaleDirection::Up : ScaleDirection::Down);
        EXPECT_EQ(model.ValueText(kLowImage), c.scaled) << c.value << " by " << c.percent;
        EXPECT_EQ(model.ValueText(kLowImage - 1), "10000000");  // common speed tree
    }
}

TEST(CacheSettingsModel, LoadsAGameFileAndSavesOnlyTheBudgets) {
    test::TempDir dir;
    const std::filesystem::path file = dir / "vkmain.ini";
    const std::string kept = "; engine\r\n[Engine.Setup]\r\nRender.Gamma=1.2\r\n";
    test::WriteFile(file, kept +
                              "Cache.SizeImage=0128000000\r\ncache.sizemesh = 70000000\r\n"
                              "Cache.SizeSound=3000000000\r\n\r\n[Game]\r\nTest=1");
    CacheSettingsModel model;
    model.Load(file);
    EXPECT_EQ((std::vector<std::string>{model.ValueText(0), model.ValueText(1), model.ValueText(2),
                                        model.ValueText(3)}),
              (std::vector<std::string>{"128000000", "70000000", "-1294967296", "0"}));
    EXPECT_EQ(model.Total(CacheColumn::Common), 3198000000u);

    model.SetValueText(CacheSlot(CacheColumn::High, CacheCategory::SpeedTree), "1000000");
    ASSERT_TRUE(model.Save(file));
    std::string added = "\r\n[Option.Sliders]\r\n";
    for (std::string level : {"Low", "Medium", "High"}) {
        for (std::string category :
             {"Image", "Material", "Mesh", "Sound", "CollisionMesh", "Animation", "SpeedTree"}) {
            added += "ResourceCache.u32" + category + "MaxMemUsage_" + level + "=" +
                     (level + category == "HighSpeedTree" ? "1000000" : "0") + "\r\n";
        }
    }
    EXPECT_EQ(test::ReadFile(file),
              kept +
                  "Cache.SizeImage=128000000\r\ncache.sizemesh = 70000000\r\n"
                  "Cache.SizeSound=-1294967296\r\nCache.SizeMaterial=0\r\n"
                  "Cache.SizeCollisionMesh=0\r\nCache.SizeAnimation=0\r\nCache.SizeSpeedTree=0\r\n"
                  "\r\n[Game]\r\nTest=1" +
                  added + "ResourceCache.u32ImageMaxMemUsage_TextureQualityHigh=0\r\n");
}

}  // namespace
}  // namespace vk3
