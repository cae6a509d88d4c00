#include "maintenance/backup_file.h"

#include <cassert>
#include <system_error>
#include <vector>

#include "files/file_system.h"
#include "platform/failure_message.h"

namespace fs = std::filesystem;

namespace vk3 {

namespace {

constexpr std::string_view kBackupExtension = "vib";
constexpr std::string_view kNotCreated = "the backup was not created.";
constexpr std::string_view kNotLoaded = "the backup was not loaded.";

void AppendLittleEndian32(std::string& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes += static_cast<char>((value >> shift) & 0xFF);
    }
}

std::uint32_t LittleEndian32At(std::string_view bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    }
    return value;
}

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

}  // namespace

std::string EncodeBackup(std::string_view engineImage, std::string_view userOptionsImage) {
    assert(engineImage.size() <= kMaxBackupImageBytes);
    assert(userOptionsImage.size() <= kMaxBackupImageBytes);
    std::string bytes;
    bytes.reserve(kBackupHeaderBytes + engineImage.size() + userOptionsImage.size());
    AppendLittleEndian32(bytes, static_cast<std::uint32_t>(engineImage.size()));
    AppendLittleEndian32(bytes, static_cast<std::uint32_t>(userOptionsImage.size()));
    bytes += engineImage;
    bytes += userOptionsImage;
    return bytes;
}

std::optional<BackupImages> DecodeBackup(std::string_view bytes, std::string& whyInvalid) {
    whyInvalid.clear();
    if (bytes.size() < kBackupHeaderBytes) {
        whyInvalid = "the file is too short to be a backup (" + std::to_string(bytes.size()) +
                     " bytes, its header alone has 8)";
        return std::nullopt;
    }
    const std::uint64_t engineLength = LittleEndian32At(bytes, 0);
    const std::uint64_t userOptionsLength = LittleEndian32At(bytes, 4);
    for (std::uint64_t length : {engineLength, userOptionsLength}) {
        if (length > kMaxBackupImageBytes) {
            whyInvalid = "its header announces a file of " + std::to_string(length) +
                         " bytes, far more than a configuration file has";
            return std::nullopt;
        }
    }
    const std::uint64_t expected = kBackupHeaderBytes + engineLength + userOptionsLength;
    if (bytes.size() < expected) {
        whyInvalid = "the file is cut short, its header announces " + std::to_string(expected) +
                     " bytes but it has " + std::to_string(bytes.size());
        return std::nullopt;
    }
    if (bytes.size() > expected) {
        whyInvalid = "the file has " + std::to_string(bytes.size() - expected) +
                     " bytes more than its header announces";
        return std::nullopt;
    }
    BackupImages images;
    images.engine = bytes.substr(kBackupHeaderBytes, engineLength);
    images.userOptions = bytes.substr(kBackupHeaderBytes + engineLength, userOptionsLength);
    return images;
}

std::string WindowsExtension(const fs::path& path) {
    const std::string name = Utf8FromPath(path.filename());
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

fs::path BackupTargetName(const fs::path& chosen) {
    if (!WindowsExtension(chosen).empty()) {
        return chosen;
    }
    // "backup." is "backup" to Windows; "backup..vib" would help no one.
    std::string name = Utf8FromPath(chosen.filename());
    while (!name.empty() && name.back() == '.') {
        name.pop_back();
    }
    fs::path target = chosen;
    target.replace_filename(name + ".vib");
    return target;
}

bool HasBackupExtension(const fs::path& path) {
    return WindowsExtension(path) == kBackupExtension;
}

FileDialogRequest BackupDialogRequest() {
    FileDialogRequest request;
    request.filterDescription = "Veskaran III Ini BackUp (*.vib)";
    request.filterPattern = "*.vib";
    return request;
}

void CreateBackup(Prompter& prompter, const InstallationPaths& paths) {
    const std::optional<fs::path> chosen = prompter.ChooseFileToSave(BackupDialogRequest());
    if (!chosen) {
        return;
    }
    const fs::path target = BackupTargetName(*chosen);
    // The dialog asked about the name as typed; the name with ".vib" is asked about here.
    std::error_code error;
    if (target != *chosen && fs::exists(target, error) &&
        !prompter.AskYesNo("\"" + Utf8FromPath(target.filename()) +
                           "\" already exists.\n\ndo you want to replace it?")) {
        return;
    }

    // Both files are read before the target is touched: a missing one leaves no empty or
    // half-written backup behind.
    constexpr std::string_view kTooLarge = "it is larger than 64 MB, too large for a backup";
    std::string engineImage;
    std::string userOptionsImage;
    for (auto [path, image] : {std::pair{&paths.engineConfig, &engineImage},
                               std::pair{&paths.userOptions, &userOptionsImage}}) {
        if (FileStatus read = ReadFileBytes(*path, *image, kMaxBackupImageBytes, kTooLarge);
            !read) {
            prompter.Error(FailureMessage(kNotCreated, "could not read", read));
            return;
        }
    }
    if (SameFile(target, paths.engineConfig) || SameFile(target, paths.userOptions)) {
        prompter.Error(FailureMessage(
            kNotCreated, "would not overwrite",
            FileStatus::Failure(target, "it is one of the configuration files the backup holds"),
            "choose another name for the backup."));
        return;
    }
    if (FileStatus written =
            ReplaceFileContents(target, EncodeBackup(engineImage, userOptionsImage));
        !written) {
        prompter.Error(FailureMessage(kNotCreated, "could not write", written));
    }
}

bool LoadBackup(Prompter& prompter, const InstallationPaths& paths) {
    if (!prompter.AskYesNo("old data will be overwritten!\n\ncontinue?")) {
        return false;
    }
    const std::optional<fs::path> chosen = prompter.ChooseFileToOpen(BackupDialogRequest());
    if (!chosen) {
        return false;
    }
    if (!HasBackupExtension(*chosen)) {
        prompter.Notice("invalid file!");
        return false;
    }

    std::string bytes;
    if (FileStatus read =
            ReadFileBytes(*chosen, bytes, kMaxBackupFileBytes, "it is too large to be a backup");
        !read) {
        prompter.Error(FailureMessage(kNotLoaded, "could not read", read));
        return false;
    }
    std::string whyInvalid;
    std::optional<BackupImages> images = DecodeBackup(bytes, whyInvalid);
    if (!images) {
        prompter.Error(
            FailureMessage(kNotLoaded, "could not use", FileStatus::Failure(*chosen, whyInvalid)));
        return false;
    }

    // An empty image would leave the game a file without any setting.
    for (const auto& [image, file] : {std::pair{&images->engine, &paths.engineConfig},
                                      std::pair{&images->userOptions, &paths.userOptions}}) {
        if (image->empty() && !prompter.AskYesNoDefaultNo("the backup holds an empty " +
                                                          Utf8FromPath(file->filename()) +
                                                          " file. load it anyway?")) {
            return false;
        }
    }

    // Both files are prepared before either is replaced, so a failure leaves both old.
    const std::vector<FileReplacement> replacements = {
        {paths.engineConfig, std::move(images->engine)},
        {paths.userOptions, std::move(images->userOptions)},
    };
    if (FileStatus written = ReplaceFilesTogether(replacements); !written) {
        prompter.Error(FailureMessage(kNotLoaded, "could not write", written,
                                      "both settings files are as they were."));
        return false;
    }
    return true;
}

}  // namespace vk3
