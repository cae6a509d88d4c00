#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk3 {

// What a file dialog offers: one filter entry ("executable (*.exe)" with "*.exe").
struct FileDialogRequest {
    std::string title;              // empty: the platform's own title
    std::string filterDescription;  // "Veskaran III Ini BackUp (*.vib)"
    std::string filterPattern;      // "*.vib"
    std::string initialName;        // "Veskaran3.exe"; may be empty
    bool mustExist = false;         // open dialogs: only existing files can be chosen
};

// Questions, notices, errors and file choices, owned by the dialog that asks. Message boxes
// have an empty title. Tests answer through a fake.
class Prompter {
public:
    virtual ~Prompter() = default;

    // A message with only an OK button and no icon.
    virtual void Notice(std::string_view text) = 0;
    // A failure the user must know about, with an OK button and a warning icon.
    virtual void Error(std::string_view text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool AskYesNo(std::string_view question) = 0;
    // The same with No as the default button, for a question whose Yes loses something.
    virtual bool AskYesNoDefaultNo(std::string_view question) = 0;

    virtual std::optional<std::filesystem::path> ChooseFileToOpen(
        const FileDialogRequest& request) = 0;
    // Asks before an existing file is replaced.
    virtual std::optional<std::filesystem::path> ChooseFileToSave(
        const FileDialogRequest& request) = 0;

    // A folder that exists, the dialog opening on start; nothing when the user cancels.
    virtual std::optional<std::filesystem::path> ChooseFolder(
        std::string_view title, const std::filesystem::path& start) = 0;

    // The position of the item the user picks from a list, the first one preselected;
    // nothing when the user cancels.
    virtual std::optional<std::size_t> ChooseFromList(std::string_view question,
                                                      const std::vector<std::string>& items) = 0;
};

}  // namespace vk3
