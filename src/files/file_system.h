#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_status.h"
#include "files/file_text.h"

namespace vk3 {

// The largest settings file read: far above any the game writes.
inline constexpr std::uint64_t kMaxSettingsFileBytes = 256ull * 1024 * 1024;

// Which file a path named when it was looked at, and how it stood: another program that
// replaces the file or writes into it changes this.
struct FileVersion {
    bool found = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds, as the system keeps them
    std::int64_t changed = 0;   // the inode's change time where the system has one
    bool operator==(const FileVersion&) const = default;
};
FileVersion VersionOf(const std::filesystem::path& path);

// Reads a whole regular file as raw bytes. Folders, devices, pipes and files above the
// limit are refused without waiting and without reading them.
inline constexpr std::string_view kTooLargeForSettings =
    "it is larger than 256 MiB, too large for a settings file";
FileStatus ReadFileBytes(const std::filesystem::path& path, std::string& bytes,
                         std::uint64_t limit = kMaxSettingsFileBytes,
                         std::string_view tooLarge = kTooLargeForSettings);

// A file as a save read it: its bytes and version, or not found.
struct FileAsRead {
    std::string bytes;
    FileVersion version;
};
// Reads a file that may be missing (version.found false). Fails only when a file is there
// but cannot be read.
FileStatus ReadFileIfThere(const std::filesystem::path& path, FileAsRead& read);
// The same into memory that is reused from one large file to the next (file_text.h).
FileStatus ReadFileIfThere(const std::filesystem::path& path, FileText& bytes,
                           FileVersion& version);

// Replaces (or creates) a file with the given bytes atomically: the bytes go to a new
// temporary file in the same folder, which is flushed and then takes the file's place. The
// old file stays whole on any failure. Permissions of an existing file are kept; a symbolic
// link is followed and its target replaced. A file without write permission for its owner
// counts as read-only and is never replaced. A new file is readable by others as the umask
// allows, or only by its owner when `privateFile`.
FileStatus ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes,
                               bool privateFile = false);

struct FileReplacement {
    std::filesystem::path path;
    std::string bytes;
};

// Replaces several files as one step: every new content is prepared and flushed before any
// file is replaced, and when a later replacement fails, the files already replaced get their
// old contents back. A step cut short by a crash is finished when the program next saves or
// starts (save_turn.h).
FileStatus ReplaceFilesTogether(const std::vector<FileReplacement>& replacements);

// The same with each new content given as stretches written one after the other.
// `readVersion`, when given, is the version the new content was made from, which held
// `readBytes`: right before the file is replaced it must still be that version, else nothing
// more is replaced, those replaced get their old contents back and the problem is
// ChangedMeanwhile.
struct FilePieces {
    std::filesystem::path path;
    std::vector<std::string_view> pieces;
    std::optional<FileVersion> readVersion;
    std::string_view readBytes;
};
FileStatus ReplaceFilePiecesTogether(const std::vector<FilePieces>& replacements);

// Asked about every file before a replacement changes it, all files of a step before the
// first takes its place; a failure stops the step with that status and nothing is replaced. The
// program keeps its safety copies through it; without one, files are replaced as they are.
using ReplacementGuard = std::function<FileStatus(const std::filesystem::path&)>;
void SetReplacementGuard(ReplacementGuard guard);

// For tests of what a kill leaves behind: the process ends at once (exit code 86) right
// before its n-th change to the disk from now on (1 = the next one); 0 turns this off.
void EndProcessBeforeDiskChange(long n);

}  // namespace vk3
