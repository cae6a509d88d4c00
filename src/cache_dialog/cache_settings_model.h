#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "files/file_system.h"

namespace vk3 {

// The engine's resource cache budgets: a common column of general cache sizes and one column
// per cache level, seven categories each, plus the image budget for high-quality textures.
enum class CacheColumn { Common, Low, Medium, High };
enum class CacheCategory { Image, Mesh, Sound, Material, CollisionMesh, Animation, SpeedTree };

inline constexpr std::size_t kCacheColumnCount = 4;
inline constexpr std::size_t kCacheCategoryCount = 7;

// Every budget has a slot: column by column in screen order, then the high-quality-texture
// budget last.
inline constexpr std::size_t kTextureQualityHighSlot = kCacheColumnCount * kCacheCategoryCount;
inline constexpr std::size_t kCacheSlotCount = kTextureQualityHighSlot + 1;

constexpr std::size_t CacheSlot(CacheColumn column, CacheCategory category) {
    return static_cast<std::size_t>(column) * kCacheCategoryCount +
           static_cast<std::size_t>(category);
}

struct CacheColumnInfo {
    CacheColumn column;
    std::string_view caption;  // of its group box
    std::string_view name;     // its part of the widget names: "Low" in cacheImageLowEdit
};

struct CacheCategoryInfo {
    CacheCategory category;
    std::string_view caption;
    std::string_view name;
};

inline constexpr std::array<CacheColumnInfo, kCacheColumnCount> kCacheColumns = {{
    {CacheColumn::Common, "common", "Common"},
    {CacheColumn::Low, "resource cache - low", "Low"},
    {CacheColumn::Medium, "resource cache - medium", "Medium"},
    {CacheColumn::High, "resource cache - high", "High"},
}};

inline constexpr std::array<CacheCategoryInfo, kCacheCategoryCount> kCacheCategories = {{
    {CacheCategory::Image, "image:", "Image"},
    {CacheCategory::Mesh, "mesh:", "Mesh"},
    {CacheCategory::Sound, "sound:", "Sound"},
    {CacheCategory::Material, "material:", "Material"},
    {CacheCategory::CollisionMesh, "collision mesh:", "CollisionMesh"},
    {CacheCategory::Animation, "animation:", "Animation"},
    {CacheCategory::SpeedTree, "speed tree:", "SpeedTree"},
}};

inline constexpr std::string_view kTextureQualityHighCaption = "high quality textures:";

// One budget in the engine configuration file. The standard value is what restoring puts
// back and what the field's hint announces.
struct CacheSetting {
    std::size_t slot;
    std::string_view section;
    std::string_view key;
    std::string_view standard;
};

// In the order the budgets are written, which is also the order new keys are appended in.
inline constexpr std::array<CacheSetting, kCacheSlotCount> kCacheSettings = {{
    // clang-format off
    {CacheSlot(CacheColumn::Common, CacheCategory::Image),         "Engine.Setup", "Cache.SizeImage",         "128000000"},
    {CacheSlot(CacheColumn::Common, CacheCategory::Material),      "Engine.Setup", "Cache.SizeMaterial",      "40000000"},
    {CacheSlot(CacheColumn::Common, CacheCategory::Mesh),          "Engine.Setup", "Cache.SizeMesh",          "70000000"},
    {CacheSlot(CacheColumn::Common, CacheCategory::Sound),         "Engine.Setup", "Cache.SizeSound",         "80000000"},
    {CacheSlot(CacheColumn::Common, CacheCategory::CollisionMesh), "Engine.Setup", "Cache.SizeCollisionMesh", "40000000"},
    {CacheSlot(CacheColumn::Common, CacheCategory::Animation),     "Engine.Setup", "Cache.SizeAnimation",     "40000000"},
    {CacheSlot(CacheColumn::Common, CacheCategory::SpeedTree),     "Engine.Setup", "Cache.SizeSpeedTree",     "10000000"},
    {CacheSlot(CacheColumn::Low, CacheCategory::Image),            "Option.Sliders", "ResourceCache.u32ImageMaxMemUsage_Low",            "32000000"},
    {CacheSlot(CacheColumn::Low, CacheCategory::Material),         "Option.Sliders", "ResourceCache.u32MaterialMaxMemUsage_Low",         "18000"},
    {CacheSlot(CacheColumn::Low, CacheCategory::Mesh),             "Option.Sliders", "ResourceCache.u32MeshMaxMemUsage_Low",             "30000000"},
    {CacheSlot(CacheColumn::Low, CacheCategory::Sound),            "Option.Sliders", "ResourceCache.u32SoundMaxMemUsage_Low",            "10000000"},
    {CacheSlot(CacheColumn::Low, CacheCategory::CollisionMesh),    "Option.Sliders", "ResourceCache.u32CollisionMeshMaxMemUsage_Low",    "13000000"},
    {CacheSlot(CacheColumn::Low, CacheCategory::Animation),        "Option.Sliders", "ResourceCache.u32AnimationMaxMemUsage_Low",        "25000000"},
    {CacheSlot(CacheColumn::Low, CacheCategory::SpeedTree),        "Option.Sliders", "ResourceCache.u32SpeedTreeMaxMemUsage_Low",        "500000"},
    {CacheSlot(CacheColumn::Medium, CacheCategory::Image),         "Option.Sliders", "ResourceCache.u32ImageMaxMemUsage_Medium",         "70000000"},
    {CacheSlot(CacheColumn::Medium, CacheCategory::Material),      "Option.Sliders", "ResourceCache.u32MaterialMaxMemUsage_Medium",      "20000"},
    {CacheSlot(CacheColumn::Medium, CacheCategory::Mesh),          "Option.Sliders", "ResourceCache.u32MeshMaxMemUsage_Medium",          "40000000"},
    {CacheSlot(CacheColumn::Medium, CacheCategory::Sound),         "Option.Sliders", "ResourceCache.u32SoundMaxMemUsage_Medium",         "15000000"},
    {CacheSlot(CacheColumn::Medium, CacheCategory::CollisionMesh), "Option.Sliders", "ResourceCache.u32CollisionMeshMaxMemUsage_Medium", "16000000"},
    {CacheSlot(CacheColumn::Medium, CacheCategory::Animation),     "Option.Sliders", "ResourceCache.u32AnimationMaxMemUsage_Medium",     "30000000"},
    {CacheSlot(CacheColumn::Medium, CacheCategory::SpeedTree),     "Option.Sliders", "ResourceCache.u32SpeedTreeMaxMemUsage_Medium",     "750000"},
    {CacheSlot(CacheColumn::High, CacheCategory::Image),           "Option.Sliders", "ResourceCache.u32ImageMaxMemUsage_High",           "96000000"},
    {CacheSlot(CacheColumn::High, CacheCategory::Material),        "Option.Sliders", "ResourceCache.u32MaterialMaxMemUsage_High",        "21000"},
    {CacheSlot(CacheColumn::High, CacheCategory::Mesh),            "Option.Sliders", "ResourceCache.u32MeshMaxMemUsage_High",            "96000000"},
    {CacheSlot(CacheColumn::High, CacheCategory::Sound),           "Option.Sliders", "ResourceCache.u32SoundMaxMemUsage_High",           "20000000"},
    {CacheSlot(CacheColumn::High, CacheCategory::CollisionMesh),   "Option.Sliders", "ResourceCache.u32CollisionMeshMaxMemUsage_High",   "18000000"},
    {CacheSlot(CacheColumn::High, CacheCategory::Animation),       "Option.Sliders", "ResourceCache.u32AnimationMaxMemUsage_High",       "40000000"},
    {CacheSlot(CacheColumn::High, CacheCategory::SpeedTree),       "Option.Sliders", "ResourceCache.u32SpeedTreeMaxMemUsage_High",       "1000000"},
    {kTextureQualityHighSlot, "Option.Sliders", "ResourceCache.u32ImageMaxMemUsage_TextureQualityHigh", "350000000"},
    // clang-format on
}};

// The common column, the high-quality-texture budget, then the level columns.
std::array<std::size_t, kCacheSlotCount> CacheSlotsInTabOrder();

// What a field is announced as: "image, resource cache - low", "high quality textures".
std::string CacheFieldName(std::size_t slot);

// The stem of a budget's widget names, "cacheImageLow" in cacheImageLowEdit and
// cacheImageLowLabel; the command line names a budget by its field, "cacheImageLowEdit".
std::string CacheSlotName(std::size_t slot);

enum class ScaleDirection { Up, Down };

// What the cache settings dialog shows, and how it loads, scales, restores and saves it.
// Every change keeps the megabyte labels, column totals and total caches current.
class CacheSettingsModel {
public:
    CacheSettingsModel();

    // Shows the stored budgets from one read of the file; missing ones show "0". Never
    // writes. A file that is there but cannot be read shows "0" everywhere and is reported;
    // a save then writes only what the user changed.
    FileStatus Load(const std::filesystem::path& engineConfig);

    const std::string& ValueText(std::size_t slot) const { return values_[slot]; }
    // A value as the user typed it. Refreshes its column, or for the high-quality-texture
    // budget the three level columns and its own label.
    void SetValueText(std::size_t slot, std::string text);
    const std::string& ValueLabel(std::size_t slot) const { return valueLabels_[slot]; }

    std::uint32_t Total(CacheColumn column) const { return totals_[Index(column)]; }
    const std::string& TotalLabel(CacheColumn column) const { return totalLabels_[Index(column)]; }
    // The column total plus the high-quality-texture budget; the common column has none.
    std::uint32_t TotalCache(CacheColumn column) const { return totalCaches_[Index(column)]; }
    const std::string& TotalCacheLabel(CacheColumn column) const {
        return totalCacheLabels_[Index(column)];
    }

    // The percentage "+" and "-" apply, as typed.
    std::string& ModifyText(CacheColumn column) { return modifyTexts_[Index(column)]; }
    const std::string& ModifyText(CacheColumn column) const { return modifyTexts_[Index(column)]; }

    // Multiplies every budget of the column by 1 +/- its percentage, rounded to the nearest
    // byte and kept within what the game can hold (0 to 4294967295). False, changing
    // nothing, when the percentage is no number.
    bool Scale(CacheColumn column, ScaleDirection direction);
    static std::string PercentageMessage(CacheColumn column);

    // A budget as a field takes it: digits, after a minus when it is shown signed.
    static bool HoldsBudget(const std::string& text);
    // Empty (no change) or a decimal number, with a point or a comma.
    static bool HoldsPercentage(const std::string& text);

    // Shows the standard values; every budget is then written by a save.
    void RestoreStandardValues();

    // Whether a save would write something the user changed since loading or restored.
    bool HasUnsavedChanges() const;

    // The first field, in tab order, that holds no budget: a save would store none.
    std::optional<std::size_t> FirstFieldWithoutNumber() const;
    static std::string FieldWithoutNumberMessage(std::size_t slot);

    // Writes, in one replacement of the file and in the table's order, each budget as its
    // field shows it when the key is missing, restoring set it, or its field shows something
    // other than what was loaded; every other key keeps its stored text. Nothing to write
    // leaves the file untouched.
    FileStatus Save(const std::filesystem::path& engineConfig);

private:
    static std::size_t Index(CacheColumn column) { return static_cast<std::size_t>(column); }
    void RefreshColumn(CacheColumn column);
    void RefreshTextureQualityHigh();
    void RefreshAll();
    bool Changed(std::size_t slot) const;

    // What each field showed when the file was read or last written.
    struct Loaded {
        bool present = false;  // the key was in the file, or the file could not be read
        bool restored = false;
        std::string shown;
    };

    std::array<std::string, kCacheSlotCount> values_;
    std::array<Loaded, kCacheSlotCount> loaded_{};
    std::array<std::string, kCacheSlotCount> valueLabels_;
    std::array<std::uint32_t, kCacheColumnCount> totals_{};
    std::array<std::string, kCacheColumnCount> totalLabels_;
    std::array<std::uint32_t, kCacheColumnCount> totalCaches_{};
    std::array<std::string, kCacheColumnCount> totalCacheLabels_;
    std::array<std::string, kCacheColumnCount> modifyTexts_;
};

}  // namespace vk3
