#pragma once

#include <filesystem>

namespace vk3 {

// Finds a path the way Windows would open it, for games that write "INI\VKMAIN.INI" or
// "SteamApps" in any case: each component by its exact name, else the entry of its folder
// that matches without regard to ASCII case (the first in sorted order when several do).
// From the first component that is not there on, the rest stays as given, so that a new
// file gets the program's case inside folders that exist in whatever case. The path comes
// back unchanged when nothing needed a different case, and always on Windows.
std::filesystem::path ResolvePathCase(const std::filesystem::path& path);

// Whether the path, resolved as above, is a regular file (a link to one counts).
bool IsFileIgnoringCase(const std::filesystem::path& path);

}  // namespace vk3
