#include "cache_dialog/cache_settings_model.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "profile/profile_store.h"
#include "text/number_text.h"

namespace vk3 {

namespace {

constexpr double kLargestBudget = 4294967295.0;

// The budget the game reads from a text: its integer reading, taken as unsigned 32 bits.
std::uint32_t BudgetOf(std::string_view text) {
    return static_cast<std::uint32_t>(ParseInt(text));
}

// Budgets are shown as the game's signed reading of the stored 32 bits.
std::string ShownText(std::uint32_t budget) {
    return FormatInt(static_cast<std::int32_t>(budget));
}

bool IsDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The percentage with a decimal comma read as the point.
std::string PercentageText(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

constexpr std::array<CacheColumn, 3> kLevelColumns = {CacheColumn::Low, CacheColumn::Medium,
                                                      CacheColumn::High};

}  // namespace

std::array<std::size_t, kCacheSlotCount> CacheSlotsInTabOrder() {
    std::array<std::size_t, kCacheSlotCount> order{};
    for (std::size_t i = 0; i < kCacheSlotCount; ++i) {
        if (i < kCacheCategoryCount) {
            order[i] = i;
        } else if (i == kCacheCategoryCount) {
            order[i] = kTextureQualityHighSlot;
        } else {
            order[i] = i - 1;
        }
    }
    return order;
}

std::string CacheFieldName(std::size_t slot) {
    std::string_view caption = kTextureQualityHighCaption;
    std::string_view column;
    if (slot != kTextureQualityHighSlot) {
        caption = kCacheCategories[slot % kCacheCategoryCount].caption;
        column = kCacheColumns[slot / kCacheCategoryCount].caption;
    }
    std::string name(caption.substr(0, caption.size() - 1));  // without the colon
    if (!column.empty()) {
        name += ", ";
        name += column;
    }
    return name;
}

std::string CacheSlotName(std::size_t slot) {
    if (slot == kTextureQualityHighSlot) {
        return "cacheHighQualityTextures";
    }
    return "cache" + std::string(kCacheCategories[slot % kCacheCategoryCount].name) +
           std::string(kCacheColumns[slot / kCacheCategoryCount].name);
}

CacheSettingsModel::CacheSettingsModel() {
    modifyTexts_.fill("0");
    RefreshAll();
}

FileStatus CacheSettingsModel::Load(const std::filesystem::path& engineConfig) {
    ProfileReader engine(engineConfig);
    // The budgets of a file that could not be read are unknown, not missing: a save must
    // not put the zeros shown in their place.
    const bool unread = !engine.status();
    for (const CacheSetting& setting : kCacheSettings) {
        values_[setting.slot] = ShownText(engine.ReadInt(setting.section, setting.key, 0));
        loaded_[setting.slot] = {unread || engine.Contains(setting.section, setting.key), false,
                                 values_[setting.slot]};
    }
    RefreshAll();
    return engine.status();
}

void CacheSettingsModel::SetValueText(std::size_t slot, std::string text) {
    values_[slot] = std::move(text);
    if (slot == kTextureQualityHighSlot) {
        RefreshTextureQualityHigh();
    } else {
        RefreshColumn(static_cast<CacheColumn>(slot / kCacheCategoryCount));
    }
}

void CacheSettingsModel::RefreshTextureQualityHigh() {
    // It counts into every level's total cache, not into the common column.
    for (CacheColumn column : kLevelColumns) {
        RefreshColumn(column);
    }
    valueLabels_[kTextureQualityHighSlot] =
        FormatMegabytes(ParseInt(values_[kTextureQualityHighSlot]));
}

void CacheSettingsModel::RefreshColumn(CacheColumn column) {
    std::uint32_t total = 0;
    for (std::size_t category = 0; category < kCacheCategoryCount; ++category) {
        const std::size_t slot = Index(column) * kCacheCategoryCount + category;
        const std::int32_t amount = ParseInt(values_[slot]);
        total += static_cast<std::uint32_t>(amount);  // wraps modulo 2^32, as the game's sum
        valueLabels_[slot] = FormatMegabytes(amount);
    }
    totals_[Index(column)] = total;
    totalLabels_[Index(column)] = FormatMegabytes(total);
    if (column != CacheColumn::Common) {
        const std::uint32_t totalCache = BudgetOf(values_[kTextureQualityHighSlot]) + total;
        totalCaches_[Index(column)] = totalCache;
        totalCacheLabels_[Index(column)] = FormatMegabytes(totalCache);
    }
}

void CacheSettingsModel::RefreshAll() {
    RefreshColumn(CacheColumn::Common);
    RefreshTextureQualityHigh();
}

bool CacheSettingsModel::HoldsBudget(const std::string& text) {
    return IsDigits(std::string_view(text).substr(text.starts_with('-') ? 1 : 0));
}

bool CacheSettingsModel::HoldsPercentage(const std::string& text) {
    const std::string number = PercentageText(text);
    const std::size_t point = number.find('.');
    if (point == std::string::npos) {
        return number.empty() || IsDigits(number);
    }
    const std::string_view whole = std::string_view(number).substr(0, point);
    const std::string_view fraction = std::string_view(number).substr(point + 1);
    return (whole.empty() || IsDigits(whole)) && (fraction.empty() || IsDigits(fraction)) &&
           whole.size() + fraction.size() > 0;
}

std::string CacheSettingsModel::PercentageMessage(CacheColumn column) {
    return "please enter a percentage for \"modify, " +
           std::string(kCacheColumns[Index(column)].caption) + "\".";
}

bool CacheSettingsModel::Scale(CacheColumn column, ScaleDirection direction) {
    if (!HoldsPercentage(ModifyText(column))) {
        return false;
    }
    const double change = ParseReal(PercentageText(ModifyText(column))) * 0.01;
    const double factor = direction == ScaleDirection::Up ? 1.0 + change : 1.0 - change;
    for (std::size_t category = 0; category < kCacheCategoryCount; ++category) {
        std::string& text = values_[Index(column) * kCacheCategoryCount + category];
        // Scales the budget the game reads, so that a budget shown in signed form still
        // shrinks with "-"; below zero or beyond 32 bits the game would read a wrong budget.
        const double scaled = static_cast<double>(BudgetOf(text)) * factor;
        std::uint32_t budget = 0;
        if (scaled >= kLargestBudget) {
            budget = 0xFFFFFFFFu;
        } else if (scaled > 0.0) {
            budget = static_cast<std::uint32_t>(std::llround(scaled));
        }
        text = ShownText(budget);
    }
    RefreshColumn(column);
    return true;
}

void CacheSettingsModel::RestoreStandardValues() {
    for (const CacheSetting& setting : kCacheSettings) {
        values_[setting.slot] = setting.standard;
        loaded_[setting.slot].restored = true;
    }
    RefreshAll();
}

bool CacheSettingsModel::Changed(std::size_t slot) const {
    return loaded_[slot].restored || values_[slot] != loaded_[slot].shown;
}

bool CacheSettingsModel::HasUnsavedChanges() const {
    for (std::size_t slot = 0; slot < kCacheSlotCount; ++slot) {
        if (Changed(slot)) {
            return true;
        }
    }
    return false;
}

std::optional<std::size_t> CacheSettingsModel::FirstFieldWithoutNumber() const {
    for (std::size_t slot : CacheSlotsInTabOrder()) {
        if (!HoldsBudget(values_[slot])) {
            return slot;
        }
    }
    return std::nullopt;
}

std::string CacheSettingsModel::FieldWithoutNumberMessage(std::size_t slot) {
    return "please enter a number for \"" + CacheFieldName(slot) + "\".";
}

FileStatus CacheSettingsModel::Save(const std::filesystem::path& engineConfig) {
    // A budget the user left alone keeps its stored text: the game reads "3000000000" and
    // "-1294967296" as different budgets, though the field shows both alike.
    std::vector<ProfileWrite> writes;
    for (const CacheSetting& setting : kCacheSettings) {
        if (!loaded_[setting.slot].present || Changed(setting.slot)) {
            writes.push_back(
                {std::string(setting.section), std::string(setting.key), values_[setting.slot]});
        }
    }
    if (writes.empty()) {
        return FileStatus::Success();
    }
    FileStatus status = WriteProfileStrings(engineConfig, writes);
    if (status) {
        for (std::size_t slot = 0; slot < kCacheSlotCount; ++slot) {
            loaded_[slot] = {true, false, values_[slot]};
        }
    }
    return status;
}

}  // namespace vk3
