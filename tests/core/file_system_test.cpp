// Settings files that are not what they should be, saves failing or killed half-way, folders
// that refuse new files: nothing may hang, flood memory, tear a file or leave litter behind.
#include "files/file_system.h"
#include "files/save_turn.h"
#include "files/step_record.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "main_dialog/main_settings_model.h"
#include "profile/profile_store.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#else
#include <windows.h>
#undef WriteProfileString  // Windows' own name for its profile function, not ours
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
using Names = std::set<std::string>;

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
    EXPECT_EQ(FileStatus::Failure(PathFromUtf8(folder + "/x.ini"), "why").Message("could not"),
              "could not \"" + folder + "/x.ini\": why");
}

// Replacing also removes leftovers of killed saves at once (no save of ours can be running
// while we hold the turn), but no other file.
TEST(ReplaceFileContents, CreatesAndReplacesRemovingOnlyLeftoversOfKilledSaves) {
    TempDir dir;
    for (const char* name :
         {".vkmain.ini.vk3-Ab12Cd.tmp", ".debug.ini.vk3-000000.tmp", ".vkmain.ini.vk3-Ab1.tmp",
          "vkmain.ini.vk3-Ab12Cd.tmp", ".vkmain.ini.XXXXXX", ".vkmain.ini.vk3-Ab12C!.tmp"}) {
        WriteFile(dir / name, "left behind");
    }
    FinishInterruptedSaves({dir / "vkmain.ini"});  // as at start
    for (const std::string& bytes : {"[s]\r\nk=1\r\n"s, "\0binary"s, ""s}) {
        ASSERT_TRUE(ReplaceFileContents(dir / "vkmain.ini", bytes).ok());
        EXPECT_EQ(ReadFile(dir / "vkmain.ini"), bytes);
    }
    EXPECT_EQ(FileNamesIn(dir.path()),
              (Names{"vkmain.ini", ".vkmain.ini.vk3-Ab1.tmp", "vkmain.ini.vk3-Ab12Cd.tmp",
                     ".vkmain.ini.XXXXXX", ".vkmain.ini.vk3-Ab12C!.tmp"}));
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
    EXPECT_EQ(FileNamesIn(dir / "real"), (Names{"debug.ini", "logo.ini"}));
    EXPECT_EQ(FileNamesIn(dir.path()).size(), 6u);
}

// Refused at once, without waiting, reading a flood or leaving anything changed or behind.
TEST(FileFaults, WhatMustNotBeReadOrReplacedIsRefusedWithTheReason) {
    TempDir dir;
    WriteFile(dir / "vkmain.ini", "old");
    MakeReadOnly(dir / "vkmain.ini");
    fs::create_symlink(dir / "vkmain.ini", dir / "link.ini");
    fs::create_symlink("loop2.ini", dir / "loop1.ini");
    fs::create_symlink("loop1.ini", dir / "loop2.ini");
    fs::create_directory(dir / "folder.ini");
    ASSERT_EQ(::mkfifo((dir / "fifo.ini").c_str(), 0644), 0);
    // Tests aim writes only at what they made: a link to the pipe stands for one to a device.
    fs::create_symlink("fifo.ini", dir / "pipe-link.ini");
    { std::ofstream sparse(dir / "huge.ini"); }
    fs::resize_file(dir / "huge.ini", kMaxSettingsFileBytes + 1);
    const struct {
        fs::path path;
        std::string reason;
        bool readable;
    } cases[] = {
        {dir / "vkmain.ini", "the file is read-only", true},
        {dir / "link.ini", "the file is read-only", true},
        {dir / "loop1.ini", "its symbolic links lead round in a circle", true},
        {dir / "missing" / "UserOptions.ini",
         "its folder \"" + (dir / "missing").string() + "\" does not exist", true},
        {dir / "folder.ini", "it is a folder, not a file", false},
        {dir / "fifo.ini", "it is not a regular file", false},
        {dir / "pipe-link.ini", "it is not a regular file", false},
        {dir / "huge.ini", "it is larger than 256 MiB, too large for a settings file", false},
    };
    for (const auto& [path, reason, readable] : cases) {
        SCOPED_TRACE(path);
        if (readable) {
            EXPECT_EQ(ReplaceFileContents(path, "new").reason, reason);
            continue;
        }
        // A save never replaces what it could not read.
        EXPECT_EQ(WriteProfileString(path, "s", "k", "v").reason, reason);
        std::string bytes;
        EXPECT_EQ(ReadFileBytes(path, bytes).reason, reason);
        ProfileReader reader(path);
        EXPECT_EQ(reader.status().reason, reason);
        EXPECT_EQ(reader.ReadString("s", "k", "default"), "default");
    }
    // Replacing refuses what is no file, and a save through a loop names the loop.
    EXPECT_EQ(ReplaceFileContents(dir / "fifo.ini", "new").reason, "it is not a regular file");
    EXPECT_EQ(WriteProfileString(dir / "loop1.ini", "s", "k", "v").reason,
              "its symbolic links lead round in a circle");
    EXPECT_EQ(ReadFile(dir / "vkmain.ini"), "old");
    EXPECT_TRUE(fs::is_fifo(dir / "fifo.ini") && fs::is_directory(dir / "folder.ini"));
    EXPECT_EQ(fs::file_size(dir / "huge.ini"), kMaxSettingsFileBytes + 1);
    EXPECT_EQ(FileNamesIn(dir.path()).size(), 8u);

    // The main settings show their defaults and say which file could not be read.
    MainSettingsModel model;
    const SettingsResult loaded = model.Load({dir / "fifo.ini", {}, dir / "UserOptions.ini"});
    ASSERT_EQ(loaded.failures.size(), 1u);
    EXPECT_EQ(loaded.failures[0].path, dir / "fifo.ini");
    EXPECT_EQ(model.Binder().Text(model.Binder().Row("viewRangeNpcEdit")), "0");
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

// Nothing stays open after any way a replacement ends, once the replaced files are let go.
TEST(ReplaceFilesTogether, ReplacesAllOrNoneLeavingNoFileOpen) {
    TempDir dir;
    const fs::path engine = dir / "vkmain.ini";
    const fs::path options = dir / "UserOptions.ini";
    WriteFile(engine, "engine");
    WriteFile(options, "options");
    const auto openFiles = [] {
        const fs::directory_iterator open("/proc/self/fd");
        return std::distance(begin(open), end(open));
    };
    const auto openBefore = openFiles();
    ASSERT_TRUE(ReplaceFilesTogether({{engine, "engine 2"}, {options, "options 2"}}).ok());

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

    // Without the record that finishes a step cut short, no file is replaced.
    const fs::path steps = fs::path(std::getenv("XDG_STATE_HOME")) / "vk3tune" / "steps";
    const auto setModes = [&](fs::perms folderMode, fs::perms recordMode) {
        fs::permissions(steps, folderMode);
        for (const fs::directory_entry& record : fs::directory_iterator(steps)) {
            fs::permissions(record.path(), recordMode);
        }
    };
    setModes(fs::perms::owner_read | fs::perms::owner_exec, fs::perms::owner_read);
    test::RunBoundByFileModes([&] {
        status = ReplaceFilesTogether({{options, "options 6"}, {engine, "engine 6"}});
    });
    setModes(fs::perms::owner_all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(status.path.parent_path(), steps);
    EXPECT_EQ(status.reason,
              "the record that keeps files saved together whole could not be written: "
              "permission denied");
    EXPECT_EQ(ReadFile(engine), "engine 2");
    EXPECT_EQ(ReadFile(options), "options 2");
    EXPECT_EQ(FileNamesIn(dir.path()), (Names{"UserOptions.ini", "vkmain.ini"}));
    EXPECT_EQ(openFiles(), openBefore);
}

// At start a record is followed only when it is whole and not marked done: one a crash
// tore (its digest no longer matches) or one marked done never puts its file in place.
TEST(ReplaceFilesTogether, OnlyAWholeRecordOfAStepNotDoneIsFinished) {
    TempDir dir;
    const fs::path target = dir / "vkmain.ini";
    const fs::path prepared = dir / ".vkmain.ini.vk3-Ab12Cd.tmp";
    const fs::path record =
        fs::path(std::getenv("XDG_STATE_HOME")) / "vk3tune" / "steps" / "test.step";
    const std::string whole = StepRecordText({{target, prepared, 0}});
    std::string torn = whole;
    torn[13] = torn[13] == '0' ? '1' : '0';  // the digest's first digit
    const std::pair<std::string, std::string> cases[] = {
        {whole, "new"}, {torn, "old"}, {"vk3tune done " + whole.substr(13), "old"}};
    for (const auto& [text, left] : cases) {
        WriteFile(target, "old");
        WriteFile(prepared, "new");
        WriteFile(record, text);
        FinishInterruptedSaves({target});
        EXPECT_EQ(ReadFile(target), left) << text;
        EXPECT_EQ(FileNamesIn(dir.path()), Names{"vkmain.ini"}) << text;
        fs::remove(record);
    }
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
    EXPECT_EQ(FileNamesIn(dir.path()), (Names{"UserOptions.ini", "vkmain.ini"}));
}

#endif

}  // namespace
}  // namespace vk3
