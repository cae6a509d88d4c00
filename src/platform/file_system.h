#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk3 {

// Paths and UTF-8 texts meet only through these two, so that no name depends on the
// Windows ANSI code page and none makes a conversion throw.
std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8FromPath(const std::filesystem::path& path);

// Outcome of a file operation. A failure names the file and says why in plain words,
// so that it can be shown to the user as it is.
struct FileStatus {
    std::filesystem::path path;  // the file concerned; empty on success
    std::string reason;          // empty on success

    bool ok() const { return reason.empty(); }
    explicit operator bool() const { return ok(); }

    // "could not write "…/vkmain.ini": the file is read-only"
    std::string Message(std::string_view action) const;

    static FileStatus Success() { return {}; }
    static FileStatus Failure(std::filesystem::path path, std::string reason) {
        return {std::move(path), std::move(reason)};
    }
};

// The largest settings file read: far above any the game writes.
inline constexpr std::uint64_t kMaxSettingsFileBytes = 256ull * 1024 * 1024;

// The bytes of a file read whole. A large file gets memory of its own, placed for the
// system's 2 MiB pages and filled with them in one step, instead of thousands of page faults.
class FileBytes {
public:
    FileBytes() = default;
    explicit FileBytes(std::string_view bytes);

    std::string_view view() const { return {data_.get(), size_}; }

private:
    friend class FileBytesFiller;
    struct Free {
        void operator()(char* data) const;
    };
    std::unique_ptr<char, Free> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// Reads a whole regular file as raw bytes. Folders, devices, pipes and files above the
// limit are refused without waiting and without reading them.
inline constexpr std::string_view kTooLargeForSettings =
    "it is larger than 256 MiB, too large for a settings file";
FileStatus ReadFileBytes(const std::filesystem::path& path, std::string& bytes,
                         std::uint64_t limit = kMaxSettingsFileBytes,
                         std::string_view tooLarge = kTooLargeForSettings);
FileStatus ReadFileBytes(const std::filesystem::path& path, FileBytes& bytes,
                         std::uint64_t limit = kMaxSettingsFileBytes,
                         std::string_view tooLarge = kTooLargeForSettings);

// Reads a file that may be missing: no bytes when it is not there. Fails only when a file
// is there but cannot be read.
FileStatus ReadFileIfThere(const std::filesystem::path& path, std::optional<FileBytes>& bytes);

// What a file held when it was read: its bytes, or nothing when it was not there.
struct FileAsRead {
    bool found = false;
    std::string_view bytes;
};

// Whether the file still is as it was read: there, readable and holding exactly those bytes,
// or still not there.
bool FileIsAsRead(const std::filesystem::path& path, const FileAsRead& asRead);

// Replaces (or creates) a file with the given bytes atomically: the bytes go to a new
// temporary file in the same folder, which then takes the file's place. The old file stays
// whole on any failure. Permissions of an existing file are kept; a symbolic link is
// followed and its target replaced. A file without write permission for its owner counts
// as read-only and is never replaced, even where the folder would allow it.
FileStatus ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes);

struct FileReplacement {
    std::filesystem::path path;
    std::string bytes;
};

// Replaces several files as one step: every new content is prepared before any file is
// replaced, and when a later replacement fails, the files already replaced get their old
// contents back.
FileStatus ReplaceFilesTogether(const std::vector<FileReplacement>& replacements);

// Asked about every file before a replacement changes it, all files of a step before the
// first is written; a failure stops the step with that status and nothing is written. The
// program keeps its safety copies through it; without one, files are replaced as they are.
using ReplacementGuard = std::function<FileStatus(const std::filesystem::path&)>;
void SetReplacementGuard(ReplacementGuard guard);

// The same with each new content given as stretches written one after the other, so that a
// large file need not be copied into one text first.
// `asRead`, when given, is what the file held when the new content was made from it. It is
// checked once every new content is written, before any file is replaced (the disk writes
// meanwhile); when the file is no longer as read, nothing is replaced and the reason is
// kChangedWhileSaving. Checked so, it is also what the file gets back if the step is undone.
struct FilePieces {
    std::filesystem::path path;
    std::vector<std::string_view> pieces;
    std::optional<FileAsRead> asRead;
};
inline constexpr std::string_view kChangedWhileSaving =
    "another program changed it while it was being saved";
FileStatus ReplaceFilePiecesTogether(const std::vector<FilePieces>& replacements);

// A replaced file's blocks are freed after its replacement returns, which the disk may take
// a moment for. This waits until every file replaced so far is let go.
void FinishReleasingReplacedFiles();

}  // namespace vk3
