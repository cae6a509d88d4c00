#include "main_dialog/installation_locator.h"

#include <gtest/gtest.h>

#include "app/command_line.h"
#include "fake_prompter.h"
#include "platform/installation_record.h"
#include "temp_dir.h"

namespace vk3 {
namespace {

using test::FakePrompter;
using test::TempDir;

class FakeRecord : public InstallationRecord {
public:
    explicit FakeRecord(std::string value = {}) : value_(std::move(value)) {}
    std::string Read() override { return value_; }
    bool Write(std::string_view folder) override {
        ++writes;
        value_ = folder;
        return true;
    }
    const std::string& value() const { return value_; }
    int writes = 0;

private:
    std::string value_;
};

TEST(InstallationLocator, RecordedFolderIsUsedUntestedAndAsksNothing) {
    FakePrompter prompter;
    FakeRecord record("/games/Veskaran 3/");
    const auto paths = LocateInstallation(prompter, record, "/home/ann/Documents");
    ASSERT_TRUE(paths);
    EXPECT_EQ(paths->engineConfig.string(), "/games/Veskaran 3//Ini/vkmain.ini");
    EXPECT_EQ(paths->debugConfig.string(), "/games/Veskaran 3//Ini/debug.ini");
    EXPECT_EQ(paths->userOptions.string(), "/home/ann/Documents/veskaran3/UserOptions.ini");
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(record.writes, 0);
}

TEST(InstallationLocator, EmptyRecordAsksForTheExecutableAndRecordsItsFolder) {
    TempDir dir;
    test::WriteFile(dir / "Veskaran 3/Ini/vkmain.ini", "[Engine.Setup]\r\n");
    test::WriteFile(dir / "Veskaran 3/Veskaran3.exe", "");
    FakePrompter prompter;
    prompter.ChooseFile(dir / "Veskaran 3/Veskaran3.exe");
    FakeRecord record;
    const auto paths = LocateInstallation(prompter, record, "");

    ASSERT_TRUE(paths);
    EXPECT_EQ(prompter.notices(), std::vector<std::string>{"no Veskaran 3 - Installation found!\n\n"
                                                           "please find \"veskaran3.exe\""});
    ASSERT_EQ(prompter.dialogs().size(), 1u);
    const FileDialogRequest& request = prompter.dialogs()[0].request;
    EXPECT_EQ(request.title, "\"Veskaran3.exe\"");
    EXPECT_EQ(request.filterDescription, "executable (*.exe)");
    EXPECT_EQ(request.filterPattern, "*.exe");
    EXPECT_EQ(request.initialName, "Veskaran3.exe");
    EXPECT_TRUE(request.mustExist);
    // Exactly the text before the executable's last separator, never a trailing one.
    EXPECT_EQ(record.value(), (dir.path() / "Veskaran 3").string());
    EXPECT_EQ(paths->engineConfig, dir / "Veskaran 3/Ini/vkmain.ini");
    // The documents folder is unavailable: the user options path starts with a separator.
    EXPECT_EQ(paths->userOptions.string(), "/veskaran3/UserOptions.ini");
}

TEST(InstallationLocator, CancelOrAFolderWithoutTheEngineFileEndsTheProgramRecordingNothing) {
    TempDir dir;
    test::WriteFile(dir / "elsewhere/Veskaran3.exe", "");
    {
        FakePrompter prompter;
        prompter.CancelFileDialog();
        FakeRecord record;
        EXPECT_FALSE(LocateInstallation(prompter, record, "/docs"));
        EXPECT_EQ(prompter.messages().size(), 1u);  // the first notice only
        EXPECT_EQ(record.writes, 0);
    }
    {
        FakePrompter prompter;
        prompter.ChooseFile(dir / "elsewhere/Veskaran3.exe");
        FakeRecord record;
        EXPECT_FALSE(LocateInstallation(prompter, record, "/docs"));
        EXPECT_EQ(prompter.notices().back(), "invalid path!");
        EXPECT_EQ(record.writes, 0);
    }
    {
        // A folder named like the engine file does not count as one.
        test::WriteFile(dir / "odd/Ini/vkmain.ini/inside", "");
        FakePrompter prompter;
        prompter.ChooseFile(dir / "odd/Veskaran3.exe");
        FakeRecord record;
        EXPECT_FALSE(LocateInstallation(prompter, record, "/docs"));
        EXPECT_EQ(record.writes, 0);
    }
}

TEST(InstallationLocator, CommandLineOverridesWinAndAreNotRecorded) {
    FakePrompter prompter;
    FakeRecord record("/recorded");
    LocatorOverrides overrides;
    overrides.installDir = "/wine/drive_c/Veskaran 3";
    overrides.documentsDir = "/wine/drive_c/users/ann/Documents";
    const auto paths = LocateInstallation(prompter, record, "/home/ann/Documents", overrides);
    ASSERT_TRUE(paths);
    EXPECT_EQ(paths->engineConfig.string(), "/wine/drive_c/Veskaran 3/Ini/vkmain.ini");
    EXPECT_EQ(paths->userOptions.string(),
              "/wine/drive_c/users/ann/Documents/veskaran3/UserOptions.ini");
    EXPECT_EQ(record.writes, 0);
    EXPECT_TRUE(prompter.messages().empty());
}

TEST(CommandLine, ReadsFoldersHelpAndVersionAndRefusesWhatItDoesNotKnow) {
    CommandLine line = ParseCommandLine({"--install-dir", "/g", "--documents-dir=/d"});
    EXPECT_TRUE(line.error.empty());
    EXPECT_EQ(line.overrides.installDir, "/g");
    EXPECT_EQ(line.overrides.documentsDir, "/d");
    EXPECT_TRUE(ParseCommandLine({"--help"}).showHelp);
    EXPECT_TRUE(ParseCommandLine({"--version"}).showVersion);
    EXPECT_FALSE(ParseCommandLine({"--install-dir"}).error.empty());
    EXPECT_FALSE(ParseCommandLine({"--install-dir="}).error.empty());
    EXPECT_FALSE(ParseCommandLine({"--fullscreen"}).error.empty());
    EXPECT_FALSE(ParseCommandLine({"stray"}).error.empty());
}

}  // namespace
}  // namespace vk3
