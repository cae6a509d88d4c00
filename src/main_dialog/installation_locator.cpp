#include "main_dialog/installation_locator.h"

#include <fstream>

#include "platform/installation_record.h"
#include "platform/prompter.h"

namespace vk3 {

namespace {

InstallationPaths PathsFor(const std::string& installationFolder, InstallationPaths paths) {
    paths.engineConfig = JoinPath(installationFolder, "Ini/vkmain.ini");
    paths.debugConfig = JoinPath(installationFolder, "Ini/debug.ini");
    return paths;
}

}  // namespace

std::optional<InstallationPaths> LocateInstallation(Prompter& prompter, InstallationRecord& record,
                                                    const std::string& documentsFolder,
                                                    const LocatorOverrides& overrides) {
    InstallationPaths paths;
    paths.userOptions =
        JoinPath(overrides.documentsDir.value_or(documentsFolder), "veskaran3/UserOptions.ini");

    if (overrides.installDir) {
        return PathsFor(*overrides.installDir, paths);
    }
    if (const std::string recorded = record.Read(); !recorded.empty()) {
        return PathsFor(recorded, paths);
    }

    prompter.Notice(kNoInstallationMessage);
    FileDialogRequest request;
    request.title = "\"Veskaran3.exe\"";
    request.filterDescription = "executable (*.exe)";
    request.filterPattern = "*.exe";
    request.initialName = "Veskaran3.exe";
    request.mustExist = true;
    const std::optional<std::filesystem::path> chosen = prompter.ChooseFileToOpen(request);
    if (!chosen) {
        return std::nullopt;
    }

    const std::string folder = ParentFolderText(chosen->string());
    paths = PathsFor(folder, paths);
    std::error_code ignored;
    if (std::filesystem::is_directory(paths.engineConfig, ignored) ||
        !std::ifstream(paths.engineConfig).is_open()) {
        prompter.Notice(kInvalidPathMessage);
        return std::nullopt;
    }
    // A failed record only means the next start asks again.
    record.Write(folder);
    return paths;
}

}  // namespace vk3
