#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vk3 {

// The three configuration files of the game, fixed once at start-up.
struct InstallationPaths {
    std::filesystem::path engineConfig;  // <installation>/Ini/vkmain.ini
    std::filesystem::path debugConfig;   // <installation>/Ini/debug.ini
    std::filesystem::path userOptions;   // <documents>/veskaran3/UserOptions.ini
};

// Joins a folder and a relative part ("Ini/vkmain.ini") with the platform's separator, as
// text: a folder that ends in a separator gives a doubled one, which works as it is.
std::filesystem::path JoinPath(std::string_view folder, std::string_view relative);

// The folder of a path: the text before its last separator (on Windows both separators
// count); a path without a separator stays whole.
std::string ParentFolderText(std::string_view path);

// <folder of the engine configuration file>/logo.ini, found without regard to case
std::filesystem::path StartLogoFile(const InstallationPaths& paths);

}  // namespace vk3
