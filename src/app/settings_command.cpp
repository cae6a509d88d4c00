#include "app/settings_command.h"

#include <algorithm>
#include <cstdint>

#include "profile/profile_store.h"
#include "settings/catalogue.h"
#include "settings/resolution.h"
#include "text/ascii_text.h"
#include "text/number_text.h"

namespace vk3 {

namespace {

constexpr std::array<std::string_view, kSettingsDialogCount> kDialogNames = {"main", "cache",
                                                                             "other"};

std::size_t Index(SettingsDialog dialog) {
    return static_cast<std::size_t>(dialog);
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string ChoicesText(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) {
        text += (text.empty() ? "" : ", ") + Quoted(item);
    }
    return text;
}

// Digits without a leading zero, from 1 to 2147483647: a width, height or rate the game's
// 32-bit keys hold.
std::optional<std::int32_t> PositiveNumber(std::string_view text) {
    if (text.empty() || text.size() > 10 || text.front() == '0' || !IsDigitText(text)) {
        return std::nullopt;
    }
    const std::int64_t value = std::stoll(std::string(text));
    if (value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

bool EndsInHz(std::string_view text) {
    return text.size() >= 2 && EqualIgnoringAsciiCase(text.substr(text.size() - 2), "hz");
}

// "1920x1080@60" or "1920x1080@60Hz" as the entry the resolution list holds; nothing for
// a mode the game cannot take (the list never offers one narrower than 640).
std::optional<std::string> ResolutionEntryOf(std::string_view text) {
    if (EndsInHz(text)) {
        text.remove_suffix(2);
    }
    const std::size_t x = text.find('x');
    const std::size_t at = text.find('@');
    if (x == std::string_view::npos || at == std::string_view::npos || at < x) {
        return std::nullopt;
    }
    const auto width = PositiveNumber(text.substr(0, x));
    const auto height = PositiveNumber(text.substr(x + 1, at - x - 1));
    const auto rate = PositiveNumber(text.substr(at + 1));
    if (!width || !height || !rate || *width < 640) {
        return std::nullopt;
    }
    return ResolutionEntry(*width, *height, *rate);
}

const std::filesystem::path& PathOf(const InstallationPaths& paths, ConfigFile file) {
    return file == ConfigFile::UserOptions ? paths.userOptions : paths.engineConfig;
}

const std::filesystem::path& PathOf(const InstallationPaths& paths, OtherFile file) {
    return file == OtherFile::Engine ? paths.engineConfig : paths.debugConfig;
}

// The keys of a setting with the files' paths, before their stored texts are read.
std::vector<StoredKey> KeysOf(const CommandSetting& setting, const InstallationPaths& paths) {
    std::vector<StoredKey> keys;
    const auto add = [&](const std::filesystem::path& file, std::string_view section,
                         std::string_view key) {
        keys.push_back({file, std::string(section), std::string(key), std::nullopt});
    };
    switch (setting.dialog) {
        case SettingsDialog::Main:
            for (const SettingKey& key : MainSettingCatalogue()) {
                if (static_cast<std::size_t>(key.control) == setting.control) {
                    add(PathOf(paths, key.file), key.section, key.key);
                }
            }
            break;
        case SettingsDialog::Cache:
            for (const CacheSetting& budget : kCacheSettings) {
                if (budget.slot == setting.control) {
                    add(paths.engineConfig, budget.section, budget.key);
                }
            }
            break;
        case SettingsDialog::Other: {
            const OtherSetting& other = SettingOf(static_cast<OtherControl>(setting.control));
            add(PathOf(paths, other.file), other.section, other.key);
            break;
        }
    }
    return keys;
}

// Index of the item that is the value, ignoring case; -1 for none.
int ItemIndex(const ListState& list, std::string_view value) {
    const auto found =
        std::find_if(list.items.begin(), list.items.end(),
                     [&](const std::string& item) { return EqualIgnoringAsciiCase(item, value); });
    return found == list.items.end() ? -1 : static_cast<int>(found - list.items.begin());
}

std::string Refusal(const CommandSetting& setting, std::string_view value, std::string_view why) {
    return setting.name + "=" + std::string(value) + " refused: " + std::string(why);
}

// Selects the list item the value names; refuses a value that names none.
std::string SelectItem(const CommandSetting& setting, ListState& list, const std::string& value) {
    const int index = ItemIndex(list, value);
    if (index < 0) {
        return Refusal(setting, value, "please choose one of " + ChoicesText(list.items) + ".");
    }
    list.selected = index;
    return {};
}

}  // namespace

std::string_view DialogName(SettingsDialog dialog) {
    return kDialogNames[Index(dialog)];
}

std::optional<SettingsDialog> DialogNamed(std::string_view name) {
    for (std::size_t i = 0; i < kDialogNames.size(); ++i) {
        if (EqualIgnoringAsciiCase(name, kDialogNames[i])) {
            return static_cast<SettingsDialog>(i);
        }
    }
    return std::nullopt;
}

const std::vector<CommandSetting>& CommandSettings() {
    static const std::vector<CommandSetting> settings = [] {
        std::vector<CommandSetting> all;
        for (const MainControlInfo& info : MainControls()) {
            all.push_back({std::string(info.objectName), SettingsDialog::Main,
                           static_cast<std::size_t>(info.control)});
        }
        for (std::size_t slot : CacheSlotsInTabOrder()) {
            all.push_back({CacheSlotName(slot) + "Edit", SettingsDialog::Cache, slot});
        }
        for (const OtherSetting& setting : OtherSettings()) {
            all.push_back({std::string(setting.objectName), SettingsDialog::Other,
                           static_cast<std::size_t>(setting.control)});
        }
        return all;
    }();
    return settings;
}

const CommandSetting* FindCommandSetting(std::string_view name) {
    for (const CommandSetting& setting : CommandSettings()) {
        if (EqualIgnoringAsciiCase(setting.name, name)) {
            return &setting;
        }
    }
    return nullptr;
}

std::optional<std::string> SettingReport::StoredText() const {
    std::vector<std::string> texts;
    for (const StoredKey& key : keys) {
        if (!key.stored) {
            return std::nullopt;
        }
        texts.push_back(*key.stored);
    }
    if (texts.size() == 3) {  // the resolution's width, height and refresh rate
        return texts[0] + "x" + texts[1] + "@" + texts[2] + "Hz";
    }
    return texts.empty() ? std::nullopt : std::optional<std::string>(texts.front());
}

SettingsSession::SettingsSession(InstallationPaths paths,
                                 std::vector<std::string> resolutionEntries)
    : paths_(std::move(paths)),
      modesKnown_(!resolutionEntries.empty()),
      main_(std::move(resolutionEntries)) {}

FileStatus SettingsSession::Load() {
    if (FileStatus status = main_.Load(paths_); !status) {
        return status;
    }
    if (FileStatus status = cache_.Load(paths_.engineConfig); !status) {
        return status;
    }
    const std::vector<FileStatus> failures = other_.Load(paths_);
    return failures.empty() ? FileStatus::Success() : failures.front();
}

std::vector<SettingReport> SettingsSession::Report() const {
    std::vector<SettingReport> reports;
    for (const CommandSetting& setting : CommandSettings()) {
        SettingReport report;
        report.setting = &setting;
        report.keys = KeysOf(setting, paths_);
        switch (setting.dialog) {
            case SettingsDialog::Main: {
                const auto control = static_cast<MainControl>(setting.control);
                report.caption = MainSettingsModel::CaptionText(control);
                report.isList = !IsNumberField(control);
                if (report.isList) {
                    report.shown = main_.List(control).SelectedText();
                    if (control != MainControl::Resolution || modesKnown_) {
                        report.choices = main_.List(control).items;
                    }
                } else {
                    report.shown = main_.FieldText(control);
                }
                break;
            }
            case SettingsDialog::Cache:
                report.caption = CacheFieldName(setting.control);
                report.shown = cache_.ValueText(setting.control);
                break;
            case SettingsDialog::Other: {
                const auto control = static_cast<OtherControl>(setting.control);
                const OtherSetting& other = SettingOf(control);
                report.caption =
                    WithoutColon(other.caption) + " (" + std::string(other.group) + ")";
                report.isList = other.kind == OtherKind::Switch;
                report.shown =
                    report.isList ? other_.List(control).SelectedText() : other_.FieldText(control);
                if (report.isList) {
                    report.choices = other_.List(control).items;
                }
                break;
            }
        }
        reports.push_back(std::move(report));
    }
    // The stored texts, each file read once.
    for (const std::filesystem::path& file :
         {paths_.userOptions, paths_.engineConfig, paths_.debugConfig}) {
        ProfileReader reader(file);
        for (SettingReport& report : reports) {
            for (StoredKey& key : report.keys) {
                if (key.file == file && reader.Contains(key.section, key.key)) {
                    key.stored = reader.ReadString(key.section, key.key, "");
                }
            }
        }
    }
    return reports;
}

void SettingsSession::RestoreDefaults(SettingsDialog dialog) {
    switch (dialog) {
        case SettingsDialog::Main:
            main_.RestoreDefaults();
            break;
        case SettingsDialog::Cache:
            cache_.RestoreStandardValues();
            break;
        case SettingsDialog::Other:
            other_.Restore();
            break;
    }
    touched_[Index(dialog)] = true;
}

std::string SettingsSession::Set(std::string_view assignment) {
    const std::size_t equals = assignment.find('=');
    const std::string_view name = assignment.substr(0, equals);
    const CommandSetting* setting = FindCommandSetting(name);
    if (equals == std::string_view::npos || setting == nullptr) {
        return "unknown setting " + Quoted(name) + "; vk3tune --show lists the settings.";
    }
    const std::string value(assignment.substr(equals + 1));
    std::string refusal;
    switch (setting->dialog) {
        case SettingsDialog::Main:
            refusal = SetMain(*setting, value);
            break;
        case SettingsDialog::Cache:
            refusal = SetCache(*setting, value);
            break;
        case SettingsDialog::Other:
            refusal = SetOther(*setting, value);
            break;
    }
    if (refusal.empty()) {
        touched_[Index(setting->dialog)] = true;
    }
    return refusal;
}

std::string SettingsSession::SetMain(const CommandSetting& setting, const std::string& value) {
    const auto control = static_cast<MainControl>(setting.control);
    if (control == MainControl::Resolution) {
        return SetResolution(value);
    }
    if (IsNumberField(control)) {
        main_.FieldText(control) = value;
        if (main_.FirstInvalidField() == control) {
            return Refusal(setting, value, MainSettingsModel::InvalidFieldMessage(control));
        }
        return {};
    }
    return SelectItem(setting, main_.List(control), value);
}

std::string SettingsSession::SetResolution(const std::string& value) {
    const CommandSetting& setting = *FindCommandSetting(InfoOf(MainControl::Resolution).objectName);
    ListState& list = main_.List(MainControl::Resolution);
    if (modesKnown_) {
        // Any mode the display lists, as it lists it ("1280x1024@0Hz" from some servers).
        const int index = ItemIndex(list, EndsInHz(value) ? value : value + "Hz");
        if (index < 0) {
            return Refusal(
                setting, value,
                "please choose one of the display's modes: " + ChoicesText(list.items) + ".");
        }
        list.selected = index;
    } else {
        const std::optional<std::string> entry = ResolutionEntryOf(value);
        if (!entry) {
            return Refusal(setting, value,
                           "please give WIDTHxHEIGHT@RATE, such as 1920x1080@60, at least 640 "
                           "wide.");
        }
        int index = ItemIndex(list, *entry);
        if (index < 0) {
            list.items.push_back(*entry);
            index = static_cast<int>(list.items.size()) - 1;
        }
        list.selected = index;
    }
    main_.UpdateAspectRatio();
    return {};
}

std::string SettingsSession::SetCache(const CommandSetting& setting, const std::string& value) {
    cache_.SetValueText(setting.control, value);
    if (cache_.FirstFieldWithoutNumber() == setting.control) {
        return Refusal(setting, value,
                       CacheSettingsModel::FieldWithoutNumberMessage(setting.control));
    }
    return {};
}

std::string SettingsSession::SetOther(const CommandSetting& setting, const std::string& value) {
    const auto control = static_cast<OtherControl>(setting.control);
    if (SettingOf(control).kind == OtherKind::Switch) {
        return SelectItem(setting, other_.List(control), value);
    }
    other_.FieldText(control) = value;
    if (other_.FirstInvalidField() == control) {
        return Refusal(setting, value, OtherSettingsModel::InvalidFieldMessage(control));
    }
    return {};
}

FileStatus SettingsSession::Save() {
    std::string saved;
    const auto failed = [&](FileStatus status) {
        if (!saved.empty()) {
            status.reason += "; the " + saved + " settings were saved before";
        }
        return status;
    };
    const auto done = [&](SettingsDialog dialog) {
        saved += (saved.empty() ? "" : " and ") + std::string(DialogName(dialog));
    };
    if (touched_[Index(SettingsDialog::Main)]) {
        if (FileStatus status = main_.Save(paths_); !status) {
            return failed(std::move(status));
        }
        done(SettingsDialog::Main);
    }
    if (touched_[Index(SettingsDialog::Cache)]) {
        if (FileStatus status = cache_.Save(paths_.engineConfig); !status) {
            return failed(std::move(status));
        }
        done(SettingsDialog::Cache);
    }
    if (touched_[Index(SettingsDialog::Other)]) {
        OtherSettingsModel::SaveResult result = other_.Save(paths_);
        if (result.invalidField) {
            return failed(
                FileStatus::Failure(paths_.engineConfig,
                                    OtherSettingsModel::InvalidFieldMessage(*result.invalidField)));
        }
        if (!result.failures.empty()) {
            return failed(std::move(result.failures.front()));
        }
    }
    touched_ = {};
    return FileStatus::Success();
}

}  // namespace vk3
