#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <system_error>
#include <utility>

#include "files/disk.h"
#include "files/file_paths.h"

namespace fs = std::filesystem;

namespace vk3::disk {

namespace {

FileStatus FromWindowsError(const fs::path& path, DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return FileStatus::Failure(path, FileProblem::NotFound,
                                       "the file or its folder does not exist");
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return FileStatus::Failure(path, FileProblem::Busy,
                                       "another program has the file open");
        case ERROR_ACCESS_DENIED:
            return FileStatus::Failure(path, FileProblem::ReadOnly, "permission denied");
        case ERROR_WRITE_PROTECT:
            return FileStatus::Failure(path, FileProblem::ReadOnly, "the drive is read-only");
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return FileStatus::Failure(path, FileProblem::DiskFull, "the disk is full");
        default:
            return FileStatus::Failure(path,
                                       std::system_category().message(static_cast<int>(error)));
    }
}

FileVersion VersionOfHandle(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) {
        return {};
    }
    FileVersion version;
    version.found = true;
    version.device = info.dwVolumeSerialNumber;
    version.inode = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    version.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    version.modified =
        static_cast<std::int64_t>((std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                  info.ftLastWriteTime.dwLowDateTime);
    return version;
}

HANDLE OpenForReading(const fs::path& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        CountDiskChange();
        DWORD written = 0;
        // WriteFile takes at most 4 GiB - 1 at a time.
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

FileStatus Read(const fs::path& path, std::uint64_t limit, std::string_view tooLarge,
                FileText& bytes, FileVersion& version) {
    bytes.Clear();
    version = {};
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (fs::is_directory(status)) {
        return FileStatus::Failure(path, FileProblem::NotRegularFile, "it is a folder, not a file");
    }
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        return FileStatus::Failure(path, FileProblem::NotRegularFile, "it is not a regular file");
    }
    HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE) {
        return FromWindowsError(path, GetLastError());
    }
    version = VersionOfHandle(file);
    FileStatus result;
    if (version.size > limit) {
        result = FileStatus::Failure(path, FileProblem::TooLarge, std::string(tooLarge));
    } else {
        const auto size = static_cast<std::size_t>(version.size);
        char* room = bytes.Reserve(size);
        std::size_t filled = 0;
        while (filled < size) {
            DWORD got = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size - filled, 1u << 30));
            if (!ReadFile(file, room + filled, chunk, &got, nullptr)) {
                result = FileStatus::Failure(path, "it could not be read");
                break;
            }
            if (got == 0) {
                break;
            }
            filled += got;
        }
        bytes.SetSize(result ? filled : 0);
    }
    CloseHandle(file);
    if (!result) {
        version = {};
    }
    return result;
}

FileVersion VersionOf(const fs::path& path) {
    HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    const FileVersion version = VersionOfHandle(file);
    CloseHandle(file);
    return version;
}

FileStatus CheckWritable(const fs::path& target) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return FileStatus::Failure(target, FileProblem::ReadOnly, "the file is read-only");
    }
    return FileStatus::Success();
}

FileStatus Prepare(const fs::path& target, std::span<const std::string_view> pieces, bool,
                   Prepared& prepared) {
    prepared.target = target;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 16 && error == ERROR_FILE_EXISTS; ++attempt) {
        prepared.temporary = TemporaryBeside(target);
        CountDiskChange();
        file = CreateFileW(prepared.temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        error = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    }
    if (file == INVALID_HANDLE_VALUE) {
        prepared.temporary.clear();
        if (error == ERROR_ACCESS_DENIED) {
            return FileStatus::Failure(target, FileProblem::ReadOnly,
                                       "the folder \"" + Utf8FromPath(target.parent_path()) +
                                           "\" does not allow new files, which a safe save needs");
        }
        return FromWindowsError(target, error);
    }
    prepared.handle = reinterpret_cast<std::intptr_t>(file);
    constexpr std::size_t kJoinUpTo = 1 << 16;
    // Small stretches are joined in blocks, so that a file of many changed lines is written
    // in a few calls instead of one per line.
    std::string block;
    const auto writeBlock = [&] { return WriteAll(file, std::exchange(block, {})); };
    for (const std::string_view piece : pieces) {
        if (piece.size() < kJoinUpTo && block.size() + piece.size() <= kJoinUpTo) {
            block += piece;
            continue;
        }
        if (!writeBlock() || !WriteAll(file, piece)) {
            const DWORD failed = GetLastError();
            Discard(prepared);
            return FromWindowsError(target, failed);
        }
    }
    if (!writeBlock()) {
        const DWORD failed = GetLastError();
        Discard(prepared);
        return FromWindowsError(target, failed);
    }
    return FileStatus::Success();
}

FileStatus Flush(Prepared& prepared) {
    HANDLE file = reinterpret_cast<HANDLE>(std::exchange(prepared.handle, -1));
    CountDiskChange();
    const bool flushed = FlushFileBuffers(file);
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!flushed) {
        Discard(prepared);
        return FromWindowsError(prepared.target, error);
    }
    return FileStatus::Success();
}

FileStatus PutInPlace(Prepared& prepared) {
    CountDiskChange();
    if (!MoveFileExW(prepared.temporary.c_str(), prepared.target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        Discard(prepared);
        // Read-only files and closed folders are refused before; what denies the rename now
        // is mostly a program that holds the file open.
        if (error == ERROR_ACCESS_DENIED) {
            return FileStatus::Failure(prepared.target, FileProblem::Busy,
                                       "another program has the file open, or its permissions "
                                       "forbid replacing it");
        }
        return FromWindowsError(prepared.target, error);
    }
    prepared.temporary.clear();
    return FileStatus::Success();
}

FileStatus PutInPlaceIfStill(Prepared& prepared, const FileVersion& read) {
    if (!(VersionOf(prepared.target) == read)) {
        Discard(prepared);
        return FileStatus::Failure(prepared.target, FileProblem::ChangedMeanwhile,
                                   "another program changed it while it was being saved");
    }
    return PutInPlace(prepared);
}

void Discard(Prepared& prepared) {
    if (prepared.handle != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(std::exchange(prepared.handle, -1)));
    }
    if (!prepared.temporary.empty()) {
        Remove(prepared.temporary);
        prepared.temporary.clear();
    }
}

// Each move is written through.
void FlushFolder(const fs::path&) {}

bool Rename(const fs::path& from, const fs::path& to) {
    CountDiskChange();
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void Remove(const fs::path& path) {
    CountDiskChange();
    DeleteFileW(path.c_str());
}

// A new folder under the user's own profile inherits an access list for that user alone.
bool MakePrivateFolder(const fs::path& folder) {
    std::error_code error;
    CountDiskChange();
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error);
}

FileStatus WriteAtStart(const fs::path& path, std::string_view bytes, bool flush) {
    CountDiskChange();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return FromWindowsError(path, GetLastError());
    }
    CountDiskChange();
    bool written = WriteAll(file, bytes);
    if (flush) {
        CountDiskChange();
        written = written && FlushFileBuffers(file);
    }
    DWORD error = written ? ERROR_SUCCESS : GetLastError();
    if (!CloseHandle(file) && written) {
        written = false;
        error = GetLastError();
    }
    return written ? FileStatus::Success() : FromWindowsError(path, error);
}

namespace {

// The first byte of a lock file: held now, or let go in order.
constexpr char kHeldMark = '1';
constexpr char kFreeMark = '0';

// Reads or writes the lock file's first byte, whatever the handle's position.
bool FirstByte(HANDLE file, char& mark, bool write) {
    OVERLAPPED start{};
    DWORD done = 0;
    const bool ok =
        write ? WriteFile(file, &mark, 1, &done, &start) : ReadFile(file, &mark, 1, &done, &start);
    return ok && done == 1;
}

}  // namespace

LockHandle TryLock(const fs::path& lockFile, bool& holderEnded) {
    HANDLE file = CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return kNoLock;
    }
    OVERLAPPED whole{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
        CloseHandle(file);
        return kNoLock;
    }
    char mark = 0;
    holderEnded = FirstByte(file, mark, false) && mark == kHeldMark;
    mark = kHeldMark;
    FirstByte(file, mark, true);
    return reinterpret_cast<LockHandle>(file);
}

void Unlock(LockHandle handle) {
    if (handle != kNoLock) {
        char mark = kFreeMark;
        FirstByte(reinterpret_cast<HANDLE>(handle), mark, true);
        CloseHandle(reinterpret_cast<HANDLE>(handle));  // closing lets the lock go
    }
}

std::string FolderIdentity(const fs::path& folder) {
    std::error_code error;
    const fs::path real = fs::weakly_canonical(fs::absolute(folder, error), error);
    return Utf8FromPath(error ? folder : real);
}

// Windows has no per-session folder for these; the state folder takes them.
fs::path RuntimeFolder() {
    return {};
}

fs::path StateFolder() {
    const wchar_t* localAppData = _wgetenv(L"LOCALAPPDATA");
    if (localAppData == nullptr || *localAppData == L'\0') {
        return {};
    }
    return fs::path(localAppData) / "vk3tune";
}

}  // namespace vk3::disk
