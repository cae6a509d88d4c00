#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/installation.h"

namespace vk3 {

class InstallationRecord;
class Prompter;

// Folders given on the command line; they win over the record and the documents folder.
struct LocatorOverrides {
    std::optional<std::string> installDir;
    std::optional<std::string> documentsDir;
};

inline constexpr const char* kNoInstallationMessage =
    "no Veskaran 3 - Installation found!\n\nplease find \"veskaran3.exe\"";
inline constexpr const char* kInvalidPathMessage = "invalid path!";

// Finds the game's installation: the override, else the recorded folder, else the user
// picks the game's executable, which is then checked and recorded. Nothing when the user
// cancels or picks a folder without the engine configuration file: the program then ends.
// documentsFolder is empty when the system has none; the user options path then starts
// with a separator, as it always has.
std::optional<InstallationPaths> LocateInstallation(Prompter& prompter, InstallationRecord& record,
                                                    const std::string& documentsFolder,
                                                    const LocatorOverrides& overrides = {});

}  // namespace vk3
