#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_binder.h"

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

// A column's group box caption and its part of the widget names ("Low" in cacheImageLowEdit).
inline constexpr std::array<std::pair<std::string_view, std::string_view>, kCacheColumnCount>
    kCacheColumns = {{{"common", "Common"},
                      {"resource cache - low", "Low"},
                      {"resource cache - medium", "Medium"},
                      {"resource cache - high", "High"}}};

// The common column, the high-quality-texture budget, then the level columns.
std::array<std::size_t, kCacheSlotCount> CacheSlotsInTabOrder();

// The stem of a budget's widget names, "cacheImageLow" in cacheImageLowEdit and
// cacheImageLowLabel.
std::string CacheSlotName(std::size_t slot);

enum class ScaleDirection { Up, Down };

// The cache arithmetic beside the budgets' binder: megabyte labels, column totals and total
// caches, kept current on every change, and the percentage scaling of a column.
class CacheSettingsModel {
public:
    CacheSettingsModel();

    SettingsBinder& Binder() { return binder_; }
    const SettingsBinder& Binder() const { return binder_; }
    std::size_t RowOf(std::size_t slot) const { return rowOfSlot_[slot]; }
    std::size_t SlotOf(std::size_t row) const;

    // Shows the stored budgets; missing ones show "0".
    SettingsResult Load(const InstallationPaths& paths);
    const std::string& ValueText(std::size_t slot) const { return binder_.Text(RowOf(slot)); }
    // A value as the user typed it.
    void SetValueText(std::size_t slot, std::string text);
    // Refreshes the slot's column, or for the high-quality-texture budget the three level
    // columns and its own label.
    void Refresh(std::size_t slot);
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
    // Empty (no change) or a decimal number, with a point or a comma.
    static bool HoldsPercentage(const std::string& text);

    // Shows the standard values; every budget is then written by a save.
    void RestoreStandardValues();

    // Checks the fields in tab order, then writes what changed.
    SettingsResult Save(const InstallationPaths& paths);

private:
    static std::size_t Index(CacheColumn column) { return static_cast<std::size_t>(column); }
    void RefreshColumn(CacheColumn column);
    void RefreshAll();

    SettingsBinder binder_{CacheSettingRows()};
    std::array<std::size_t, kCacheSlotCount> rowOfSlot_{};
    std::array<std::string, kCacheSlotCount> valueLabels_;
    std::array<std::uint32_t, kCacheColumnCount> totals_{};
    std::array<std::string, kCacheColumnCount> totalLabels_;
    std::array<std::uint32_t, kCacheColumnCount> totalCaches_{};
    std::array<std::string, kCacheColumnCount> totalCacheLabels_;
    std::array<std::string, kCacheColumnCount> modifyTexts_;
};

}  // namespace vk3
