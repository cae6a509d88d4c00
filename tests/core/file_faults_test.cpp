// Settings files that are not what they should be, saves killed half-way, folders that
// refuse new files: nothing may hang, flood memory, tear a file or leave litter behind.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

#include "main_dialog/main_settings_model.h"
#include "platform/file_system.h"
#include "profile/profile_store.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace fs = std::filesystem;

namespace vk3 {
namespace {

using test::FileNamesIn;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(FileFaults, NamesWithNonAsciiLettersSurviveEveryConversion) {
    TempDir dir;
    const fs::path documents = dir.path() / fs::path(u8"Users/Jos\u00e9/Documents");
    fs::create_directories(documents / "Ini");
    const std::string folder = Utf8FromPath(documents);
    const InstallationPaths paths = {JoinPath(folder, "Ini/vkmain.ini"), {}, {}};
    ASSERT_TRUE(WriteProfileString(paths.engineConfig, "Engine.Setup", "Entity.ROI", "1.0").ok());
    EXPECT_EQ(ReadFile(documents / "Ini" / "vkmain.ini"), "[Engine.Setup]\r\nEntity.ROI=1.0\r\n");
    EXPECT_EQ(ReadProfileString(paths.engineConfig, "Engine.Setup", "Entity.ROI", ""), "1.0");
    EXPECT_EQ(StartLogoFile(paths), documents / "Ini" / "logo.ini");
    const FileStatus status = FileStatus::Failure(PathFromUtf8(folder + "/x.ini"), "why");
    EXPECT_EQ(status.Message("could not write"), "could not write \"" + folder + "/x.ini\": why");
}

#ifndef _WIN32

TEST(FileFaults, WhatIsNoRegularFileOrTooLargeIsRefusedWithoutWaiting) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo.ini").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", dir / "zero.ini");
    { std::ofstream sparse(dir / "huge.ini"); }
    fs::resize_file(dir / "huge.ini", kMaxSettingsFileBytes + 1);
    fs::create_directory(dir / "folder.ini");
    const std::pair<const char*, const char*> cases[] = {
        {"fifo.ini", "it is not a regular file"},
        {"zero.ini", "it is not a regular file"},
        {"huge.ini", "it is larger than 256 MiB, too large for a settings file"},
        {"folder.ini", "it is a folder, not a file"},
    };
    for (const auto& [name, reason] : cases) {
        SCOPED_TRACE(name);
        std::string bytes;
        EXPECT_EQ(ReadFileBytes(dir / name, bytes).reason, reason);
        const ProfileReader reader(dir / name);
        EXPECT_EQ(reader.status().reason, reason);
        EXPECT_EQ(reader.ReadString("s", "k", "default"), "default");
        // A save never replaces what it could not read.
        EXPECT_EQ(WriteProfileString(dir / name, "s", "k", "v").reason, reason);
    }
    EXPECT_TRUE(fs::is_fifo(dir / "fifo.ini"));
    EXPECT_EQ(fs::file_size(dir / "huge.ini"), kMaxSettingsFileBytes + 1);

    // The main settings show their defaults and say which file could not be read.
    MainSettingsModel model;
    const FileStatus status = model.Load({dir / "fifo.ini", {}, dir / "UserOptions.ini"});
    EXPECT_EQ(status.path, dir / "fifo.ini");
    EXPECT_EQ(model.FieldText(MainControl::ViewRangeNpc), "0");
}

TEST(FileFaults, AFolderThatRefusesNewFilesIsNamedAsTheCause) {
    TempDir dir;
    const fs::path file = dir / "Ini/vkmain.ini";
    WriteFile(file, "[s]\r\nk=1\r\n");
    fs::permissions(file.parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
    FileStatus status;
    test::RunBoundByFileModes([&] { status = WriteProfileString(file, "s", "k", "2"); });
    fs::permissions(file.parent_path(), fs::perms::owner_all);
    EXPECT_EQ(status.reason, "the folder \"" + (dir / "Ini").string() +
                                 "\" does not allow new files, which a safe save needs");
    EXPECT_EQ(ReadFile(file), "[s]\r\nk=1\r\n");
}

#endif

TEST(FileFaults, LeftoversOfKilledSavesAreRemovedAndNoOtherFiles) {
    TempDir dir;
    const fs::path file = dir / "vkmain.ini";
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(2);
    for (const char* name : {".vkmain.ini.vk3-Ab12Cd.tmp", ".debug.ini.vk3-000000.tmp"}) {
        WriteFile(dir / name, "left by a killed save");
        fs::last_write_time(dir / name, old);
    }
    // A save running now, and names that are not ours, stay.
    WriteFile(dir / ".vkmain.ini.vk3-Zz99zz.tmp", "a save running now");
    for (const char* name : {".vkmain.ini.vk3-Ab1.tmp", "vkmain.ini.vk3-Ab12Cd.tmp",
                             ".vkmain.ini.XXXXXX", ".vkmain.ini.vk3-Ab12C!.tmp"}) {
        WriteFile(dir / name, "not ours");
        fs::last_write_time(dir / name, old);
    }
    ASSERT_TRUE(ReplaceFileContents(file, "new").ok());
    EXPECT_EQ(FileNamesIn(dir.path()),
              (std::set<std::string>{"vkmain.ini", ".vkmain.ini.vk3-Zz99zz.tmp",
                                     ".vkmain.ini.vk3-Ab1.tmp", "vkmain.ini.vk3-Ab12Cd.tmp",
                                     ".vkmain.ini.XXXXXX", ".vkmain.ini.vk3-Ab12C!.tmp"}));
}

#ifndef _WIN32

TEST(FileFaults, SavesKilledAtRandomMomentsLeaveTheFileWholeAndNothingElse) {
    TempDir dir;
    const fs::path file = dir / "vkmain.ini";
    const std::string before(20 << 20, 'a');
    const std::string after(20 << 20, 'b');
    WriteFile(file, before);
    std::mt19937 random(7);
    for (int trial = 0; trial < 4; ++trial) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                ReplaceFileContents(file, trial % 2 ? before : after);
            }
        }
        ::usleep(1000 + random() % 40000);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string now = ReadFile(file);
        EXPECT_TRUE(now == before || now == after);
        EXPECT_EQ(FileNamesIn(dir.path()), std::set<std::string>{"vkmain.ini"});
    }
}

#endif

}  // namespace
}  // namespace vk3
