#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/installation_record.h"
#include "profile/profile_store.h"

namespace vk3 {

namespace {

// Prefix paths grow long; the record is ours, so it is not held to the registry's 256 bytes.
constexpr std::size_t kRecordedPathSize = 4096;

std::filesystem::path RecordFile() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path folder;
    if (configHome != nullptr && *configHome != '\0') {
        folder = configHome;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::filesystem::path(home != nullptr ? home : ".") / ".config";
    }
    return folder / "Quellmark" / "Veskaran III.ini";
}

}  // namespace

std::string SystemInstallationRecord::Read() {
    return ReadProfileString(RecordFile(), "General", "INSTALL_DIR", "", kRecordedPathSize);
}

std::string SystemInstallationRecord::ReadDocumentsFolder() {
    return ReadProfileString(RecordFile(), "General", "DOCUMENTS_DIR", "", kRecordedPathSize);
}

bool SystemInstallationRecord::Write(std::string_view installationFolder,
                                     std::string_view documentsFolder) {
    const std::filesystem::path file = RecordFile();
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    std::vector<ProfileWrite> writes{{"General", "INSTALL_DIR", std::string(installationFolder)}};
    // An empty documents folder only clears one recorded before.
    if (!documentsFolder.empty() || ProfileReader(file).Contains("General", "DOCUMENTS_DIR")) {
        writes.push_back({"General", "DOCUMENTS_DIR", std::string(documentsFolder)});
    }
    return WriteProfileStrings(file, writes).ok();
}

}  // namespace vk3
