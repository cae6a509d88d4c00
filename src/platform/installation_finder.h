#pragma once

#include <string>
#include <vector>

namespace vk3 {

// A copy of the game found on this machine without asking the user.
struct FoundInstallation {
    std::string source;           // where it was found: "Steam library", "Wine prefix", ...
    std::string installFolder;    // holds Veskaran3.exe and Ini/vkmain.ini
    std::string documentsFolder;  // the documents folder of its prefix; empty: the system's
};

// Looks for the game where Wine, Proton and the game launchers install it.
class InstallationFinder {
public:
    virtual ~InstallationFinder() = default;
    virtual std::vector<FoundInstallation> FindAll() = 0;
    // The documents folder of the prefix a game folder belongs to; empty when it has none.
    virtual std::string DocumentsFolderFor(const std::string& installFolder) = 0;
    // Documents folders of prefixes in which the game already keeps its settings.
    virtual std::vector<std::string> UsedDocumentsFolders() = 0;
};

}  // namespace vk3
