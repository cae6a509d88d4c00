#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "files/file_paths.h"

namespace vk3 {

// Joins a folder and a relative part ("Ini/vkmain.ini") with the platform's separator, as
// text: a folder that ends in a separator gives a doubled one, which works as it is.
std::filesystem::path JoinPath(std::string_view folder, std::string_view relative);

// The folder of a path: the text before its last separator (on Windows both separators
// count); a path without a separator stays whole.
std::string ParentFolderText(std::string_view path);

// <folder of the engine configuration file>/logo.ini, found without regard to case
std::filesystem::path StartLogoFile(const InstallationPaths& paths);

}  // namespace vk3
