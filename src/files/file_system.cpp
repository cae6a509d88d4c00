#include "files/file_system.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <optional>
#include <system_error>
#include <utility>

#include "files/disk.h"
#include "files/file_paths.h"
#include "files/save_turn.h"
#include "files/step_record.h"

namespace fs = std::filesystem;

namespace vk3 {

namespace {

std::atomic<long> disksChangesLeft{0};

ReplacementGuard& CurrentGuard() {
    static ReplacementGuard guard;
    return guard;
}

FileStatus AskGuard(const fs::path& path) {
    return CurrentGuard() ? CurrentGuard()(path) : FileStatus::Success();
}

// The file a replacement really writes (links followed), when it may be replaced.
FileStatus ResolveTarget(const fs::path& path, fs::path& target) {
    if (FileStatus status = ResolveLinks(path, target); !status) {
        return status;
    }
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    if (fs::exists(status)) {
        if (fs::is_directory(status)) {
            return FileStatus::Failure(target, FileProblem::NotRegularFile,
                                       "it is a folder, not a file");
        }
        // A device or a pipe in place of a settings file is never replaced by a file.
        if (!fs::is_regular_file(status)) {
            return FileStatus::Failure(target, FileProblem::NotRegularFile,
                                       "it is not a regular file");
        }
        if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) {
            return FileStatus::Failure(target, FileProblem::ReadOnly, "the file is read-only");
        }
        return disk::CheckWritable(target);
    }
    if (!fs::is_directory(FolderOf(target), error)) {
        return FileStatus::Failure(
            target, FileProblem::NotFound,
            "its folder \"" + Utf8FromPath(FolderOf(target)) + "\" does not exist");
    }
    return FileStatus::Success();
}

// The content a file had before the step, for undoing it.
struct OldContent {
    bool found = false;
    std::string_view bytes;
};

// Puts a file's old content back after a later file of its step failed.
FileStatus PutBack(const fs::path& target, const OldContent& old) {
    if (!old.found) {
        std::error_code error;
        fs::remove(target, error);
        return error ? FileStatus::Failure(target,
                                           "it could not be removed again: " + error.message())
                     : FileStatus::Success();
    }
    disk::Prepared prepared;
    const std::string_view pieces[] = {old.bytes};
    FileStatus status = disk::Prepare(target, pieces, false, prepared);
    if (status) {
        status = disk::Flush(prepared);
    }
    if (status) {
        status = disk::PutInPlace(prepared);
    }
    disk::Discard(prepared);
    return status;
}

// The step failed at file `failed`: files before it get their old contents back. Those that
// cannot are named in the status, so that the user learns every file left changed.
FileStatus Undo(FileStatus failure, std::vector<disk::Prepared>& prepared,
                const std::vector<OldContent>& old, std::size_t failed) {
    for (disk::Prepared& file : prepared) {
        disk::Discard(file);
    }
    std::string leftChanged;
    for (std::size_t i = 0; i < failed; ++i) {
        if (FileStatus undone = PutBack(prepared[i].target, old[i]); !undone) {
            leftChanged += (leftChanged.empty() ? "" : "; ") +
                           ("\"" + Utf8FromPath(prepared[i].target) + "\" keeps its new content (" +
                            undone.reason + ")");
        }
    }
    if (!leftChanged.empty()) {
        failure.reason += ", and undoing the files saved before it failed too: " + leftChanged;
    }
    return failure;
}

}  // namespace

void disk::CountDiskChange() {
    if (disksChangesLeft.load(std::memory_order_relaxed) > 0 && --disksChangesLeft == 0) {
        std::_Exit(86);
    }
}

void EndProcessBeforeDiskChange(long n) {
    disksChangesLeft = n;
}

void SetReplacementGuard(ReplacementGuard guard) {
    CurrentGuard() = std::move(guard);
}

fs::path PathFromUtf8(std::string_view text) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(text.data()), text.size()));
}

std::string Utf8FromPath(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string FileStatus::Message(std::string_view action) const {
    return std::string(action) + " \"" + Utf8FromPath(path) + "\": " + reason;
}

FileVersion VersionOf(const fs::path& path) {
    return disk::VersionOf(path);
}

FileStatus ReadFileBytes(const fs::path& path, std::string& bytes, std::uint64_t limit,
                         std::string_view tooLarge) {
    FileText text;
    FileVersion ignored;
    const FileStatus status = disk::Read(path, limit, tooLarge, text, ignored);
    bytes.assign(text.view());
    return status;
}

FileStatus ReadFileIfThere(const fs::path& path, FileText& bytes, FileVersion& version) {
    FileStatus status =
        disk::Read(path, kMaxSettingsFileBytes, kTooLargeForSettings, bytes, version);
    if (status.problem == FileProblem::NotFound) {
        std::error_code error;
        if (fs::symlink_status(path, error).type() == fs::file_type::not_found ||
            fs::status(path, error).type() == fs::file_type::not_found) {
            version = {};
            return FileStatus::Success();
        }
    }
    return status;
}

FileStatus ReadFileIfThere(const fs::path& path, FileAsRead& read) {
    FileText text;
    const FileStatus status = ReadFileIfThere(path, text, read.version);
    read.bytes.assign(text.view());
    return status;
}

FileStatus ReplaceFileContents(const fs::path& path, std::string_view bytes, bool privateFile) {
    const SaveTurn turn({path});
    if (!turn.status()) {
        return turn.status();
    }
    disk::Prepared prepared;
    const std::string_view pieces[] = {bytes};
    FileStatus status = ResolveTarget(path, prepared.target);
    if (status) {
        status = disk::Prepare(prepared.target, pieces, privateFile, prepared);
    }
    if (status) {
        status = disk::Flush(prepared);
    }
    if (status) {
        status = AskGuard(path);
    }
    if (status) {
        status = disk::PutInPlace(prepared);
    }
    disk::Discard(prepared);
    if (status) {
        disk::FlushFolder(FolderOf(prepared.target));
    }
    return status;
}

FileStatus ReplaceFilesTogether(const std::vector<FileReplacement>& replacements) {
    std::vector<FilePieces> pieces;
    for (const FileReplacement& replacement : replacements) {
        pieces.push_back({replacement.path, {replacement.bytes}, std::nullopt, {}});
    }
    return ReplaceFilePiecesTogether(pieces);
}

FileStatus ReplaceFilePiecesTogether(const std::vector<FilePieces>& replacements) {
    if (replacements.empty()) {
        return FileStatus::Success();
    }
    std::vector<fs::path> paths;
    for (const FilePieces& replacement : replacements) {
        paths.push_back(replacement.path);
    }
    const SaveTurn turn(paths);
    if (!turn.status()) {
        return turn.status();
    }
    // Every new content is written and flushed before the first file takes its place.
    std::vector<disk::Prepared> prepared(replacements.size());
    const auto discardAll = [&prepared] {
        for (disk::Prepared& file : prepared) {
            disk::Discard(file);
        }
    };
    for (std::size_t i = 0; i < replacements.size(); ++i) {
        fs::path target;
        FileStatus status = ResolveTarget(replacements[i].path, target);
        if (status) {
            status = disk::Prepare(target, replacements[i].pieces, false, prepared[i]);
        }
        if (!status) {
            discardAll();
            return status;
        }
    }
    for (disk::Prepared& file : prepared) {
        if (FileStatus flushed = disk::Flush(file); !flushed) {
            discardAll();
            return flushed;
        }
    }
    // Asked only now, so that a step that cannot be prepared leaves no safety copy behind.
    for (const fs::path& path : paths) {
        if (FileStatus allowed = AskGuard(path); !allowed) {
            discardAll();
            return allowed;
        }
    }
    // Old contents, so that a failure half-way can be undone: what the save read, else read
    // now. One that is there but cannot be read stops everything here. The last file is
    // never put back: nothing can fail after it.
    std::vector<FileAsRead> readNow(replacements.size());
    std::vector<OldContent> old(replacements.size());
    for (std::size_t i = 0; i + 1 < replacements.size(); ++i) {
        if (replacements[i].readVersion) {
            old[i] = {replacements[i].readVersion->found, replacements[i].readBytes};
            continue;
        }
        if (FileStatus read = ReadFileIfThere(prepared[i].target, readNow[i]); !read) {
            discardAll();
            return read;
        }
        old[i] = {readNow[i].version.found, readNow[i].bytes};
    }
    // A step of several files is recorded, so that one cut short by a crash is finished.
    StepRecord record;
    if (replacements.size() > 1) {
        std::vector<StepFile> files;
        for (const disk::Prepared& file : prepared) {
            files.push_back({file.target, file.temporary, file.inode});
        }
        if (FileStatus recorded = record.Write(files); !recorded) {
            discardAll();
            return recorded;
        }
    }
    for (std::size_t i = 0; i < replacements.size(); ++i) {
        const std::optional<FileVersion>& readVersion = replacements[i].readVersion;
        FileStatus status = readVersion ? disk::PutInPlaceIfStill(prepared[i], *readVersion)
                                        : disk::PutInPlace(prepared[i]);
        if (!status) {
            record.End();
            return Undo(std::move(status), prepared, old, i);
        }
    }
    std::vector<fs::path> folders;
    for (const disk::Prepared& file : prepared) {
        if (std::find(folders.begin(), folders.end(), FolderOf(file.target)) == folders.end()) {
            folders.push_back(FolderOf(file.target));
        }
    }
    for (const fs::path& folder : folders) {
        disk::FlushFolder(folder);
    }
    record.End();
    return FileStatus::Success();
}

}  // namespace vk3
