#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#else
#include <windows.h>
#endif

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace vk3 {
namespace {

using test::FileNamesIn;
using test::MakeReadOnly;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(ReadFileBytes, ReadsEveryByteAndNamesTheFileOnFailure) {
    TempDir dir;
    const std::string bytes("[s]\r\n\0\xff\x1a\r", 9);
    WriteFile(dir / "a.ini", bytes);
    std::string read = "old";
    ASSERT_TRUE(ReadFileBytes(dir / "a.ini", read).ok());
    EXPECT_EQ(read, bytes);

    const FileStatus status = ReadFileBytes(dir / "missing.ini", read);
    EXPECT_TRUE(read.empty());
    EXPECT_EQ(status.Message("could not read"), "could not read \"" +
                                                    (dir / "missing.ini").string() +
                                                    "\": the file or its folder does not exist");

    EXPECT_FALSE(ReadFileBytes(dir.path(), read).ok());
}

TEST(ReplaceFileContents, CreatesAndReplacesLeavingNoTemporaryFiles) {
    TempDir dir;
    for (const std::string& bytes : {"[s]\r\nk=1\r\n"s, "\0binary"s, ""s}) {
        ASSERT_TRUE(ReplaceFileContents(dir / "vkmain.ini", bytes).ok());
        EXPECT_EQ(ReadFile(dir / "vkmain.ini"), bytes);
    }
    EXPECT_EQ(FileNamesIn(dir.path()), std::set<std::string>{"vkmain.ini"});
}

#ifndef _WIN32

TEST(ReplaceFileContents, KeepsPermissionsAndFollowsSymbolicLinks) {
    TempDir dir;
    const fs::path file = dir / "vkmain.ini";
    WriteFile(file, "old");
    fs::permissions(file, fs::perms(0640));
    ASSERT_TRUE(ReplaceFileContents(file, "new").ok());
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));

    // A new file gets the usual mode, not the private one of a temporary file.
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(ReplaceFileContents(dir / "fresh.ini", "x").ok());
    ::umask(mask);
    EXPECT_EQ(fs::status(dir / "fresh.ini").permissions(), fs::perms(0644));

    // A relative link, through a second link: the final target is replaced, links stay. A
    // link to a file not yet there creates the file.
    WriteFile(dir / "real" / "debug.ini", "target");
    fs::create_symlink("real/debug.ini", dir / "link1.ini");
    fs::create_symlink(dir / "link1.ini", dir / "link2.ini");
    fs::create_symlink("real/logo.ini", dir / "dangling.ini");
    ASSERT_TRUE(ReplaceFileContents(dir / "link2.ini", "replaced").ok());
    ASSERT_TRUE(ReplaceFileContents(dir / "dangling.ini", "made").ok());
    for (const char* link : {"link1.ini", "link2.ini", "dangling.ini"}) {
        EXPECT_TRUE(fs::is_symlink(dir / link)) << link;
    }
    EXPECT_EQ(ReadFile(dir / "real" / "debug.ini"), "replaced");
    EXPECT_EQ(ReadFile(dir / "real" / "logo.ini"), "made");
    EXPECT_EQ(FileNamesIn(dir / "real"), (std::set<std::string>{"debug.ini", "logo.ini"}));
    EXPECT_EQ(FileNamesIn(dir.path()).size(), 6u);
}

TEST(ReplaceFileContents, RefusesWhatItMustNotReplace) {
    TempDir dir;
    const fs::path file = dir / "vkmain.ini";
    WriteFile(file, "old");
    MakeReadOnly(file);
    fs::create_symlink(file, dir / "link.ini");
    fs::create_symlink("loop2.ini", dir / "loop1.ini");
    fs::create_symlink("loop1.ini", dir / "loop2.ini");
    fs::create_directory(dir / "folder.ini");
    const std::pair<fs::path, std::string> cases[] = {
        {file, "the file is read-only"},
        {dir / "link.ini", "the file is read-only"},
        {dir / "loop1.ini", "its symbolic links lead round in a circle"},
        {dir / "folder.ini", "it is a folder, not a file"},
        {dir / "missing" / "UserOptions.ini",
         "its folder \"" + (dir / "missing").string() + "\" does not exist"}};
    for (const auto& [path, reason] : cases) {
        EXPECT_EQ(ReplaceFileContents(path, "new").reason, reason) << path;
    }
    EXPECT_EQ(ReadFile(file), "old");
    EXPECT_TRUE(fs::is_symlink(dir / "loop1.ini") && fs::is_directory(dir / "folder.ini"));
    EXPECT_EQ(FileNamesIn(dir.path()), (std::set<std::string>{"folder.ini", "link.ini", "loop1.ini",
                                                              "loop2.ini", "vkmain.ini"}));
}

TEST(ReplaceFileContents, AWriteThatFailsHalfWayLeavesTheOldFileWhole) {
    TempDir dir;
    const fs::path file = dir / "vkmain.ini";
    const std::string old = "[Engine.Setup]\r\nDisplay.Width=1024\r\n";
    WriteFile(file, old);

    // A disk that fills up during the write: the file size limit makes write() fail with
    // EFBIG once 4096 bytes are written.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileStatus status = ReplaceFileContents(file, std::string(100000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(status.reason, "the file would be too large");
    EXPECT_EQ(ReadFile(file), old);
    EXPECT_EQ(FileNamesIn(dir.path()), std::set<std::string>{"vkmain.ini"});
}

TEST(ReplaceFilesTogether, ReplacesAllOrNone) {
    TempDir dir;
    const fs::path engine = dir / "vkmain.ini";
    const fs::path options = dir / "UserOptions.ini";
    WriteFile(engine, "engine");
    WriteFile(options, "options");

    ASSERT_TRUE(ReplaceFilesTogether({{engine, "engine 2"}, {options, "options 2"}}).ok());
    EXPECT_EQ(ReadFile(engine), "engine 2");
    EXPECT_EQ(ReadFile(options), "options 2");

    // The second file cannot be written, or its folder is missing: the first is put back.
    MakeReadOnly(options);
    FileStatus status = ReplaceFilesTogether({{engine, "engine 3"}, {options, "options 3"}});
    EXPECT_EQ(status.path, options);
    EXPECT_FALSE(ReplaceFilesTogether({{engine, "engine 4"}, {dir / "gone" / "x.ini", "x"}}).ok());

    // A file that is there but cannot be read could not be put back: nothing is replaced.
    fs::permissions(options, fs::perms::owner_write);
    test::RunBoundByFileModes([&] {
        status = ReplaceFilesTogether({{options, "options 5"}, {engine, "engine 5"}});
    });
    EXPECT_EQ(status.Message("x"), "x \"" + options.string() + "\": permission denied");
    fs::permissions(options, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadFile(engine), "engine 2");
    EXPECT_EQ(ReadFile(options), "options 2");
    EXPECT_EQ(FileNamesIn(dir.path()), (std::set<std::string>{"UserOptions.ini", "vkmain.ini"}));
}

#else

TEST(ReplaceFileContents, RefusesAReadOnlyFileAndOneOpenElsewhereLeavingBothWhole) {
    TempDir dir;
    const fs::path readOnly = dir / "vkmain.ini";
    const fs::path held = dir / "UserOptions.ini";
    WriteFile(readOnly, "old");
    WriteFile(held, "old");
    MakeReadOnly(readOnly);
    ASSERT_TRUE(GetFileAttributesW(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY);
    // As the game or an editor holds it: others may read and write, not delete or rename.
    const HANDLE handle =
        CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    const std::pair<fs::path, std::string> cases[] = {{readOnly, "the file is read-only"},
                                                      {held, "another program has the file open"}};
    for (const auto& [path, reason] : cases) {
        EXPECT_TRUE(ReplaceFileContents(path, "new").reason.starts_with(reason)) << path;
    }
    CloseHandle(handle);
    EXPECT_EQ(ReadFile(readOnly), "old");
    EXPECT_EQ(ReadFile(held), "old");
    EXPECT_EQ(FileNamesIn(dir.path()), (std::set<std::string>{"UserOptions.ini", "vkmain.ini"}));
}

#endif

}  // namespace
}  // namespace vk3
