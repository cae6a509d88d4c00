#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "files/run_record.h"

namespace vk3 {

// How many runs' safety folders are kept; older ones are deleted.
inline constexpr std::size_t kSafetyRunsKept = 20;

// Keeps the bytes a file had before this run of the program first replaced it, in a folder
// of its own per run (<root>/2024-05-01_18-30-05/), with an index naming the folder each
// copy came from and a record of the run (files/run_record.h). Putting a copy back is copying it
// over the file.
class SafetyCopies {
public:
    // root empty: no place for copies is known, and every replacement is refused.
    SafetyCopies(std::filesystem::path root, std::chrono::system_clock::time_point started);

    // Copies the file the first time it is about to be replaced in this run; a file that is
    // not there has nothing to keep. A failure names the file and why.
    FileStatus KeepBefore(const std::filesystem::path& file);

    // Later copies go to a new run folder, even of files this run already kept: a restore
    // from the history keeps the files as they are right before it, so that it can be undone.
    void BeginNewRun(std::chrono::system_clock::time_point started);

    // This run's folder; empty until the first copy.
    const std::filesystem::path& RunFolder() const { return runFolder_; }

private:
    FileStatus StartRun(const std::filesystem::path& file);
    FileStatus Copy(const std::filesystem::path& file);
    void PruneOldRuns() const;

    std::filesystem::path root_;
    std::string runName_;
    std::string runTime_;
    std::filesystem::path runFolder_;
    std::set<std::filesystem::path> handled_;
    std::set<std::string> copyNames_;
    std::string index_;
    std::vector<RunCopy> copies_;
    bool busy_ = false;  // the copies themselves go through the guarded replacement
};

// $XDG_STATE_HOME/vk3tune/safety (~/.local/state when unset) on Linux,
// %LOCALAPPDATA%\vk3tune\safety on Windows; empty when the environment names neither.
std::filesystem::path DefaultSafetyFolder();

}  // namespace vk3
