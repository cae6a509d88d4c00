#include "files/safety_copies.h"

#include <algorithm>
#include <ctime>
#include <regex>
#include <system_error>
#include <utility>
#include <vector>

#include "files/disk.h"
#include "files/run_record.h"

namespace fs = std::filesystem;

namespace vk3 {

namespace {

constexpr std::string_view kIndexName = "index.txt";
// Each run folder holds its number in the order of runs, so that pruning does not depend on
// the clock, which can go back.
constexpr std::string_view kRunNumberName = "run-number.txt";

std::string LocalTime(std::chrono::system_clock::time_point started, const char* format) {
    const std::time_t time = std::chrono::system_clock::to_time_t(started);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    char text[48];
    std::strftime(text, sizeof text, format, &local);
    return text;
}

// 2024-05-01_18-30-05, sortable by time and free of characters Windows refuses.
std::string RunName(std::chrono::system_clock::time_point started) {
    return LocalTime(started, "%Y-%m-%d_%H-%M-%S");
}

// Only folders named like ours are ever deleted; anything else in the folder stays.
bool IsRunFolderName(const std::string& name) {
    static const std::regex pattern(R"(\d{4}-\d{2}-\d{2}_\d{2}-\d{2}-\d{2}(-\d+)?)");
    return std::regex_match(name, pattern);
}

fs::path SameFileKey(const fs::path& file) {
    std::error_code error;
    fs::path key = fs::weakly_canonical(file, error);
    return error ? fs::absolute(file, error) : key;
}

std::string ReasonOf(const std::error_code& error) {
    if (error == std::errc::file_exists || error == std::errc::not_a_directory) {
        return "a file is in the way of the folder";
    }
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted) {
        return "permission denied";
    }
    if (error == std::errc::read_only_file_system) {
        return "the drive is read-only";
    }
    return error == std::errc::no_space_on_device ? "the disk is full" : error.message();
}

struct Run {
    fs::path folder;
    long long number = 0;  // 0: unknown, older than any numbered run
};

long long RunNumberIn(const fs::path& folder) {
    std::string text;
    if (!ReadFileBytes(folder / kRunNumberName, text, 64)) {
        return 0;
    }
    try {
        return std::stoll(text);
    } catch (const std::exception&) {
        return 0;
    }
}

// Our run folders in the root but `current`, oldest first.
std::vector<Run> OtherRuns(const fs::path& root, const fs::path& current) {
    std::vector<Run> runs;
    std::error_code error;
    for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (it->is_directory(ignored) && IsRunFolderName(Utf8FromPath(it->path().filename())) &&
            it->path() != current) {
            runs.push_back({it->path(), RunNumberIn(it->path())});
        }
    }
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) {
        return std::pair(a.number, a.folder) < std::pair(b.number, b.folder);
    });
    return runs;
}

}  // namespace

SafetyCopies::SafetyCopies(fs::path root, std::chrono::system_clock::time_point started)
    : root_(std::move(root)),
      runName_(RunName(started)),
      runTime_(LocalTime(started, "%Y-%m-%dT%H:%M:%S%z")) {}

void SafetyCopies::BeginNewRun(std::chrono::system_clock::time_point started) {
    runName_ = RunName(started);
    runTime_ = LocalTime(started, "%Y-%m-%dT%H:%M:%S%z");
    runFolder_.clear();
    handled_.clear();
    copyNames_.clear();
    index_.clear();
    copies_.clear();
}

FileStatus SafetyCopies::KeepBefore(const fs::path& file) {
    if (busy_) {
        return FileStatus::Success();
    }
    const fs::path key = SameFileKey(file);
    if (handled_.contains(key)) {
        return FileStatus::Success();
    }
    std::error_code error;
    const fs::file_status status = fs::status(key, error);
    if (status.type() == fs::file_type::not_found) {
        handled_.insert(key);
        return FileStatus::Success();
    }
    if (!fs::is_regular_file(status)) {
        return FileStatus::Success();  // the replacement itself says what is wrong
    }
    busy_ = true;
    FileStatus copied = Copy(key);
    busy_ = false;
    if (copied) {
        handled_.insert(key);
    }
    return copied;
}

FileStatus SafetyCopies::StartRun(const fs::path& file) {
    if (root_.empty()) {
        return FileStatus::Failure(file,
                                   "no safety copy of it could be made: the environment names no "
                                   "folder for it");
    }
    // The copies are the player's settings: only the player may read them.
    std::error_code error;
    if (!disk::MakePrivateFolder(root_)) {
        fs::create_directories(root_, error);
        return FileStatus::Failure(
            file, "no safety copy of it could be made in \"" + Utf8FromPath(root_) +
                      "\": " + (error ? ReasonOf(error) : "it is not a folder"));
    }
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::replace, error);
    const std::vector<Run> earlier = OtherRuns(root_, {});
    const long long number = earlier.empty() ? 1 : std::max(earlier.back().number, 0ll) + 1;
    for (int attempt = 1; attempt < 100; ++attempt) {
        const fs::path folder =
            root_ / (attempt == 1 ? runName_ : runName_ + "-" + std::to_string(attempt));
        if (fs::exists(folder, error) || !disk::MakePrivateFolder(folder)) {
            continue;
        }
        if (FileStatus written =
                ReplaceFileContents(folder / kRunNumberName, std::to_string(number) + "\n", true);
            !written) {
            fs::remove_all(folder, error);
            return FileStatus::Failure(file, "no safety copy of it could be made in \"" +
                                                 Utf8FromPath(folder) + "\": " + written.reason);
        }
        runFolder_ = folder;
        PruneOldRuns();
        return FileStatus::Success();
    }
    return FileStatus::Failure(file, "no safety copy of it could be made in \"" +
                                         Utf8FromPath(root_) + "\": the folder is in use");
}

FileStatus SafetyCopies::Copy(const fs::path& file) {
    if (runFolder_.empty()) {
        if (FileStatus started = StartRun(file); !started) {
            return started;
        }
    }
    // A run folder that got no copy goes again: it would hold nothing worth keeping.
    const auto dropEmptyRun = [this] {
        if (copyNames_.empty()) {
            std::error_code ignored;
            fs::remove_all(runFolder_, ignored);
            runFolder_.clear();
        }
    };
    const auto failed = [&](const FileStatus& why) {
        const fs::path folder = runFolder_;
        dropEmptyRun();
        return FileStatus::Failure(file, "no safety copy of it could be made in \"" +
                                             Utf8FromPath(folder) + "\": " + why.reason);
    };
    std::string bytes;
    if (FileStatus read = ReadFileBytes(file, bytes); !read) {
        return failed(read);
    }
    // Two files of one name (a second installation, say) each keep their own copy.
    const std::string stem = Utf8FromPath(file.stem());
    const std::string extension = Utf8FromPath(file.extension());
    std::string name = stem + extension;
    for (int n = 2; copyNames_.contains(name) || name == kIndexName || name == kRunNumberName ||
                    name == kRunRecordName;
         ++n) {
        name = stem + " (" + std::to_string(n) + ")" + extension;
    }
    if (FileStatus written = ReplaceFileContents(runFolder_ / PathFromUtf8(name), bytes, true);
        !written) {
        return failed(written);
    }
    std::string index = index_.empty() ? "copies of the files as they were before vk3tune "
                                         "changed them; copy one back into its folder to undo\n"
                                       : index_;
    index += name + "\t" + Utf8FromPath(file.parent_path()) + "\n";
    if (FileStatus written = ReplaceFileContents(runFolder_ / kIndexName, index, true); !written) {
        return failed(written);
    }
    // The index is for people; the record, which any path survives, for the history.
    RunRecord record{runTime_, copies_};
    record.copies.push_back({name, file});
    if (FileStatus written =
            ReplaceFileContents(runFolder_ / kRunRecordName, RunRecordText(record), true);
        !written) {
        return failed(written);
    }
    copyNames_.insert(name);
    copies_ = std::move(record.copies);
    index_ = std::move(index);
    return FileStatus::Success();
}

// The oldest runs go, by their numbers; the run before this one is always kept, so that
// the copies of the last session are there even after many short ones.
void SafetyCopies::PruneOldRuns() const {
    std::vector<Run> runs = OtherRuns(root_, runFolder_);
    if (!runs.empty()) {
        runs.pop_back();  // the previous run
    }
    const std::size_t keptOthers = kSafetyRunsKept > 2 ? kSafetyRunsKept - 2 : 0;
    const std::size_t excess = runs.size() > keptOthers ? runs.size() - keptOthers : 0;
    for (std::size_t i = 0; i < excess; ++i) {
        std::error_code ignored;
        fs::remove_all(runs[i].folder, ignored);
    }
}

fs::path DefaultSafetyFolder() {
    const fs::path state = disk::StateFolder();
    return state.empty() ? fs::path() : state / "safety";
}

}  // namespace vk3
