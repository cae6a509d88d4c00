#include "maintenance/start_logos.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/fake_prompter.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace vk3 {
namespace {

using test::FakePrompter;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr std::string_view kRemoveQuestion = "do you really want to remove the startlogos?";
constexpr std::string_view kRestoreQuestion = "do you really want to restore the startlogos?";
constexpr std::string_view kFullList =
    "VK3_Logo_01.bik\r\nVK3_Logo_02.bik\r\nVK3_Logo_03.bik\r\nVK3_Logo_04.bik\r\nVK3_Logo_05.bik";

class StartLogos : public ::testing::Test {
protected:
    StartLogos() {
        paths.engineConfig = dir / "game/Ini/vkmain.ini";
        WriteFile(paths.engineConfig, "[Engine.Setup]\r\n");
    }

    TempDir dir;
    InstallationPaths paths;
    fs::path logoFile = dir / "game/Ini/logo.ini";
};

TEST_F(StartLogos, RemoveAndRestoreWriteExactlyTheListsTheGameReads) {
    EXPECT_EQ(RemovedStartLogos(), "VK3_Logo_01.bik");
    EXPECT_EQ(FullStartLogos(), kFullList);

    {  // a missing logo.ini is created
        FakePrompter prompter;
        prompter.AnswerYes();
        RemoveStartLogos(prompter, paths);
        EXPECT_EQ(ReadFile(logoFile), "VK3_Logo_01.bik");
        EXPECT_EQ(prompter.questions(), std::vector<std::string>{std::string(kRemoveQuestion)});
        EXPECT_TRUE(prompter.errors().empty());
        EXPECT_TRUE(prompter.notices().empty());
    }
    for (int time = 0; time < 2; ++time) {
        FakePrompter prompter;
        prompter.AnswerYes();
        RestoreStartLogos(prompter, paths);
        EXPECT_EQ(ReadFile(logoFile), kFullList);
        EXPECT_EQ(prompter.questions(), std::vector<std::string>{std::string(kRestoreQuestion)});
        EXPECT_TRUE(prompter.errors().empty());
    }
    {  // removal replaces the whole list, whatever it held
        WriteFile(logoFile, "VK3_Logo_03.bik\r\nVK3_Logo_01.bik\r\nsomething longer\r\n");
        FakePrompter prompter;
        prompter.AnswerYes();
        RemoveStartLogos(prompter, paths);
        EXPECT_EQ(ReadFile(logoFile), "VK3_Logo_01.bik");
    }
}

TEST_F(StartLogos, NoLeavesTheFileUntouched) {
    for (bool remove : {true, false}) {
        SCOPED_TRACE(remove ? "remove" : "restore");
        fs::remove(logoFile);
        FakePrompter first;
        first.AnswerNo();
        remove ? RemoveStartLogos(first, paths) : RestoreStartLogos(first, paths);
        EXPECT_FALSE(fs::exists(logoFile));

        WriteFile(logoFile, "VK3_Logo_02.bik\n");
        FakePrompter second;
        second.AnswerNo();
        remove ? RemoveStartLogos(second, paths) : RestoreStartLogos(second, paths);
        EXPECT_EQ(ReadFile(logoFile), "VK3_Logo_02.bik\n");
        EXPECT_TRUE(second.errors().empty());
    }
}

TEST_F(StartLogos, AFileThatCannotBeWrittenIsReportedAndLeftAsItWas) {
    for (bool remove : {true, false}) {
        SCOPED_TRACE(remove ? "remove" : "restore");
        auto run = [&](std::string_view expectedReason) {
            FakePrompter prompter;
            prompter.AnswerYes();
            remove ? RemoveStartLogos(prompter, paths) : RestoreStartLogos(prompter, paths);
            ASSERT_EQ(prompter.errors().size(), 1u);
            EXPECT_NE(prompter.errors()[0].find("logo.ini"), std::string::npos)
                << prompter.errors()[0];
            EXPECT_NE(prompter.errors()[0].find(expectedReason), std::string::npos)
                << prompter.errors()[0];
        };

        // read-only logo.ini
        WriteFile(logoFile, "VK3_Logo_04.bik");
        test::MakeReadOnly(logoFile);
        run("read-only");
        EXPECT_EQ(ReadFile(logoFile), "VK3_Logo_04.bik");
        fs::remove(logoFile);

        // a folder where logo.ini should be
        fs::create_directory(logoFile);
        run("folder");
        EXPECT_TRUE(fs::is_directory(logoFile));
        fs::remove(logoFile);

        // no temporary file is left beside it
        EXPECT_EQ(std::distance(fs::directory_iterator(dir / "game/Ini"), {}), 1);
    }
}

TEST_F(StartLogos, AMissingIniFolderIsReportedAndNotCreated) {
    paths.engineConfig = dir / "elsewhere/Ini/vkmain.ini";
    for (bool remove : {true, false}) {
        FakePrompter prompter;
        prompter.AnswerYes();
        remove ? RemoveStartLogos(prompter, paths) : RestoreStartLogos(prompter, paths);
        ASSERT_EQ(prompter.errors().size(), 1u);
        EXPECT_NE(prompter.errors()[0].find("logo.ini"), std::string::npos);
        EXPECT_NE(prompter.errors()[0].find("does not exist"), std::string::npos);
        EXPECT_FALSE(fs::exists(dir / "elsewhere"));
    }
}

}  // namespace
}  // namespace vk3
