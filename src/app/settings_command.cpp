#include "app/settings_command.h"

#include <algorithm>
#include <cstdint>

#include "profile/profile_store.h"
#include "settings/resolution.h"
#include "text/ascii_text.h"
#include "text/number_text.h"

namespace vk3 {

namespace {

constexpr std::array<std::string_view, kSettingsDialogCount> kDialogNames = {"main", "cache",
                                                                             "other"};

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
    const std::optional<double> value = ReadTypedNumber(text, {});
    if (!value || text.front() == '0' || *value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*value);
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

std::span<const SettingRow> RowsOf(SettingsDialog dialog) {
    switch (dialog) {
        case SettingsDialog::Main:
            return MainSettingRows();
        case SettingsDialog::Cache:
            return CacheSettingRows();
        default:
            return OtherSettingRows();
    }
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
    return kDialogNames[static_cast<std::size_t>(dialog)];
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
        const auto add = [&](SettingsDialog dialog, std::size_t row) {
            all.push_back({std::string(RowsOf(dialog)[row].objectName), dialog, row});
        };
        for (std::size_t row = 0; row < MainSettingRows().size(); ++row) {
            add(SettingsDialog::Main, row);
        }
        for (std::size_t slot : CacheSlotsInTabOrder()) {
            add(SettingsDialog::Cache, RowIndex(CacheSettingRows(), CacheSlotName(slot) + "Edit"));
        }
        for (std::size_t row = 0; row < OtherSettingRows().size(); ++row) {
            add(SettingsDialog::Other, row);
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
    for (const SettingsResult& result :
         {main_.Load(paths_), cache_.Load(paths_), other_.Load(paths_)}) {
        if (!result.failures.empty()) {
            return result.failures.front();
        }
    }
    return FileStatus::Success();
}

std::vector<SettingReport> SettingsSession::Report() const {
    std::vector<SettingReport> reports;
    for (const CommandSetting& setting : CommandSettings()) {
        const SettingsBinder& binder = Binder(setting.dialog);
        const SettingRow& row = binder.Rows()[setting.row];
        SettingReport report;
        report.setting = &setting;
        report.caption = SettingName(row);
        report.shown = binder.Shown(setting.row);
        report.isList = IsList(row.kind);
        if (report.isList && (row.kind != ValueKind::Resolution || modesKnown_)) {
            report.choices = binder.List(setting.row).items;
        }
        for (std::size_t key = 0; key < row.KeyCount(); ++key) {
            report.keys.push_back({PathOf(paths_, row.file), std::string(row.section),
                                   std::string(row.keys[key]), std::nullopt});
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
    if (dialog == SettingsDialog::Main) {
        main_.RestoreDefaults();
    } else if (dialog == SettingsDialog::Cache) {
        cache_.RestoreStandardValues();
    } else {
        other_.Restore();
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
    SettingsBinder& binder = Binder(setting->dialog);
    const ValueKind kind = binder.Rows()[setting->row].kind;
    std::string refusal;
    if (kind == ValueKind::Resolution) {
        refusal = SetResolution(*setting, value);
    } else if (IsList(kind)) {
        refusal = SelectItem(*setting, binder.List(setting->row), value);
    } else if (!SettingsBinder::Holds(kind, value)) {
        refusal = Refusal(*setting, value, binder.InvalidMessage(setting->row));
    } else {
        binder.Text(setting->row) = value;
    }
    if (refusal.empty()) {
        touched_[Index(setting->dialog)] = true;
    }
    return refusal;
}

std::string SettingsSession::SetResolution(const CommandSetting& setting,
                                           const std::string& value) {
    ListState& list = main_.Binder().List(setting.row);
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

FileStatus SettingsSession::Save() {
    // The files of every changed dialog, each with the writes of all of them.
    std::vector<ProfileFileWrites> files;
    for (std::size_t i = 0; i < kSettingsDialogCount; ++i) {
        if (!touched_[i]) {
            continue;
        }
        const SettingsBinder& binder = Binder(static_cast<SettingsDialog>(i));
        if (const std::optional<std::size_t> invalid = binder.FirstInvalid()) {
            return FileStatus::Failure(PathOf(paths_, binder.Rows()[*invalid].file),
                                       binder.InvalidMessage(*invalid));
        }
        for (ProfileFileWrites& batch : binder.Writes(paths_)) {
            auto same = std::find_if(
                files.begin(), files.end(),
                [&](const ProfileFileWrites& file) { return file.file == batch.file; });
            if (same == files.end()) {
                files.push_back(std::move(batch));
            } else {
                same->writes.insert(same->writes.end(), batch.writes.begin(), batch.writes.end());
            }
        }
    }
    if (FileStatus status = WriteProfileFiles(files); !status) {
        return status;
    }
    for (std::size_t i = 0; i < kSettingsDialogCount; ++i) {
        if (touched_[i]) {
            Binder(static_cast<SettingsDialog>(i)).Saved();
        }
    }
    touched_ = {};
    return FileStatus::Success();
}

}  // namespace vk3
