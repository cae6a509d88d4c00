#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/installation.h"
#include "platform/file_system.h"
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
    // Reads each file once and never writes.
    void Load(const InstallationPaths& paths);

    // The first number field, in screen order, that does not hold a number it can store.
    std::optional<MainControl> FirstInvalidField() const;
    static std::string InvalidFieldMessage(MainControl control);

    // Writes every key of the catalogue, each file once. Returns the failures; empty when
    // every file was written. The number fields must be valid. An unselected resolution
    // list selects its first entry; with no entries the resolution keys stay as they are.
    std::vector<FileStatus> Save(const InstallationPaths& paths);

    // Sets every control to the program's default; writes nothing.
    void RestoreDefaults();

    // Derives the aspect label from the selected resolution; with no entry selected the
    // label keeps what it showed.
    void UpdateAspectRatio();

private:
    static std::size_t Slot(MainControl control) { return static_cast<std::size_t>(control); }
    // Shows a value in the form the game stores it ("2", "1_4", "true", "3500.7").
    void ShowStoredValue(MainControl control, const std::string& stored);
    std::string StoredValue(MainControl control) const;

    std::array<ListState, kMainControlCount> lists_;
    std::array<std::string, kMainControlCount> fieldTexts_;
    std::string aspectRatioText_;
};

}  // namespace vk3
