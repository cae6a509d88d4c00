#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vk3 {

// Paths and UTF-8 texts meet only through these two, so that no name depends on the
// Windows ANSI code page and none makes a conversion throw.
std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8FromPath(const std::filesystem::path& path);

// What went wrong with a file, for callers that act on it; the reason says it in words.
enum class FileProblem {
    None,
    NotFound,          // the file or its folder is not there
    NotRegularFile,    // a folder, a device or a pipe
    TooLarge,          // above the limit of what is read
    ReadOnly,          // the file, the folder or the drive refuses writing
    DiskFull,          // no space or quota left
    ChangedMeanwhile,  // another program changed it between reading and replacing
    Busy,              // another program holds it or the turn to save it
    Invalid,           // its content or a value to be written cannot be used
    Other,
};

// Outcome of a file operation. A failure names the file and says why in plain words,
// so that it can be shown to the user as it is.
struct FileStatus {
    std::filesystem::path path;  // the file concerned; empty on success
    FileProblem problem = FileProblem::None;
    std::string reason;  // empty on success

    bool ok() const { return problem == FileProblem::None; }
    explicit operator bool() const { return ok(); }

    // "could not write "…/vkmain.ini": the file is read-only"
    std::string Message(std::string_view action) const;

    static FileStatus Success() { return {}; }
    static FileStatus Failure(std::filesystem::path path, FileProblem problem, std::string reason) {
        return {std::move(path), problem, std::move(reason)};
    }
    static FileStatus Failure(std::filesystem::path path, std::string reason) {
        return {std::move(path), FileProblem::Other, std::move(reason)};
    }
};

}  // namespace vk3
