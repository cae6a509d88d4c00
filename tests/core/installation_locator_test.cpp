#include "main_dialog/installation_locator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "discovery/installation_discovery.h"
#include "fake_prompter.h"
#include "platform/installation_record.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace vk3 {
namespace {

using test::FakePrompter;

struct FakeRecord : InstallationRecord {
    explicit FakeRecord(std::string value = {}, std::string documents = {})
        : value(std::move(value)), documents(std::move(documents)) {}
    std::string Read() override { return value; }
    std::string ReadDocumentsFolder() override { return documents; }
    bool Write(std::string_view folder, std::string_view documentsFolder) override {
        value = folder, documents = documentsFolder, ++writes;
        return true;
    }
    std::string value, documents;
    int writes = 0;
};

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
        FakePrompter prompter;
        *chosen ? prompter.ChooseFile(dir / chosen) : prompter.CancelFileDialog();
        FakeRecord record;
        EXPECT_FALSE(LocateInstallation(prompter, record, "/docs"));
        EXPECT_EQ(prompter.notices().size(), *chosen ? 2u : 1u);
        EXPECT_EQ(prompter.notices().back(), *chosen ? "invalid path!" : kNoInstallationMessage);
        EXPECT_EQ(record.writes, 0);
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

#ifndef _WIN32  // Wine and Proton copies are looked for on Linux only.

using test::WriteFile;

// Points what discovery reads at a fixture home and puts it back afterwards.
class FixtureEnvironment {
public:
    explicit FixtureEnvironment(const fs::path& home) {
        for (const auto& [name, value] : {std::pair<const char*, fs::path>{"HOME", home},
                                          {"XDG_CONFIG_HOME", home / ".config"},
                                          {"XDG_DATA_HOME", home / ".local/share"},
                                          {"WINEPREFIX", home / ".wine"},
                                          {"USER", "ann"}}) {
            const char* old = std::getenv(name);
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            setenv(name, value.c_str(), 1);
        }
    }
    ~FixtureEnvironment() {
        for (const auto& [name, old] : saved_) {
            old ? setenv(name, old->c_str(), 1) : unsetenv(name);
        }
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

std::string Registry(const std::string& key, const std::string& name, const std::string& data) {
    return "WINE REGISTRY Version 2\n\n[" + key + "] 1700000000\n#time=1d9\n\"" + name +
           "\"=" + data + "\n";
}

void Game(const fs::path& folder, const char* engineFile = "Ini/vkmain.ini") {
    WriteFile(folder / "Veskaran3.exe", "");
    WriteFile(folder / engineFile, "[Engine.Setup]\r\n");
}

// The Flatpak Steam lists a second library holding the game and its Proton prefix.
void AddProtonGame(const fs::path& home, const fs::path& library) {
    const fs::path steam = home / ".var/app/com.valvesoftware.Steam/.local/share/Steam";
    WriteFile(steam / "steamapps/libraryfolders.vdf",
              "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + steam.string() +
                  "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + library.string() +
                  "\"\n\t\t\"apps\" { \"4711\" \"1\" }\n\t}\n}\n");
    WriteFile(library / "SteamApps/appmanifest_4711.acf",
              "\"AppState\"\n{\n\t\"appid\"\t\t\"4711\"\n\t\"installdir\"\t\t\"Veskaran 3\"\n}\n");
    Game(library / "SteamApps/common/Veskaran 3");
    fs::create_directories(library /
                           "SteamApps/compatdata/4711/pfx/drive_c/users/steamuser/My Documents");
}

// root/home with the game in ~/.wine (win64, upper-case files, Documents linked to
// ~/Documents), in two Steam libraries (old and new libraryfolders.vdf), in a Lutris
// win32 prefix and in a bottle; a second bottle's copy lacks its engine file.
void BuildHome(const fs::path& root) {
    const fs::path home = root / "home";
    const fs::path wine = home / ".wine";
    WriteFile(wine / "system.reg", Registry(R"(Software\\Wow6432Node\\Quellmark\\Veskaran III)",
                                            "INSTALL_DIR", R"("C:\\Games\\Veskaran 3\\")"));
    WriteFile(wine / "user.reg",
              Registry(R"(Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders)",
                       "Personal", R"("C:\\users\\ann\\Documents")"));
    fs::create_directories(wine / "dosdevices");
    fs::create_directory_symlink("../drive_c", wine / "dosdevices/c:");
    fs::create_directories(home / "Documents");
    fs::create_directories(wine / "drive_c/users/ann");
    fs::create_directory_symlink(home / "Documents", wine / "drive_c/users/ann/Documents");
    Game(wine / "drive_c/Games/Veskaran 3", "INI/VKMAIN.INI");

    AddProtonGame(home, root / "lib2");
    WriteFile(home / ".steam/steam/steamapps/libraryfolders.vdf",
              "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1700000000\"\n\t\"1\"\t\t\"" +
                  (root / "lib3").string() + "\"\n}\n");
    WriteFile(root / "lib3/steamapps/appmanifest_4711.acf",
              R"("AppState" { "appid" "4711" "installdir" "V3 copy" })");
    Game(root / "lib3/steamapps/common/V3 copy");

    const fs::path lutris = home / "Games/veskaran-3";
    WriteFile(lutris / "system.reg", Registry(R"(Software\\Quellmark\\Veskaran III)", "INSTALL_DIR",
                                              R"("C:\\Program Files\\Veskaran 3")"));
    Game(lutris / "drive_c/Program Files/Veskaran 3");
    fs::create_directories(lutris / "drive_c/users/ann/Documents");
    WriteFile(home / ".config/lutris/games/veskaran-3-1.yml",
              "game:\n  exe: '" +
                  (lutris / "drive_c/Program Files/Veskaran 3/Veskaran3.exe").string() +
                  "'\n  prefix: ~/Games/veskaran-3\nsystem:\n  prefix: /elsewhere\n");

    for (const std::string bottle : {"Gaming", "Broken"}) {
        const fs::path prefix = home / ".local/share/bottles/bottles" / bottle;
        WriteFile(prefix / "system.reg",
                  Registry(R"(Software\\Quellmark\\Veskaran III)", "INSTALL_DIR", R"("c:\\VK3")"));
        Game(prefix / "drive_c/vk3", bottle == "Gaming" ? "Ini/vkmain.ini" : "Ini/other.ini");
    }
}

// A fixture home in a temporary folder, with the environment pointed at it.
class DiscoveryTest : public ::testing::Test {
protected:
    test::TempDir dir;
    const fs::path root = fs::canonical(dir.path());
    const fs::path home = root / "home";
    FixtureEnvironment environment{home};
    SystemInstallationFinder finder;
};

TEST_F(DiscoveryTest, FindsEveryCopyOnceWithItsPrefixDocuments) {
    BuildHome(root);
    const fs::path protonDocuments =
        root / "lib2/SteamApps/compatdata/4711/pfx/drive_c/users/steamuser/My Documents";
    const fs::path bottle = home / ".local/share/bottles/bottles/Gaming/drive_c";
    const std::vector<std::array<std::string, 3>> expected = {
        {"Wine prefix", home / ".wine/drive_c/Games/Veskaran 3", home / "Documents"},
        {"Steam library", root / "lib3/steamapps/common/V3 copy", protonDocuments},
        {"Steam library", root / "lib2/SteamApps/common/Veskaran 3", protonDocuments},
        {"Lutris", home / "Games/veskaran-3/drive_c/Program Files/Veskaran 3",
         home / "Games/veskaran-3/drive_c/users/ann/Documents"},
        {"Bottles", bottle / "vk3", bottle / "users/ann/Documents"},
    };
    std::vector<std::array<std::string, 3>> found;
    for (const FoundInstallation& one : finder.FindAll()) {
        found.push_back({one.source, one.installFolder, one.documentsFolder});
    }
    EXPECT_EQ(found, expected);
}

TEST_F(DiscoveryTest, AProtonGameAloneOpensWithoutAQuestionAndAStaleRecordIsSaidWhy) {
    AddProtonGame(home, root / "lib");
    const fs::path game = root / "lib/SteamApps/common/Veskaran 3";
    const fs::path documents =
        root / "lib/SteamApps/compatdata/4711/pfx/drive_c/users/steamuser/My Documents";
    const std::tuple<std::string, std::string, std::vector<std::string>> cases[] = {
        {"", "", {}},
        {game, documents, {}},
        {"/gone", "", {StaleRecordMessage("/gone")}},
    };
    for (const auto& [recorded, recordedDocuments, notices] : cases) {
        FakePrompter prompter;
        FakeRecord record(recorded, recordedDocuments);
        const auto paths = LocateInstallation(prompter, record, "/home/ann/Documents", {}, &finder);
        ASSERT_TRUE(paths) << recorded;
        EXPECT_EQ(paths->engineConfig, game / "Ini/vkmain.ini");
        EXPECT_EQ(paths->userOptions, documents / "veskaran3/UserOptions.ini");
        EXPECT_EQ(prompter.notices(), notices);
        EXPECT_EQ(record.value, game.string());
        EXPECT_EQ(record.documents, documents.string());
    }
}

TEST_F(DiscoveryTest, SeveralCopiesAreOfferedAndCancelLeadsToTheFileDialog) {
    BuildHome(root);
    FakePrompter prompter;
    FakeRecord record;
    const fs::path lutris = home / "Games/veskaran-3/drive_c";
    prompter.PickFromList(0)
        .PickFromList(std::nullopt)
        .ChooseFile(lutris / "Program Files/Veskaran 3/Veskaran3.exe");
    const auto paths = LocateInstallation(prompter, record, "/elsewhere", {}, &finder);
    ASSERT_TRUE(paths);
    const fs::path game = home / ".wine/drive_c/Games/Veskaran 3";
    EXPECT_EQ(paths->engineConfig, game / "INI/VKMAIN.INI");
    EXPECT_EQ(paths->debugConfig, game / "INI/debug.ini");
    EXPECT_EQ(paths->userOptions, home / "Documents/veskaran3/UserOptions.ini");
    EXPECT_EQ(prompter.lists().at(0).at(0), "Wine prefix: " + game.string());

    // Cancelled, the list gives way to the file dialog; a pick in a prefix brings its documents.
    FakeRecord picked;
    EXPECT_TRUE(LocateInstallation(prompter, picked, "/elsewhere", {}, &finder));
    EXPECT_TRUE(prompter.notices().empty());
    EXPECT_EQ(picked.documents, (lutris / "users/ann/Documents").string());
}

#endif

}  // namespace
}  // namespace vk3
