#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "files/file_paths.h"
#include "files/file_status.h"
#include "profile/profile_store.h"
#include "settings/setting_rows.h"
#include "settings/vocabulary.h"

namespace vk3 {

// What a dialog's load or save came to: a value that cannot be stored (nothing was written
// then), or the files that could not be read or written.
struct SettingsResult {
    std::optional<std::size_t> invalidRow;
    std::vector<FileStatus> failures;

    bool ok() const { return !invalidRow && failures.empty(); }
};

// The values of a dialog's settings as its controls hold them, and how each is loaded,
// checked, restored and saved: the rules every dialog shares, read from its rows.
class SettingsBinder {
public:
    // A resolution list is filled with the display's modes; with none it shows what is
    // stored, alone.
    explicit SettingsBinder(std::span<const SettingRow> rows,
                            std::vector<std::string> resolutionEntries = {});

    std::span<const SettingRow> Rows() const { return rows_; }
    std::size_t Row(std::string_view objectName) const { return RowIndex(rows_, objectName); }

    // A number field's text as typed; a list's items and selection.
    std::string& Text(std::size_t row) { return values_[row].text; }
    const std::string& Text(std::size_t row) const { return values_[row].text; }
    ListState& List(std::size_t row) { return values_[row].list; }
    const ListState& List(std::size_t row) const { return values_[row].list; }
    // The field's text or the selected item.
    std::string Shown(std::size_t row) const;

    // Shows what the files hold, each file read once; writes nothing. A stored value that
    // selects no item keeps the list's selection. A file that is there but cannot be read
    // is reported, and its values count as unknown: a save writes only what was changed.
    SettingsResult Load(const InstallationPaths& paths);

    // Whether a number field's text can be stored; a list always can.
    static bool Holds(ValueKind kind, const std::string& text);
    // The first value, in the given order of rows (else the table's), that cannot be stored.
    std::optional<std::size_t> FirstInvalid(std::span<const std::size_t> order = {}) const;
    // "please enter a number for "view range physics"."
    std::string InvalidMessage(std::size_t row) const;
    // "default: medium", "standard: 6000.0"
    static std::string Hint(const SettingRow& row);

    // Shows every restore value; each is then written by a save.
    void Restore();
    // Whether a control shows something other than what was loaded or last saved, or was
    // restored since.
    bool Changed(std::size_t row) const;
    bool HasUnsavedChanges() const;

    // The keys a save writes, in the game's form, per file in the order the rows first name
    // the files: those missing from their file, restored, or changed. A list that selects
    // nothing writes nothing; every other key keeps its stored text.
    std::vector<ProfileFileWrites> Writes(const InstallationPaths& paths) const;
    // Takes what the controls show as what the files hold.
    void Saved();
    // Refuses while a value cannot be stored (in the given order); else writes its files
    // together, or none of them.
    SettingsResult Save(const InstallationPaths& paths, std::span<const std::size_t> order = {});

private:
    struct Value {
        std::string text;
        ListState list;
        bool present = false;  // every key was in its file, or the file could not be read
        bool restored = false;
        // What the control showed after the last load or save.
        std::string loadedText;
        int loadedSelection = -1;
    };
    // Shows a value in the form the game stores it ("2", "1_4", "true", "-300.0").
    void ShowStored(std::size_t row, std::string_view stored);
    std::string StoredForm(std::size_t row) const;
    void RememberShown();

    std::span<const SettingRow> rows_;
    std::vector<Value> values_;
    bool modesListed_;
};

// The path of a settings file.
const std::filesystem::path& PathOf(const InstallationPaths& paths, SettingFile file);

}  // namespace vk3
