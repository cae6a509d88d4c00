#include "platform/safety_copies.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <regex>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace vk3 {

namespace {

constexpr std::string_view kIndexName = "index.txt";

// 2024-05-01_18-30-05, sortable by time and free of characters Windows refuses.
std::string RunName(std::chrono::system_clock::time_point started) {
    const std::time_t time = std::chrono::system_clock::to_time_t(started);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    char name[32];
    std::strftime(name, sizeof name, "%Y-%m-%d_%H-%M-%S", &local);
    return name;
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

}  // namespace

SafetyCopies::SafetyCopies(fs::path root, std::chrono::system_clock::time_point started)
    : root_(std::move(root)), runName_(RunName(started)) {}

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
    std::error_code error;
    fs::create_directories(root_, error);
    for (int attempt = 1; !error && attempt < 100; ++attempt) {
        const fs::path folder =
            root_ / (attempt == 1 ? runName_ : runName_ + "-" + std::to_string(attempt));
        if (fs::create_directory(folder, error)) {
            runFolder_ = folder;
            PruneOldRuns();
            return FileStatus::Success();
        }
    }
    return FileStatus::Failure(file,
                               "no safety copy of it could be made in \"" + Utf8FromPath(root_) +
                                   "\": " + (error ? ReasonOf(error) : "the folder is in use"));
}

FileStatus SafetyCopies::Copy(const fs::path& file) {
    if (runFolder_.empty()) {
        if (FileStatus started = StartRun(file); !started) {
            return started;
        }
    }
    const auto failed = [&](const FileStatus& why) {
        return FileStatus::Failure(file, "no safety copy of it could be made in \"" +
                                             Utf8FromPath(runFolder_) + "\": " + why.reason);
    };
    std::string bytes;
    if (FileStatus read = ReadFileBytes(file, bytes); !read) {
        return failed(read);
    }
    // Two files of one name (a second installation, say) each keep their own copy.
    const std::string stem = Utf8FromPath(file.stem());
    const std::string extension = Utf8FromPath(file.extension());
    std::string name = stem + extension;
    for (int n = 2; copyNames_.contains(name) || name == kIndexName; ++n) {
        name = stem + " (" + std::to_string(n) + ")" + extension;
    }
    if (FileStatus written = ReplaceFileContents(runFolder_ / PathFromUtf8(name), bytes);
        !written) {
        return failed(written);
    }
    std::string index = index_.empty() ? "copies of the files as they were before vk3tune "
                                         "changed them; copy one back into its folder to undo\n"
                                       : index_;
    index += name + "\t" + Utf8FromPath(file.parent_path()) + "\n";
    if (FileStatus written = ReplaceFileContents(runFolder_ / kIndexName, index); !written) {
        return failed(written);
    }
    copyNames_.insert(name);
    index_ = std::move(index);
    return FileStatus::Success();
}

void SafetyCopies::PruneOldRuns() const {
    std::vector<std::string> runs;
    std::error_code error;
    for (fs::directory_iterator it(root_, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        const std::string name = Utf8FromPath(it->path().filename());
        if (it->is_directory(ignored) && IsRunFolderName(name) && it->path() != runFolder_) {
            runs.push_back(name);
        }
    }
    // The newest names sort last; this run's folder counts as one of those kept.
    std::sort(runs.begin(), runs.end());
    const std::size_t excess =
        runs.size() + 1 > kSafetyRunsKept ? runs.size() + 1 - kSafetyRunsKept : 0;
    for (std::size_t i = 0; i < excess; ++i) {
        std::error_code ignored;
        fs::remove_all(root_ / PathFromUtf8(runs[i]), ignored);
    }
}

fs::path DefaultSafetyFolder() {
#ifdef _WIN32
    const wchar_t* localAppData = _wgetenv(L"LOCALAPPDATA");
    if (localAppData == nullptr || *localAppData == L'\0') {
        return {};
    }
    return fs::path(localAppData) / "vk3tune" / "safety";
#else
    // A relative XDG_STATE_HOME is invalid and ignored, as the XDG rules ask.
    const char* state = std::getenv("XDG_STATE_HOME");
    fs::path base;
    if (state != nullptr && fs::path(state).is_absolute()) {
        base = state;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        base = fs::path(home) / ".local" / "state";
    } else {
        return {};
    }
    return base / "vk3tune" / "safety";
#endif
}

}  // namespace vk3
