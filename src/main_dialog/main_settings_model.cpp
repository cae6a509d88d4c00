#include "main_dialog/main_settings_model.h"

#include <cfloat>
#include <cstdint>

#include "profile/profile_store.h"
#include "settings/number_text.h"
#include "settings/resolution.h"

namespace vk3 {

namespace {

constexpr std::uint64_t kLargestCount = 0xFFFFFFFFu;

bool IsWholeNumberText(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// The value a number field holds, as the dialog keeps it: a float for distances, an
// unsigned 32-bit number for counts. Nothing when the text cannot be stored.
std::optional<float> DistanceValue(const std::string& text) {
    if (!IsWholeNumberText(text)) {
        return std::nullopt;
    }
    const double value = ParseReal(text);
    if (value > FLT_MAX) {
        return std::nullopt;
    }
    return static_cast<float>(value);
}

std::optional<std::uint32_t> CountValue(const std::string& text) {
    if (!IsWholeNumberText(text)) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : text) {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > kLargestCount) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace

MainSettingsModel::MainSettingsModel(std::vector<std::string> resolutionEntries) {
    for (const MainControlInfo& info : MainControls()) {
        if (IsNumberField(info.control)) {
            FieldText(info.control).assign(1, '0');
        } else if (info.kind == SettingKind::Resolution) {
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

void MainSettingsModel::Load(const InstallationPaths& paths) {
    const ProfileReader userOptions(paths.userOptions);
    const ProfileReader engine(paths.engineConfig);
    std::vector<std::string> resolution;
    for (const SettingKey& key : MainSettingCatalogue()) {
        const ProfileReader& reader = key.file == ConfigFile::UserOptions ? userOptions : engine;
        if (InfoOf(key.control).kind == SettingKind::Resolution) {
            // Width, height and refresh rate, read as signed numbers.
            const auto number = static_cast<std::int32_t>(
                reader.ReadInt(key.section, key.key, ParseInt(key.missing)));
            resolution.push_back(FormatInt(number));
        } else {
            ShowStoredValue(key.control, reader.ReadString(key.section, key.key, key.missing));
        }
    }
    if (resolution.size() == 3) {
        ShowStoredValue(MainControl::Resolution,
                        resolution[0] + "x" + resolution[1] + "@" + resolution[2] + "Hz");
    }
    UpdateAspectRatio();
}

std::optional<MainControl> MainSettingsModel::FirstInvalidField() const {
    for (const MainControlInfo& info : MainControls()) {
        const std::string& text = FieldText(info.control);
        if ((info.kind == SettingKind::Distance && !DistanceValue(text)) ||
            (info.kind == SettingKind::Count && !CountValue(text))) {
            return info.control;
        }
    }
    return std::nullopt;
}

std::string MainSettingsModel::InvalidFieldMessage(MainControl control) {
    std::string caption(InfoOf(control).caption);
    if (!caption.empty() && caption.back() == ':') {
        caption.pop_back();
    }
    if (InfoOf(control).kind == SettingKind::Count) {
        return "please enter a whole number from 0 to 4294967295 for \"" + caption + "\".";
    }
    return "please enter a number for \"" + caption + "\".";
}

std::vector<FileStatus> MainSettingsModel::Save(const InstallationPaths& paths) {
    std::vector<ProfileWrite> userOptionsWrites;
    std::vector<ProfileWrite> engineWrites;

    ListState& resolution = List(MainControl::Resolution);
    std::optional<ResolutionParts> parts;
    if (!resolution.items.empty()) {
        if (resolution.selected < 0) {
            resolution.SelectByIndex(0);
        }
        parts = SplitResolutionEntry(resolution.SelectedText());
    }

    int resolutionKey = 0;
    for (const SettingKey& key : MainSettingCatalogue()) {
        std::vector<ProfileWrite>& writes =
            key.file == ConfigFile::UserOptions ? userOptionsWrites : engineWrites;
        if (InfoOf(key.control).kind != SettingKind::Resolution) {
            writes.push_back(
                {std::string(key.section), std::string(key.key), StoredValue(key.control)});
            continue;
        }
        // Width, height and refresh rate, as the digit texts of the chosen entry.
        if (parts) {
            const std::string* values[] = {&parts->width, &parts->height, &parts->refreshRate};
            writes.push_back(
                {std::string(key.section), std::string(key.key), *values[resolutionKey]});
        }
        ++resolutionKey;
    }

    std::vector<FileStatus> failures;
    for (const auto& [file, writes] : {std::pair{&paths.userOptions, &userOptionsWrites},
                                       std::pair{&paths.engineConfig, &engineWrites}}) {
        if (FileStatus status = WriteProfileStrings(*file, *writes); !status) {
            failures.push_back(std::move(status));
        }
    }
    return failures;
}

void MainSettingsModel::RestoreDefaults() {
    for (const MainControlInfo& info : MainControls()) {
        ShowStoredValue(info.control, std::string(info.restoreValue));
    }
    UpdateAspectRatio();
}

void MainSettingsModel::UpdateAspectRatio() {
    if (const auto ratio = AspectRatioOf(List(MainControl::Resolution).SelectedText())) {
        aspectRatioText_ = *ratio;
    }
}

}  // namespace vk3
