#include "files/step_record.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <system_error>

#include "files/disk.h"
#include "files/file_paths.h"

namespace fs = std::filesystem;

namespace vk3 {

namespace {

// "vk3tune step <digest of the rest up to the end line>", a line per file, "end", and
// padding to whole blocks; over the first words, "vk3tune done" once the step is over.
constexpr std::string_view kStepMark = "vk3tune step ";
constexpr std::string_view kDoneMark = "vk3tune done ";
constexpr std::string_view kEndLine = "end\n";
constexpr std::size_t kDigestLength = 16;
constexpr std::size_t kBlock = 4096;

fs::path StepsFolder() {
    const fs::path state = disk::StateFolder();
    return state.empty() ? fs::path() : state / "steps";
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

bool AllIn(const ReadStepRecord& record, const std::vector<std::string>& folders) {
    return std::all_of(record.files.begin(), record.files.end(), [&](const StepFile& file) {
        const std::string folder = disk::FolderIdentity(FolderOf(file.target));
        return std::find(folders.begin(), folders.end(), folder) != folders.end();
    });
}

bool HasLineBreakOrTab(const fs::path& path) {
    return Utf8FromPath(path).find_first_of("\t\r\n") != std::string::npos;
}

}  // namespace

std::string StepRecordText(const std::vector<StepFile>& files) {
    std::string body;
    for (const StepFile& file : files) {
        body += Utf8FromPath(file.target) + "\t" + Utf8FromPath(file.prepared) + "\t" +
                std::to_string(file.inode) + "\n";
    }
    body += kEndLine;
    return std::string(kStepMark) + HexDigest(body) + "\n" + body;
}

ReadStepRecord ParseStepRecord(std::string_view text) {
    ReadStepRecord record;
    const std::size_t bodyStart = kStepMark.size() + kDigestLength + 1;
    if (!text.starts_with(kStepMark) || text.size() < bodyStart || text[bodyStart - 1] != '\n') {
        return record;
    }
    record.pending = true;
    std::size_t at = bodyStart;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            break;
        }
        const std::string_view line(text.data() + at, end - at);
        at = end + 1;
        if (line == kEndLine.substr(0, kEndLine.size() - 1)) {
            record.complete = text.substr(kStepMark.size(), kDigestLength) ==
                              HexDigest(text.substr(bodyStart, at - bodyStart));
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

FileStatus StepRecord::Write(const std::vector<StepFile>& files) {
    const fs::path folder = StepsFolder();
    if (folder.empty()) {
        return FileStatus::Success();
    }
    const std::string what = "the record that keeps files saved together whole could not be ";
    if (!disk::MakePrivateFolder(folder)) {
        return FileStatus::Failure(folder, FileProblem::ReadOnly, what + "made in this folder");
    }
    std::string targets;
    for (const StepFile& file : files) {
        for (const fs::path& path : {file.target, file.prepared}) {
            if (HasLineBreakOrTab(path)) {
                return FileStatus::Failure(path, FileProblem::Invalid,
                                           what + "written: the path holds a tab or line break");
            }
        }
        targets += Utf8FromPath(file.target) + "\n";
    }
    std::string text = StepRecordText(files);
    // Whole blocks: the next record for these files is mostly as long, and fits in place.
    text.resize((text.size() + kBlock - 1) / kBlock * kBlock, '\n');
    path_ = folder / (HexDigest(targets) + ".step");
    FileStatus status = disk::WriteAtStart(path_, text, true);
    if (!status) {
        End();  // a record written in part names no step
        status.reason = what + "written: " + status.reason;
    }
    return status;
}

void StepRecord::End() {
    if (!path_.empty()) {
        disk::WriteAtStart(path_, kDoneMark, false);
        path_.clear();
    }
}

void FinishRecordedSteps(const std::vector<std::string>& lockedFolders) {
    for (const fs::path& recordPath : RecordPaths()) {
        std::string text;
        if (!ReadFileBytes(recordPath, text, 1 << 20, "")) {
            continue;
        }
        const ReadStepRecord record = ParseStepRecord(text);
        if (!record.pending) {
            continue;
        }
        if (!AllIn(record, lockedFolders)) {
            continue;  // another copy of the program may be in the middle of it
        }
        std::vector<fs::path> folders;
        for (const StepFile& file : record.files) {
            std::error_code error;
            if (!IsOurTemporary(Utf8FromPath(file.prepared.filename())) ||
                !fs::exists(fs::symlink_status(file.prepared, error))) {
                continue;  // in place already, never made, or not a name a save gives
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
            for (const StepFile& file : ParseStepRecord(text).files) {
                folders.push_back(FolderOf(file.target));
            }
        }
    }
    return folders;
}

}  // namespace vk3
