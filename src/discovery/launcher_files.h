#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk3 {

// Readers of the small files game launchers keep, each from its text and never throwing:
// malformed text, or an entry of another shape, gives nothing for that entry.

// The largest launcher file read: their files hold a few kilobytes per game.
inline constexpr std::uint64_t kMaxLauncherFileBytes = 4ull * 1024 * 1024;

// A game a launcher installed: its id there and its folder (or its executable).
struct LauncherGame {
    std::string appName;
    std::string folder;
};

// Heroic's GOG list, gog_store/installed.json: {"installed": [{"appName", "install_path"}]}.
std::vector<LauncherGame> ReadHeroicGogInstalled(std::string_view json);
// Legendary's (Epic) installed.json: {"<app>": {"app_name", "install_path"}}.
std::vector<LauncherGame> ReadLegendaryInstalled(std::string_view json);
// Nile's (Amazon) installed.json: [{"id", "path"}].
std::vector<LauncherGame> ReadNileInstalled(std::string_view json);
// Heroic's games added by hand, sideload_apps/library.json:
// {"games": [{"app_name", "install": {"executable"}}]}; the folder is the executable.
std::vector<LauncherGame> ReadHeroicSideloaded(std::string_view json);

// The Wine prefix Heroic runs a game in, from GamesConfig/<appName>.json:
// {"<appName>": {"winePrefix", "wineVersion": {"type": "proton"}}}.
struct HeroicPrefix {
    std::string winePrefix;
    bool proton = false;  // the Windows side then lives in <winePrefix>/pfx
};
std::optional<HeroicPrefix> ReadHeroicGameConfig(std::string_view json, std::string_view appName);

// A Lutris game file (games/*.yml): the game: mapping's exe, prefix and working_dir.
struct LutrisGame {
    std::string exe;
    std::string prefix;
    std::string workingDir;
};
LutrisGame ReadLutrisGame(std::string_view yaml);

// The programs added to a bottle (bottle.yml, External_Programs: <id>: path:).
std::vector<std::string> ReadBottlePrograms(std::string_view yaml);
// The folder Bottles keeps bottles in when the user moved them (data.yml,
// custom_bottles_path:); empty when not set.
std::string ReadBottlesCustomPath(std::string_view yaml);

// A game added to Steam by hand (userdata/<user>/config/shortcuts.vdf, binary KeyValues).
struct SteamShortcut {
    std::uint32_t appId = 0;  // names its Proton prefix, steamapps/compatdata/<appId>
    std::string exe;          // without the quotes Steam puts around it
    std::string startDir;
};
// Shortcuts written before Steam stored "appid" get the id Steam derives from Exe and
// AppName.
std::vector<SteamShortcut> ReadSteamShortcuts(std::string_view bytes);

}  // namespace vk3
