#include "other_dialog/other_settings_model.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "profile/profile_store.h"
#include "text/number_text.h"

namespace vk3 {

namespace {

constexpr std::string_view kSliders = "Option.Sliders";
constexpr std::string_view kEngineSetup = "Engine.Setup";
constexpr std::string_view kDefault = "default: ";
constexpr std::string_view kStandard = "standard: ";  // lower case, as the program always said

using enum OtherControl;
using enum OtherKind;
using enum OtherFile;

// clang-format off
constexpr OtherSetting kSettings[] = {
    {ObjectsLow, Engine, kSliders, "ObjectDetails.fRangedBaseLoDOffset_Low", ViewRange,
     "-300", kDefault, "-300.0", "low settings", "view range objects:", "viewRangeObjectsLowEdit"},
    {HighQualityLow, Engine, kSliders, "DistanceHigh.fFarClippingPlane_Low", ViewRange,
     "6000", kStandard, "6000.0", "low settings", "view range high quality:", "viewRangeHighQualityLowEdit"},
    {LowQualityLow, Engine, kSliders, "DistanceLow.fFarClippingPlaneLowPolyMesh_Low", ViewRange,
     "20000", kStandard, "20000.0", "low settings", "view range low quality:", "viewRangeLowQualityLowEdit"},
    {ObjectsMedium, Engine, kSliders, "ObjectDetails.fRangedBaseLoDOffset_Medium", ViewRange,
     "0", kDefault, "0.0", "medium settings", "view range objects:", "viewRangeObjectsMediumEdit"},
    {HighQualityMedium, Engine, kSliders, "DistanceHigh.fFarClippingPlane_Medium", ViewRange,
     "8000", kDefault, "8000.0", "medium settings", "view range high quality:", "viewRangeHighQualityMediumEdit"},
    {LowQualityMedium, Engine, kSliders, "DistanceLow.fFarClippingPlaneLowPolyMesh_Medium", ViewRange,
     "45000", kDefault, "45000.0", "medium settings", "view range low quality:", "viewRangeLowQualityMediumEdit"},
    {ObjectsHigh, Engine, kSliders, "ObjectDetails.fRangedBaseLoDOffset_High", ViewRange,
     "300", kDefault, "300.0", "high settings", "view range objects:", "viewRangeObjectsHighEdit"},
    {HighQualityHigh, Engine, kSliders, "DistanceHigh.fFarClippingPlane_High", ViewRange,
     "10000", kDefault, "10000.0", "high settings", "view range high quality:", "viewRangeHighQualityHighEdit"},
    {LowQualityHigh, Engine, kSliders, "DistanceLow.fFarClippingPlaneLowPolyMesh_High", ViewRange,
     "100000", kDefault, "100000.0", "high settings", "view range low quality:", "viewRangeLowQualityHighEdit"},
    {AverageFps, Engine, kEngineSetup, "FpS.Average", FramesPerSecond,
     "30", kDefault, "30.0", "FPS", "average FPS:", "averageFpsEdit"},
    {MinFps, Engine, kEngineSetup, "FpS.Min", FramesPerSecond,
     "10", kDefault, "10.0", "FPS", "min FPS:", "minFpsEdit"},
    {MaxFps, Engine, kEngineSetup, "FpS.Max", FramesPerSecond,
     "120", kDefault, "120", "FPS", "max FPS:", "maxFpsEdit"},
    {LevelOfDetail, Engine, kEngineSetup, "Render.GlobalVisualLoDFactor", DetailFactor,
     "0.01", kDefault, "0.01", "miscellaneous", "level of detail:", "levelOfDetailEdit"},
    {PlayerMemory, Debug, "PropertySets", "PlayerMemory.Enabled", Switch,
     "disabled", kDefault, "disabled", "miscellaneous", "player memory:", "playerMemoryList"},
    // The hint has always named "enabled" while restoring selects "disabled".
    {TestMode, Engine, "Game", "TestMode", Switch,
     "disabled", kDefault, "enabled", "miscellaneous", "test mode:", "testModeList"},
};
// clang-format on
static_assert(std::size(kSettings) == kOtherControlCount);

// The order in which the dialog takes its number fields, so the order in which a field
// that holds no number is reported.
constexpr OtherControl kTakeOrder[] = {ObjectsHigh,   HighQualityHigh,   LowQualityHigh,
                                       ObjectsLow,    HighQualityLow,    LowQualityLow,
                                       ObjectsMedium, HighQualityMedium, LowQualityMedium,
                                       LevelOfDetail, AverageFps,        MaxFps,
                                       MinFps};

constexpr std::int64_t kLargestUnsigned = 0xFFFFFFFF;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text without the blanks and tabs a field may hold around its number.
std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A whole number: optional sign, then digits only. Values far outside 32 bits give
// nothing rather than wrapping round.
std::optional<std::int64_t> WholeNumber(std::string_view text) {
    text = TrimBlanks(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (char c : text) {
        if (!IsDigit(c) || value > kLargestUnsigned) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

// A decimal number: optional sign, digits with at most one point (at least one digit), an
// optional exponent with digits.
bool IsDecimalNumber(std::string_view text) {
    text = TrimBlanks(text);
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    bool point = false;
    for (; i < text.size() && (IsDigit(text[i]) || (text[i] == '.' && !point)); ++i) {
        point |= text[i] == '.';
        digits += IsDigit(text[i]) ? 1 : 0;
    }
    if (digits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        const std::size_t exponentStart = i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
        }
        if (i == exponentStart) {
            return false;
        }
    }
    return i == text.size();
}

// The value a number field holds, or nothing when its text cannot be stored.
std::optional<double> FieldValue(OtherKind kind, const std::string& text) {
    if (kind == DetailFactor) {
        // A decimal comma, as many locales write it, stands for the point the game reads.
        std::string withPoint = text;
        std::replace(withPoint.begin(), withPoint.end(), ',', '.');
        if (!IsDecimalNumber(withPoint)) {
            return std::nullopt;
        }
        const double value = ParseReal(withPoint);
        if (!(std::fabs(value) <= FLT_MAX)) {
            return std::nullopt;
        }
        return static_cast<float>(value);
    }
    const std::optional<std::int64_t> value = WholeNumber(text);
    const std::int64_t lowest = kind == ViewRange ? INT32_MIN : 0;
    const std::int64_t highest = kind == ViewRange ? INT32_MAX : kLargestUnsigned;
    if (!value || *value < lowest || *value > highest) {
        return std::nullopt;
    }
    return static_cast<double>(*value);
}

// The float the game makes of a stored real: infinity beyond the float's range.
float StoredFloat(double value) {
    if (std::fabs(value) > FLT_MAX) {
        return std::signbit(value) ? -std::numeric_limits<float>::infinity()
                                   : std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

// A float with up to six significant digits, as the dialog shows it ("0.01", "1e+10").
std::string ShortFloatText(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::general, 6);
    return std::string(buffer, result.ptr);
}

int SignificantDigits(std::string_view text) {
    const std::size_t first = text.find_first_of("123456789");
    if (first == std::string_view::npos) {
        return 0;
    }
    int count = 0;
    for (std::size_t i = first; i < text.size(); ++i) {
        count += IsDigit(text[i]) ? 1 : 0;
    }
    return count;
}

// Two decimals when they read back as the same float; else the fewest decimals that do,
// up to six significant digits.
std::string LevelOfDetailText(float value) {
    constexpr int kMostDecimals = 60;  // past the smallest float's six digits
    for (int decimals = 2;; ++decimals) {
        std::string text = FormatFixed(value, decimals);
        if (static_cast<float>(ParseReal(text)) == value || SignificantDigits(text) >= 6 ||
            decimals >= kMostDecimals) {
            return text;
        }
    }
}

}  // namespace

std::span<const OtherSetting> OtherSettings() {
    return kSettings;
}

const OtherSetting& SettingOf(OtherControl control) {
    return kSettings[static_cast<std::size_t>(control)];
}

OtherSettingsModel::OtherSettingsModel() {
    for (ControlState& state : state_) {
        state.text = "0";
        state.list.items.assign(SwitchItems().begin(), SwitchItems().end());
    }
}

void OtherSettingsModel::ShowStored(const OtherSetting& setting, const std::string& stored) {
    ControlState& state = state_[Slot(setting.control)];
    switch (setting.kind) {
        case ViewRange:
            state.text = FormatInt(ParseInt(stored));
            break;
        case FramesPerSecond:
            state.text = std::to_string(static_cast<std::uint32_t>(ParseInt(stored)));
            break;
        case DetailFactor:
            state.text = ShortFloatText(StoredFloat(ParseReal(stored)));
            break;
        case Switch:
            state.list.SelectByIndex(EngineValueToIndex(stored, false));
            break;
    }
}

std::vector<FileStatus> OtherSettingsModel::Load(const InstallationPaths& paths) {
    ProfileReader engine(paths.engineConfig);
    ProfileReader debug(paths.debugConfig);
    for (const OtherSetting& setting : kSettings) {
        ProfileReader& reader = setting.file == Engine ? engine : debug;
        const std::string_view missing = setting.kind == Switch         ? "false"
                                         : setting.kind == DetailFactor ? "0.01"
                                                                        : "0";
        ShowStored(setting, reader.ReadString(setting.section, setting.key, missing));
        ControlState& state = state_[Slot(setting.control)];
        // Unknown, not missing, when the file could not be read: only a change is written.
        state.present = !reader.status() || reader.Contains(setting.section, setting.key);
        state.loadedShown = Shown(setting).value_or("");
        state.restored = false;
    }
    std::vector<FileStatus> failures;
    for (const ProfileReader* reader : {&engine, &debug}) {
        if (!reader->status()) {
            failures.push_back(reader->status());
        }
    }
    return failures;
}

std::optional<std::string> OtherSettingsModel::Shown(const OtherSetting& setting) const {
    const ControlState& state = state_[Slot(setting.control)];
    if (setting.kind == Switch) {
        return state.list.SelectedText();
    }
    const std::optional<double> value = FieldValue(setting.kind, state.text);
    if (!value) {
        return std::nullopt;
    }
    if (setting.kind == DetailFactor) {
        return ShortFloatText(static_cast<float>(*value));
    }
    return std::to_string(static_cast<std::int64_t>(*value));
}

std::string OtherSettingsModel::StoredForm(const OtherSetting& setting) const {
    const ControlState& state = state_[Slot(setting.control)];
    if (setting.kind == Switch) {
        return std::string(ItemToEngineValue(state.list.SelectedText()));
    }
    const double value = FieldValue(setting.kind, state.text).value_or(0.0);
    if (setting.kind == DetailFactor) {
        return LevelOfDetailText(static_cast<float>(value));
    }
    return FormatFixed1(value);
}

bool OtherSettingsModel::FieldHoldsValue(OtherControl control, const std::string& text) {
    const OtherKind kind = SettingOf(control).kind;
    return kind == Switch || FieldValue(kind, text).has_value();
}

std::optional<OtherControl> OtherSettingsModel::FirstInvalidField() const {
    for (OtherControl control : kTakeOrder) {
        if (!Shown(SettingOf(control))) {
            return control;
        }
    }
    return std::nullopt;
}

std::string OtherSettingsModel::InvalidFieldMessage(OtherControl control) {
    const OtherSetting& setting = SettingOf(control);
    std::string_view caption = setting.caption;
    caption.remove_suffix(1);  // the colon
    const std::string field =
        "\"" + std::string(caption) + "\" (" + std::string(setting.group) + ")";
    switch (setting.kind) {
        case ViewRange:
            return "please enter a whole number from -2147483648 to 2147483647 for " + field + ".";
        case FramesPerSecond:
            return "please enter a whole number from 0 to 4294967295 for " + field + ".";
        default:
            return "please enter a number such as 0.01 for " + field + ".";
    }
}

OtherSettingsModel::SaveResult OtherSettingsModel::Save(const InstallationPaths& paths) {
    SaveResult result{FirstInvalidField(), {}};
    if (result.invalidField) {
        return result;
    }
    // Both files change together or neither does; a file with nothing to write is left alone.
    std::vector<ProfileFileWrites> files;
    for (const OtherFile file : {Engine, Debug}) {
        ProfileFileWrites batch{file == Engine ? paths.engineConfig : paths.debugConfig, {}};
        for (const OtherSetting& setting : kSettings) {
            const ControlState& state = state_[Slot(setting.control)];
            if (setting.file == file && (!state.present || Changed(setting))) {
                batch.writes.push_back(
                    {std::string(setting.section), std::string(setting.key), StoredForm(setting)});
            }
        }
        files.push_back(std::move(batch));
    }
    if (FileStatus status = WriteProfileFiles(files); !status) {
        result.failures.push_back(std::move(status));
        return result;
    }
    // What the files hold now is the new starting point of this dialog's changes.
    for (const OtherSetting& setting : kSettings) {
        ControlState& state = state_[Slot(setting.control)];
        state.present = true;
        state.loadedShown = *Shown(setting);
        state.restored = false;
    }
    return result;
}

bool OtherSettingsModel::Changed(const OtherSetting& setting) const {
    const ControlState& state = state_[Slot(setting.control)];
    return state.restored || Shown(setting) != state.loadedShown;
}

bool OtherSettingsModel::HasUnsavedChanges() const {
    for (const OtherSetting& setting : kSettings) {
        if (Changed(setting)) {
            return true;
        }
    }
    return false;
}

void OtherSettingsModel::Restore() {
    for (const OtherSetting& setting : kSettings) {
        ControlState& state = state_[Slot(setting.control)];
        if (setting.kind == Switch) {
            state.list.SelectByText(setting.restoreValue);
        } else {
            state.text = setting.restoreValue;
        }
        state.restored = true;
    }
}

}  // namespace vk3
