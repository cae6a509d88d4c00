#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_status.h"
#include "files/run_record.h"

namespace vk3 {

class SafetyCopies;

// One run of the program that kept safety copies of the files it replaced.
struct HistoryRun {
    std::string name;  // its folder's name, which --restore-history takes
    std::filesystem::path folder;
    std::string time;  // "2024-05-01 18:30:05"
    std::vector<RunCopy> copies;
};

// The runs kept in the safety folder, newest first.
std::vector<HistoryRun> ListHistory(const std::filesystem::path& safetyFolder);
const HistoryRun* FindRun(const std::vector<HistoryRun>& runs, std::string_view name);

// How a kept file differs from the file as it is now: one line per setting, "then → now",
// named as the dialogs name it ("view range vegetation: 3500.0 → 4000.0"), else
// "[section] key"; or one line in words about the whole file.
struct FileChanges {
    std::filesystem::path file;
    std::vector<std::string> lines;
};
std::vector<FileChanges> ChangesSince(const HistoryRun& run);

// The run and its changes as text, for the history window and the command line.
std::string DescribeRun(const HistoryRun& run);

// Puts every kept file of the run back, as one step of the save path: all files or none,
// finished after a crash. `copies`, when given, first starts a new run of safety copies, so
// that the files as they are now are kept and the restore can be undone in turn.
FileStatus RestoreRun(const HistoryRun& run, SafetyCopies* copies);

}  // namespace vk3
