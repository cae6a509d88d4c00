#include "files/step_record.h"

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <system_error>

#include "files/disk.h"
#include "files/file_paths.h"

namespace fs = std::filesystem;

namespace vk3 {

namespace {

constexpr std::string_view kFirstLine = "vk3tune step\n";
constexpr std::string_view kLastLine = "end\n";

fs::path StepsFolder() {
    const fs::path state = disk::StateFolder();
    return state.empty() ? fs::path() : state / "steps";
}

struct ReadRecord {
    std::vector<StepFile> files;
    bool complete = false;
};

// A record cut short (the program was killed while writing it) lists the files it got to.
ReadRecord Parse(const std::string& text) {
    ReadRecord record;
    if (!text.starts_with(kFirstLine)) {
        return record;
    }
    std::size_t at = kFirstLine.size();
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            break;
        }
        const std::string_view line(text.data() + at, end - at);
        at = end + 1;
        if (line == kLastLine.substr(0, kLastLine.size() - 1)) {
            record.complete = at == text.size();
            break;
        }
        const std::size_t tab = line.find('\t');
        const std::size_t lastTab = line.rfind('\t');
        if (tab == std::string_view::npos || lastTab == tab) {
            break;
        }
        record.files.push_back(
            {PathFromUtf8(line.substr(0, tab)),
             PathFromUtf8(line.substr(tab + 1, lastTab - tab - 1)),
             std::strtoull(std::string(line.substr(lastTab + 1)).c_str(), nullptr, 10)});
    }
    return record;
}

std::vector<fs::path> RecordPaths() {
    std::vector<fs::path> records;
    std::error_code error;
    const fs::path folder = StepsFolder();
    if (folder.empty()) {
        return records;
    }
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->path().extension() == ".step") {
            records.push_back(it->path());
        }
    }
    return records;
}

bool AllIn(const ReadRecord& record, const std::vector<fs::path>& folders) {
    return std::all_of(record.files.begin(), record.files.end(), [&](const StepFile& file) {
        return std::find(folders.begin(), folders.end(), RealFolderOf(file.target)) !=
               folders.end();
    });
}

bool HasLineBreakOrTab(const fs::path& path) {
    return Utf8FromPath(path).find_first_of("\t\r\n") != std::string::npos;
}

}  // namespace

FileStatus StepRecord::Write(const std::vector<StepFile>& files) {
    const fs::path folder = StepsFolder();
    if (folder.empty()) {
        return FileStatus::Success();
    }
    const std::string what = "the record that keeps files saved together whole could not be ";
    if (!disk::MakePrivateFolder(folder)) {
        return FileStatus::Failure(folder, FileProblem::ReadOnly, what + "made in this folder");
    }
    std::string text(kFirstLine);
    for (const StepFile& file : files) {
        for (const fs::path& path : {file.target, file.prepared}) {
            if (HasLineBreakOrTab(path)) {
                return FileStatus::Failure(path, FileProblem::Invalid,
                                           what + "written: the path holds a tab or line break");
            }
        }
        text += Utf8FromPath(file.target) + "\t" + Utf8FromPath(file.prepared) + "\t" +
                std::to_string(file.inode) + "\n";
    }
    text += kLastLine;
    std::random_device random;
    FileStatus status;
    // A name taken already (a file that exists) is a failure of another kind: another try.
    for (int attempt = 0; attempt < 16; ++attempt) {
        path_ = folder / (std::to_string(random()) + std::to_string(random()) + ".step");
        status = disk::WriteNewFlushed(path_, text);
        if (status || status.problem != FileProblem::Other) {
            break;
        }
    }
    if (!status) {
        path_.clear();
        status.reason = what + "written: " + status.reason;
    }
    return status;
}

void StepRecord::Remove() {
    if (!path_.empty()) {
        disk::Remove(path_);
        path_.clear();
    }
}

void FinishRecordedSteps(const std::vector<fs::path>& lockedFolders) {
    for (const fs::path& recordPath : RecordPaths()) {
        std::string text;
        if (!ReadFileBytes(recordPath, text, 1 << 20, "")) {
            continue;
        }
        const ReadRecord record = Parse(text);
        if (!AllIn(record, lockedFolders)) {
            continue;  // another copy of the program may be in the middle of it
        }
        std::vector<fs::path> folders;
        for (const StepFile& file : record.files) {
            std::error_code error;
            if (!fs::exists(fs::symlink_status(file.prepared, error))) {
                continue;  // in place already, or never made
            }
            const bool swappedOut =
                file.inode != 0 && disk::VersionOf(file.prepared).inode != file.inode;
            if (record.complete && !swappedOut) {
                disk::Rename(file.prepared, file.target);
                folders.push_back(FolderOf(file.target));
            } else {
                disk::Remove(file.prepared);
            }
        }
        for (const fs::path& folder : folders) {
            disk::FlushFolder(folder);
        }
        disk::Remove(recordPath);
    }
}

std::vector<fs::path> FoldersOfRecordedSteps() {
    std::vector<fs::path> folders;
    for (const fs::path& recordPath : RecordPaths()) {
        std::string text;
        if (ReadFileBytes(recordPath, text, 1 << 20, "")) {
            for (const StepFile& file : Parse(text).files) {
                folders.push_back(FolderOf(file.target));
            }
        }
    }
    return folders;
}

}  // namespace vk3
