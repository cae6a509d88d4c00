#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_status.h"

namespace vk3 {

// The record of a step that replaces several files, kept in the state folder while the
// files are replaced: the targets and the prepared files that take their places, with their
// inode numbers. A prepared file still there under its number has not taken its place yet,
// so a step cut short can be finished from the record alone; under that name with another
// number is the old file it was swapped with. Each set of targets has one record file,
// written over in place and marked once the step is over, so that a save changes no folder
// for it.
struct StepFile {
    std::filesystem::path target;
    std::filesystem::path prepared;
    std::uint64_t inode = 0;  // 0: not known
};

// The record's text (before its padding), and what a record's text says. A record cut short
// (the program was killed while writing it, or a crash tore it) lists the files it got to
// and is not complete.
struct ReadStepRecord {
    bool pending = false;  // a step not marked over
    std::vector<StepFile> files;
    bool complete = false;  // written whole: its digest matches
};
std::string StepRecordText(const std::vector<StepFile>& files);
ReadStepRecord ParseStepRecord(std::string_view text);

class StepRecord {
public:
    // Writes and flushes the record. Without a state folder (the environment names none)
    // there is nowhere to keep it and the step goes on without one; a record that cannot be
    // written where it belongs fails, and the step must not begin.
    FileStatus Write(const std::vector<StepFile>& files);
    // The step is done or undone. The mark is not waited for: a record whose mark a crash
    // lost names prepared files that are all in place or swapped out, which finishing skips.
    void End();

private:
    std::filesystem::path path_;
};

// The recorded steps whose targets' folders are all among `lockedFolders` (named by
// disk::FolderIdentity): complete ones are finished, those whose record was cut short lose
// their prepared files.
void FinishRecordedSteps(const std::vector<std::string>& lockedFolders);
// The folders of the targets of all steps not marked over.
std::vector<std::filesystem::path> FoldersOfRecordedSteps();

}  // namespace vk3
