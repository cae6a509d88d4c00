#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/installation.h"
#include "platform/prompter.h"

namespace vk3 {

// A backup file holds the engine configuration file and the user options file byte for byte:
// the engine length and the user options length as unsigned 32-bit little-endian numbers,
// then the two images. Nothing else: no magic, no version, no checksum.

inline constexpr std::size_t kBackupHeaderBytes = 8;
// Configuration files are a few kilobytes; anything near this is not one, and refusing it
// keeps a damaged backup from making us read or allocate gigabytes.
inline constexpr std::uint64_t kMaxBackupImageBytes = 64ull * 1024 * 1024;
inline constexpr std::uint64_t kMaxBackupFileBytes = kBackupHeaderBytes + 2 * kMaxBackupImageBytes;

// Each image must be at most kMaxBackupImageBytes long.
std::string EncodeBackup(std::string_view engineImage, std::string_view userOptionsImage);

struct BackupImages {
    std::string engine;
    std::string userOptions;
};

// The two images of a backup, or nothing when the bytes are not a whole backup: shorter than
// the header, lengths too large, or lengths that do not add up to the size exactly. whyInvalid
// then says what is wrong, in words for the user.
std::optional<BackupImages> DecodeBackup(std::string_view bytes, std::string& whyInvalid);

// The extension as Windows sees it: the text after the last dot of the file name, empty when
// the name has no dot or ends in one (".vib" has the extension "vib").
std::string WindowsExtension(const std::filesystem::path& path);

// The file a backup is written to: a name without extension gets ".vib" (a trailing dot is
// dropped first, as Windows drops it), a name with any other extension is kept as chosen.
std::filesystem::path BackupTargetName(const std::filesystem::path& chosen);

// Only "vib" exactly, case-sensitive: "BACKUP.VIB" is not a backup.
bool HasBackupExtension(const std::filesystem::path& path);

// "Veskaran III Ini BackUp (*.vib)" with "*.vib", for both the save and the open dialog.
FileDialogRequest BackupDialogRequest();

// "create &backup...": asks for the target, reads both configuration files and only then
// writes the backup, atomically. Every failure is shown through the prompter.
void CreateBackup(Prompter& prompter, const InstallationPaths& paths);

// "&load backup...": asks first, then for the file; checks the whole backup before it
// replaces both configuration files together, and asks again before an empty image empties
// its file. True when both were replaced, so the caller
// reloads its settings; false on No, cancel or any failure (then neither file changed).
bool LoadBackup(Prompter& prompter, const InstallationPaths& paths);

}  // namespace vk3
