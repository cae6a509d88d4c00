#include "main_dialog/main_settings_model.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cstdint>

#include "profile/profile_store.h"
#include "settings/resolution.h"
#include "text/number_text.h"

namespace vk3 {

namespace {

// The value a number field holds, as the dialog keeps it: a float for distances, an
// unsigned 32-bit number for counts. Nothing when the text cannot be stored.
std::optional<float> DistanceValue(const std::string& text) {
    if (!IsDigitText(text)) {
        return std::nullopt;
    }
    const double value = ParseReal(text);
    if (value > FLT_MAX) {
        return std::nullopt;
    }
    return static_cast<float>(value);
}

std::optional<std::uint32_t> CountValue(const std::string& text) {
    std::uint32_t value = 0;
    if (!IsDigitText(text) ||
        std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc()) {
        return std::nullopt;
    }
    return value;
}

// The part of a display mode that a resolution key holds.
template <typename Parts>
auto& ResolutionPartFor(std::string_view key, Parts& parts) {
    if (key == "Resolution.Width") {
        return parts.width;
    }
    if (key == "Resolution.Height") {
        return parts.height;
    }
    return parts.refreshRate;
}

}  // namespace

MainSettingsModel::MainSettingsModel(std::vector<std::string> resolutionEntries) {
    for (const MainControlInfo& info : MainControls()) {
        if (IsNumberField(info.control)) {
            FieldText(info.control).assign(1, '0');
        } else if (info.kind == SettingKind::Resolution) {
            displayModesListed_ = !resolutionEntries.empty();
            List(info.control).items = std::move(resolutionEntries);
        } else {
            List(info.control).items = ItemsOf(info.control);
        }
    }
}

void MainSettingsModel::ShowStoredValue(MainControl control, const std::string& stored) {
    ListState& list = List(control);
    switch (InfoOf(control).kind) {
        case SettingKind::Level:
        case SettingKind::LevelOrDisabled:
            list.SelectByText(PresetLevelName(static_cast<std::uint32_t>(ParseInt(stored))));
            break;
        case SettingKind::Shader:
            // The game stores "2_0"; any second character is read as the point.
            if (stored.size() >= 2) {
                std::string item = stored;
                item[1] = '.';
                list.SelectByText(item);
            }
            break;
        case SettingKind::Index:
            list.SelectByIndex(ParseInt(stored));
            break;
        case SettingKind::Switch:
        case SettingKind::EngineLevel:
            list.SelectByIndex(EngineValueToIndex(stored, false));
            break;
        case SettingKind::Detail:
            list.SelectByIndex(EngineValueToIndex(stored, true));
            break;
        case SettingKind::Distance: {
            // Read as a whole unsigned number, kept as a float as the dialog always did.
            const auto distance = static_cast<float>(static_cast<std::uint32_t>(ParseInt(stored)));
            FieldText(control) = std::to_string(static_cast<std::uint64_t>(distance));
            break;
        }
        case SettingKind::Count:
            FieldText(control) = std::to_string(static_cast<std::uint32_t>(ParseInt(stored)));
            break;
        case SettingKind::Resolution:
            // The search starts at the second entry and takes the first one last.
            list.SelectByText(stored, 1);
            break;
    }
}

std::string MainSettingsModel::StoredValue(MainControl control) const {
    const ListState& list = List(control);
    switch (InfoOf(control).kind) {
        case SettingKind::Level:
            return FormatInt(list.selected + 1);
        case SettingKind::LevelOrDisabled:
        case SettingKind::Index:
            return FormatInt(list.selected);
        case SettingKind::Shader: {
            std::string text = list.SelectedText();
            if (text.size() >= 2) {
                text[1] = '_';
            }
            return text;
        }
        case SettingKind::Switch:
        case SettingKind::EngineLevel:
        case SettingKind::Detail:
            return std::string(ItemToEngineValue(list.SelectedText()));
        case SettingKind::Distance:
            return FormatFixed1(DistanceValue(FieldText(control)).value_or(0.0f));
        case SettingKind::Count:
            return FormatInt(static_cast<std::int32_t>(CountValue(FieldText(control)).value_or(0)));
        case SettingKind::Resolution:
            return list.SelectedText();
    }
    return {};
}

FileStatus MainSettingsModel::Load(const InstallationPaths& paths) {
    ProfileReader userOptions(paths.userOptions);
    ProfileReader engine(paths.engineConfig);
    for (Snapshot& snapshot : loaded_) {
        snapshot = Snapshot{};
        snapshot.present = true;
    }
    ResolutionParts resolution;
    for (const SettingKey& key : MainSettingCatalogue()) {
        ProfileReader& reader = key.file == ConfigFile::UserOptions ? userOptions : engine;
        // A file that could not be read holds unknown values, not missing ones: a save
        // writes only what the user changes.
        loaded_[Slot(key.control)].present &=
            !reader.status() || reader.Contains(key.section, key.key);
        if (InfoOf(key.control).kind == SettingKind::Resolution) {
            // Width, height and refresh rate, read as signed numbers.
            ResolutionPartFor(key.key, resolution) = FormatInt(static_cast<std::int32_t>(
                reader.ReadInt(key.section, key.key, ParseInt(key.missing))));
        } else {
            ShowStoredValue(key.control, reader.ReadString(key.section, key.key, key.missing));
        }
    }
    const std::string storedResolution =
        resolution.width + "x" + resolution.height + "@" + resolution.refreshRate + "Hz";
    if (!displayModesListed_) {
        // Nothing could list the modes: the stored resolution is the only entry, so that it
        // shows and a save keeps it.
        List(MainControl::Resolution) = ListState{};
        if (loaded_[Slot(MainControl::Resolution)].present) {
            List(MainControl::Resolution).items.push_back(storedResolution);
        }
    }
    ShowStoredValue(MainControl::Resolution, storedResolution);
    UpdateAspectRatio();
    RememberShown();
    return userOptions.status() ? engine.status() : userOptions.status();
}

void MainSettingsModel::RememberShown() {
    for (const MainControlInfo& info : MainControls()) {
        Snapshot& snapshot = loaded_[Slot(info.control)];
        snapshot.selected = List(info.control).selected;
        snapshot.fieldText = FieldText(info.control);
        snapshot.restored = false;
    }
}

bool MainSettingsModel::Changed(MainControl control) const {
    const Snapshot& snapshot = loaded_[Slot(control)];
    return snapshot.restored ||
           (IsNumberField(control) ? FieldText(control) != snapshot.fieldText
                                   : List(control).selected != snapshot.selected);
}

bool MainSettingsModel::ShouldWrite(MainControl control) const {
    // A list that shows nothing has no value to write.
    if (!IsNumberField(control) && List(control).selected < 0) {
        return false;
    }
    return !loaded_[Slot(control)].present || Changed(control);
}

bool MainSettingsModel::HasUnsavedChanges() const {
    for (const MainControlInfo& info : MainControls()) {
        if (Changed(info.control)) {
            return true;
        }
    }
    return false;
}

bool MainSettingsModel::FieldHoldsValue(MainControl control, const std::string& text) {
    switch (InfoOf(control).kind) {
        case SettingKind::Distance:
            return DistanceValue(text).has_value();
        case SettingKind::Count:
            return CountValue(text).has_value();
        default:
            return true;
    }
}

std::optional<MainControl> MainSettingsModel::FirstInvalidField() const {
    for (const MainControlInfo& info : MainControls()) {
        if (!FieldHoldsValue(info.control, FieldText(info.control))) {
            return info.control;
        }
    }
    return std::nullopt;
}

std::string MainSettingsModel::CaptionText(MainControl control) {
    std::string caption(InfoOf(control).caption);
    if (!caption.empty() && caption.back() == ':') {
        caption.pop_back();
    }
    return caption;
}

std::string MainSettingsModel::InvalidFieldMessage(MainControl control) {
    if (InfoOf(control).kind == SettingKind::Count) {
        return "please enter a whole number from 0 to 4294967295 for \"" + CaptionText(control) +
               "\".";
    }
    return "please enter a number for \"" + CaptionText(control) + "\".";
}

FileStatus MainSettingsModel::Save(const InstallationPaths& paths) {
    ProfileFileWrites userOptions{paths.userOptions, {}};
    ProfileFileWrites engine{paths.engineConfig, {}};
    const auto filesOf = [&](const SettingKey& key) -> ProfileFileWrites& {
        return key.file == ConfigFile::UserOptions ? userOptions : engine;
    };
    if (const std::optional<MainControl> invalid = FirstInvalidField()) {
        const SettingKey& key = *std::find_if(
            MainSettingCatalogue().begin(), MainSettingCatalogue().end(),
            [&](const SettingKey& candidate) { return candidate.control == *invalid; });
        return FileStatus::Failure(filesOf(key).file, "\"" + CaptionText(*invalid) +
                                                          "\" does not hold a number it can store");
    }
    const std::optional<ResolutionParts> resolution =
        SplitResolutionEntry(List(MainControl::Resolution).SelectedText());
    for (const SettingKey& key : MainSettingCatalogue()) {
        if (!ShouldWrite(key.control)) {
            continue;
        }
        std::string value;
        if (InfoOf(key.control).kind != SettingKind::Resolution) {
            value = StoredValue(key.control);
        } else if (resolution) {
            value = ResolutionPartFor(key.key, *resolution);
        } else {
            continue;  // an entry that is no display mode
        }
        filesOf(key).writes.push_back({std::string(key.section), std::string(key.key), value});
    }
    FileStatus status = WriteProfileFiles({userOptions, engine});
    if (status) {
        // What the files hold now is what the controls show.
        RememberShown();
        for (Snapshot& snapshot : loaded_) {
            snapshot.present = true;
        }
    }
    return status;
}

void MainSettingsModel::RestoreDefaults() {
    for (const MainControlInfo& info : MainControls()) {
        ShowStoredValue(info.control, std::string(info.restoreValue));
        loaded_[Slot(info.control)].restored = true;
    }
    UpdateAspectRatio();
}

void MainSettingsModel::UpdateAspectRatio() {
    if (const auto ratio = AspectRatioOf(List(MainControl::Resolution).SelectedText())) {
        aspectRatioText_ = *ratio;
    }
}

}  // namespace vk3
