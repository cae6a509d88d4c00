#include "app/installation_locator.h"

#include <algorithm>

#include "files/file_system.h"
#include "platform/installation_finder.h"
#include "platform/installation_record.h"
#include "platform/path_case.h"
#include "platform/prompter.h"
#include "text/ascii_text.h"

namespace vk3 {

namespace {

struct Locator {
    Prompter& prompter;
    InstallationRecord& record;
    const std::string& documentsFolder;
    const LocatorOverrides& overrides;
    InstallationFinder* finder;

    // An empty prefixDocuments asks the finder.
    InstallationPaths PathsFor(const std::string& installationFolder,
                               std::string prefixDocuments = {}) const {
        if (prefixDocuments.empty() && finder != nullptr && !overrides.documentsDir) {
            prefixDocuments = finder->DocumentsFolderFor(installationFolder);
        }
        const std::string& documents = overrides.documentsDir    ? *overrides.documentsDir
                                       : prefixDocuments.empty() ? documentsFolder
                                                                 : prefixDocuments;
        InstallationPaths paths;
        paths.engineConfig = ResolvePathCase(JoinPath(installationFolder, "Ini/vkmain.ini"));
        paths.debugConfig = ResolvePathCase(JoinPath(installationFolder, "Ini/debug.ini"));
        paths.userOptions = ResolvePathCase(JoinPath(documents, "veskaran3/UserOptions.ini"));
        return paths;
    }

    // Discovery: one installation is taken as it is, from several the user chooses.
    // Nothing when none was found or the user cancelled; found tells which.
    std::optional<InstallationPaths> Discover(bool& found) const {
        const std::vector<FoundInstallation> installations =
            finder != nullptr ? finder->FindAll() : std::vector<FoundInstallation>{};
        found = !installations.empty();
        std::optional<std::size_t> chosen;
        if (installations.size() == 1) {
            chosen = 0;
        } else if (installations.size() > 1) {
            std::vector<std::string> items;
            for (const FoundInstallation& installation : installations) {
                items.push_back(installation.source + ": " + installation.installFolder);
            }
            chosen = prompter.ChooseFromList(kChooseInstallationQuestion, items);
        }
        if (!chosen || *chosen >= installations.size()) {
            return std::nullopt;
        }
        const FoundInstallation& installation = installations[*chosen];
        record.Write(installation.installFolder, installation.documentsFolder);
        return PathsFor(installation.installFolder, installation.documentsFolder);
    }
};

enum class EngineFile { Missing, Unreadable, Readable };

// Read through the guarded reader, which takes regular files only and never waits: a pipe
// in the file's place would hold a plain open for ever.
EngineFile CheckEngineFile(const std::filesystem::path& engineConfig) {
    FileAsRead read;
    if (!ReadFileIfThere(engineConfig, read)) {
        return EngineFile::Unreadable;
    }
    return read.version.found ? EngineFile::Readable : EngineFile::Missing;
}

}  // namespace

std::optional<std::string> AskWhichDocumentsFolder(Prompter& prompter,
                                                   std::vector<std::string> usedFolders,
                                                   const std::string& systemDocuments) {
    if (!systemDocuments.empty() &&
        std::find(usedFolders.begin(), usedFolders.end(), systemDocuments) == usedFolders.end()) {
        usedFolders.push_back(systemDocuments);
    }
    if (usedFolders.empty()) {
        return systemDocuments;
    }
    const std::optional<std::size_t> chosen =
        prompter.ChooseFromList(kChooseDocumentsQuestion, usedFolders);
    if (!chosen || *chosen >= usedFolders.size()) {
        return std::nullopt;
    }
    return usedFolders[*chosen];
}

std::string CommandLineFolderProblem(const LocatorOverrides& overrides) {
    const std::pair<const char*, const std::optional<std::string>*> folders[] = {
        {"--install-dir", &overrides.installDir}, {"--documents-dir", &overrides.documentsDir}};
    for (const auto& [option, folder] : folders) {
        if (!*folder) {
            continue;
        }
        const std::filesystem::path path = PathFromUtf8(**folder);
        const std::string named = std::string(option) + " \"" + **folder + "\": ";
        std::error_code error;
        const std::filesystem::file_status status = std::filesystem::status(path, error);
        if (!std::filesystem::exists(status)) {
            return named + "there is no such folder";
        }
        if (!std::filesystem::is_directory(status)) {
            return named + "it is not a folder";
        }
        if (folder == &overrides.installDir &&
            !IsFileIgnoringCase(JoinPath(**folder, "Veskaran3.exe")) &&
            !IsFileIgnoringCase(JoinPath(**folder, "Ini/vkmain.ini"))) {
            return named + "it holds neither Veskaran3.exe nor Ini/vkmain.ini";
        }
    }
    return {};
}

std::optional<std::string> AskForDocumentsFolder(Prompter& prompter, std::string_view current) {
    const std::optional<std::filesystem::path> chosen =
        prompter.ChooseFolder(kChooseDocumentsTitle, PathFromUtf8(current));
    if (!chosen) {
        return std::nullopt;
    }
    std::string folder = Utf8FromPath(*chosen);
    std::error_code ignored;
    const bool namedLikeIt = EqualIgnoringAsciiCase(Utf8FromPath(chosen->filename()), "veskaran3");
    if (namedLikeIt &&
        !std::filesystem::is_directory(ResolvePathCase(JoinPath(folder, "veskaran3")), ignored)) {
        folder = ParentFolderText(folder);
    }
    return folder;
}

std::string DocumentsFolderOf(const InstallationPaths& paths) {
    return ParentFolderText(ParentFolderText(Utf8FromPath(paths.userOptions)));
}

std::optional<InstallationPaths> ChooseDocumentsFolder(Prompter& prompter,
                                                       const InstallationPaths& paths,
                                                       InstallationRecord* record) {
    const std::optional<std::string> documents =
        AskForDocumentsFolder(prompter, DocumentsFolderOf(paths));
    if (!documents) {
        return std::nullopt;
    }
    InstallationPaths chosen = paths;
    chosen.userOptions = ResolvePathCase(JoinPath(*documents, "veskaran3/UserOptions.ini"));
    const std::string installation =
        ParentFolderText(ParentFolderText(Utf8FromPath(paths.engineConfig)));
    if (record != nullptr && !record->Write(installation, *documents)) {
        prompter.Error("the documents folder \"" + *documents +
                       "\" is used now, but it could not be recorded for the next start.");
    }
    return chosen;
}

std::string StaleRecordMessage(std::string_view recordedFolder) {
    return "the recorded folder \"" + std::string(recordedFolder) +
           "\" holds no Ini/vkmain.ini any more; looking for the game again.";
}

std::optional<InstallationPaths> LocateInstallation(Prompter& prompter, InstallationRecord& record,
                                                    const std::string& documentsFolder,
                                                    const LocatorOverrides& overrides,
                                                    InstallationFinder* finder) {
    const Locator locator{prompter, record, documentsFolder, overrides, finder};
    if (overrides.installDir) {
        return locator.PathsFor(*overrides.installDir);
    }
    if (const std::string recorded = record.Read(); !recorded.empty()) {
        const InstallationPaths paths = locator.PathsFor(recorded, record.ReadDocumentsFolder());
#ifdef _WIN32
        return paths;
#else
        // A Wine or Proton prefix is easily deleted or moved: the record is checked here. A
        // file that is there but cannot be read is the dialog's to report, by name.
        if (CheckEngineFile(paths.engineConfig) != EngineFile::Missing) {
            return paths;
        }
        prompter.Notice(StaleRecordMessage(recorded));
#endif
    }

    bool found = false;
    if (std::optional<InstallationPaths> discovered = locator.Discover(found)) {
        return discovered;
    }
    if (!found) {
        prompter.Notice(kNoInstallationMessage);
    }
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
    if (CheckEngineFile(ResolvePathCase(JoinPath(folder, "Ini/vkmain.ini"))) !=
        EngineFile::Readable) {
        prompter.Notice(kInvalidPathMessage);
        return std::nullopt;
    }
    std::string prefixDocuments;
    if (finder != nullptr && !overrides.documentsDir) {
        prefixDocuments = finder->DocumentsFolderFor(folder);
        if (prefixDocuments.empty()) {
            // Guessed wrong, the game would never read what the user saves.
            std::optional<std::string> chosenDocuments =
                AskWhichDocumentsFolder(prompter, finder->UsedDocumentsFolders(), documentsFolder);
            if (!chosenDocuments) {
                return std::nullopt;
            }
            prefixDocuments = std::move(*chosenDocuments);
        }
    }
    const InstallationPaths paths =
        locator.PathsFor(folder, prefixDocuments.empty() ? documentsFolder : prefixDocuments);
    // A failed record only means the next start asks again.
    record.Write(folder, prefixDocuments);
    return paths;
}

}  // namespace vk3
