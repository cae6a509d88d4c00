#include "cache_dialog/cache_settings_model.h"

#include <algorithm>
#include <cmath>

#include "text/number_text.h"

namespace vk3 {

namespace {

constexpr double kLargestBudget = 4294967295.0;
constexpr std::array<std::string_view, kCacheCategoryCount> kCategoryNames = {
    "Image", "Mesh", "Sound", "Material", "CollisionMesh", "Animation", "SpeedTree"};
constexpr std::array<CacheColumn, 3> kLevelColumns = {CacheColumn::Low, CacheColumn::Medium,
                                                      CacheColumn::High};
constexpr NumberGrammar kPercentage{.fraction = true};

// The budget the game reads from a text: its integer reading, taken as unsigned 32 bits.
std::uint32_t BudgetOf(std::string_view text) {
    return static_cast<std::uint32_t>(ParseInt(text));
}

}  // namespace

std::array<std::size_t, kCacheSlotCount> CacheSlotsInTabOrder() {
    std::array<std::size_t, kCacheSlotCount> order{};
    for (std::size_t i = 0; i < kCacheSlotCount; ++i) {
        order[i] = i < kCacheCategoryCount    ? i
                   : i == kCacheCategoryCount ? kTextureQualityHighSlot
                                              : i - 1;
    }
    return order;
}

std::string CacheSlotName(std::size_t slot) {
    if (slot == kTextureQualityHighSlot) {
        return "cacheHighQualityTextures";
    }
    return "cache" + std::string(kCategoryNames[slot % kCacheCategoryCount]) +
           std::string(kCacheColumns[slot / kCacheCategoryCount].second);
}

CacheSettingsModel::CacheSettingsModel() {
    for (std::size_t slot = 0; slot < kCacheSlotCount; ++slot) {
        rowOfSlot_[slot] = binder_.Row(CacheSlotName(slot) + "Edit");
    }
    modifyTexts_.fill("0");
    RefreshAll();
}

std::size_t CacheSettingsModel::SlotOf(std::size_t row) const {
    return static_cast<std::size_t>(std::find(rowOfSlot_.begin(), rowOfSlot_.end(), row) -
                                    rowOfSlot_.begin());
}

SettingsResult CacheSettingsModel::Load(const InstallationPaths& paths) {
    SettingsResult result = binder_.Load(paths);
    RefreshAll();
    return result;
}

void CacheSettingsModel::SetValueText(std::size_t slot, std::string text) {
    binder_.Text(RowOf(slot)) = std::move(text);
    Refresh(slot);
}

void CacheSettingsModel::Refresh(std::size_t slot) {
    if (slot != kTextureQualityHighSlot) {
        RefreshColumn(static_cast<CacheColumn>(slot / kCacheCategoryCount));
        return;
    }
    // It counts into every level's total cache, not into the common column.
    for (CacheColumn column : kLevelColumns) {
        RefreshColumn(column);
    }
    valueLabels_[slot] = FormatMegabytes(ParseInt(ValueText(slot)));
}

void CacheSettingsModel::RefreshColumn(CacheColumn column) {
    std::uint32_t total = 0;
    for (std::size_t category = 0; category < kCacheCategoryCount; ++category) {
        const std::size_t slot = Index(column) * kCacheCategoryCount + category;
        const std::int32_t amount = ParseInt(ValueText(slot));
        total += static_cast<std::uint32_t>(amount);  // wraps modulo 2^32, as the game's sum
        valueLabels_[slot] = FormatMegabytes(amount);
    }
    totals_[Index(column)] = total;
    totalLabels_[Index(column)] = FormatMegabytes(total);
    if (column != CacheColumn::Common) {
        const std::uint32_t totalCache = BudgetOf(ValueText(kTextureQualityHighSlot)) + total;
        totalCaches_[Index(column)] = totalCache;
        totalCacheLabels_[Index(column)] = FormatMegabytes(totalCache);
    }
}

void CacheSettingsModel::RefreshAll() {
    RefreshColumn(CacheColumn::Common);
    Refresh(kTextureQualityHighSlot);
}

bool CacheSettingsModel::HoldsPercentage(const std::string& text) {
    return text.empty() || ReadTypedNumber(text, kPercentage).has_value();
}

std::string CacheSettingsModel::PercentageMessage(CacheColumn column) {
    return "please enter a percentage for \"modify, " +
           std::string(kCacheColumns[Index(column)].first) + "\".";
}

bool CacheSettingsModel::Scale(CacheColumn column, ScaleDirection direction) {
    if (!HoldsPercentage(ModifyText(column))) {
        return false;
    }
    const double change = ReadTypedNumber(ModifyText(column), kPercentage).value_or(0.0) * 0.01;
    const double factor = direction == ScaleDirection::Up ? 1.0 + change : 1.0 - change;
    for (std::size_t category = 0; category < kCacheCategoryCount; ++category) {
        std::string& text = binder_.Text(RowOf(Index(column) * kCacheCategoryCount + category));
        // Scales the budget the game reads, so that a budget shown in signed form still
        // shrinks with "-"; below zero or beyond 32 bits the game would read a wrong budget.
        const double scaled = static_cast<double>(BudgetOf(text)) * factor;
        std::uint32_t budget = 0;
        if (scaled >= kLargestBudget) {
            budget = 0xFFFFFFFFu;
        } else if (scaled > 0.0) {
            budget = static_cast<std::uint32_t>(std::llround(scaled));
        }
        text = FormatInt(static_cast<std::int32_t>(budget));  // shown signed, as loaded
    }
    RefreshColumn(column);
    return true;
}

void CacheSettingsModel::RestoreStandardValues() {
    binder_.Restore();
    RefreshAll();
}

SettingsResult CacheSettingsModel::Save(const InstallationPaths& paths) {
    std::array<std::size_t, kCacheSlotCount> order = CacheSlotsInTabOrder();
    for (std::size_t& slot : order) {
        slot = RowOf(slot);
    }
    return binder_.Save(paths, order);
}

}  // namespace vk3
