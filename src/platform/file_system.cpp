#include "platform/file_system.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include <random>
#else
#include <fcntl.h>
#include <sys/stat.h>

#include <unistd.h>
#include <random>
#endif

namespace fs = std::filesystem;

namespace vk3 {

namespace {

std::string ReasonFromError(int error) {
    switch (error) {
        case ENOENT:
            return "the file or its folder does not exist";
        case EACCES:
        case EPERM:
            return "permission denied";
        case EROFS:
            return "the drive is read-only";
        case ENOSPC:
            return "the disk is full";
#ifdef EDQUOT
        case EDQUOT:
            return "the disk quota is used up";
#endif
        case EFBIG:
            return "the file would be too large";
        case EISDIR:
            return "it is a folder, not a file";
        case ENOTDIR:
            return "a part of the path is not a folder";
        default:
            return std::generic_category().message(error);
    }
}

std::string ReasonFromError(const std::error_code& error) {
    const std::error_condition condition = error.default_error_condition();
    if (condition.category() == std::generic_category()) {
        return ReasonFromError(condition.value());
    }
    return error.message();
}

// Follows a chain of symbolic links to the file that is really written. Fails when a link
// cannot be read or the chain does not end.
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
            return FileStatus::Failure(
                resolved, "its symbolic link could not be read: " + ReasonFromError(error));
        }
        resolved = target.is_absolute() ? target : resolved.parent_path() / target;
    }
    return FileStatus::Failure(path, "its symbolic links lead round in a circle");
}

// A new content written to a temporary file beside its target, not yet in place.
struct StagedFile {
    fs::path target;
    fs::path temporary;
};

void Discard(const StagedFile& staged) {
    std::error_code ignored;
    fs::remove(staged.temporary, ignored);
}

FileStatus CheckTarget(const fs::path& target, std::optional<fs::perms>& existingPerms) {
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    if (fs::exists(status)) {
        if (fs::is_directory(status)) {
            return FileStatus::Failure(target, "it is a folder, not a file");
        }
        if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) {
            return FileStatus::Failure(target, "the file is read-only");
        }
        existingPerms = status.permissions();
    }
    fs::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    if (!fs::is_directory(folder, error)) {
        return FileStatus::Failure(target, "its folder \"" + folder.string() + "\" does not exist");
    }
    return FileStatus::Success();
}

#ifdef _WIN32

FileStatus Stage(const fs::path& path, std::string_view bytes, StagedFile& staged) {
    if (FileStatus status = ResolveLinks(path, staged.target); !status) {
        return status;
    }
    std::optional<fs::perms> perms;
    if (FileStatus status = CheckTarget(staged.target, perms); !status) {
        return status;
    }
    const DWORD attributes = GetFileAttributesW(staged.target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return FileStatus::Failure(staged.target, "the file is read-only");
    }
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        staged.temporary = staged.target;
        staged.temporary += L"." + std::to_wstring(random()) + L".tmp";
        HANDLE file = CreateFileW(staged.temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) {
                continue;
            }
            return FileStatus::Failure(staged.target, "permission denied");
        }
        DWORD written = 0;
        const bool wrote =
            bytes.empty() ||
            (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written == bytes.size());
        const bool flushed = FlushFileBuffers(file);
        CloseHandle(file);
        if (!wrote || !flushed) {
            Discard(staged);
            return FileStatus::Failure(staged.target, "the disk is full or cannot be written");
        }
        return FileStatus::Success();
    }
    return FileStatus::Failure(staged.target, "no temporary file could be made beside it");
}

FileStatus Commit(const StagedFile& staged) {
    if (!MoveFileExW(staged.temporary.c_str(), staged.target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Discard(staged);
        return FileStatus::Failure(staged.target, "it could not be replaced (is it in use?)");
    }
    return FileStatus::Success();
}

#else

// Creates a new, unique temporary file beside the target. A new file gets the mode the
// process's umask allows, as any file the program creates; a replacement gets the old
// file's mode later.
int CreateTemporaryBeside(const fs::path& target, bool replacing, fs::path& temporary) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    for (int attempt = 0; attempt < 64; ++attempt) {
        std::string name = "." + target.filename().string() + ".";
        for (int i = 0; i < 6; ++i) {
            name += kLetters[random() % (sizeof kLetters - 1)];
        }
        temporary = folder / name;
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                              replacing ? 0600 : 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

FileStatus Stage(const fs::path& path, std::string_view bytes, StagedFile& staged) {
    if (FileStatus status = ResolveLinks(path, staged.target); !status) {
        return status;
    }
    std::optional<fs::perms> perms;
    if (FileStatus status = CheckTarget(staged.target, perms); !status) {
        return status;
    }
    struct stat existing {};
    const bool exists = ::stat(staged.target.c_str(), &existing) == 0;
    // Renaming over the file needs only the folder's permission; the file's own must allow
    // writing too, as it would for writing it in place.
    if (exists && ::access(staged.target.c_str(), W_OK) != 0) {
        return FileStatus::Failure(staged.target, ReasonFromError(errno));
    }

    const int fd = CreateTemporaryBeside(staged.target, exists, staged.temporary);
    if (fd < 0) {
        return FileStatus::Failure(staged.target, ReasonFromError(errno));
    }

    auto fail = [&](int error) {
        ::close(fd);
        Discard(staged);
        return FileStatus::Failure(staged.target, ReasonFromError(error));
    };
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail(errno);
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0) {
        return fail(errno);
    }
    if (exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())) {
        // Only possible for a privileged user; keeps the player's ownership of the file.
        [[maybe_unused]] const int ignored = ::fchown(fd, existing.st_uid, existing.st_gid);
    }
    if (::fsync(fd) != 0) {
        return fail(errno);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        Discard(staged);
        return FileStatus::Failure(staged.target, ReasonFromError(error));
    }
    return FileStatus::Success();
}

FileStatus Commit(const StagedFile& staged) {
    if (::rename(staged.temporary.c_str(), staged.target.c_str()) != 0) {
        const int error = errno;
        Discard(staged);
        return FileStatus::Failure(staged.target, ReasonFromError(error));
    }
    // The new name reaches the disk with the folder's entry; the file is in place either way.
    fs::path folder = staged.target.parent_path();
    const int folderFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return FileStatus::Success();
}

#endif

}  // namespace

std::string FileStatus::Message(std::string_view action) const {
    return std::string(action) + " \"" + path.string() + "\": " + reason;
}

FileStatus ReadFileBytes(const fs::path& path, std::string& bytes) {
    bytes.clear();
    std::error_code error;
    if (fs::is_directory(path, error)) {
        return FileStatus::Failure(path, "it is a folder, not a file");
    }
#ifdef _WIN32
    // The wide name, so that folders outside the ANSI code page open too.
    std::FILE* file = ::_wfopen(path.c_str(), L"rb");
#else
    std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
    if (file == nullptr) {
        return FileStatus::Failure(path, ReasonFromError(errno));
    }
    // Read straight into the text, sized for the whole file; a file that grows meanwhile
    // is read to its end all the same.
    const std::uintmax_t expected = fs::file_size(path, error);
    std::size_t size = error ? 0 : static_cast<std::size_t>(expected);
    bytes.resize(size + 1);
    std::size_t filled = 0;
    for (;;) {
        filled += std::fread(bytes.data() + filled, 1, bytes.size() - filled, file);
        if (filled < bytes.size()) {
            break;
        }
        bytes.resize(bytes.size() + (1 << 16));
    }
    bytes.resize(filled);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        bytes.clear();
        return FileStatus::Failure(path, "it could not be read");
    }
    return FileStatus::Success();
}

FileStatus ReplaceFileContents(const fs::path& path, std::string_view bytes) {
    StagedFile staged;
    if (FileStatus status = Stage(path, bytes, staged); !status) {
        return status;
    }
    return Commit(staged);
}

FileStatus ReplaceFilesTogether(const std::vector<FileReplacement>& replacements) {
    std::vector<StagedFile> staged(replacements.size());
    for (std::size_t i = 0; i < replacements.size(); ++i) {
        if (FileStatus status = Stage(replacements[i].path, replacements[i].bytes, staged[i]);
            !status) {
            for (std::size_t j = 0; j < i; ++j) {
                Discard(staged[j]);
            }
            return status;
        }
    }
    // Old contents, so that a failure half-way can be undone. Only a file that is not there
    // may be removed again; one that is there but cannot be read stops everything here.
    // The last file is never put back: nothing can fail after it.
    std::vector<std::optional<std::string>> previous(replacements.size());
    for (std::size_t i = 0; i + 1 < staged.size(); ++i) {
        std::error_code error;
        const fs::file_status status = fs::status(staged[i].target, error);
        if (status.type() == fs::file_type::not_found) {
            continue;
        }
        std::string bytes;
        FileStatus read = error ? FileStatus::Failure(staged[i].target, ReasonFromError(error))
                                : ReadFileBytes(staged[i].target, bytes);
        if (!read) {
            for (const StagedFile& file : staged) {
                Discard(file);
            }
            return read;
        }
        previous[i] = std::move(bytes);
    }
    for (std::size_t i = 0; i < staged.size(); ++i) {
        if (FileStatus status = Commit(staged[i]); !status) {
            for (std::size_t j = i + 1; j < staged.size(); ++j) {
                Discard(staged[j]);
            }
            for (std::size_t j = 0; j < i; ++j) {
                std::error_code ignored;
                if (previous[j]) {
                    ReplaceFileContents(staged[j].target, *previous[j]);
                } else {
                    fs::remove(staged[j].target, ignored);
                }
            }
            return status;
        }
    }
    return FileStatus::Success();
}

}  // namespace vk3
