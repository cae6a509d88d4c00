#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

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
    // Writes and flushes the record; false when there is no state folder or it cannot be
    // written, and the step then goes on without one.
    bool Write(const std::vector<StepFile>& files);
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
