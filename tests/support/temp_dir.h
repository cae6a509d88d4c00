#pragma once

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <string_view>

#include "platform/installation.h"

namespace vk3::test {

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes. Tests never touch the user's real files.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// game/Ini/vkmain.ini, game/Ini/debug.ini and docs/veskaran3/UserOptions.ini under root;
// nothing is created.
inline InstallationPaths InstallationUnder(const std::filesystem::path& root) {
    return {root / "game/Ini/vkmain.ini", root / "game/Ini/debug.ini",
            root / "docs/veskaran3/UserOptions.ini"};
}

// Writes bytes to a file, creating its folders.
void WriteFile(const std::filesystem::path& path, std::string_view bytes);
// The whole file as bytes; an empty text when it does not exist.
std::string ReadFile(const std::filesystem::path& path);
// The names of everything in a folder, so that a test sees no file is left behind.
std::set<std::string> FileNamesIn(const std::filesystem::path& folder);
// Takes every write permission away: the program treats the file as read-only even as root.
void MakeReadOnly(const std::filesystem::path& file);

#ifndef _WIN32
// Runs the action without root's right to read and write any file, so that file modes hold
// for it even when the tests run as root.
void RunBoundByFileModes(const std::function<void()>& action);
#endif

}  // namespace vk3::test
