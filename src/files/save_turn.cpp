#include "files/save_turn.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
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

// A folder whose turn is taken: the name the system knows it by, and a path to it.
struct TurnFolder {
    std::string identity;
    fs::path path;
};

// By lock file, so that the locks are taken in the order of their names.
using FoldersByLock = std::map<fs::path, TurnFolder>;

void AddFolderOf(const fs::path& lockFolder, const fs::path& file, FoldersByLock& folders) {
    const fs::path folder = WrittenFolderOf(file);
    std::string identity = disk::FolderIdentity(folder);
    fs::path lockFile = lockFolder / (HexDigest(identity) + ".lock");
    folders.emplace(std::move(lockFile), TurnFolder{std::move(identity), folder});
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

// Takes the locks the turn does not hold yet (called with the mutex held), adding them to
// `taken`; fails when another copy of the program kept one for too long.
FileStatus TakeLocks(Turns& turns, const FoldersByLock& folders, std::vector<fs::path>& taken,
                     std::vector<fs::path>& newlyLocked, bool& holderEnded) {
    for (const auto& [lockFile, folder] : folders) {
        if (std::find(taken.begin(), taken.end(), lockFile) != taken.end()) {
            continue;  // taken by this turn already
        }
        HeldLock& held = turns.held[lockFile];
        if (held.count == 0) {
            const auto giveUp = std::chrono::steady_clock::now() + kLongestWait;
            bool ended = false;
            while ((held.handle = disk::TryLock(lockFile, ended)) == disk::kNoLock &&
                   std::chrono::steady_clock::now() < giveUp) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            if (held.handle == disk::kNoLock) {
                turns.held.erase(lockFile);
                return FileStatus::Failure(
                    folder.path, FileProblem::Busy,
                    "another copy of the program has been saving files in this folder for "
                    "too long");
            }
            holderEnded = holderEnded || ended;
            newlyLocked.push_back(folder.path);
        }
        ++held.count;
        taken.push_back(lockFile);
    }
    return FileStatus::Success();
}

// The paths whose turn this thread holds, as they were given.
thread_local std::vector<fs::path> heldOnThisThread;

}  // namespace

SaveTurn::SaveTurn(const std::vector<fs::path>& files, Recovery recovery) {
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
    FoldersByLock folders;
    for (const fs::path& file : files) {
        AddFolderOf(lockFolder, file, folders);
    }
    Turns& turns = ProcessTurns();
    const std::lock_guard guard(turns.mutex);
    std::vector<fs::path> newlyLocked;
    bool holderEnded = false;
    status_ = TakeLocks(turns, folders, lockFiles_, newlyLocked, holderEnded);
    if (status_ && !newlyLocked.empty() && (holderEnded || recovery == Recovery::Always)) {
        // A save cut short may have recorded a step with files in other folders too: those
        // are taken as well, so that the step is finished whole before its files change.
        for (const fs::path& folder : FoldersOfRecordedSteps()) {
            AddFolderOf(lockFolder, folder / "any", folders);
        }
        status_ = TakeLocks(turns, folders, lockFiles_, newlyLocked, holderEnded);
        if (status_) {
            std::vector<std::string> identities;
            for (const auto& [lockFile, folder] : folders) {
                identities.push_back(folder.identity);
            }
            FinishRecordedSteps(identities);
            for (const fs::path& folder : newlyLocked) {
                RemoveLeftoverTemporaries(folder);
            }
        }
    }
    if (!status_) {
        Release(turns, std::exchange(lockFiles_, {}));
        return;
    }
    files_ = files;
    heldOnThisThread.insert(heldOnThisThread.end(), files.begin(), files.end());
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
    const SaveTurn turn(files, SaveTurn::Recovery::Always);
}

}  // namespace vk3
