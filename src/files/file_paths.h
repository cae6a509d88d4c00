#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "files/file_status.h"

namespace vk3 {

// The three configuration files of the game, fixed once at start-up.
struct InstallationPaths {
    std::filesystem::path engineConfig;  // <installation>/Ini/vkmain.ini
    std::filesystem::path debugConfig;   // <installation>/Ini/debug.ini
    std::filesystem::path userOptions;   // <documents>/veskaran3/UserOptions.ini
};

// Temporary files are named ".<name>.vk3-XXXXXX.tmp", so that those a killed save left can
// be told from anything else in the game's folders.
std::filesystem::path TemporaryBeside(const std::filesystem::path& target);
bool IsOurTemporary(std::string_view name);

// 16 hex digits of the text's FNV-1a hash: a short name for a long path, and the check that
// a small file was written whole.
std::string HexDigest(std::string_view text);

// The folder a file is in ("." for a bare name).
std::filesystem::path FolderOf(const std::filesystem::path& file);

// The folder a file is really written in: its symbolic links followed.
std::filesystem::path WrittenFolderOf(const std::filesystem::path& file);

// Follows a chain of symbolic links to the file that is really written. Fails when a link
// cannot be read or the chain does not end.
FileStatus ResolveLinks(const std::filesystem::path& path, std::filesystem::path& resolved);

}  // namespace vk3
