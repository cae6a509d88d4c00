#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <functional>

#include "app/installation_locator.h"
#include "discovery/installation_discovery.h"
#include "fake_prompter.h"
#include "fake_record.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace vk3 {
namespace {

using test::FakePrompter;
using test::FakeRecord;

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
    // Offered when an executable is picked outside every prefix: where the game kept its settings.
    fs::create_directories(home / "Games/veskaran-3/drive_c/users/ann/Documents/veskaran3");
    EXPECT_EQ(finder.UsedDocumentsFolders(),
              std::vector<std::string>{home / "Games/veskaran-3/drive_c/users/ann/Documents"});
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

// Steam's binary KeyValues for one shortcut, as Steam writes shortcuts.vdf.
std::string Shortcuts(std::uint32_t appId, const std::string& exe, const std::string& startDir) {
    std::string id(4, '\0');
    for (int i = 0; i < 4; ++i) {
        id[i] = static_cast<char>(appId >> (8 * i) & 0xFF);
    }
    using namespace std::string_literals;
    return "\0shortcuts\0\0000\0\2appid\0"s + id + "\1AppName\0Veskaran 3\0\1Exe\0\""s + exe +
           "\"\0\1StartDir\0\""s + startDir + "\"\0\0tags\0\b\b\b\b"s;
}

const std::string kInstallKey = R"(Software\\Quellmark\\Veskaran III)";
const std::string kWowKey = R"(Software\\Wow6432Node\\Quellmark\\Veskaran III)";

// A prefix whose registry records the game in C:\Games\Veskaran 3, which holds it.
void PrefixWithGame(const fs::path& prefix, const char* user = "ann") {
    WriteFile(prefix / "system.reg",
              Registry(kInstallKey, "INSTALL_DIR", R"("C:\\Games\\Veskaran 3")"));
    Game(prefix / "drive_c/Games/Veskaran 3");
    fs::create_directories(prefix / "drive_c/users" / user / "Documents");
}

struct Layout {
    const char* name;
    std::function<void(const fs::path& root, const fs::path& home)> build;
    std::string source;
    std::string game;       // under root
    std::string documents;  // under root
};

// One small home per layout the launchers write.
const std::vector<Layout>& LauncherLayouts() {
    static const std::vector<Layout> layouts = {
        {"a 32-bit key without the game does not hide the native one; documents from the "
         "User Shell Folders",
         [](const fs::path&, const fs::path& home) {
             const fs::path wine = home / ".wine";
             PrefixWithGame(wine, "gamer");
             WriteFile(wine / "system.reg",
                       Registry(kWowKey, "INSTALL_DIR", R"("C:\\Old")") + "\n[" + kInstallKey +
                           "] 1\n\"INSTALL_DIR\"=\"C:\\\\Games\\\\Veskaran 3\"\n");
             fs::create_directories(wine / "drive_c/users/gamer/Eigene Dateien");
             WriteFile(
                 wine / "user.reg",
                 Registry(
                     R"(Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders)",
                     "Personal", R"(str(2):"%USERPROFILE%\\Eigene Dateien")"));
         },
         "Wine prefix", "home/.wine/drive_c/Games/Veskaran 3",
         "home/.wine/drive_c/users/gamer/Eigene Dateien"},
        {"a winetricks prefix, documents of its only user",
         [](const fs::path&, const fs::path& home) {
             PrefixWithGame(home / ".local/share/wineprefixes/vk3", "olduser");
         },
         "winetricks prefix", "home/.local/share/wineprefixes/vk3/drive_c/Games/Veskaran 3",
         "home/.local/share/wineprefixes/vk3/drive_c/users/olduser/Documents"},
        {"Heroic GOG game outside its Wine prefix",
         [](const fs::path&, const fs::path& home) {
             const fs::path heroic = home / ".config/heroic";
             WriteFile(heroic / "gog_store/installed.json",
                       R"({"installed":[{"platform":"windows","executable":"","install_path":")" +
                           (home / "Games/Heroic/Veskaran 3").string() +
                           R"(","is_dlc":false,"version":"1.0","appName":"1207"}]})");
             WriteFile(
                 heroic / "GamesConfig/1207.json",
                 R"({"1207":{"winePrefix":")" +
                     (home / "Games/Heroic/Prefixes/default/V3").string() +
                     R"(","wineVersion":{"bin":"/usr/bin/wine","name":"Wine","type":"wine"}},"version":"v0"})");
             Game(home / "Games/Heroic/Veskaran 3");
             fs::create_directories(home /
                                    "Games/Heroic/Prefixes/default/V3/drive_c/users/ann/Documents");
         },
         "Heroic", "home/Games/Heroic/Veskaran 3",
         "home/Games/Heroic/Prefixes/default/V3/drive_c/users/ann/Documents"},
        {"Heroic Flatpak, Epic game under Proton",
         [](const fs::path& root, const fs::path& home) {
             const fs::path heroic = home / ".var/app/com.heroicgameslauncher.hgl/config/heroic";
             WriteFile(heroic / "legendaryConfig/legendary/installed.json",
                       R"({"Vesk":{"app_name":"Vesk","install_path":")" +
                           (root / "games/V3").string() +
                           R"(","executable":"Veskaran3.exe","platform":"Windows"}})");
             WriteFile(
                 heroic / "GamesConfig/Vesk.json",
                 R"({"Vesk":{"winePrefix":"~/Prefixes/vesk","wineVersion":{"type":"proton"}}})");
             Game(root / "games/V3");
             fs::create_directories(home / "Prefixes/vesk/pfx/drive_c/users/steamuser/Documents");
         },
         "Heroic", "games/V3", "home/Prefixes/vesk/pfx/drive_c/users/steamuser/Documents"},
        {"Heroic Amazon game in the default prefixes folder",
         [](const fs::path& root, const fs::path& home) {
             WriteFile(home / ".config/heroic/nile_config/nile/installed.json",
                       R"([{"id":"amzn1.adg.product.1","version":"1","path":")" +
                           (root / "games/Veskaran 3").string() + R"(","size":1}])");
             Game(root / "games/Veskaran 3");
             fs::create_directories(
                 home / "Games/Heroic/Prefixes/default/Veskaran 3/drive_c/users/ann/Documents");
         },
         "Heroic", "games/Veskaran 3",
         "home/Games/Heroic/Prefixes/default/Veskaran 3/drive_c/users/ann/Documents"},
        {"Lutris 0.5.15 game file, prefix and game on another drive",
         [](const fs::path& root, const fs::path& home) {
             WriteFile(home / ".local/share/lutris/games/veskaran-3-1700000000.yml",
                       "game:\n  exe: " + (root / "mnt/games/Veskaran 3/Veskaran3.exe").string() +
                           "\n  prefix: " + (root / "mnt/prefixes/vk3").string() +
                           "\n  arch: win64\nwine:\n  version: lutris-GE-Proton8-26-x86_64\n");
             Game(root / "mnt/games/Veskaran 3");
             fs::create_directories(root / "mnt/prefixes/vk3/drive_c/users/ann/Documents");
         },
         "Lutris", "mnt/games/Veskaran 3", "mnt/prefixes/vk3/drive_c/users/ann/Documents"},
        {"Lutris Flatpak, game installed inside the prefix by a launcher",
         [](const fs::path& root, const fs::path& home) {
             WriteFile(home / ".var/app/net.lutris.Lutris/data/lutris/games/vk3.yml",
                       "game:\n  exe: drive_c/GOG Galaxy/GalaxyClient.exe\n  prefix: " +
                           (root / "prefixes/vk3").string() + "\n");
             PrefixWithGame(root / "prefixes/vk3");
         },
         "Lutris", "prefixes/vk3/drive_c/Games/Veskaran 3",
         "prefixes/vk3/drive_c/users/ann/Documents"},
        {"a GOG game added to Steam, with its Proton prefix",
         [](const fs::path& root, const fs::path& home) {
             const fs::path steam = home / ".local/share/Steam";
             WriteFile(
                 steam / "userdata/1234/config/shortcuts.vdf",
                 Shortcuts(3000000000u, (root / "games/GOG/Veskaran 3/Veskaran3.exe").string(),
                           (root / "games/GOG/Veskaran 3/").string()));
             Game(root / "games/GOG/Veskaran 3");
             fs::create_directories(
                 steam / "steamapps/compatdata/3000000000/pfx/drive_c/users/steamuser/Documents");
         },
         "Steam shortcut", "games/GOG/Veskaran 3",
         "home/.local/share/Steam/steamapps/compatdata/3000000000/pfx/drive_c/users/steamuser/"
         "Documents"},
        {"a launcher added to Steam that installed the game inside its Proton prefix",
         [](const fs::path&, const fs::path& home) {
             const fs::path steam = home / ".local/share/Steam";
             WriteFile(steam / "userdata/1234/config/shortcuts.vdf",
                       Shortcuts(2999999999u, "/opt/GOG/setup_veskaran_3.exe", "/opt/GOG/"));
             PrefixWithGame(steam / "steamapps/compatdata/2999999999/pfx", "steamuser");
         },
         "Steam shortcut",
         "home/.local/share/Steam/steamapps/compatdata/2999999999/pfx/drive_c/Games/Veskaran 3",
         "home/.local/share/Steam/steamapps/compatdata/2999999999/pfx/drive_c/users/steamuser/"
         "Documents"},
        {"Bottles program in a bottle kept under custom_bottles_path",
         [](const fs::path& root, const fs::path& home) {
             WriteFile(home / ".local/share/bottles/data.yml",
                       "custom_bottles_path: " + (root / "mnt/bottles").string() + "\n");
             WriteFile(root / "mnt/bottles/Gaming/bottle.yml",
                       "Name: Gaming\nPath: Gaming\nExternal_Programs:\n  5f0c1d2e:\n"
                       "    executable: Veskaran3.exe\n    name: Veskaran3\n    path: " +
                           (root / "games/Veskaran 3/Veskaran3.exe").string() + "\n");
             WriteFile(root / "mnt/bottles/Gaming/system.reg", "WINE REGISTRY Version 2\n");
             Game(root / "games/Veskaran 3");
             fs::create_directories(root / "mnt/bottles/Gaming/drive_c/users/ann/Documents");
         },
         "Bottles", "games/Veskaran 3", "mnt/bottles/Gaming/drive_c/users/ann/Documents"},
        {"a Steam game never started has no prefix yet",
         [](const fs::path& root, const fs::path& home) {
             WriteFile(home / ".local/share/Steam/steamapps/appmanifest_4711.acf",
                       R"("AppState" { "appid" "4711" "installdir" "Veskaran 3" })");
             Game(home / ".local/share/Steam/steamapps/common/Veskaran 3");
             (void)root;
         },
         "Steam library", "home/.local/share/Steam/steamapps/common/Veskaran 3",
         "home/.local/share/Steam/steamapps/compatdata/4711/pfx/drive_c/users/steamuser/Documents"},
    };
    return layouts;
}

// Each layout searched the way the program searches.
TEST_F(DiscoveryTest, FindsEachLauncherLayoutWithTheDocumentsOfItsPrefix) {
    const std::vector<Layout>& layouts = LauncherLayouts();
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        test::TempDir layoutDir;
        const fs::path layoutRoot = fs::canonical(layoutDir.path());
        FixtureEnvironment pointed(layoutRoot / "home");
        fs::create_directories(layoutRoot / "home");
        layout.build(layoutRoot, layoutRoot / "home");
        const std::vector<FoundInstallation> found = finder.FindAll();
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].source, layout.source);
        EXPECT_EQ(found[0].installFolder, (layoutRoot / layout.game).string());
        EXPECT_EQ(found[0].documentsFolder, (layoutRoot / layout.documents).string());
        // Picked by hand, the same folder brings the same documents folder.
        EXPECT_EQ(finder.DocumentsFolderFor(found[0].installFolder), found[0].documentsFolder);
    }
}

// Steam leaves a moved game's compatdata behind in its old library: the game's own library
// comes first, then the others in their order.
TEST_F(DiscoveryTest, AMovedSteamGameTakesTheProtonPrefixOfItsOwnLibrary) {
    AddProtonGame(home, root / "new");
    const fs::path stale = home /
                           ".var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/"
                           "compatdata/4711/pfx/drive_c/users/steamuser/Documents";
    fs::create_directories(stale);
    const fs::path own =
        root / "new/SteamApps/compatdata/4711/pfx/drive_c/users/steamuser/My Documents";
    ASSERT_EQ(finder.FindAll().at(0).documentsFolder, own.string());
    fs::remove_all(root / "new/SteamApps/compatdata");
    EXPECT_EQ(finder.FindAll().at(0).documentsFolder, stale.string());
}

}  // namespace
}  // namespace vk3
