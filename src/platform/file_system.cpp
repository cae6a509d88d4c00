#include "platform/file_system.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>
#include <random>
#include <span>
#include <system_error>
#include <thread>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <unistd.h>
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
        case ELOOP:
            return "its symbolic links lead round in a circle";
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

// A new content written to a temporary file beside its target, not yet in place. On Linux
// the file has no name until it is put in place, so a killed save leaves nothing behind.
struct StagedFile {
    fs::path target;
    fs::path temporary;  // empty while the file has no name
    int fd = -1;         // open until flushed, or (without a name) until put in place
    int replaced = -1;   // the file it replaced, held open until the save is done
};

void Discard(StagedFile& staged) {
#ifndef _WIN32
    for (int* fd : {&staged.fd, &staged.replaced}) {
        if (*fd >= 0) {
            ::close(std::exchange(*fd, -1));
        }
    }
#endif
    std::error_code ignored;
    if (!staged.temporary.empty()) {
        fs::remove(staged.temporary, ignored);
        staged.temporary.clear();
    }
}

fs::path FolderOf(const fs::path& target) {
    return target.parent_path().empty() ? fs::path(".") : target.parent_path();
}

// Temporary files are named ".<name>.vk3-XXXXXX.tmp", so that those a killed save left
// can be told from anything else in the game's folders.
constexpr std::string_view kTemporaryMark = ".vk3-";
constexpr std::string_view kTemporaryEnd = ".tmp";
constexpr std::size_t kTemporaryLetters = 6;

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

// Removes the temporary files that saves killed earlier left in a folder: only files of our
// pattern, and only those older than a minute, so that a save running now keeps its own.
void RemoveLeftoverTemporaries(const fs::path& folder) {
    std::error_code error;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (IsOurTemporary(Utf8FromPath(it->path().filename())) && it->is_regular_file(ignored) &&
            now - it->last_write_time(ignored) > std::chrono::minutes(1)) {
            fs::remove(it->path(), ignored);
        }
    }
}

std::string FolderRefusesNewFiles(const fs::path& target) {
    return "the folder \"" + Utf8FromPath(FolderOf(target)) +
           "\" does not allow new files, which a safe save needs";
}

// The file a replacement really writes (links followed), when it may be replaced.
FileStatus ResolveTarget(const fs::path& path, fs::path& target) {
    if (FileStatus status = ResolveLinks(path, target); !status) {
        return status;
    }
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    if (fs::exists(status)) {
        if (fs::is_directory(status)) {
            return FileStatus::Failure(target, "it is a folder, not a file");
        }
        // A device or a pipe in place of a settings file is never replaced by a file.
        if (!fs::is_regular_file(status)) {
            return FileStatus::Failure(target, "it is not a regular file");
        }
        if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) {
            return FileStatus::Failure(target, "the file is read-only");
        }
    }
    if (!fs::is_directory(FolderOf(target), error)) {
        return FileStatus::Failure(
            target, "its folder \"" + Utf8FromPath(FolderOf(target)) + "\" does not exist");
    }
    return FileStatus::Success();
}

// Hands the pieces to `write` with small neighbours joined, so that a document of many
// small changes still takes few system calls. Stops at the first failed write.
template <typename Write>
bool WriteJoined(std::span<const std::string_view> pieces, Write write) {
    constexpr std::size_t kJoinBelow = 64 * 1024;
    std::string joined;
    const auto writeJoined = [&] {
        const bool wrote = joined.empty() || write(std::string_view(joined));
        joined.clear();
        return wrote;
    };
    for (const std::string_view piece : pieces) {
        if (piece.size() >= kJoinBelow) {
            if (!writeJoined() || !write(piece)) {
                return false;
            }
        } else if (joined += piece; joined.size() >= kJoinBelow && !writeJoined()) {
            return false;
        }
    }
    return writeJoined();
}

#ifdef _WIN32

std::string ReasonFromWindowsError(DWORD error) {
    switch (error) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return "another program has the file open";
        case ERROR_ACCESS_DENIED:
            return "permission denied";
        case ERROR_WRITE_PROTECT:
            return "the drive is read-only";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "the disk is full";
        default:
            return std::system_category().message(static_cast<int>(error));
    }
}

FileStatus Stage(const fs::path& path, std::span<const std::string_view> pieces,
                 StagedFile& staged) {
    if (FileStatus status = ResolveTarget(path, staged.target); !status) {
        return status;
    }
    const DWORD attributes = GetFileAttributesW(staged.target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return FileStatus::Failure(staged.target, "the file is read-only");
    }
    for (int attempt = 0; attempt < 16; ++attempt) {
        staged.temporary = TemporaryBeside(staged.target);
        HANDLE file = CreateFileW(staged.temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS) {
                continue;
            }
            staged.temporary.clear();
            return FileStatus::Failure(staged.target, error == ERROR_ACCESS_DENIED
                                                          ? FolderRefusesNewFiles(staged.target)
                                                          : ReasonFromWindowsError(error));
        }
        DWORD error = ERROR_SUCCESS;
        WriteJoined(pieces, [&](std::string_view bytes) {
            // WriteFile takes at most 4 GiB - 1 at a time.
            while (!bytes.empty()) {
                DWORD written = 0;
                const auto chunk =
                    static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
                if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
                    error = GetLastError();
                    return false;
                }
                bytes.remove_prefix(written);
            }
            return true;
        });
        if (error == ERROR_SUCCESS && !FlushFileBuffers(file)) {
            error = GetLastError();
        }
        CloseHandle(file);
        if (error != ERROR_SUCCESS) {
            Discard(staged);
            return FileStatus::Failure(staged.target, ReasonFromWindowsError(error));
        }
        return FileStatus::Success();
    }
    return FileStatus::Failure(staged.target, "no temporary file could be made beside it");
}

FileStatus Commit(StagedFile& staged) {
    if (!MoveFileExW(staged.temporary.c_str(), staged.target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        Discard(staged);
        // Read-only files and closed folders are refused before; what denies the rename now
        // is mostly a program that holds the file open.
        return FileStatus::Failure(staged.target, error == ERROR_ACCESS_DENIED
                                                      ? "another program has the file open, or its "
                                                        "permissions forbid replacing it"
                                                      : ReasonFromWindowsError(error));
    }
    staged.temporary.clear();
    return FileStatus::Success();
}

// Each file is flushed as it is written, and each move is written through.
void StartWriteBack(std::span<const StagedFile>) {}

FileStatus Flush(std::span<StagedFile>) {
    return FileStatus::Success();
}

void FlushFolders(const std::vector<fs::path>&) {}

void ReleaseReplaced(std::span<StagedFile>) {}

#else

constexpr std::size_t kWriteStep = 1 << 20;

// Asks the system to start writing a stretch of a file to disk (0 bytes: to its end)
// without waiting for it; only a flush makes sure of it.
void StartWriteBack([[maybe_unused]] int fd, [[maybe_unused]] off_t offset,
                    [[maybe_unused]] off_t bytes) {
#ifdef SYNC_FILE_RANGE_WRITE
    ::sync_file_range(fd, offset, bytes, SYNC_FILE_RANGE_WRITE);
#endif
}

// Opens the file the new content goes to: an unnamed one in the target's folder where the
// system has them, else a named one. A new file gets the mode the process's umask allows,
// as any file the program creates; a replacement gets the old file's mode later.
int OpenTemporary(StagedFile& staged, bool replacing) {
    const mode_t mode = replacing ? 0600 : 0666;
#ifdef O_TMPFILE
    // Naming it later goes through /proc.
    if (::access("/proc/self/fd", X_OK) == 0) {
        const int fd =
            ::open(FolderOf(staged.target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd >= 0) {
            return fd;
        }
        if (errno == EACCES || errno == EPERM || errno == EROFS || errno == ENOSPC) {
            return -1;
        }
    }
#endif
    for (int attempt = 0; attempt < 64; ++attempt) {
        staged.temporary = TemporaryBeside(staged.target);
        const int fd =
            ::open(staged.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            return fd;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    const int error = errno;
    staged.temporary.clear();
    errno = error;
    return -1;
}

FileStatus Stage(const fs::path& path, std::span<const std::string_view> pieces,
                 StagedFile& staged) {
    if (FileStatus status = ResolveTarget(path, staged.target); !status) {
        return status;
    }
    struct stat existing {};
    const bool exists = ::stat(staged.target.c_str(), &existing) == 0;
    // Renaming over the file needs only the folder's permission; the file's own must allow
    // writing too, as it would for writing it in place.
    if (exists && ::access(staged.target.c_str(), W_OK) != 0) {
        return FileStatus::Failure(staged.target, ReasonFromError(errno));
    }

    const int fd = staged.fd = OpenTemporary(staged, exists);
    if (fd < 0) {
        const int error = errno;
        return FileStatus::Failure(staged.target, error == EACCES || error == EPERM
                                                      ? FolderRefusesNewFiles(staged.target)
                                                      : ReasonFromError(error));
    }
    auto fail = [&](int error) {
        Discard(staged);
        return FileStatus::Failure(staged.target, ReasonFromError(error));
    };
    off_t offset = 0;
    const bool wrote = WriteJoined(pieces, [&](std::string_view bytes) {
        while (!bytes.empty()) {
            // The disk starts on each written step while the next is copied.
            const std::size_t step = std::min<std::size_t>(bytes.size(), kWriteStep);
            const ssize_t written = ::write(fd, bytes.data(), step);
            if (written < 0 && errno != EINTR) {
                return false;
            }
            if (written > 0) {
                StartWriteBack(fd, offset, written);
                offset += written;
            }
            bytes.remove_prefix(written < 0 ? 0 : static_cast<std::size_t>(written));
        }
        return true;
    });
    if (!wrote) {
        return fail(errno);
    }
    if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0) {
        return fail(errno);
    }
    if (exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())) {
        // Only possible for a privileged user; keeps the player's ownership of the file.
        [[maybe_unused]] const int ignored = ::fchown(fd, existing.st_uid, existing.st_gid);
    }
    return FileStatus::Success();
}

// The writing back of all staged files is started before the first is waited for, so that
// one journal commit can take them all.
void StartWriteBack(std::span<const StagedFile> files) {
    for (const StagedFile& staged : files) {
        StartWriteBack(staged.fd, 0, 0);
    }
}

// Flushes the staged files to disk.
FileStatus Flush(std::span<StagedFile> files) {
    for (StagedFile& staged : files) {
        bool flushed = ::fsync(staged.fd) == 0;
        // A named file is closed now: closing can report a failed write, as on NFS.
        if (flushed && !staged.temporary.empty()) {
            flushed = ::close(std::exchange(staged.fd, -1)) == 0;
        }
        if (!flushed) {
            const int error = errno;
            Discard(staged);
            return FileStatus::Failure(staged.target, ReasonFromError(error));
        }
    }
    return FileStatus::Success();
}

// Gives an unnamed file a name beside its target, right before it takes the target's place.
FileStatus NameUnnamed(StagedFile& staged) {
    const std::string handle = "/proc/self/fd/" + std::to_string(staged.fd);
    int error = EEXIST;
    for (int attempt = 0; attempt < 64 && error == EEXIST; ++attempt) {
        staged.temporary = TemporaryBeside(staged.target);
        error = ::linkat(AT_FDCWD, handle.c_str(), AT_FDCWD, staged.temporary.c_str(),
                         AT_SYMLINK_FOLLOW) == 0
                    ? 0
                    : errno;
    }
    if (error != 0) {
        staged.temporary.clear();
    }
    ::close(std::exchange(staged.fd, -1));
    return error == 0 ? FileStatus::Success()
                      : FileStatus::Failure(staged.target, ReasonFromError(error));
}

FileStatus Commit(StagedFile& staged) {
    if (staged.temporary.empty()) {
        if (FileStatus named = NameUnnamed(staged); !named) {
            return named;
        }
    }
#ifdef O_PATH
    staged.replaced = ::open(staged.target.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
#endif
    if (::rename(staged.temporary.c_str(), staged.target.c_str()) != 0) {
        const int error = errno;
        Discard(staged);
        return FileStatus::Failure(staged.target, ReasonFromError(error));
    }
    staged.temporary.clear();
    return FileStatus::Success();
}

// Dropping the last reference to a replaced file frees its blocks, which can wait for the
// disk: a filesystem mounted with "discard" may trim them right then (2.5 ms for 10 MB on a
// virtual disk). The replaced files are held open over their renames and let go by a worker
// once the save is done, as filesystems that free blocks in the background do anyway.
class ReplacedFileReleaser {
public:
    ~ReplacedFileReleaser() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (worker_.joinable()) {
            worker_.join();
        }
    }

    void Release(int fd) {
        const std::lock_guard lock(mutex_);
        waiting_.push_back(fd);
        if (!worker_.joinable()) {
            worker_ = std::thread([this] { Work(); });
        }
        changed_.notify_all();
    }

    void Finish() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return waiting_.empty() && !closing_; });
    }

private:
    void Work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
            if (waiting_.empty()) {
                return;
            }
            const std::vector<int> fds = std::exchange(waiting_, {});
            closing_ = true;
            lock.unlock();
            for (const int fd : fds) {
                ::close(fd);
            }
            lock.lock();
            closing_ = false;
            changed_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> waiting_;
    bool closing_ = false;
    bool stopping_ = false;
    std::thread worker_;
};

ReplacedFileReleaser& Releaser() {
    static ReplacedFileReleaser releaser;
    return releaser;
}

void ReleaseReplaced(std::span<StagedFile> files) {
    for (StagedFile& staged : files) {
        if (staged.replaced >= 0) {
            Releaser().Release(std::exchange(staged.replaced, -1));
        }
    }
}

// The new names reach the disk with their folders' entries, each folder flushed once after
// all its renames; the files are in place either way.
void FlushFolders(const std::vector<fs::path>& folders) {
    for (const fs::path& folder : folders) {
        const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderFd >= 0) {
            ::fsync(folderFd);
            ::close(folderFd);
        }
    }
}

#endif

// The folders the staged files go to, each once.
std::vector<fs::path> FoldersOf(std::span<const StagedFile> files) {
    std::vector<fs::path> folders;
    for (const StagedFile& staged : files) {
        if (std::find(folders.begin(), folders.end(), FolderOf(staged.target)) == folders.end()) {
            folders.push_back(FolderOf(staged.target));
        }
    }
    return folders;
}

ReplacementGuard& CurrentGuard() {
    static ReplacementGuard guard;
    return guard;
}

FileStatus AskGuard(const fs::path& path) {
    return CurrentGuard() ? CurrentGuard()(path) : FileStatus::Success();
}

}  // namespace

void SetReplacementGuard(ReplacementGuard guard) {
    CurrentGuard() = std::move(guard);
}

fs::path PathFromUtf8(std::string_view text) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(text.data()), text.size()));
}

std::string Utf8FromPath(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string FileStatus::Message(std::string_view action) const {
    return std::string(action) + " \"" + Utf8FromPath(path) + "\": " + reason;
}

namespace {

// A regular file open for reading. Folders, devices and pipes are refused; opening never
// waits, not even for a pipe without a writer, so none in place of a settings file can stall
// or flood us.
class OpenedFile {
public:
    explicit OpenedFile(const fs::path& path) {
#ifdef _WIN32
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (fs::is_directory(status)) {
            problem_ = "it is a folder, not a file";
            return;
        }
        if (fs::exists(status) && !fs::is_regular_file(status)) {
            problem_ = "it is not a regular file";
            return;
        }
        // The wide name, so that folders outside the ANSI code page open too.
        file_ = ::_wfopen(path.c_str(), L"rb");
        if (file_ == nullptr) {
            problem_ = ReasonFromError(errno);
            return;
        }
        size_ = fs::file_size(path, error);
#else
        fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) {
            problem_ = ReasonFromError(errno);
            return;
        }
        struct stat info {};
        if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
            problem_ =
                S_ISDIR(info.st_mode) ? "it is a folder, not a file" : "it is not a regular file";
            return;
        }
        size_ = static_cast<std::uintmax_t>(info.st_size);
#endif
    }
    ~OpenedFile() {
#ifdef _WIN32
        if (file_ != nullptr) {
            std::fclose(file_);
        }
#else
        if (fd_ >= 0) {
            ::close(fd_);
        }
#endif
    }
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;

    // Why the file cannot be read; empty when it is open.
    const std::string& problem() const {
        return problem_;
    }
    // Its size when opened.
    std::uintmax_t size() const {
        return size_;
    }

    // Bytes read (0 at the end), or -1 on failure.
    long long ReadSome(char* into, std::size_t count) {
#ifdef _WIN32
        const std::size_t got = std::fread(into, 1, count, file_);
        return std::ferror(file_) ? -1 : static_cast<long long>(got);
#else
        for (;;) {
            const ssize_t got = ::read(fd_, into, count);
            if (got >= 0 || errno != EINTR) {
                return static_cast<long long>(got);
            }
        }
#endif
    }

private:
#ifdef _WIN32
    std::FILE* file_ = nullptr;
#else
    int fd_ = -1;
#endif
    std::uintmax_t size_ = 0;
    std::string problem_;
};

// Reads an opened file whole into memory that `room(n)` makes for n bytes, keeping those
// read before; a file that grows meanwhile is read to its end all the same, up to the limit.
// Gives the number of bytes read, or the failure.
template <typename Room>
FileStatus ReadWhole(const fs::path& path, std::uint64_t limit, std::string_view tooLarge,
                     Room room, std::size_t& filled) {
    filled = 0;
    OpenedFile file(path);
    if (!file.problem().empty()) {
        return FileStatus::Failure(path, file.problem());
    }
    if (file.size() > limit) {
        return FileStatus::Failure(path, std::string(tooLarge));
    }
    // One byte more than expected, so that the end is seen without growing.
    std::size_t capacity = static_cast<std::size_t>(file.size()) + 1;
    char* data = room(capacity);
    for (;;) {
        const long long got = file.ReadSome(data + filled, capacity - filled);
        if (got < 0) {
            return FileStatus::Failure(path, "it could not be read");
        }
        if (got == 0) {
            return FileStatus::Success();
        }
        filled += static_cast<std::size_t>(got);
        if (filled > limit) {
            return FileStatus::Failure(path, std::string(tooLarge));
        }
        if (filled == capacity) {
            capacity += std::max<std::size_t>(capacity / 2, 1 << 16);
            data = room(capacity);
        }
    }
}

}  // namespace

// Large files get memory aligned for 2 MiB pages where the system has them.
class FileBytesFiller {
public:
    static char* Room(FileBytes& bytes, std::size_t capacity, std::size_t kept) {
        if (capacity <= bytes.capacity_) {
            return bytes.data_.get();
        }
        char* data = nullptr;
#if defined(MADV_HUGEPAGE) && !defined(_WIN32)
        constexpr std::size_t kLargePage = std::size_t{2} << 20;
        if (capacity >= kLargePage) {
            capacity = (capacity + kLargePage - 1) & ~(kLargePage - 1);
            data = static_cast<char*>(std::aligned_alloc(kLargePage, capacity));
            if (data != nullptr) {
                ::madvise(data, capacity, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
                ::madvise(data, capacity, MADV_POPULATE_WRITE);
#endif
            }
        }
#endif
        if (data == nullptr) {
            data = static_cast<char*>(std::malloc(capacity));
            if (data == nullptr) {
                throw std::bad_alloc();
            }
        }
        if (kept > 0) {
            std::memcpy(data, bytes.data_.get(), kept);
        }
        bytes.data_.reset(data);
        bytes.capacity_ = capacity;
        return data;
    }

    static void SetSize(FileBytes& bytes, std::size_t size) {
        bytes.size_ = size;
    }
};

void FileBytes::Free::operator()(char* data) const {
    std::free(data);
}

FileBytes::FileBytes(std::string_view bytes) {
    if (!bytes.empty()) {
        std::memcpy(FileBytesFiller::Room(*this, bytes.size(), 0), bytes.data(), bytes.size());
        size_ = bytes.size();
    }
}

FileStatus ReadFileBytes(const fs::path& path, FileBytes& bytes, std::uint64_t limit,
                         std::string_view tooLarge) {
    std::size_t filled = 0;
    FileStatus status = ReadWhole(
        path, limit, tooLarge,
        [&](std::size_t capacity) { return FileBytesFiller::Room(bytes, capacity, filled); },
        filled);
    FileBytesFiller::SetSize(bytes, status ? filled : 0);
    return status;
}

FileStatus ReadFileBytes(const fs::path& path, std::string& bytes, std::uint64_t limit,
                         std::string_view tooLarge) {
    std::size_t filled = 0;
    FileStatus status = ReadWhole(
        path, limit, tooLarge,
        [&](std::size_t capacity) {
            bytes.resize(capacity);
            return bytes.data();
        },
        filled);
    bytes.resize(status ? filled : 0);
    return status;
}

namespace {

bool FileHoldsExactly(const fs::path& path, std::string_view bytes) {
    OpenedFile file(path);
    if (!file.problem().empty() || file.size() != bytes.size()) {
        return false;
    }
    // Read in steps small enough to stay in the processor's cache.
    std::vector<char> step(std::size_t{1} << 17);
    for (;;) {
        const long long got = file.ReadSome(step.data(), step.size());
        if (got <= 0) {
            return got == 0 && bytes.empty();
        }
        const auto count = static_cast<std::size_t>(got);
        if (count > bytes.size() || std::memcmp(step.data(), bytes.data(), count) != 0) {
            return false;
        }
        bytes.remove_prefix(count);
    }
}

}  // namespace

bool FileIsAsRead(const fs::path& path, const FileAsRead& asRead) {
    if (asRead.found) {
        return FileHoldsExactly(path, asRead.bytes);
    }
    std::error_code error;
    return fs::status(path, error).type() == fs::file_type::not_found;
}

FileStatus ReadFileIfThere(const fs::path& path, std::optional<FileBytes>& bytes) {
    bytes.reset();
    std::error_code error;
    if (fs::status(path, error).type() == fs::file_type::not_found) {
        return FileStatus::Success();
    }
    bytes.emplace();
    FileStatus read = ReadFileBytes(path, *bytes);
    if (!read) {
        bytes.reset();
    }
    return read;
}

FileStatus ReplaceFileContents(const fs::path& path, std::string_view bytes) {
    return ReplaceFilePiecesTogether({{path, {bytes}, {}}});
}

FileStatus ReplaceFilesTogether(const std::vector<FileReplacement>& replacements) {
    std::vector<FilePieces> pieces;
    for (const FileReplacement& replacement : replacements) {
        pieces.push_back({replacement.path, {replacement.bytes}, {}});
    }
    return ReplaceFilePiecesTogether(pieces);
}

FileStatus ReplaceFilePiecesTogether(const std::vector<FilePieces>& replacements) {
    for (const FilePieces& replacement : replacements) {
        if (FileStatus allowed = AskGuard(replacement.path); !allowed) {
            return allowed;
        }
    }
    // Discarding a file not staged, or already in place, does nothing.
    std::vector<StagedFile> staged(replacements.size());
    const auto discardAll = [&staged] {
        for (StagedFile& file : staged) {
            Discard(file);
        }
    };
    for (std::size_t i = 0; i < replacements.size(); ++i) {
        if (FileStatus status = Stage(replacements[i].path, replacements[i].pieces, staged[i]);
            !status) {
            discardAll();
            return status;
        }
    }
    const std::vector<fs::path> folders = FoldersOf(staged);
    for (const fs::path& folder : folders) {
        RemoveLeftoverTemporaries(folder);
    }
    StartWriteBack(staged);
    for (const FilePieces& replacement : replacements) {
        if (replacement.asRead && !FileIsAsRead(replacement.path, *replacement.asRead)) {
            discardAll();
            return FileStatus::Failure(replacement.path, std::string(kChangedWhileSaving));
        }
    }
    if (FileStatus flushed = Flush(staged); !flushed) {
        discardAll();
        return flushed;
    }
    // Old contents, so that a failure half-way can be undone: what the file was checked to
    // hold above, else read now. Only a file that is not there may be removed again; one that
    // is there but cannot be read stops everything here. The last file is never put back:
    // nothing can fail after it.
    std::vector<std::optional<FileBytes>> readNow(replacements.size());
    std::vector<FileAsRead> previous(replacements.size());
    for (std::size_t i = 0; i + 1 < staged.size(); ++i) {
        if (replacements[i].asRead) {
            previous[i] = *replacements[i].asRead;
            continue;
        }
        if (FileStatus read = ReadFileIfThere(staged[i].target, readNow[i]); !read) {
            discardAll();
            return read;
        }
        if (readNow[i]) {
            previous[i] = {true, readNow[i]->view()};
        }
    }
    // Every file is written and flushed before the first takes its place, and the renames
    // follow each other at once: a crash or a kill can then fall between two renames only,
    // the shortest time in which the files can be out of step.
    for (std::size_t i = 0; i < staged.size(); ++i) {
        if (FileStatus status = Commit(staged[i]); !status) {
            discardAll();
            for (std::size_t j = 0; j < i; ++j) {
                std::error_code ignored;
                if (previous[j].found) {
                    ReplaceFileContents(staged[j].target, previous[j].bytes);
                } else {
                    fs::remove(staged[j].target, ignored);
                }
            }
            return status;
        }
    }
    FlushFolders(folders);
    ReleaseReplaced(staged);
    return FileStatus::Success();
}

void FinishReleasingReplacedFiles() {
#ifndef _WIN32
    Releaser().Finish();
#endif
}

}  // namespace vk3
