#include "files/file_paths.h"

#include <cctype>
#include <cstdint>
#include <random>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace vk3 {

namespace {

constexpr std::string_view kTemporaryMark = ".vk3-";
constexpr std::string_view kTemporaryEnd = ".tmp";
constexpr std::size_t kTemporaryLetters = 6;

}  // namespace

std::string HexDigest(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string digits;
    for (int shift = 60; shift >= 0; shift -= 4) {
        digits += kDigits[(hash >> shift) & 0xF];
    }
    return digits;
}

fs::path FolderOf(const fs::path& file) {
    return file.parent_path().empty() ? fs::path(".") : file.parent_path();
}

fs::path TemporaryBeside(const fs::path& target) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::string mark(kTemporaryMark);
    for (std::size_t i = 0; i < kTemporaryLetters; ++i) {
        mark += kLetters[random() % (sizeof kLetters - 1)];
    }
    fs::path name = ".";
    name += target.filename();
    name += mark + std::string(kTemporaryEnd);
    return FolderOf(target) / name;
}

bool IsOurTemporary(std::string_view name) {
    const std::size_t tail = kTemporaryMark.size() + kTemporaryLetters + kTemporaryEnd.size();
    if (name.size() <= tail + 1 || name.front() != '.' || !name.ends_with(kTemporaryEnd)) {
        return false;
    }
    const std::string_view mark = name.substr(name.size() - tail);
    if (!mark.starts_with(kTemporaryMark)) {
        return false;
    }
    for (const char c : mark.substr(kTemporaryMark.size(), kTemporaryLetters)) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

FileStatus ResolveLinks(const fs::path& path, fs::path& resolved) {
    resolved = path;
    for (int depth = 0; depth < 40; ++depth) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(resolved, error);
        if (error || !fs::is_symlink(status)) {
            return FileStatus::Success();
        }
        fs::path target = fs::read_symlink(resolved, error);
        if (error) {
            return FileStatus::Failure(resolved,
                                       "its symbolic link could not be read: " + error.message());
        }
        resolved = target.is_absolute() ? target : resolved.parent_path() / target;
    }
    return FileStatus::Failure(path, "its symbolic links lead round in a circle");
}

fs::path WrittenFolderOf(const fs::path& file) {
    fs::path resolved;
    if (!ResolveLinks(file, resolved)) {
        resolved = file;
    }
    return FolderOf(resolved);
}

}  // namespace vk3
