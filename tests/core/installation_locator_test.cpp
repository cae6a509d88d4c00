#include "app/installation_locator.h"

#include <gtest/gtest.h>

#include <tuple>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "fake_prompter.h"
#include "fake_record.h"
#include "platform/installation_finder.h"
#include "platform/installation_record.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace vk3 {
namespace {

using test::FakePrompter;
using test::FakeRecord;

TEST(InstallationLocator, RecordedFolderOrOverridesAreUsedAsTheyAreAndAskNothing) {
    test::TempDir dir;
    test::WriteFile(dir / "Veskaran 3/Ini/vkmain.ini", "");  // only Windows trusts it untested
    const std::string game = (dir / "Veskaran 3/").string();
    FakePrompter prompter;
    FakeRecord record(game);
    auto paths = LocateInstallation(prompter, record, "/home/ann/Documents");
    ASSERT_TRUE(paths);
    EXPECT_EQ(paths->engineConfig, fs::path(game + "/Ini/vkmain.ini"));
    EXPECT_EQ(paths->debugConfig, fs::path(game + "/Ini/debug.ini"));
    EXPECT_EQ(paths->userOptions, fs::path("/home/ann/Documents/veskaran3/UserOptions.ini"));

    // Command line folders win and are not recorded.
    LocatorOverrides overrides{"/wine/c/Veskaran 3", "/wine/c/users/ann/Documents"};
    paths = LocateInstallation(prompter, record, "/home/ann/Documents", overrides);
    ASSERT_TRUE(paths);
    EXPECT_EQ(paths->engineConfig, fs::path("/wine/c/Veskaran 3/Ini/vkmain.ini"));
    EXPECT_EQ(paths->userOptions,
              fs::path("/wine/c/users/ann/Documents/veskaran3/UserOptions.ini"));
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(record.writes, 0);
}

#ifndef _WIN32
// The check of the recorded folder must not wait on a pipe in the file's place; the dialog
// then reports the file it cannot read.
TEST(InstallationLocator, ARecordedFolderWithAPipeForItsFileOpensWithoutWaiting) {
    test::TempDir dir;
    fs::create_directories(dir / "game/Ini");
    ASSERT_EQ(mkfifo((dir / "game/Ini/vkmain.ini").c_str(), 0600), 0);
    FakePrompter prompter;
    FakeRecord record((dir / "game").string());
    const auto paths = LocateInstallation(prompter, record, "/home/ann/Documents");
    ASSERT_TRUE(paths);
    EXPECT_EQ(paths->engineConfig, dir / "game/Ini/vkmain.ini");
    EXPECT_TRUE(prompter.messages().empty());
}
#endif

TEST(InstallationLocator, EmptyRecordAsksForTheExecutableAndRecordsItsFolderIfValid) {
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
    const FileDialogRequest& asked = prompter.dialogs()[0].request;
    EXPECT_EQ(
        std::tie(asked.title, asked.filterDescription, asked.filterPattern, asked.initialName,
                 asked.mustExist),
        std::make_tuple("\"Veskaran3.exe\"", "executable (*.exe)", "*.exe", "Veskaran3.exe", true));
    // Exactly the text before the executable's last separator, never a trailing one.
    EXPECT_EQ(record.value, (dir.path() / "Veskaran 3").string());
    EXPECT_EQ(paths->engineConfig, dir / "Veskaran 3/Ini/vkmain.ini");
    // The documents folder is unavailable: the user options path starts with a separator.
    EXPECT_EQ(paths->userOptions, fs::path("/veskaran3/UserOptions.ini"));
    EXPECT_EQ(ParentFolderText("Veskaran3.exe"), "Veskaran3.exe");

    // Cancel or a folder without the engine file ends the program, recording nothing.
    test::WriteFile(dir / "odd/Ini/vkmain.ini/inside", "");  // a folder does not count
    for (const char* chosen : {"", "elsewhere/Veskaran3.exe", "odd/Veskaran3.exe"}) {
        SCOPED_TRACE(chosen);
        FakePrompter picking;
        *chosen ? picking.ChooseFile(dir / chosen) : picking.CancelFileDialog();
        FakeRecord untouched;
        EXPECT_FALSE(LocateInstallation(picking, untouched, "/docs"));
        EXPECT_EQ(picking.notices().size(), *chosen ? 2u : 1u);
        EXPECT_EQ(picking.notices().back(), *chosen ? "invalid path!" : kNoInstallationMessage);
        EXPECT_EQ(untouched.writes, 0);
    }
}

TEST(InstallationLocator, AChosenDocumentsFolderIsRecordedWithTheInstallation) {
    test::TempDir dir;
    struct FailingRecord : FakeRecord {
        bool Write(std::string_view, std::string_view) override { return false; }
    } failing;
    FakeRecord record;
    const std::tuple<bool, InstallationRecord*, int> cases[] = {
        {false, &record, 0}, {true, &record, 1}, {true, nullptr, 1}, {true, &failing, 1}};
    for (const auto& [chosen, recordTo, writes] : cases) {
        FakePrompter prompter;
        prompter.ChooseFile(chosen ? std::optional(dir / "Docs") : std::nullopt);
        const auto changed =
            ChooseDocumentsFolder(prompter, test::InstallationUnder(dir.path()), recordTo);
        EXPECT_EQ(changed ? changed->userOptions : "",
                  chosen ? dir / "Docs/veskaran3/UserOptions.ini" : "");
        EXPECT_EQ(prompter.errors().size(), recordTo == &failing ? 1u : 0u);
        EXPECT_EQ(record.writes, writes);
    }
    EXPECT_EQ(record.value + "|" + record.documents,
              (dir / "game").string() + "|" + (dir / "Docs").string());
}

// Knows no prefix around any folder, and where the game already kept its settings.
struct FakeFinder : InstallationFinder {
    std::vector<FoundInstallation> FindAll() override { return {}; }
    std::string DocumentsFolderFor(const std::string&) override { return {}; }
    std::vector<std::string> UsedDocumentsFolders() override { return used; }
    std::vector<std::string> used;
};

TEST(InstallationLocator, AnExecutablePickedOutsideEveryPrefixAsksForTheDocumentsFolder) {
    test::TempDir dir;
    test::WriteFile(dir / "Veskaran 3/Ini/vkmain.ini", "");
    const fs::path exe = dir / "Veskaran 3/Veskaran3.exe";
    FakeFinder finder;
    finder.used = {"/pfx/drive_c/users/ann/Documents", "/home/ann/Documents"};
    const std::vector<std::string> offered = {"/pfx/drive_c/users/ann/Documents",
                                              "/home/ann/Documents"};
    for (const std::optional<std::size_t> pick :
         {std::optional<std::size_t>(0), std::optional<std::size_t>()}) {
        FakePrompter prompter;
        prompter.ChooseFile(exe).PickFromList(pick);
        FakeRecord record;
        const auto paths = LocateInstallation(prompter, record, "/home/ann/Documents", {}, &finder);
        ASSERT_EQ(prompter.lists(), std::vector<std::vector<std::string>>{offered});
        EXPECT_EQ(prompter.questions().back(), kChooseDocumentsQuestion);
        if (!pick) {  // cancelled: the program ends, nothing recorded
            EXPECT_FALSE(paths);
            EXPECT_EQ(record.writes, 0);
            continue;
        }
        ASSERT_TRUE(paths);
        EXPECT_EQ(paths->userOptions,
                  fs::path("/pfx/drive_c/users/ann/Documents/veskaran3/UserOptions.ini"));
        EXPECT_EQ(record.documents, offered[0]);
    }
}

}  // namespace
}  // namespace vk3
