#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/installation_finder.h"

namespace vk3 {

// Where to look: the user's home and the folders the desktop names.
struct DiscoveryEnvironment {
    std::filesystem::path home;
    std::filesystem::path configHome;  // $XDG_CONFIG_HOME, else ~/.config
    std::filesystem::path dataHome;    // $XDG_DATA_HOME, else ~/.local/share
    std::filesystem::path winePrefix;  // $WINEPREFIX, else ~/.wine
    std::string userName;              // the Unix user, Wine's name for the Windows user

    static DiscoveryEnvironment FromSystem();
};

// The Linux folder of a Windows path ("C:\Games\Veskaran 3\") inside a prefix, through its
// dosdevices links (c: -> ../drive_c, z: -> /), each component matched without regard to
// case. Nothing for a path without a drive letter.
std::optional<std::filesystem::path> MapWindowsPath(const std::filesystem::path& prefix,
                                                    std::string_view windowsPath);

// The documents folder of a prefix: Personal of the Shell Folders in its user.reg, else
// that of the User Shell Folders (%USERPROFILE% expanded), else Documents (or the older
// "My Documents") of the Unix user, of steamuser, or of the only user folder there is,
// symbolic links followed. When none exists yet, the folder the game will make at its first
// start.
std::filesystem::path PrefixDocumentsFolder(const std::filesystem::path& prefix,
                                            const DiscoveryEnvironment& environment);

// What a search found: every copy of the game, each once, holding Veskaran3.exe and
// Ini/vkmain.ini, and every Wine prefix it looked into.
struct Discovery {
    std::vector<FoundInstallation> installations;
    std::vector<std::filesystem::path> prefixes;
};

// Searches Wine and winetricks prefixes, Steam libraries and the games added to Steam
// (Proton), Heroic (GOG, Epic, Amazon, added by hand), Lutris and Bottles.
Discovery Discover(const DiscoveryEnvironment& environment);
std::vector<FoundInstallation> DiscoverInstallations(const DiscoveryEnvironment& environment);

// The documents folder of the prefix an installation belongs to: the prefix around it, the
// one its launcher runs it in, or for a game in a Steam library the Proton prefix of its
// app id; empty when there is none.
std::string DocumentsFolderFor(const std::filesystem::path& installFolder,
                               const DiscoveryEnvironment& environment);

// Documents folders in which the game has already kept its settings (drive_c/users/*/
// Documents/veskaran3 exists), of every prefix the search looks into.
std::vector<std::string> UsedDocumentsFolders(const DiscoveryEnvironment& environment);

class SystemInstallationFinder : public InstallationFinder {
public:
    std::vector<FoundInstallation> FindAll() override;
    std::string DocumentsFolderFor(const std::string& installFolder) override;
    std::vector<std::string> UsedDocumentsFolders() override;
};

}  // namespace vk3
