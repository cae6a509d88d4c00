#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_system.h"
#include "platform/installation.h"
#include "settings/vocabulary.h"

namespace vk3 {

// How a value of the other settings is read, shown, checked and stored.
enum class OtherKind {
    ViewRange,        // signed whole number; stored "-300.0"
    FramesPerSecond,  // unsigned whole number; stored "30.0"
    DetailFactor,     // 32-bit float; stored "0.01"
    Switch,           // "disabled"/"enabled" list; stored "false"/"true"
};

enum class OtherFile { Engine, Debug };

// The fifteen controls, in the order their keys are read and written.
enum class OtherControl {
    ObjectsLow,
    HighQualityLow,
    LowQualityLow,
    ObjectsMedium,
    HighQualityMedium,
    LowQualityMedium,
    ObjectsHigh,
    HighQualityHigh,
    LowQualityHigh,
    AverageFps,
    MinFps,
    MaxFps,
    LevelOfDetail,
    PlayerMemory,
    TestMode,
};
inline constexpr std::size_t kOtherControlCount = 15;

struct OtherSetting {
    OtherControl control;
    OtherFile file;
    std::string_view section;
    std::string_view key;
    OtherKind kind;
    std::string_view restoreValue;  // as the control shows it: "-300", "0.01", "disabled"
    std::string_view hintPrefix;    // "default: " or "standard: "
    std::string_view hintValue;     // "-300.0"
    std::string_view group;         // "low settings"
    std::string_view caption;       // "view range objects:"
    std::string_view objectName;    // "viewRangeObjectsLowEdit"
};

// The fifteen settings in read and write order.
std::span<const OtherSetting> OtherSettings();
const OtherSetting& SettingOf(OtherControl control);

// What the other settings dialog shows, and how it is loaded, saved and restored. A save
// keeps the stored text of every key whose control shows what it showed after loading.
class OtherSettingsModel {
public:
    OtherSettingsModel();

    // The text of a number field as the user typed it.
    std::string& FieldText(OtherControl control) { return state_[Slot(control)].text; }
    const std::string& FieldText(OtherControl control) const { return state_[Slot(control)].text; }
    ListState& List(OtherControl control) { return state_[Slot(control)].list; }
    const ListState& List(OtherControl control) const { return state_[Slot(control)].list; }

    // Reads the engine and the debug configuration file once each; writes nothing. A file
    // that is there but cannot be read shows the defaults and is reported.
    std::vector<FileStatus> Load(const InstallationPaths& paths);

    // Whether a number field's text holds a value it can store; a list always does.
    static bool FieldHoldsValue(OtherControl control, const std::string& text);
    // The first number field, in the order the dialog takes them, that holds no value it
    // can store.
    std::optional<OtherControl> FirstInvalidField() const;
    static std::string InvalidFieldMessage(OtherControl control);

    struct SaveResult {
        std::optional<OtherControl> invalidField;  // set when nothing was written for it
        std::vector<FileStatus> failures;          // the file that could not be written
    };
    // Writes the keys that are missing, restored or changed since loading: one batch per
    // file, the two files replaced together or neither; a file with nothing to write stays
    // untouched. A number field without a storable value stops the save before anything is
    // written.
    SaveResult Save(const InstallationPaths& paths);

    // Shows the program's defaults; writes nothing.
    void Restore();

    // Whether a control shows something other than what was loaded or last saved, or was
    // restored since.
    bool HasUnsavedChanges() const;

private:
    struct ControlState {
        std::string text;
        ListState list;
        bool present = false;     // the key was in its file when loaded
        std::string loadedShown;  // what the control showed right after loading
        bool restored = false;
    };
    static std::size_t Slot(OtherControl control) { return static_cast<std::size_t>(control); }
    // The value the control shows, in one form per value ("-300", "0.015", "enabled");
    // nothing when a number field holds no storable value.
    std::optional<std::string> Shown(const OtherSetting& setting) const;
    std::string StoredForm(const OtherSetting& setting) const;
    bool Changed(const OtherSetting& setting) const;
    void ShowStored(const OtherSetting& setting, const std::string& stored);

    std::array<ControlState, kOtherControlCount> state_;
};

}  // namespace vk3
