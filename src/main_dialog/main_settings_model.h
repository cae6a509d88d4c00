#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "platform/installation.h"
#include "settings/catalogue.h"
#include "settings/vocabulary.h"

namespace vk3 {

// What the main dialog shows, and how it is loaded, saved and restored. The view copies it
// to its widgets and back; every rule lives here.
class MainSettingsModel {
public:
    // The lists are filled from the item tables and the resolution list with the given
    // entries; nothing is selected yet and the number fields show 0.
    explicit MainSettingsModel(std::vector<std::string> resolutionEntries = {});

    ListState& List(MainControl control) { return lists_[Slot(control)]; }
    const ListState& List(MainControl control) const { return lists_[Slot(control)]; }

    // The text of a number field as the user typed it.
    std::string& FieldText(MainControl control) { return fieldTexts_[Slot(control)]; }
    const std::string& FieldText(MainControl control) const { return fieldTexts_[Slot(control)]; }

    // "4:3", "16:10", "16:9", or empty before the first resolution is chosen.
    const std::string& AspectRatioText() const { return aspectRatioText_; }

    // Shows the stored settings. Values that select nothing keep the list's selection.
    // Reads each file once and never writes. A file that is there but cannot be read shows
    // the defaults and is reported.
    FileStatus Load(const InstallationPaths& paths);

    // Whether a number field's text holds a number the field can store.
    static bool FieldHoldsValue(MainControl control, const std::string& text);
    // The first number field, in screen order, that does not hold a number it can store.
    std::optional<MainControl> FirstInvalidField() const;
    static std::string InvalidFieldMessage(MainControl control);
    // The caption without its colon: "view range physics".
    static std::string CaptionText(MainControl control);

    // Writes the settings, both files together or neither. A setting is written in the
    // game's form when its key is missing, restoring set it, or its control shows something
    // other than what was loaded; otherwise its stored text stays as it is. A list without
    // a selection writes nothing. Refuses, writing nothing, while a number field is invalid.
    FileStatus Save(const InstallationPaths& paths);

    // Sets every control to the program's default; writes nothing.
    void RestoreDefaults();

    // Whether a control shows something other than what was loaded or last saved, or was
    // restored since.
    bool HasUnsavedChanges() const;

    // Derives the aspect label from the selected resolution; with no entry selected the
    // label keeps what it showed.
    void UpdateAspectRatio();

private:
    static std::size_t Slot(MainControl control) { return static_cast<std::size_t>(control); }
    // Shows a value in the form the game stores it ("2", "1_4", "true", "3500.7").
    void ShowStoredValue(MainControl control, const std::string& stored);
    std::string StoredValue(MainControl control) const;
    // Takes what the controls show as what the files hold.
    void RememberShown();
    bool ShouldWrite(MainControl control) const;
    bool Changed(MainControl control) const;

    // What a control showed when its keys were last read or written.
    struct Snapshot {
        bool present = false;  // every key of the control was in its file
        bool restored = false;
        int selected = -1;
        std::string fieldText;
    };

    std::array<ListState, kMainControlCount> lists_;
    std::array<std::string, kMainControlCount> fieldTexts_;
    std::string aspectRatioText_;
    // False when no display mode could be listed: the resolution list then holds the stored
    // resolution alone.
    bool displayModesListed_ = true;
    std::array<Snapshot, kMainControlCount> loaded_{};
};

}  // namespace vk3
