#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "files/file_status.h"

namespace vk3 {

// The record of a step that replaces several files, kept in the state folder from right
// before the first file is replaced until the last is: the targets and the prepared files
// that take their places, with their inode numbers. A prepared file still there under its
// number has not taken its place yet, so a step cut short can be finished from the record
// alone; under that name with another number is the old file it was swapped with.
struct StepFile {
    std::filesystem::path target;
    std::filesystem::path prepared;
    std::uint64_t inode = 0;  // 0: not known
};

class StepRecord {
public:
    // Writes and flushes the record. Without a state folder (the environment names none)
    // there is nowhere to keep it and the step goes on without one; a record that cannot be
    // written where it belongs fails, and the step must not begin.
    FileStatus Write(const std::vector<StepFile>& files);
    // The step is done or undone.
    void Remove();

private:
    std::filesystem::path path_;
};

// The recorded steps whose targets' folders are all in `lockedFolders`: complete ones are
// finished, those whose record was cut short lose their prepared files.
void FinishRecordedSteps(const std::vector<std::filesystem::path>& lockedFolders);
// The folders of all recorded steps' targets.
std::vector<std::filesystem::path> FoldersOfRecordedSteps();

}  // namespace vk3
