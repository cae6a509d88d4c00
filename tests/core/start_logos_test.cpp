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
using test::WriteFile;

class StartLogos : public ::testing::Test {
protected:
    StartLogos() { WriteFile(paths.engineConfig, "[Engine.Setup]\r\n"); }

    // Answers the question with yes or no; returns the one error shown, if any.
    std::string Run(bool remove, bool yes) {
        FakePrompter prompter;
        prompter.Answer(yes);
        remove ? RemoveStartLogos(prompter, paths) : RestoreStartLogos(prompter, paths);
        EXPECT_EQ(
            prompter.questions(),
            std::vector<std::string>{remove ? "do you really want to remove the startlogos?"
                                            : "do you really want to restore the startlogos?"});
        EXPECT_TRUE(prompter.notices().empty());
        EXPECT_LE(prompter.errors().size(), 1u);
        return prompter.errors().empty() ? "" : prompter.errors()[0];
    }

    test::TempDir dir;
    InstallationPaths paths = test::InstallationUnder(dir.path());
    fs::path logoFile = dir / "game/Ini/logo.ini";
};

TEST_F(StartLogos, YesWritesExactlyTheListTheGameReadsAndNoLeavesTheFile) {
    EXPECT_EQ(Run(true, true), "");  // a missing logo.ini is created
    EXPECT_EQ(ReadFile(logoFile), "VK3_Logo_01.bik");
    EXPECT_EQ(Run(false, true), "");
    EXPECT_EQ(ReadFile(logoFile),
              "VK3_Logo_01.bik\r\nVK3_Logo_02.bik\r\nVK3_Logo_03.bik\r\n"
              "VK3_Logo_04.bik\r\nVK3_Logo_05.bik");
    WriteFile(logoFile, "VK3_Logo_03.bik\r\nVK3_Logo_01.bik\r\nsomething longer\r\n");
    EXPECT_EQ(Run(true, true), "");  // the whole list is replaced, whatever it held
    EXPECT_EQ(ReadFile(logoFile), "VK3_Logo_01.bik");

    for (bool remove : {true, false}) {
        fs::remove(logoFile);
        EXPECT_EQ(Run(remove, false), "");
        EXPECT_FALSE(fs::exists(logoFile));
        WriteFile(logoFile, "VK3_Logo_02.bik\n");
        EXPECT_EQ(Run(remove, false), "");
        EXPECT_EQ(ReadFile(logoFile), "VK3_Logo_02.bik\n");
    }
}

TEST_F(StartLogos, AFileThatCannotBeWrittenIsReportedAndLeftAsItWas) {
    for (bool remove : {true, false}) {
        SCOPED_TRACE(remove ? "remove" : "restore");
        WriteFile(logoFile, "VK3_Logo_04.bik");
        test::MakeReadOnly(logoFile);
        EXPECT_NE(Run(remove, true).find("logo.ini\": the file is read-only"), std::string::npos);
        EXPECT_EQ(ReadFile(logoFile), "VK3_Logo_04.bik");
        // Windows removes no file with the read-only attribute.
        fs::permissions(logoFile, fs::perms::owner_write, fs::perm_options::add);
        fs::remove(logoFile);
        // No temporary file is left beside it.
        EXPECT_EQ(test::FileNamesIn(dir / "game/Ini"), std::set<std::string>{"vkmain.ini"});

        // A missing Ini folder is reported and not created.
        paths.engineConfig = dir / "elsewhere/Ini/vkmain.ini";
        EXPECT_NE(Run(remove, true).find("logo.ini\": its folder"), std::string::npos);
        EXPECT_FALSE(fs::exists(dir / "elsewhere"));
        paths.engineConfig = dir / "game/Ini/vkmain.ini";
    }
}

}  // namespace
}  // namespace vk3
