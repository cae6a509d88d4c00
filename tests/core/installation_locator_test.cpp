#include "main_dialog/installation_locator.h"

#include <gtest/gtest.h>

#include "fake_prompter.h"
#include "platform/installation_record.h"
#include "temp_dir.h"

namespace vk3 {
namespace {

using test::FakePrompter;

class FakeRecord : public InstallationRecord {
public:
    explicit FakeRecord(std::string value = {}) : value(std::move(value)) {}
    std::string Read() override { return value; }
    bool Write(std::string_view folder) override {
        ++writes;
        value = folder;
        return true;
    }
    std::string value;
    int writes = 0;
};

TEST(InstallationLocator, RecordedFolderOrOverridesAreUsedUntestedAndAskNothing) {
    FakePrompter prompter;
    FakeRecord record("/games/Veskaran 3/");
    auto paths = LocateInstallation(prompter, record, "/home/ann/Documents");
    ASSERT_TRUE(paths);
    EXPECT_EQ(paths->engineConfig.string(), "/games/Veskaran 3//Ini/vkmain.ini");
    EXPECT_EQ(paths->debugConfig.string(), "/games/Veskaran 3//Ini/debug.ini");
    EXPECT_EQ(paths->userOptions.string(), "/home/ann/Documents/veskaran3/UserOptions.ini");
    EXPECT_EQ(StartLogoFile(*paths).string(), "/games/Veskaran 3//Ini/logo.ini");

    // Command line folders win and are not recorded.
    LocatorOverrides overrides{"/wine/c/Veskaran 3", "/wine/c/users/ann/Documents"};
    paths = LocateInstallation(prompter, record, "/home/ann/Documents", overrides);
    ASSERT_TRUE(paths);
    EXPECT_EQ(paths->engineConfig.string(), "/wine/c/Veskaran 3/Ini/vkmain.ini");
    EXPECT_EQ(paths->userOptions.string(), "/wine/c/users/ann/Documents/veskaran3/UserOptions.ini");
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(record.writes, 0);
}

TEST(InstallationLocator, EmptyRecordAsksForTheExecutableAndRecordsItsFolder) {
    test::TempDir dir;
    test::WriteFile(dir / "Veskaran 3/Ini/vkmain.ini", "[Engine.Setup]\r\n");
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
    EXPECT_EQ(record.value, (dir.path() / "Veskaran 3").string());
    EXPECT_EQ(paths->engineConfig, dir / "Veskaran 3/Ini/vkmain.ini");
    // The documents folder is unavailable: the user options path starts with a separator.
    EXPECT_EQ(paths->userOptions.string(), "/veskaran3/UserOptions.ini");
    EXPECT_EQ(ParentFolderText("Veskaran3.exe"), "Veskaran3.exe");
}

TEST(InstallationLocator, CancelOrAFolderWithoutTheEngineFileEndsTheProgramRecordingNothing) {
    test::TempDir dir;
    test::WriteFile(dir / "odd/Ini/vkmain.ini/inside", "");  // a folder does not count
    for (const char* chosen : {"", "elsewhere/Veskaran3.exe", "odd/Veskaran3.exe"}) {
        SCOPED_TRACE(chosen);
        FakePrompter prompter;
        *chosen ? prompter.ChooseFile(dir / chosen) : prompter.CancelFileDialog();
        FakeRecord record;
        EXPECT_FALSE(LocateInstallation(prompter, record, "/docs"));
        EXPECT_EQ(prompter.notices().size(), *chosen ? 2u : 1u);
        EXPECT_EQ(prompter.notices().back(), *chosen ? "invalid path!" : kNoInstallationMessage);
        EXPECT_EQ(record.writes, 0);
    }
}

}  // namespace
}  // namespace vk3
