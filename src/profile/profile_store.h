#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_status.h"

namespace vk3 {

// The one access path to the game's INI files. It reads and writes them the way the Windows
// private-profile functions do, so the game sees exactly what Windows would have written:
// case-insensitive names, first duplicate wins, every byte it does not change stays as it was.
// Names and values are byte strings; those of a UTF-16 file go in and out in Windows-1252.

// Callers read values into buffers of this many characters, terminator included.
inline constexpr std::size_t kProfileBufferSize = 256;

class IniDocument;

// Reads many keys of one file from a single read of it. A missing or unreadable file reads
// as empty, so every lookup gives its default; status() tells a file that is there but
// could not be read.
class ProfileReader {
public:
    explicit ProfileReader(const std::filesystem::path& file);
    ~ProfileReader();
    ProfileReader(ProfileReader&&) noexcept;
    ProfileReader& operator=(ProfileReader&&) noexcept;

    // The stored value, cut to bufferSize - 1 characters; the default (its trailing blanks
    // removed) when the section or key is absent.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultText,
                           std::size_t bufferSize = kProfileBufferSize);

    // The value's leading integer with 32-bit wrap-around; the default when absent. The
    // caller takes the 32 bits as signed or unsigned.
    std::uint32_t ReadInt(std::string_view section, std::string_view key,
                          std::int32_t defaultValue);

    // Whether the file holds the key, whatever its value.
    bool Contains(std::string_view section, std::string_view key);

    const FileStatus& status() const { return status_; }

private:
    std::optional<std::string_view> Find(std::string_view section, std::string_view key);

    std::unique_ptr<IniDocument> document_;
    FileStatus status_;
};

std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view defaultText,
                              std::size_t bufferSize = kProfileBufferSize);

std::uint32_t ReadProfileInt(const std::filesystem::path& file, std::string_view section,
                             std::string_view key, std::int32_t defaultValue);

struct ProfileWrite {
    std::string section;
    std::string key;
    std::string value;
};

// Applies the writes in order to the file as it is now and replaces it once, atomically,
// holding the turn to save (files/save_turn.h) from the read to the replacement. On failure
// the file is exactly as it was and the status names the file and the reason. A missing
// file is created, a missing folder is not. When every key already holds its value the file is left
// untouched. Names or values that would not read back as written (a line break or zero
// character, "=" in a key, a key starting with "[", an empty name) fail the whole batch.
FileStatus WriteProfileStrings(const std::filesystem::path& file,
                               const std::vector<ProfileWrite>& writes);

// The writes of several files that belong together: every file is prepared first, and
// then the files that change are replaced together, so that either all of them hold
// their new values or none changed. A file without writes is not even read.
struct ProfileFileWrites {
    std::filesystem::path file;
    std::vector<ProfileWrite> writes;
};
FileStatus WriteProfileFiles(const std::vector<ProfileFileWrites>& files);

FileStatus WriteProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view value);

}  // namespace vk3
