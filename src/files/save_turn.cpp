#include "files/save_turn.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "files/disk.h"
#include "files/file_paths.h"
#include "files/step_record.h"

namespace fs = std::filesystem;

namespace vk3 {

namespace {

// How long a save waits for another copy of the program to finish its own.
constexpr auto kLongestWait = std::chrono::seconds(10);

// Where the lock files live: a runtime folder is emptied when the user logs out.
fs::path LockFolder() {
    for (const fs::path& base : {disk::RuntimeFolder(), disk::StateFolder()}) {
        if (!base.empty() && disk::MakePrivateFolder(base / "locks")) {
            return base / "locks";
        }
    }
    return {};
}

fs::path LockFileFor(const fs::path& lockFolder, const fs::path& folder) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a of the folder's name
    for (const char c : Utf8FromPath(folder)) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string name;
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += kDigits[(hash >> shift) & 0xF];
    }
    return lockFolder / (name + ".lock");
}

struct HeldLock {
    disk::LockHandle handle = disk::kNoLock;
    int count = 0;
};

struct Turns {
    std::mutex mutex;
    std::map<fs::path, HeldLock> held;  // by lock file
};

Turns& ProcessTurns() {
    static Turns turns;
    return turns;
}

// Called with the mutex held.
void Release(Turns& turns, const std::vector<fs::path>& lockFiles) {
    for (const fs::path& lockFile : lockFiles) {
        const auto held = turns.held.find(lockFile);
        if (held != turns.held.end() && --held->second.count == 0) {
            disk::Unlock(held->second.handle);
            turns.held.erase(held);
        }
    }
}

void RemoveLeftoverTemporaries(const fs::path& folder) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (IsOurTemporary(Utf8FromPath(it->path().filename())) && it->is_regular_file(ignored)) {
            disk::Remove(it->path());
        }
    }
}

// The paths whose turn this thread holds, as they were given.
thread_local std::vector<fs::path> heldOnThisThread;

}  // namespace

SaveTurn::SaveTurn(const std::vector<fs::path>& files) {
    const auto isHeld = [](const fs::path& file) {
        return std::find(heldOnThisThread.begin(), heldOnThisThread.end(), file) !=
               heldOnThisThread.end();
    };
    if (std::all_of(files.begin(), files.end(), isHeld)) {
        return;  // within a turn for the same files: their folders are held already
    }
    const fs::path lockFolder = LockFolder();
    if (lockFolder.empty()) {
        return;  // nowhere to keep a lock: saves go on without taking turns
    }
    std::map<fs::path, fs::path> folderOfLock;
    for (const fs::path& file : files) {
        const fs::path folder = RealFolderOf(file);
        folderOfLock.emplace(LockFileFor(lockFolder, folder), folder);
    }
    Turns& turns = ProcessTurns();
    const std::lock_guard guard(turns.mutex);
    std::vector<fs::path> newlyLocked;
    for (const auto& [lockFile, folder] : folderOfLock) {  // in the order of their names
        HeldLock& held = turns.held[lockFile];
        if (held.count == 0) {
            const auto giveUp = std::chrono::steady_clock::now() + kLongestWait;
            while ((held.handle = disk::TryLock(lockFile)) == disk::kNoLock &&
                   std::chrono::steady_clock::now() < giveUp) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            if (held.handle == disk::kNoLock) {
                turns.held.erase(lockFile);
                status_ = FileStatus::Failure(
                    folder, FileProblem::Busy,
                    "another copy of the program has been saving files in this folder for "
                    "too long");
                break;
            }
            newlyLocked.push_back(folder);
        }
        ++held.count;
        lockFiles_.push_back(lockFile);
    }
    if (!status_) {
        Release(turns, std::exchange(lockFiles_, {}));
        return;
    }
    files_ = files;
    heldOnThisThread.insert(heldOnThisThread.end(), files.begin(), files.end());
    if (!newlyLocked.empty()) {
        std::vector<fs::path> allLocked;
        for (const auto& [lockFile, folder] : folderOfLock) {
            allLocked.push_back(folder);
        }
        FinishRecordedSteps(allLocked);
        for (const fs::path& folder : newlyLocked) {
            RemoveLeftoverTemporaries(folder);
        }
    }
}

SaveTurn::~SaveTurn() {
    for (const fs::path& file : files_) {
        heldOnThisThread.erase(std::find(heldOnThisThread.begin(), heldOnThisThread.end(), file));
    }
    Turns& turns = ProcessTurns();
    const std::lock_guard guard(turns.mutex);
    Release(turns, lockFiles_);
}

void FinishInterruptedSaves(const std::vector<fs::path>& files) {
    std::vector<fs::path> all = files;
    for (const fs::path& folder : FoldersOfRecordedSteps()) {
        all.push_back(folder / "any");
    }
    const SaveTurn turn(all);
}

}  // namespace vk3
