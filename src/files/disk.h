#pragma once

// The system calls the file layer is built on, one implementation per platform
// (disk_posix.cpp, disk_windows.cpp). Every call that changes the disk first passes
// CountDiskChange(), so that tests can end the process at each of them in turn.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "files/file_system.h"
#include "files/file_text.h"

namespace vk3::disk {

void CountDiskChange();

// Reads a regular file whole, noting the version it was read at.
FileStatus Read(const std::filesystem::path& path, std::uint64_t limit, std::string_view tooLarge,
                FileText& bytes, FileVersion& version);

FileVersion VersionOf(const std::filesystem::path& path);

// A new content written beside its target under a temporary name, not yet in place.
struct Prepared {
    std::filesystem::path target;
    std::filesystem::path temporary;  // empty once in place or discarded
    std::intptr_t handle = -1;        // open until flushed
    std::uint64_t inode = 0;          // which file it is, where the system tells (else 0)
};

// Writes the pieces to a new temporary file beside `target` (whose links are resolved and
// which may be replaced): with the old file's permissions, or as a new private or ordinary
// file. The file is left open for Flush().
FileStatus Prepare(const std::filesystem::path& target, std::span<const std::string_view> pieces,
                   bool privateFile, Prepared& prepared);
// Makes sure the prepared content is on the disk, and closes it.
FileStatus Flush(Prepared& prepared);
// The prepared file takes its target's place in one step.
FileStatus PutInPlace(Prepared& prepared);
// The same, only while the target is still the version read: where the system can swap two
// names in one step, the file swapped out is checked and swapped back when another program
// replaced it meanwhile, so that no moment is left between the check and the replacement.
FileStatus PutInPlaceIfStill(Prepared& prepared, const FileVersion& read);
// Removes a prepared file that is not in place.
void Discard(Prepared& prepared);

// The folder's entries (new names) reach the disk.
void FlushFolder(const std::filesystem::path& folder);
// Moves a file over another in one step; false when the system refused.
bool Rename(const std::filesystem::path& from, const std::filesystem::path& to);
void Remove(const std::filesystem::path& path);
// Makes the folder and its parents where missing, new ones readable by the owner alone.
bool MakePrivateFolder(const std::filesystem::path& folder);
// Writes the bytes over the start of a small file, made when missing (for the owner alone),
// and, with `flush`, waits until they are on the disk. A file kept at the same length keeps
// its size and place on the disk, so that flushing it writes its data alone.
FileStatus WriteAtStart(const std::filesystem::path& path, std::string_view bytes, bool flush);

// Whether an existing file may be replaced by us: not read-only, where the platform says so.
FileStatus CheckWritable(const std::filesystem::path& target);

// Names a folder the same for every path to it: by the system's number for it where there
// is one, else by its full path with links followed.
std::string FolderIdentity(const std::filesystem::path& folder);

// An advisory lock on a lock file, shared by every program that takes it the same way.
using LockHandle = std::intptr_t;
inline constexpr LockHandle kNoLock = -1;
// Takes the lock when it is free now; kNoLock when it is not or the file cannot be made.
// The lock file is marked while held, so that `holderEnded` tells whether the one who held
// it before ended without letting it go (the program was killed, or the system stopped).
LockHandle TryLock(const std::filesystem::path& lockFile, bool& holderEnded);
// Lets the lock go in order: the mark is cleared first.
void Unlock(LockHandle handle);

// The folder for short-lived lock files of this user, empty when the system names none.
std::filesystem::path RuntimeFolder();
// The program's own state folder (…/vk3tune), empty when the environment names none.
std::filesystem::path StateFolder();

}  // namespace vk3::disk
