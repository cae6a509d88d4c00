#include "discovery/installation_discovery.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "discovery/launcher_files.h"
#include "discovery/registry_text.h"
#include "discovery/vdf_text.h"
#include "files/file_system.h"
#include "platform/path_case.h"
#include "text/ascii_text.h"

namespace vk3 {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kInstallKeys[] = {"Software\\Wow6432Node\\Quellmark\\Veskaran III",
                                             "Software\\Quellmark\\Veskaran III"};
constexpr std::string_view kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::string_view kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// A registry file: as large as a real prefix's system.reg may grow.
constexpr std::uint64_t kMaxRegistryBytes = 64ull * 1024 * 1024;

std::string ReadText(const fs::path& path, std::uint64_t limit = kMaxLauncherFileBytes) {
    std::string bytes;
    if (!ReadFileBytes(ResolvePathCase(path), bytes, limit)) {
        bytes.clear();
    }
    return bytes;
}

fs::path Canonical(const fs::path& path) {
    std::error_code error;
    fs::path canonical = fs::canonical(path, error);
    return error ? path : canonical;
}

bool IsFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

std::vector<fs::path> Entries(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(ResolvePathCase(folder), error), end; !error && it != end;
         it.increment(error)) {
        entries.push_back(it->path());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

bool NameIs(const fs::path& path, std::string_view name) {
    return EqualIgnoringAsciiCase(path.filename().string(), name);
}

bool NameEndsWith(const fs::path& path, std::string_view ending) {
    return AsciiLower(path.filename().string()).ends_with(ending);
}

std::string EnvOr(const char* name, std::string fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

// A path a launcher wrote: "~/" stands for the home folder.
fs::path LauncherPath(std::string_view text, const fs::path& home) {
    if (text.starts_with("~/")) {
        return home / PathFromUtf8(text.substr(2));
    }
    return PathFromUtf8(text);
}

// The Windows side of a prefix Proton made: <prefix>/pfx.
fs::path ProtonSide(const fs::path& prefix) {
    const fs::path inner = prefix / "pfx";
    return IsFolder(inner) ? inner : prefix;
}

// --- Steam ---

// The Steam folders and every library they list, each once and in the order listed.
struct SteamFolders {
    std::vector<fs::path> roots;
    std::vector<fs::path> libraries;
};

SteamFolders FindSteamFolders(const DiscoveryEnvironment& environment) {
    const fs::path& home = environment.home;
    const fs::path roots[] = {environment.dataHome / "Steam",
                              home / ".steam/steam",
                              home / ".steam/root",
                              home / ".steam/debian-installation",
                              home / ".var/app/com.valvesoftware.Steam/.local/share/Steam",
                              home / ".var/app/com.valvesoftware.Steam/data/Steam",
                              home / "snap/steam/common/.local/share/Steam"};
    SteamFolders steam;
    std::set<fs::path> seen;
    auto add = [&](const fs::path& folder, std::vector<fs::path>& to) {
        const fs::path library = Canonical(folder);
        if (IsFolder(library) && seen.insert(library).second) {
            to.push_back(library);
        }
    };
    for (const fs::path& root : roots) {
        add(root, steam.roots);
    }
    steam.libraries = steam.roots;
    for (const fs::path& root : steam.roots) {
        const std::optional<VdfNode> file =
            ParseVdf(ReadText(root / "steamapps/libraryfolders.vdf"));
        const VdfNode* list = file ? file->Find("libraryfolders") : nullptr;
        for (const VdfNode& entry : list ? list->children : std::vector<VdfNode>{}) {
            if (const VdfNode* path = entry.isBlock ? entry.Find("path") : nullptr) {
                add(PathFromUtf8(path->value), steam.libraries);  // "0" { "path" "/games" }
            } else if (!entry.isBlock && !entry.key.empty() &&
                       entry.key.find_first_not_of("0123456789") == std::string::npos) {
                add(PathFromUtf8(entry.value), steam.libraries);  // the older "1" "/games"
            }
        }
    }
    return steam;
}

struct SteamApp {
    std::string appId;
    std::string installDir;
};

std::vector<SteamApp> SteamApps(const fs::path& library) {
    std::vector<SteamApp> apps;
    for (const fs::path& manifest : Entries(library / "steamapps")) {
        const std::string name = AsciiLower(manifest.filename().string());
        if (!name.starts_with("appmanifest_") || !name.ends_with(".acf")) {
            continue;
        }
        const std::optional<VdfNode> file = ParseVdf(ReadText(manifest));
        const VdfNode* state = file ? file->Find("AppState") : nullptr;
        const VdfNode* appId = state ? state->Find("appid") : nullptr;
        const VdfNode* installDir = state ? state->Find("installdir") : nullptr;
        if (appId && installDir && !installDir->value.empty()) {
            apps.push_back({appId->value, installDir->value});
        }
    }
    return apps;
}

// The Proton prefix of an app id: in the game's own library first, since a moved game leaves
// its old compatdata behind; then in the other libraries in their order. When there is none,
// the game has never been started: Proton will make it in the game's library.
fs::path ProtonPrefix(std::string_view appId, const fs::path& ownLibrary,
                      const std::vector<fs::path>& libraries, bool& exists) {
    auto prefixIn = [&](const fs::path& library) {
        return ResolvePathCase(library / "steamapps/compatdata" / PathFromUtf8(appId) / "pfx");
    };
    exists = true;
    if (const fs::path own = prefixIn(ownLibrary); IsFolder(own)) {
        return own;
    }
    for (const fs::path& library : libraries) {
        if (const fs::path prefix = prefixIn(library); IsFolder(prefix)) {
            return prefix;
        }
    }
    exists = false;
    return prefixIn(ownLibrary);
}

// The documents folder Proton makes in a new prefix.
fs::path NewProtonDocuments(const fs::path& prefix) {
    return prefix / "drive_c/users/steamuser/Documents";
}

// --- the search ---

class Search {
public:
    explicit Search(const DiscoveryEnvironment& environment) : environment_(environment) {}

    // Offers a folder that may hold the game; its documents folder is that of the prefix
    // (the one around the folder when none is given), or the one given.
    void Offer(const char* source, const fs::path& folder, const fs::path& prefix,
               const fs::path& documents = {}) {
        const fs::path canonical = Canonical(folder);
        if (canonical.empty() || !IsFileIgnoringCase(canonical / "Veskaran3.exe") ||
            !IsFileIgnoringCase(canonical / "Ini/vkmain.ini") || !seen_.insert(canonical).second) {
            return;
        }
        fs::path documentsFolder = documents;
        if (documentsFolder.empty()) {
            const fs::path around = prefix.empty() ? PrefixAround(canonical) : prefix;
            if (!around.empty()) {
                documentsFolder = Documents(around);
            }
        }
        found_.push_back({source, Utf8FromPath(canonical), Utf8FromPath(documentsFolder)});
    }

    // Offers the folder named by the installation record in a prefix's registry. Each
    // prefix is read once, however many launchers name it.
    void OfferFromRegistry(const char* source, const fs::path& prefix) {
        const fs::path canonical = Canonical(prefix);
        if (!NotePrefix(canonical)) {
            return;
        }
        // Hundreds of prefixes with registry files of megabytes each: one buffer for all.
        if (!ReadFileBytes(ResolvePathCase(canonical / "system.reg"), registryBuffer_,
                           kMaxRegistryBytes)) {
            return;
        }
        const std::string_view systemReg = registryBuffer_;
        RegistryValueRequest requests[] = {{kInstallKeys[0], "INSTALL_DIR", std::nullopt},
                                           {kInstallKeys[1], "INSTALL_DIR", std::nullopt}};
        ReadRegistryValues(systemReg, requests);
        // A 32-bit key left behind by an old copy must not hide a valid native one.
        for (const RegistryValueRequest& request : requests) {
            if (const std::optional<fs::path> mapped =
                    request.value ? MapWindowsPath(canonical, *request.value) : std::nullopt) {
                const std::size_t before = found_.size();
                Offer(source, *mapped, canonical);
                if (found_.size() > before || seen_.contains(Canonical(*mapped))) {
                    return;
                }
            }
        }
    }

    // Remembers a prefix for the documents folders offered when nothing matches; false when
    // it was noted before.
    bool NotePrefix(const fs::path& prefix) {
        if (!prefixesSeen_.insert(prefix).second) {
            return false;
        }
        prefixes_.push_back(prefix);
        return true;
    }

    fs::path Documents(const fs::path& prefix) {
        auto [known, added] = documents_.try_emplace(prefix);
        if (added) {
            known->second = PrefixDocumentsFolder(prefix, environment_);
        }
        return known->second;
    }

    const DiscoveryEnvironment& environment() const { return environment_; }

    Discovery Take() { return {std::move(found_), std::move(prefixes_)}; }

private:
    static fs::path PrefixAround(const fs::path& folder) {
        for (fs::path inner = folder; inner.has_relative_path(); inner = inner.parent_path()) {
            if (NameIs(inner, "drive_c")) {
                return inner.parent_path();
            }
        }
        return {};
    }

    const DiscoveryEnvironment& environment_;
    std::set<fs::path> seen_;
    std::vector<FoundInstallation> found_;
    std::set<fs::path> prefixesSeen_;
    std::vector<fs::path> prefixes_;
    std::map<fs::path, fs::path> documents_;
    std::string registryBuffer_;
};

void SearchWine(Search& search) {
    const DiscoveryEnvironment& environment = search.environment();
    search.OfferFromRegistry("Wine prefix", environment.winePrefix);
    search.OfferFromRegistry("Wine prefix", environment.home / ".wine");
    // winetricks keeps one prefix per program here.
    for (const fs::path& prefix : Entries(environment.dataHome / "wineprefixes")) {
        search.OfferFromRegistry("winetricks prefix", prefix);
    }
}

void SearchSteam(Search& search) {
    const SteamFolders steam = FindSteamFolders(search.environment());
    for (const fs::path& library : steam.libraries) {
        for (const SteamApp& app : SteamApps(library)) {
            bool started = false;
            const fs::path prefix = ProtonPrefix(app.appId, library, steam.libraries, started);
            search.Offer(
                "Steam library",
                ResolvePathCase(library / "steamapps/common" / PathFromUtf8(app.installDir)),
                prefix, started ? fs::path() : NewProtonDocuments(prefix));
        }
    }
    // Games added to Steam by hand, the usual way for a GOG installer on a Steam Deck.
    for (const fs::path& root : steam.roots) {
        for (const fs::path& user : Entries(root / "userdata")) {
            const std::string file = ReadText(user / "config/shortcuts.vdf");
            for (const SteamShortcut& shortcut :
                 file.empty() ? std::vector<SteamShortcut>{} : ReadSteamShortcuts(file)) {
                bool started = false;
                const fs::path prefix =
                    ProtonPrefix(std::to_string(shortcut.appId), root, steam.libraries, started);
                const fs::path exe = PathFromUtf8(shortcut.exe);
                const fs::path documents = started ? fs::path() : NewProtonDocuments(prefix);
                const fs::path ownPrefix = started ? prefix : fs::path();
                if (NameIs(exe, "Veskaran3.exe")) {
                    search.Offer("Steam shortcut", exe.parent_path(), ownPrefix, documents);
                }
                if (!shortcut.startDir.empty()) {
                    search.Offer("Steam shortcut", PathFromUtf8(shortcut.startDir), ownPrefix,
                                 documents);
                }
                if (started) {
                    search.OfferFromRegistry("Steam shortcut", prefix);
                }
            }
        }
    }
    // Every other Proton prefix, for the documents folders offered when nothing matches.
    for (const fs::path& library : steam.libraries) {
        for (const fs::path& app : Entries(library / "steamapps/compatdata")) {
            search.NotePrefix(Canonical(app / "pfx"));
        }
    }
}

void SearchHeroic(Search& search) {
    const fs::path& home = search.environment().home;
    const fs::path configs[] = {search.environment().configHome / "heroic",
                                home / ".var/app/com.heroicgameslauncher.hgl/config/heroic"};
    for (const fs::path& config : configs) {
        if (!IsFolder(config)) {
            continue;
        }
        // Each game's settings name its prefix; under Proton the Windows side is <prefix>/pfx.
        std::map<std::string, fs::path> prefixes;
        for (const fs::path& file : Entries(config / "GamesConfig")) {
            if (!NameEndsWith(file, ".json")) {
                continue;
            }
            const std::string appName = file.stem().string();
            if (const std::optional<HeroicPrefix> prefix =
                    ReadHeroicGameConfig(ReadText(file), appName)) {
                const fs::path folder = LauncherPath(prefix->winePrefix, home);
                prefixes[appName] = prefix->proton ? folder / "pfx" : ProtonSide(folder);
            }
        }
        std::vector<LauncherGame> games =
            ReadHeroicGogInstalled(ReadText(config / "gog_store/installed.json"));
        for (const fs::path& legendary : {config / "legendaryConfig/legendary/installed.json",
                                          config.parent_path() / "legendary/installed.json"}) {
            for (LauncherGame& game : ReadLegendaryInstalled(ReadText(legendary))) {
                games.push_back(std::move(game));
            }
        }
        for (LauncherGame& game :
             ReadNileInstalled(ReadText(config / "nile_config/nile/installed.json"))) {
            games.push_back(std::move(game));
        }
        for (LauncherGame& game :
             ReadHeroicSideloaded(ReadText(config / "sideload_apps/library.json"))) {
            game.folder = Utf8FromPath(LauncherPath(game.folder, home).parent_path());
            games.push_back(std::move(game));
        }
        for (const LauncherGame& game : games) {
            const fs::path folder = LauncherPath(game.folder, home);
            fs::path prefix;
            if (const auto configured = prefixes.find(game.appName); configured != prefixes.end()) {
                prefix = configured->second;
            } else if (const fs::path named =
                           home / "Games/Heroic/Prefixes/default" / folder.filename();
                       IsFolder(named)) {
                prefix = ProtonSide(named);  // Heroic names a new prefix after the game
            }
            search.Offer("Heroic", folder, IsFolder(prefix) ? prefix : fs::path());
        }
        for (const auto& [appName, prefix] : prefixes) {
            search.OfferFromRegistry("Heroic", prefix);
        }
    }
    for (const fs::path& prefix : Entries(home / "Games/Heroic/Prefixes/default")) {
        search.OfferFromRegistry("Heroic", ProtonSide(prefix));
    }
}

void SearchLutris(Search& search) {
    const DiscoveryEnvironment& environment = search.environment();
    const fs::path& home = environment.home;
    // Lutris 0.5.15 and later keep the game files with the data, older ones with the settings.
    const fs::path folders[] = {environment.dataHome / "lutris/games",
                                environment.configHome / "lutris/games",
                                home / ".var/app/net.lutris.Lutris/data/lutris/games",
                                home / ".var/app/net.lutris.Lutris/config/lutris/games"};
    std::set<fs::path> seenFolders;
    for (const fs::path& games : folders) {
        if (!seenFolders.insert(Canonical(games)).second) {
            continue;
        }
        for (const fs::path& file : Entries(games)) {
            if (!NameEndsWith(file, ".yml")) {
                continue;
            }
            const LutrisGame game = ReadLutrisGame(ReadText(file));
            const fs::path prefix =
                game.prefix.empty() ? fs::path() : LauncherPath(game.prefix, home);
            fs::path exe = LauncherPath(game.exe, home);
            if (exe.is_relative() && !game.workingDir.empty()) {
                exe = LauncherPath(game.workingDir, home) / exe;
            } else if (exe.is_relative() && !prefix.empty()) {
                exe = prefix / exe;
            }
            if (NameIs(exe, "Veskaran3.exe")) {
                search.Offer("Lutris", exe.parent_path(), prefix);
            }
            if (!prefix.empty()) {
                search.OfferFromRegistry("Lutris", prefix);
            }
        }
    }
    // Lutris' installers make their prefixes here; Heroic's folder is not one.
    for (const fs::path& prefix : Entries(home / "Games")) {
        if (!NameIs(prefix, "Heroic") && IsFileIgnoringCase(prefix / "system.reg")) {
            search.OfferFromRegistry("Lutris", prefix);
        }
    }
}

void SearchBottles(Search& search) {
    const DiscoveryEnvironment& environment = search.environment();
    const fs::path data[] = {environment.dataHome / "bottles",
                             environment.home / ".var/app/com.usebottles.bottles/data/bottles"};
    std::vector<fs::path> folders;
    for (const fs::path& bottles : data) {
        folders.push_back(bottles / "bottles");
        const std::string custom = ReadBottlesCustomPath(ReadText(bottles / "data.yml"));
        if (!custom.empty()) {
            folders.push_back(LauncherPath(custom, environment.home));
        }
    }
    for (const fs::path& folder : folders) {
        for (const fs::path& bottle : Entries(folder)) {
            search.OfferFromRegistry("Bottles", bottle);
            // Programs added to a bottle may live anywhere, outside it too.
            for (const std::string& path : ReadBottlePrograms(ReadText(bottle / "bottle.yml"))) {
                const std::optional<fs::path> exe =
                    path.size() >= 2 && path[1] == ':'
                        ? MapWindowsPath(bottle, path)
                        : std::optional(LauncherPath(path, environment.home));
                if (exe && NameIs(*exe, "Veskaran3.exe")) {
                    search.Offer("Bottles", exe->parent_path(), Canonical(bottle));
                }
            }
        }
    }
}

}  // namespace

DiscoveryEnvironment DiscoveryEnvironment::FromSystem() {
    DiscoveryEnvironment environment;
    environment.home = PathFromUtf8(EnvOr("HOME", "."));
    environment.configHome =
        PathFromUtf8(EnvOr("XDG_CONFIG_HOME", Utf8FromPath(environment.home / ".config")));
    environment.dataHome =
        PathFromUtf8(EnvOr("XDG_DATA_HOME", Utf8FromPath(environment.home / ".local/share")));
    environment.winePrefix =
        PathFromUtf8(EnvOr("WINEPREFIX", Utf8FromPath(environment.home / ".wine")));
    environment.userName = EnvOr("USER", EnvOr("LOGNAME", ""));
    return environment;
}

std::optional<fs::path> MapWindowsPath(const fs::path& prefix, std::string_view windowsPath) {
    if (windowsPath.size() < 2 || windowsPath[1] != ':' || AsciiLower(windowsPath[0]) < 'a' ||
        AsciiLower(windowsPath[0]) > 'z') {
        return std::nullopt;
    }
    const char drive = AsciiLower(windowsPath[0]);
    fs::path mapped = prefix / "dosdevices" / std::string{drive, ':'};
    std::error_code error;
    if (drive == 'c' && !fs::exists(mapped, error)) {
        mapped = prefix / "drive_c";
    }
    for (std::string_view rest = windowsPath.substr(2); !rest.empty();) {
        const std::size_t cut = std::min(rest.find_first_of("\\/"), rest.size());
        if (cut > 0) {
            mapped /= PathFromUtf8(rest.substr(0, cut));
        }
        rest.remove_prefix(std::min(cut + 1, rest.size()));
    }
    return Canonical(ResolvePathCase(mapped));
}

fs::path PrefixDocumentsFolder(const fs::path& prefix, const DiscoveryEnvironment& environment) {
    const fs::path usersFolder = ResolvePathCase(prefix / "drive_c/users");
    // Wine names the Windows user after the Unix one, Proton calls it steamuser; failing
    // both (a prefix made by another user), the only user folder there is.
    std::vector<std::string> users;
    if (!environment.userName.empty()) {
        users.push_back(environment.userName);
    }
    users.push_back("steamuser");
    std::optional<std::string> owner;
    std::vector<std::string> others;
    for (const std::string& user : users) {
        if (IsFolder(ResolvePathCase(usersFolder / user))) {
            owner = owner.value_or(user);
        }
    }
    if (!owner) {
        for (const fs::path& entry : Entries(usersFolder)) {
            if (IsFolder(entry) && !NameIs(entry, "Public")) {
                others.push_back(entry.filename().string());
            }
        }
        if (others.size() == 1) {
            owner = others.front();
        }
    }

    RegistryValueRequest requests[] = {{kShellFolders, "Personal", std::nullopt},
                                       {kUserShellFolders, "Personal", std::nullopt}};
    ReadRegistryValues(ReadText(prefix / "user.reg", kMaxRegistryBytes), requests);
    if (std::string& expandable = requests[1].value.emplace(requests[1].value.value_or(""));
        !expandable.empty()) {
        const std::string profile = "C:\\users\\" + owner.value_or(users.front());
        for (std::size_t at;
             (at = AsciiLower(expandable).find("%userprofile%")) != std::string::npos;) {
            expandable.replace(at, 13, profile);
        }
    }
    for (const RegistryValueRequest& request : requests) {
        if (const std::optional<fs::path> mapped =
                request.value ? MapWindowsPath(prefix, *request.value) : std::nullopt;
            mapped && IsFolder(*mapped)) {
            return *mapped;
        }
    }
    for (const std::string& user : owner ? std::vector<std::string>{*owner} : users) {
        for (const char* documents : {"Documents", "My Documents"}) {
            const fs::path folder = ResolvePathCase(usersFolder / user / documents);
            if (IsFolder(folder)) {
                return Canonical(folder);
            }
        }
    }
    // The game makes it on its first start.
    return ResolvePathCase(usersFolder / owner.value_or(users.front()) / "Documents");
}

Discovery Discover(const DiscoveryEnvironment& environment) {
    Search search(environment);
    SearchWine(search);
    SearchSteam(search);
    SearchHeroic(search);
    SearchLutris(search);
    SearchBottles(search);
    return search.Take();
}

std::vector<FoundInstallation> DiscoverInstallations(const DiscoveryEnvironment& environment) {
    return Discover(environment).installations;
}

std::string DocumentsFolderFor(const fs::path& installFolder,
                               const DiscoveryEnvironment& environment) {
    const fs::path folder = Canonical(installFolder);
    for (fs::path inner = folder; inner.has_relative_path(); inner = inner.parent_path()) {
        if (NameIs(inner, "drive_c")) {
            return Utf8FromPath(PrefixDocumentsFolder(inner.parent_path(), environment));
        }
    }
    // A launcher that keeps the game outside its prefix knows the prefix.
    for (const FoundInstallation& found : DiscoverInstallations(environment)) {
        if (PathFromUtf8(found.installFolder) == folder) {
            return found.documentsFolder;
        }
    }
    // A Steam library the Steam folders do not list.
    const fs::path common = folder.parent_path();
    if (NameIs(common, "common") && NameIs(common.parent_path(), "steamapps")) {
        const fs::path library = common.parent_path().parent_path();
        for (const SteamApp& app : SteamApps(library)) {
            if (EqualIgnoringAsciiCase(app.installDir, folder.filename().string())) {
                bool started = false;
                const fs::path prefix = ProtonPrefix(app.appId, library, {}, started);
                return Utf8FromPath(started ? PrefixDocumentsFolder(prefix, environment)
                                            : NewProtonDocuments(prefix));
            }
        }
    }
    return {};
}

std::vector<std::string> UsedDocumentsFolders(const DiscoveryEnvironment& environment) {
    std::vector<std::string> folders;
    for (const fs::path& prefix : Discover(environment).prefixes) {
        for (const fs::path& user : Entries(prefix / "drive_c/users")) {
            for (const char* documents : {"Documents", "My Documents"}) {
                const fs::path folder = ResolvePathCase(user / documents);
                if (IsFolder(ResolvePathCase(folder / "veskaran3"))) {
                    folders.push_back(Utf8FromPath(Canonical(folder)));
                    break;
                }
            }
        }
    }
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    return folders;
}

std::vector<FoundInstallation> SystemInstallationFinder::FindAll() {
    return DiscoverInstallations(DiscoveryEnvironment::FromSystem());
}

std::string SystemInstallationFinder::DocumentsFolderFor(const std::string& installFolder) {
    return vk3::DocumentsFolderFor(PathFromUtf8(installFolder), DiscoveryEnvironment::FromSystem());
}

std::vector<std::string> SystemInstallationFinder::UsedDocumentsFolders() {
    return vk3::UsedDocumentsFolders(DiscoveryEnvironment::FromSystem());
}

}  // namespace vk3
