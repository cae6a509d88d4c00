#pragma once

#include <string>
#include <string_view>

namespace vk3 {

// Where the game's installation folder is remembered between starts: the registry value
// INSTALL_DIR on Windows, a small INI file under the user's configuration folder elsewhere.
class InstallationRecord {
public:
    virtual ~InstallationRecord() = default;
    // The recorded folder; empty when there is none.
    virtual std::string Read() = 0;
    // The documents folder recorded with it (that of a Wine or Proton prefix); empty when
    // the system's documents folder is meant.
    virtual std::string ReadDocumentsFolder() = 0;
    // Records both folders at once; false when they could not be recorded.
    virtual bool Write(std::string_view installationFolder,
                       std::string_view documentsFolder = {}) = 0;
};

#ifdef _WIN32
inline constexpr std::string_view kInstallationRecordKey = "SOFTWARE\\Quellmark\\Veskaran III";

// The value INSTALL_DIR of HKEY_LOCAL_MACHINE\<key>, in the 32-bit view where the game's
// installer puts it. Texts are UTF-8 here and UTF-16 in the registry, so any folder name
// survives. The documents folder is always the system's: none is recorded.
class RegistryInstallationRecord : public InstallationRecord {
public:
    explicit RegistryInstallationRecord(std::string_view key = kInstallationRecordKey);
    std::string Read() override;
    std::string ReadDocumentsFolder() override { return {}; }
    bool Write(std::string_view installationFolder, std::string_view documentsFolder = {}) override;

private:
    std::wstring key_;
};
#endif

// The installation folder remembered between starts. Windows: the registry value
// HKLM\SOFTWARE\Quellmark\Veskaran III\INSTALL_DIR, the documents folder is the system's.
// Elsewhere: INSTALL_DIR and DOCUMENTS_DIR in [General] of
// $XDG_CONFIG_HOME/Quellmark/Veskaran III.ini (~/.config when unset).
#ifdef _WIN32
using SystemInstallationRecord = RegistryInstallationRecord;
#else
class SystemInstallationRecord : public InstallationRecord {
public:
    std::string Read() override;
    std::string ReadDocumentsFolder() override;
    bool Write(std::string_view installationFolder, std::string_view documentsFolder = {}) override;
};
#endif

}  // namespace vk3
