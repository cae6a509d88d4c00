#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cache_dialog/cache_settings_model.h"
#include "main_dialog/main_settings_model.h"
#include "platform/installation.h"

namespace vk3 {

// The settings of the three dialogs as the command line reads and changes them: through
// each dialog's own binder, so that a script gets exactly what the dialog would write.

enum class SettingsDialog { Main, Cache, Other };
inline constexpr std::size_t kSettingsDialogCount = 3;

// "main", "cache", "other"
std::string_view DialogName(SettingsDialog dialog);
std::optional<SettingsDialog> DialogNamed(std::string_view name);

// One setting as the command line names it: by its control's object name.
struct CommandSetting {
    std::string name;  // "textureQualityList", "cacheImageLowEdit", "averageFpsEdit"
    SettingsDialog dialog;
    std::size_t row;  // in the dialog's table
};

// Every setting of the three dialogs, dialog by dialog in their tables' order.
const std::vector<CommandSetting>& CommandSettings();
// Found without regard to case; nothing for an unknown name.
const CommandSetting* FindCommandSetting(std::string_view name);

// One stored key of a setting; no text when the file does not hold the key.
struct StoredKey {
    std::filesystem::path file;
    std::string section;
    std::string key;
    std::optional<std::string> stored;
};

// A setting as the dialog shows it and as the files hold it.
struct SettingReport {
    const CommandSetting* setting = nullptr;
    std::string caption;  // "texture quality", "view range objects, low settings"
    std::string shown;    // "medium", "3500", "1024x768@60Hz"
    bool isList = false;
    std::vector<std::string> choices;  // the list's items; the display's modes for the resolution
    std::vector<StoredKey> keys;

    // The stored text in the form the dialog shows it beside: the resolution's three keys
    // as one entry. Nothing when a key is missing.
    std::optional<std::string> StoredText() const;
};

// The three dialogs' binders over one installation.
class SettingsSession {
public:
    // resolutionEntries: the display's modes. Empty when no display can tell them: the
    // resolution then shows what is stored and takes any value the game accepts.
    SettingsSession(InstallationPaths paths, std::vector<std::string> resolutionEntries);
    SettingsSession(const SettingsSession&) = delete;  // it points into itself
    SettingsSession& operator=(const SettingsSession&) = delete;

    // Reads the three dialogs' files; a file that is there but cannot be read fails.
    FileStatus Load();

    // Every setting, in the order of CommandSettings(); reads the stored texts again.
    std::vector<SettingReport> Report() const;

    // Sets what the dialog's "restore settings" sets.
    void RestoreDefaults(SettingsDialog dialog);

    // "NAME=VALUE": gives the control the value as its widget would, and checks it as the
    // dialog does. Empty when taken, else one line naming the setting and what it accepts.
    std::string Set(std::string_view assignment);

    // Saves what the dialogs that were changed or restored would write, every file in one
    // step: all of them, or none.
    FileStatus Save();

private:
    SettingsBinder& Binder(SettingsDialog dialog) { return *binders_[Index(dialog)]; }
    const SettingsBinder& Binder(SettingsDialog dialog) const { return *binders_[Index(dialog)]; }
    static std::size_t Index(SettingsDialog dialog) { return static_cast<std::size_t>(dialog); }
    std::string SetResolution(const CommandSetting& setting, const std::string& value);

    InstallationPaths paths_;
    bool modesKnown_;
    MainSettingsModel main_;
    CacheSettingsModel cache_;
    SettingsBinder other_{OtherSettingRows()};
    std::array<SettingsBinder*, kSettingsDialogCount> binders_{&main_.Binder(), &cache_.Binder(),
                                                               &other_};
    std::array<bool, kSettingsDialogCount> touched_{};
};

}  // namespace vk3
