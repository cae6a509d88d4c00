#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <random>
#include <utility>

#ifndef _WIN32
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace vk3::test {

namespace {

// Each test program gets a home and XDG folders of its own (on Windows a local application
// data folder): lock files, records of saves and safety copies never reach the user's.
const struct PrivateEnvironment {
    TempDir home;
    PrivateEnvironment() {
#ifdef _WIN32
        _wputenv_s(L"LOCALAPPDATA", (home.path() / "AppData" / "Local").c_str());
#else
        for (const auto& [name, folder] : {std::pair<const char*, const char*>{"HOME", ""},
                                           {"XDG_CONFIG_HOME", ".config"},
                                           {"XDG_DATA_HOME", ".local/share"},
                                           {"XDG_STATE_HOME", ".local/state"},
                                           {"XDG_CACHE_HOME", ".cache"},
                                           {"XDG_RUNTIME_DIR", "run"}}) {
            fs::create_directories(home.path() / folder);
            fs::permissions(home.path() / folder, fs::perms::owner_all);
            ::setenv(name, (home.path() / folder).c_str(), 1);
        }
#endif
    }
} privateEnvironment;

}  // namespace

TempDir::TempDir() {
    std::random_device random;
    do {
        path_ = fs::temp_directory_path() / ("vk3test-" + std::to_string(random()));
    } while (!fs::create_directory(path_));
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Read-only files and folders made by a test must not stop the clean-up.
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        // Links are not followed: what a test's link leads to is not the test's to change.
        if (!it->is_symlink(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::remove_all(path_, ignored);
}

void WriteFile(const fs::path& path, std::string_view bytes) {
    if (path.has_parent_path()) {
        fs::create_directories(path.parent_path());
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "could not write test file " << path;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::set<std::string> FileNamesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

void MakeReadOnly(const fs::path& file) {
    using enum fs::perms;
    fs::permissions(file, owner_write | group_write | others_write, fs::perm_options::remove);
}

#ifndef _WIN32
void RunBoundByFileModes(const std::function<void()>& action) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2]{};
    ::syscall(SYS_capget, &header, saved);
    __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
    reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    ::syscall(SYS_capset, &header, reduced);
    action();
    ::syscall(SYS_capset, &header, saved);
}

namespace {

// Each test process gets a home, XDG folders and a Wine prefix of its own in a temporary
// folder, so that no code a test reaches can change the user's real files.
class TemporaryHome : public ::testing::Environment {
public:
    void SetUp() override {
        home_.emplace();
        for (const auto& [name, folder] : {std::pair<const char*, const char*>{"HOME", ""},
                                           {"XDG_CONFIG_HOME", ".config"},
                                           {"XDG_DATA_HOME", ".local/share"},
                                           {"XDG_STATE_HOME", ".local/state"},
                                           {"WINEPREFIX", ".wine"}}) {
            ::setenv(name, (home_->path() / folder).c_str(), 1);
        }
    }
    void TearDown() override { home_.reset(); }

private:
    std::optional<TempDir> home_;
};

[[maybe_unused]] const auto* const kTemporaryHome =
    ::testing::AddGlobalTestEnvironment(new TemporaryHome);

}  // namespace
#endif

}  // namespace vk3::test
