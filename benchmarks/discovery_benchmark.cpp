// What the user waits for before any window shows when no installation is recorded: the
// search through a heavy player's home, generated once in a temporary folder. Three Steam
// libraries with 300 apps, the game among them in a folder of 50,000 files, 120 Proton
// prefixes, 60 Lutris and 40 Heroic prefixes, 25 bottles, each prefix with a system.reg of
// 1.7 MB (one file, hard-linked, so that the home costs little disk).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "discovery/installation_discovery.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

// A registry file as Wine writes a real prefix's system.reg: thousands of class keys before
// the software keys, the game's own key among them when given.
std::string SystemReg(bool withGame) {
    std::string text =
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n";
    auto key = [&text](const std::string& path, int i) {
        text += "\n[" + path + "] 1700000000\n#time=1d9a0b2c3d4e5f6\n@=\"Handler." +
                std::to_string(i) + "\"\n\"Content Type\"=\"application/x-generated-" +
                std::to_string(i) + "\"\n\"PerceivedType\"=\"document\"\n";
    };
    int i = 0;
    for (; text.size() < 1400 * 1024; ++i) {
        key("Software\\\\Classes\\\\.ext" + std::to_string(i), i);
    }
    key("Software\\\\Microsoft\\\\Windows\\\\CurrentVersion", i++);
    if (withGame) {
        text +=
            "\n[Software\\\\Quellmark\\\\Veskaran III] "
            "1700000000\n\"INSTALL_DIR\"=\"C:\\\\Games\\\\Veskaran 3\"\n";
    }
    for (; text.size() < 1700 * 1024; ++i) {
        key("Software\\\\Wow6432Node\\\\Classes\\\\.ext" + std::to_string(i), i);
    }
    return text;
}

void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

void Prefix(const fs::path& prefix, const fs::path& registry, const char* user) {
    fs::create_directories(prefix / "drive_c/users" / user / "Documents");
    fs::create_hard_link(registry, prefix / "system.reg");
}

class HeavyHome {
public:
    HeavyHome() {
        const fs::path root = fs::canonical(dir_.path());
        const fs::path home = root / "home";
        environment_ = {home, home / ".config", home / ".local/share", home / ".wine", "ann"};
        const fs::path registry = root / "system.reg";
        Write(registry, SystemReg(false));

        const fs::path steam = home / ".local/share/Steam";
        const fs::path libraries[] = {steam, root / "games1", root / "games2"};
        std::string list = "\"libraryfolders\"\n{\n";
        for (int l = 0; l < 3; ++l) {
            list += "\t\"" + std::to_string(l) + "\"\n\t{\n\t\t\"path\"\t\t\"" +
                    libraries[l].string() + "\"\n\t}\n";
            for (int a = 0; a < 100; ++a) {
                const std::string id = std::to_string(10000 + l * 100 + a);
                const std::string folder = a == 0 && l == 1 ? "Veskaran 3" : "Game " + id;
                Write(libraries[l] / ("steamapps/appmanifest_" + id + ".acf"),
                      "\"AppState\"\n{\n\t\"appid\"\t\t\"" + id + "\"\n\t\"installdir\"\t\t\"" +
                          folder + "\"\n}\n");
                fs::create_directories(libraries[l] / "steamapps/common" / folder);
                if (a < 40) {
                    Prefix(libraries[l] / "steamapps/compatdata" / id / "pfx", registry,
                           "steamuser");
                }
            }
        }
        Write(steam / "steamapps/libraryfolders.vdf", list + "}\n");
        const fs::path game = root / "games1/steamapps/common/Veskaran 3";
        Write(game / "Veskaran3.exe", "");
        Write(game / "Ini/vkmain.ini", "[Engine.Setup]\r\n");
        for (int f = 0; f < 50000; ++f) {
            std::ofstream(game / ("data" + std::to_string(f) + ".pak"));
        }

        for (int g = 0; g < 60; ++g) {
            const fs::path prefix = home / "Games" / ("lutris-game-" + std::to_string(g));
            Prefix(prefix, registry, "ann");
            Write(home / ".local/share/lutris/games" / ("game-" + std::to_string(g) + ".yml"),
                  "game:\n  exe: " + (prefix / "drive_c/Game/game.exe").string() +
                      "\n  prefix: " + prefix.string() +
                      "\n  arch: win64\nsystem: {}\nwine:\n  version: lutris-8\n");
        }
        // The one Lutris prefix that holds the game too.
        const fs::path lutrisGame = home / "Games/lutris-game-7";
        fs::remove(lutrisGame / "system.reg");
        Write(lutrisGame / "system.reg", SystemReg(true));
        Write(lutrisGame / "drive_c/Games/Veskaran 3/Veskaran3.exe", "");
        Write(lutrisGame / "drive_c/Games/Veskaran 3/Ini/vkmain.ini", "[Engine.Setup]\r\n");

        std::string installed = "{\"installed\":[";
        for (int g = 0; g < 40; ++g) {
            const std::string name = "Heroic Game " + std::to_string(g);
            const fs::path prefix = home / "Games/Heroic/Prefixes/default" / name;
            Prefix(prefix, registry, "ann");
            installed += std::string(g ? "," : "") + "{\"appName\":\"" + std::to_string(g) +
                         "\",\"install_path\":\"" + (home / "Games/Heroic" / name).string() + "\"}";
            fs::create_directories(home / "Games/Heroic" / name);
            Write(home / ".config/heroic/GamesConfig" / (std::to_string(g) + ".json"),
                  "{\"" + std::to_string(g) + "\":{\"winePrefix\":\"" + prefix.string() +
                      "\",\"wineVersion\":{\"type\":\"wine\"}},\"version\":\"v0\"}");
        }
        Write(home / ".config/heroic/gog_store/installed.json", installed + "]}");

        for (int b = 0; b < 25; ++b) {
            const fs::path bottle =
                home / ".local/share/bottles/bottles" / ("Bottle" + std::to_string(b));
            Prefix(bottle, registry, "ann");
            Write(bottle / "bottle.yml",
                  "Name: Bottle\nPath: Bottle\nExternal_Programs:\n  a1:\n    "
                  "executable: app.exe\n    path: /opt/app.exe\n");
        }
    }

    const vk3::DiscoveryEnvironment& environment() const { return environment_; }

private:
    vk3::test::TempDir dir_;
    vk3::DiscoveryEnvironment environment_;
};

void BM_DiscoverInHeavyHome(benchmark::State& state) {
    static const HeavyHome home;
    for (auto _ : state) {
        const std::vector<vk3::FoundInstallation> found =
            vk3::DiscoverInstallations(home.environment());
        if (found.size() != 2) {
            state.SkipWithError("the heavy home's two copies were not both found");
        }
    }
}
BENCHMARK(BM_DiscoverInHeavyHome)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// A libraryfolders.vdf listing 40,000 libraries, each a folder of its own: every one is kept
// once, checked against those seen before.
void BM_DiscoverWithManySteamLibraries(benchmark::State& state) {
    static const vk3::test::TempDir dir;
    static const vk3::DiscoveryEnvironment environment = [] {
        const fs::path home = fs::canonical(dir.path()) / "home";
        std::string list = "\"libraryfolders\"\n{\n";
        for (int l = 0; l < 40000; ++l) {
            const fs::path library = dir.path() / "libraries" / std::to_string(l);
            fs::create_directories(library);
            list += "\t\"" + std::to_string(l) + "\"\n\t{\n\t\t\"path\"\t\t\"" + library.string() +
                    "\"\n\t}\n";
        }
        Write(home / ".local/share/Steam/steamapps/libraryfolders.vdf", list + "}\n");
        return vk3::DiscoveryEnvironment{home, home / ".config", home / ".local/share",
                                         home / ".wine", "ann"};
    }();
    for (auto _ : state) {
        benchmark::DoNotOptimize(vk3::DiscoverInstallations(environment));
    }
}
BENCHMARK(BM_DiscoverWithManySteamLibraries)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

}  // namespace
