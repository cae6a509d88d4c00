#include "platform/safety_copies.h"

#include <gtest/gtest.h>

#include <filesystem>

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
    WriteFile(paths_.engineConfig, "[Engine.Setup]\r\nA=1\r\n");
    WriteFile(paths_.userOptions, "[Options.Custom]\r\nB=1\r\n");
    WriteFile(dir_ / "other/Ini/vkmain.ini", "second installation");
    ASSERT_TRUE(WriteProfileFiles({{paths_.engineConfig, {{"Engine.Setup", "A", "2"}}},
                                   {paths_.userOptions, {{"Options.Custom", "B", "2"}}}}));
    ASSERT_TRUE(WriteProfileStrings(paths_.engineConfig, {{"Engine.Setup", "A", "3"}}));
    ASSERT_TRUE(WriteProfileStrings(dir_ / "other/Ini/vkmain.ini", {{"s", "k", "v"}}));
    ASSERT_TRUE(WriteProfileStrings(paths_.debugConfig, {{"PropertySets", "k", "v"}}));

    const fs::path run = safety_->RunFolder();
    EXPECT_EQ(FileNamesIn(run), (std::set<std::string>{"vkmain.ini", "UserOptions.ini",
                                                       "vkmain (2).ini", "index.txt"}));
    EXPECT_EQ(ReadFile(run / "vkmain.ini"), "[Engine.Setup]\r\nA=1\r\n");
    EXPECT_EQ(ReadFile(run / "vkmain (2).ini"), "second installation");
    const std::string index = ReadFile(run / "index.txt");
    EXPECT_NE(index.find("vkmain.ini\t" + paths_.engineConfig.parent_path().string() + "\n"),
              std::string::npos)
        << index;
    EXPECT_NE(index.find("vkmain (2).ini\t" + (dir_ / "other/Ini").string() + "\n"),
              std::string::npos);
}

TEST_F(SafetyCopiesTest, KeepsTheTwentyNewestRunsAndNothingElseIsDeleted) {
    for (int day = 1; day <= 25; ++day) {
        fs::create_directories(dir_ / "safety" /
                               ("2001-01-" + std::to_string(10 + day) + "_10-00-00"));
    }
    fs::create_directories(dir_ / "safety/my notes");
    Use(dir_ / "safety");
    WriteFile(paths_.engineConfig, "old");
    ASSERT_TRUE(WriteProfileStrings(paths_.engineConfig, {{"s", "k", "v"}}));

    std::set<std::string> left = FileNamesIn(dir_ / "safety");
    EXPECT_EQ(left.size(), 21u);
    EXPECT_TRUE(left.contains("my notes"));
    EXPECT_TRUE(left.contains(safety_->RunFolder().filename().string()));
    EXPECT_FALSE(left.contains("2001-01-16_10-00-00"));
    EXPECT_TRUE(left.contains("2001-01-17_10-00-00"));
}

TEST_F(SafetyCopiesTest, WithoutItsCopyAFileIsNotChanged) {
    WriteFile(dir_ / "blocked", "a file where the folder should be");
    WriteFile(paths_.engineConfig, "[s]\r\nk=1\r\n");
    WriteFile(StartLogoFile(paths_), "logos");
    for (const fs::path& root : {dir_ / "blocked", fs::path()}) {
        Use(root);
        const FileStatus status = WriteProfileStrings(paths_.engineConfig, {{"s", "k", "2"}});
        EXPECT_NE(status.Message("could not write").find("no safety copy"), std::string::npos);
        EXPECT_EQ(ReadFile(paths_.engineConfig), "[s]\r\nk=1\r\n");
        test::FakePrompter prompter;
        RemoveStartLogos(prompter.AnswerYes(), paths_);
        EXPECT_EQ(prompter.errors().size(), 1u);
        EXPECT_EQ(ReadFile(StartLogoFile(paths_)), "logos");
    }
}

}  // namespace
}  // namespace vk3
