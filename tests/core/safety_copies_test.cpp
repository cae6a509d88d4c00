#include "files/safety_copies.h"

#include <gtest/gtest.h>

#include "maintenance/start_logos.h"
#include "profile/profile_store.h"
#include "support/fake_prompter.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace vk3 {
namespace {

using test::FileNamesIn;
using test::ReadFile;
using test::WriteFile;

class SafetyCopiesTest : public ::testing::Test {
protected:
    void Use(fs::path root) {
        safety_ = std::make_unique<SafetyCopies>(std::move(root), std::chrono::system_clock::now());
        SetReplacementGuard([this](const fs::path& file) { return safety_->KeepBefore(file); });
    }
    void TearDown() override { SetReplacementGuard(nullptr); }

    test::TempDir dir_;
    InstallationPaths paths_ = test::InstallationUnder(dir_.path());
    std::unique_ptr<SafetyCopies> safety_;
};

TEST_F(SafetyCopiesTest, KeepsEachFileOnceBeforeItsFirstChangeInARun) {
    Use(dir_ / "safety");
    const fs::path second = dir_ / "other/vkmain.ini";
    WriteFile(paths_.engineConfig, "A=1");
    WriteFile(paths_.userOptions, "B=1");
    WriteFile(second, "second installation");
    ASSERT_TRUE(WriteProfileFiles(
        {{paths_.engineConfig, {{"s", "A", "2"}}}, {paths_.userOptions, {{"s", "B", "2"}}}}));
    ASSERT_TRUE(WriteProfileStrings(paths_.engineConfig, {{"s", "A", "3"}}));
    ASSERT_TRUE(WriteProfileStrings(second, {{"s", "k", "v"}}));
    ASSERT_TRUE(WriteProfileStrings(paths_.debugConfig, {{"s", "k", "v"}}));  // a new file

    const fs::path run = safety_->RunFolder();
    EXPECT_EQ(FileNamesIn(run),
              (std::set<std::string>{"vkmain.ini", "UserOptions.ini", "vkmain (2).ini", "index.txt",
                                     "run-number.txt", "record.txt"}));
    EXPECT_EQ(ReadFile(run / "vkmain.ini"), "A=1");
    EXPECT_EQ(ReadFile(run / "vkmain (2).ini"), "second installation");
    EXPECT_TRUE(ReadFile(run / "index.txt")
                    .ends_with("vkmain (2).ini\t" + second.parent_path().string() + "\n"));
}

#ifndef _WIN32
// Folders only the player can enter, copies no more readable than their files; the runs go by
// their numbers, so a clock set back does not make the previous run look oldest; a save that
// fails before any file changes leaves no run folder.
TEST_F(SafetyCopiesTest, CopiesArePrivateAndOldRunsGoByNumberNotByClock) {
    const fs::path root = dir_ / "safety";
    for (int run = 1; run <= 25; ++run) {
        // The newest runs were made while the clock was ahead: their names sort last.
        const fs::path folder =
            root / ((run > 20 ? "2099-01-" : "2001-01-") + std::to_string(10 + run) + "_10-00-00");
        WriteFile(folder / "run-number.txt", std::to_string(run) + "\n");
    }
    fs::create_directories(root / "my notes");
    Use(root);
    WriteFile(paths_.engineConfig, "[s]\r\nk=1\r\n");
    test::MakeReadOnly(paths_.engineConfig);
    EXPECT_FALSE(WriteProfileStrings(paths_.engineConfig, {{"s", "k", "2"}}));
    EXPECT_TRUE(safety_->RunFolder().empty());
    EXPECT_EQ(FileNamesIn(root).size(), 26u);

    fs::permissions(paths_.engineConfig, fs::perms(0600));
    ASSERT_TRUE(WriteProfileStrings(paths_.engineConfig, {{"s", "k", "2"}}));
    const fs::path run = safety_->RunFolder();
    EXPECT_EQ(fs::status(root).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(run).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(run / "vkmain.ini").permissions(), fs::perms(0600));
    EXPECT_EQ(ReadFile(run / "run-number.txt"), "26\n");
    const std::set<std::string> left = FileNamesIn(root);
    EXPECT_EQ(left.size(), 21u);
    EXPECT_TRUE(left.contains("2099-01-35_10-00-00") && left.contains("2001-01-17_10-00-00") &&
                left.contains("my notes"));
    EXPECT_FALSE(left.contains("2001-01-16_10-00-00"));
}
#endif

TEST_F(SafetyCopiesTest, WithoutItsCopyAFileIsNotChanged) {
    WriteFile(dir_ / "blocked", "a file where the folder should be");
    WriteFile(paths_.engineConfig, "k=1");
    WriteFile(StartLogoFile(paths_), "logos");
    for (const fs::path& root : {dir_ / "blocked", fs::path()}) {
        Use(root);
        const FileStatus status = WriteProfileStrings(paths_.engineConfig, {{"s", "k", "2"}});
        EXPECT_NE(status.Message("could not write").find("no safety copy"), std::string::npos);
        test::FakePrompter prompter;
        RemoveStartLogos(prompter.AnswerYes(), paths_);
        EXPECT_EQ(prompter.errors().size(), 1u);
        EXPECT_EQ(ReadFile(paths_.engineConfig) + ReadFile(StartLogoFile(paths_)), "k=1logos");
    }
}

}  // namespace
}  // namespace vk3
