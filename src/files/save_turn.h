#pragma once

#include <filesystem>
#include <vector>

#include "files/file_status.h"

namespace vk3 {

// Copies of the program take turns at changing files: a save holds the turn for the folders
// of its files from its read to its last rename. The turn is an advisory lock per folder,
// on a lock file in $XDG_RUNTIME_DIR (else in the program's state folder), taken in a fixed
// order, so that two saves never wait for each other in a circle. Taking it again within
// the process only counts; taking it again for the same paths on the thread that holds it,
// as the replacement under a save does, costs nothing.
//
// Whoever first takes a folder's turn after a holder ended without letting it go (killed,
// or the system stopped) finishes what its save left there: a recorded step of several files
// is completed or undone, and temporary files are removed at once.
class SaveTurn {
public:
    enum class Recovery {
        WhenAHolderEnded,
        Always,  // at start: the lock files may have gone with the system's runtime folder
    };
    explicit SaveTurn(const std::vector<std::filesystem::path>& files,
                      Recovery recovery = Recovery::WhenAHolderEnded);
    ~SaveTurn();
    SaveTurn(const SaveTurn&) = delete;
    SaveTurn& operator=(const SaveTurn&) = delete;

    // A failure (Busy) when another copy of the program held the turn for too long.
    const FileStatus& status() const { return status_; }

private:
    std::vector<std::filesystem::path> lockFiles_;
    std::vector<std::filesystem::path> files_;  // as given, while this thread holds them
    FileStatus status_;
};

// At start: finishes every step a killed run recorded and removes the temporary files left
// beside the given files.
void FinishInterruptedSaves(const std::vector<std::filesystem::path>& files);

}  // namespace vk3
