#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <utility>
#include <vector>

#include "files/disk.h"
#include "files/file_paths.h"

namespace fs = std::filesystem;

namespace vk3::disk {

namespace {

// The first byte of a lock file: held now, or let go in order.
constexpr char kHeldMark = '1';
constexpr char kFreeMark = '0';

FileStatus FromErrno(const fs::path& path, int error) {
    switch (error) {
        case ENOENT:
            return FileStatus::Failure(path, FileProblem::NotFound,
                                       "the file or its folder does not exist");
        case EACCES:
        case EPERM:
            return FileStatus::Failure(path, FileProblem::ReadOnly, "permission denied");
        case EROFS:
            return FileStatus::Failure(path, FileProblem::ReadOnly, "the drive is read-only");
        case ENOSPC:
            return FileStatus::Failure(path, FileProblem::DiskFull, "the disk is full");
#ifdef EDQUOT
        case EDQUOT:
            return FileStatus::Failure(path, FileProblem::DiskFull, "the disk quota is used up");
#endif
        case EFBIG:
            return FileStatus::Failure(path, FileProblem::DiskFull, "the file would be too large");
        case EISDIR:
            return FileStatus::Failure(path, FileProblem::NotRegularFile,
                                       "it is a folder, not a file");
        case ENOTDIR:
            return FileStatus::Failure(path, FileProblem::NotFound,
                                       "a part of the path is not a folder");
        case ELOOP:
            return FileStatus::Failure(path, FileProblem::Other,
                                       "its symbolic links lead round in a circle");
        default:
            return FileStatus::Failure(path, std::generic_category().message(error));
    }
}

FileVersion VersionFromStat(const struct stat& info) {
    FileVersion version;
    version.found = true;
    version.device = static_cast<std::uint64_t>(info.st_dev);
    version.inode = static_cast<std::uint64_t>(info.st_ino);
    version.size = static_cast<std::uint64_t>(info.st_size);
    version.modified =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    version.changed =
        static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return version;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        CountDiskChange();
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// All pieces in as few system calls as the system allows: a file with a few changed lines
// is one large stretch and dozens of small ones.
bool WritePieces(int fd, std::span<const std::string_view> pieces) {
    constexpr std::size_t kMostAtOnce = 1024;  // IOV_MAX on Linux
    std::vector<iovec> parts;
    parts.reserve(std::min(pieces.size(), kMostAtOnce));
    std::size_t next = 0;
    std::size_t doneOfFirst = 0;  // bytes of pieces[next] already written
    while (next < pieces.size()) {
        parts.clear();
        for (std::size_t i = next; i < pieces.size() && parts.size() < kMostAtOnce; ++i) {
            const std::size_t skip = i == next ? doneOfFirst : 0;
            if (pieces[i].size() > skip) {
                parts.push_back(
                    {const_cast<char*>(pieces[i].data() + skip), pieces[i].size() - skip});
            }
        }
        if (parts.empty()) {
            break;
        }
        CountDiskChange();
        ssize_t written = ::writev(fd, parts.data(), static_cast<int>(parts.size()));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        // Steps past what was written, piece by piece.
        auto left = static_cast<std::size_t>(written);
        while (next < pieces.size() && left >= pieces[next].size() - doneOfFirst) {
            left -= pieces[next].size() - doneOfFirst;
            doneOfFirst = 0;
            ++next;
        }
        doneOfFirst += left;
    }
    return true;
}

}  // namespace

FileStatus Read(const fs::path& path, std::uint64_t limit, std::string_view tooLarge,
                FileText& bytes, FileVersion& version) {
    bytes.Clear();
    version = {};
    // Opening never waits, not even for a pipe without a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return FromErrno(path, errno);
    }
    struct stat info {};
    FileStatus status;
    if (::fstat(fd, &info) != 0) {
        status = FromErrno(path, errno);
    } else if (!S_ISREG(info.st_mode)) {
        status = FileStatus::Failure(
            path, FileProblem::NotRegularFile,
            S_ISDIR(info.st_mode) ? "it is a folder, not a file" : "it is not a regular file");
    } else if (static_cast<std::uint64_t>(info.st_size) > limit) {
        status = FileStatus::Failure(path, FileProblem::TooLarge, std::string(tooLarge));
    } else {
        version = VersionFromStat(info);
        // One byte more than expected, so that the end is seen without growing; a file that
        // grows meanwhile is read to its end all the same, up to the limit.
        std::size_t filled = 0;
        char* room = bytes.Reserve(static_cast<std::size_t>(info.st_size) + 1);
        for (;;) {
            const ssize_t got = ::read(fd, room + filled, bytes.capacity() - filled);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                status = FileStatus::Failure(path, "it could not be read");
                break;
            }
            if (got == 0) {
                break;
            }
            const bool shortRead = static_cast<std::size_t>(got) < bytes.capacity() - filled;
            filled += static_cast<std::size_t>(got);
            if (filled > limit) {
                status = FileStatus::Failure(path, FileProblem::TooLarge, std::string(tooLarge));
                break;
            }
            if (shortRead) {
                break;  // a regular file gives less only at its end
            }
            if (filled == bytes.capacity()) {
                bytes.SetSize(filled);
                room = bytes.Reserve(filled + std::max<std::size_t>(filled / 2, 1 << 16));
            }
        }
        bytes.SetSize(status ? filled : 0);
        // A file written while it was read is not the version seen at its start.
        if (status && ::fstat(fd, &info) == 0 && !(VersionFromStat(info) == version)) {
            version = {};
            version.found = true;
        }
    }
    ::close(fd);
    if (!status) {
        version = {};
    }
    return status;
}

FileVersion VersionOf(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    return VersionFromStat(info);
}

FileStatus CheckWritable(const fs::path& target) {
    // Renaming over the file needs only the folder's permission; the file's own must allow
    // writing too, as it would for writing it in place.
    if (::access(target.c_str(), W_OK) != 0) {
        return FromErrno(target, errno);
    }
    return FileStatus::Success();
}

std::string FolderIdentity(const fs::path& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        std::error_code error;
        return Utf8FromPath(fs::absolute(folder, error));
    }
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
}

FileStatus Prepare(const fs::path& target, std::span<const std::string_view> pieces,
                   bool privateFile, Prepared& prepared) {
    prepared.target = target;
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    // A replacement gets the old file's mode below; a new file the mode the umask allows.
    const mode_t mode = exists || privateFile ? 0600 : 0666;
    int fd = -1;
    for (int attempt = 0; attempt < 64 && fd < 0; ++attempt) {
        prepared.temporary = TemporaryBeside(target);
        CountDiskChange();
        fd = ::open(prepared.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        const int error = errno;
        prepared.temporary.clear();
        if (error == EACCES || error == EPERM) {
            return FileStatus::Failure(target, FileProblem::ReadOnly,
                                       "the folder \"" + Utf8FromPath(target.parent_path()) +
                                           "\" does not allow new files, which a safe save needs");
        }
        return FromErrno(target, error);
    }
    prepared.handle = fd;
    if (struct stat made{}; ::fstat(fd, &made) == 0) {
        prepared.inode = static_cast<std::uint64_t>(made.st_ino);
    }
    if (!WritePieces(fd, pieces)) {
        const int error = errno;
        Discard(prepared);
        return FromErrno(target, error);
    }
#ifdef SYNC_FILE_RANGE_WRITE
    // The disk starts on it now, while the other files of the step are written; Flush()
    // then waits for less.
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
    if (exists) {
        CountDiskChange();
        if (::fchmod(fd, existing.st_mode & 07777) != 0) {
            const int error = errno;
            Discard(prepared);
            return FromErrno(target, error);
        }
        if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
            // Only possible for a privileged user; keeps the player's ownership of the file.
            [[maybe_unused]] const int ignored = ::fchown(fd, existing.st_uid, existing.st_gid);
        }
    }
    return FileStatus::Success();
}

namespace {

// Flushes a file written without fault so far with `flush` (none when null), and closes it:
// false with the first failure's errno in error. Closing can report a failed write too, as
// on NFS.
bool FlushAndClose(int fd, bool fine, int& error, int (*flush)(int) = ::fsync) {
    if (fine && flush != nullptr && flush(fd) != 0) {
        fine = false;
        error = errno;
    }
    if (::close(fd) != 0 && fine) {
        fine = false;
        error = errno;
    }
    return fine;
}

}  // namespace

FileStatus Flush(Prepared& prepared) {
    const int fd = static_cast<int>(std::exchange(prepared.handle, -1));
    CountDiskChange();
    int error = 0;
    if (!FlushAndClose(fd, true, error)) {
        Discard(prepared);
        return FromErrno(prepared.target, error);
    }
    return FileStatus::Success();
}

FileStatus PutInPlace(Prepared& prepared) {
    CountDiskChange();
    if (::rename(prepared.temporary.c_str(), prepared.target.c_str()) != 0) {
        const int error = errno;
        Discard(prepared);
        return FromErrno(prepared.target, error);
    }
    prepared.temporary.clear();
    return FileStatus::Success();
}

namespace {

// The same file, unchanged: its inode's change time moves with every rename, so it is left out.
bool SameAsRead(const FileVersion& now, const FileVersion& read) {
    return now.found == read.found && now.device == read.device && now.inode == read.inode &&
           now.size == read.size && now.modified == read.modified;
}

FileStatus ChangedMeanwhile(Prepared& prepared) {
    Discard(prepared);
    return FileStatus::Failure(prepared.target, FileProblem::ChangedMeanwhile,
                               "another program changed it while it was being saved");
}

}  // namespace

FileStatus PutInPlaceIfStill(Prepared& prepared, const FileVersion& read) {
#if defined(RENAME_EXCHANGE) && defined(RENAME_NOREPLACE)
    // Checked before the swap as well: a program that reads the file while our content is
    // swapped in for the check after it would build on that content and lose its own change.
    if (read.found && !SameAsRead(VersionOf(prepared.target), read)) {
        return ChangedMeanwhile(prepared);
    }
    CountDiskChange();
    const unsigned how = read.found ? RENAME_EXCHANGE : RENAME_NOREPLACE;
    if (::renameat2(AT_FDCWD, prepared.temporary.c_str(), AT_FDCWD, prepared.target.c_str(), how) ==
        0) {
        if (!read.found) {
            prepared.temporary.clear();
            return FileStatus::Success();
        }
        // The temporary name now holds the file that was replaced.
        if (SameAsRead(VersionOf(prepared.temporary), read)) {
            Remove(prepared.temporary);
            prepared.temporary.clear();
            return FileStatus::Success();
        }
        CountDiskChange();
        ::renameat2(AT_FDCWD, prepared.temporary.c_str(), AT_FDCWD, prepared.target.c_str(),
                    RENAME_EXCHANGE);
        return ChangedMeanwhile(prepared);
    }
    if (errno == EEXIST || (read.found && errno == ENOENT)) {
        return ChangedMeanwhile(prepared);
    }
    // Else the filesystem cannot swap names: checked, then renamed.
#endif
    if (!SameAsRead(VersionOf(prepared.target), read)) {
        return ChangedMeanwhile(prepared);
    }
    return PutInPlace(prepared);
}

void Discard(Prepared& prepared) {
    if (prepared.handle >= 0) {
        ::close(static_cast<int>(std::exchange(prepared.handle, -1)));
    }
    if (!prepared.temporary.empty()) {
        Remove(prepared.temporary);
        prepared.temporary.clear();
    }
}

void FlushFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        CountDiskChange();
        ::fsync(fd);
        ::close(fd);
    }
}

bool Rename(const fs::path& from, const fs::path& to) {
    CountDiskChange();
    return ::rename(from.c_str(), to.c_str()) == 0;
}

void Remove(const fs::path& path) {
    CountDiskChange();
    ::unlink(path.c_str());
}

bool MakePrivateFolder(const fs::path& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    if (folder.has_parent_path() && folder.parent_path() != folder &&
        !MakePrivateFolder(folder.parent_path())) {
        return false;
    }
    CountDiskChange();
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

FileStatus WriteAtStart(const fs::path& path, std::string_view bytes, bool flush) {
    CountDiskChange();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return FromErrno(path, errno);
    }
    CountDiskChange();
    const bool written = WriteAll(fd, bytes);
    int error = errno;
    if (flush) {
        CountDiskChange();
    }
    if (!FlushAndClose(fd, written, error, flush ? ::fdatasync : nullptr)) {
        return FromErrno(path, error);
    }
    return FileStatus::Success();
}

LockHandle TryLock(const fs::path& lockFile, bool& holderEnded) {
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return kNoLock;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return kNoLock;
    }
    char mark = 0;
    holderEnded = ::pread(fd, &mark, 1, 0) == 1 && mark == kHeldMark;
    [[maybe_unused]] const ssize_t ignored = ::pwrite(fd, &kHeldMark, 1, 0);
    return fd;
}

void Unlock(LockHandle handle) {
    if (handle != kNoLock) {
        [[maybe_unused]] const ssize_t ignored =
            ::pwrite(static_cast<int>(handle), &kFreeMark, 1, 0);
        ::close(static_cast<int>(handle));  // closing lets the lock go
    }
}

fs::path RuntimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime != nullptr && fs::path(runtime).is_absolute() ? fs::path(runtime) / "vk3tune"
                                                                 : fs::path();
}

fs::path StateFolder() {
    // A relative XDG_STATE_HOME is invalid and ignored, as the XDG rules ask.
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && fs::path(state).is_absolute()) {
        return fs::path(state) / "vk3tune";
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return fs::path(home) / ".local" / "state" / "vk3tune";
    }
    return {};
}

}  // namespace vk3::disk
