#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/installation.h"

namespace vk3 {

class InstallationFinder;
class InstallationRecord;
class Prompter;

// Folders given on the command line; they win over the record and the documents folder.
struct LocatorOverrides {
    std::optional<std::string> installDir;
    std::optional<std::string> documentsDir;
};

// Why a folder given on the command line cannot be used, in one line; empty when both can.
// A folder must exist, and an installation folder must hold Veskaran3.exe or Ini/vkmain.ini
// (in any case).
std::string CommandLineFolderProblem(const LocatorOverrides& overrides);

inline constexpr const char* kNoInstallationMessage =
    "no Veskaran 3 - Installation found!\n\nplease find \"veskaran3.exe\"";
inline constexpr const char* kInvalidPathMessage = "invalid path!";
inline constexpr const char* kChooseInstallationQuestion =
    "several Veskaran 3 - Installations found!\n\nplease choose one:";
inline constexpr const char* kChooseDocumentsQuestion =
    "this Veskaran 3 lies in no known Wine prefix.\n\nplease choose the documents folder in "
    "which the game keeps \"veskaran3\\UserOptions.ini\":";

// Asks which documents folder the game uses: first the folders in which it already keeps
// its settings (usedFolders), then the system's documents folder (when there is one), each
// once. Nothing when the user cancels.
std::optional<std::string> AskWhichDocumentsFolder(Prompter& prompter,
                                                   std::vector<std::string> usedFolders,
                                                   const std::string& systemDocuments);

// Finds the game's installation: the override, else the recorded folder, else what the
// finder discovers (the user chooses when there are several), else the user picks the
// game's executable, which is then checked and recorded. Nothing when the user cancels or
// picks a folder without the engine configuration file: the program then ends. A recorded
// folder without the engine configuration file is searched for again, except on Windows.
// The documents folder is the override, else that of the installation's prefix, else
// documentsFolder, which is empty when the system has none; the user options path then
// starts with a separator, as it always has. An executable picked outside every prefix the
// finder knows gets its documents folder from the user (AskWhichDocumentsFolder), recorded
// with it; cancelling ends the program too. Files are found without regard to case.
std::optional<InstallationPaths> LocateInstallation(Prompter& prompter, InstallationRecord& record,
                                                    const std::string& documentsFolder,
                                                    const LocatorOverrides& overrides = {},
                                                    InstallationFinder* finder = nullptr);

inline constexpr const char* kChooseDocumentsTitle =
    "choose the documents folder that holds veskaran3";

// Asks for the documents folder, the one that holds veskaran3/UserOptions.ini, the dialog
// opening on current. The veskaran3 folder itself, when picked, stands for the folder it is
// in. Nothing when the user cancels.
std::optional<std::string> AskForDocumentsFolder(Prompter& prompter, std::string_view current);

// The documents folder the user options file of these paths lies in.
std::string DocumentsFolderOf(const InstallationPaths& paths);

// Lets the user choose another documents folder for the installation of these paths and
// gives the paths with it. When record is given, the choice is recorded with the
// installation folder for the next start; a record that fails is reported. Nothing when
// the user cancels.
std::optional<InstallationPaths> ChooseDocumentsFolder(Prompter& prompter,
                                                       const InstallationPaths& paths,
                                                       InstallationRecord* record);

// "the recorded folder ... holds no Ini/vkmain.ini any more; ..."
std::string StaleRecordMessage(std::string_view recordedFolder);

}  // namespace vk3
