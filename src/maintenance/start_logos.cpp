#include "maintenance/start_logos.h"

#include "files/file_system.h"
#include "platform/failure_message.h"

namespace vk3 {

namespace {

constexpr std::string_view kRemovedStartLogos = "VK3_Logo_01.bik";
constexpr std::string_view kFullStartLogos =
    "VK3_Logo_01.bik\r\nVK3_Logo_02.bik\r\nVK3_Logo_03.bik\r\nVK3_Logo_04.bik\r\nVK3_Logo_05.bik";

void WriteStartLogos(Prompter& prompter, const InstallationPaths& paths, std::string_view question,
                     std::string_view content, std::string_view whatFailed) {
    if (!prompter.AskYesNo(question)) {
        return;
    }
    if (FileStatus status = ReplaceFileContents(StartLogoFile(paths), content); !status) {
        prompter.Error(FailureMessage(whatFailed, "could not write", status));
    }
}

}  // namespace

std::string_view RemovedStartLogos() {
    return kRemovedStartLogos;
}

std::string_view FullStartLogos() {
    return kFullStartLogos;
}

void RemoveStartLogos(Prompter& prompter, const InstallationPaths& paths) {
    WriteStartLogos(prompter, paths, "do you really want to remove the startlogos?",
                    kRemovedStartLogos, "the startlogos were not removed.");
}

void RestoreStartLogos(Prompter& prompter, const InstallationPaths& paths) {
    WriteStartLogos(prompter, paths, "do you really want to restore the startlogos?",
                    kFullStartLogos, "the startlogos were not restored.");
}

}  // namespace vk3
