#include "discovery/installation_discovery.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>

#include "discovery/registry_text.h"
#include "discovery/vdf_text.h"
#include "files/file_system.h"
#include "platform/path_case.h"
#include "text/ascii_text.h"

namespace vk3 {

namespace {

namespace fs = std::filesystem;

constexpr const char* kInstallKeys[] = {"Software\\Wow6432Node\\Quellmark\\Veskaran III",
                                        "Software\\Quellmark\\Veskaran III"};
constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string ReadText(const fs::path& path) {
    std::string bytes;
    if (!ReadFileBytes(ResolvePathCase(path), bytes)) {
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

std::string EnvOr(const char* name, std::string fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

// --- Steam ---

std::vector<fs::path> SteamLibraries(const DiscoveryEnvironment& environment) {
    const fs::path& home = environment.home;
    const fs::path roots[] = {environment.dataHome / "Steam",
                              home / ".steam/steam",
                              home / ".steam/root",
                              home / ".steam/debian-installation",
                              home / ".var/app/com.valvesoftware.Steam/.local/share/Steam",
                              home / ".var/app/com.valvesoftware.Steam/data/Steam",
                              home / "snap/steam/common/.local/share/Steam"};
    std::vector<fs::path> libraries;
    auto add = [&libraries](const fs::path& folder) {
        const fs::path library = Canonical(folder);
        if (IsFolder(library) &&
            std::find(libraries.begin(), libraries.end(), library) == libraries.end()) {
            libraries.push_back(library);
        }
    };
    for (const fs::path& root : roots) {
        if (!IsFolder(root)) {
            continue;
        }
        add(root);
        const std::optional<VdfNode> file =
            ParseVdf(ReadText(root / "steamapps/libraryfolders.vdf"));
        const VdfNode* list = file ? file->Find("libraryfolders") : nullptr;
        for (const VdfNode& entry : list ? list->children : std::vector<VdfNode>{}) {
            if (const VdfNode* path = entry.isBlock ? entry.Find("path") : nullptr) {
                add(PathFromUtf8(path->value));  // "0" { "path" "/games/steam" ... }
            } else if (!entry.isBlock && !entry.key.empty() &&
                       entry.key.find_first_not_of("0123456789") == std::string::npos) {
                add(PathFromUtf8(entry.value));  // the older "1" "/games/steam"
            }
        }
    }
    return libraries;
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

fs::path ProtonDocuments(const std::string& appId, const std::vector<fs::path>& libraries,
                         const DiscoveryEnvironment& environment) {
    for (const fs::path& library : libraries) {
        const fs::path prefix =
            ResolvePathCase(library / "steamapps/compatdata" / PathFromUtf8(appId) / "pfx");
        if (IsFolder(prefix)) {
            return PrefixDocumentsFolder(prefix, environment);
        }
    }
    return {};
}

// --- Lutris ---

struct LutrisGame {
    std::string exe;
    std::string prefix;
};

// The exe: and prefix: entries of the game: mapping of a Lutris game file.
LutrisGame ReadLutrisGame(std::string_view text, const fs::path& home) {
    LutrisGame game;
    bool inGame = false;
    while (!text.empty()) {
        std::string_view line = text.substr(0, text.find('\n'));
        text.remove_prefix(std::min(line.size() + 1, text.size()));
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() != ' ' && line.front() != '\t') {
            inGame = line.starts_with("game:");
            continue;
        }
        line.remove_prefix(line.find_first_not_of(" \t"));
        std::string* target = line.starts_with("exe:")      ? &game.exe
                              : line.starts_with("prefix:") ? &game.prefix
                                                            : nullptr;
        if (!inGame || target == nullptr) {
            continue;
        }
        std::string_view value = line.substr(line.find(':') + 1);
        const std::size_t start = value.find_first_not_of(" \t");
        value = start == std::string_view::npos ? "" : value.substr(start);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) {
            value.remove_suffix(1);
        }
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        *target = value.starts_with("~/") ? (home / value.substr(2)).string() : std::string(value);
    }
    return game;
}

// Collects candidates that hold the game, each folder once.
class Collector {
public:
    explicit Collector(const DiscoveryEnvironment& environment) : environment_(environment) {}

    void Offer(const char* source, const fs::path& folder,
               const std::function<fs::path()>& documents) {
        const fs::path canonical = Canonical(folder);
        if (!IsFileIgnoringCase(canonical / "Veskaran3.exe") ||
            !IsFileIgnoringCase(canonical / "Ini/vkmain.ini") || !seen_.insert(canonical).second) {
            return;
        }
        found_.push_back({source, Utf8FromPath(canonical), Utf8FromPath(documents())});
    }

    // The folder named by the installation record in a prefix's registry.
    void OfferFromRegistry(const char* source, const fs::path& prefix) {
        const std::string systemReg = ReadText(prefix / "system.reg");
        for (const char* key : kInstallKeys) {
            const std::optional<std::string> folder =
                ReadRegistryValue(systemReg, key, "INSTALL_DIR");
            const std::optional<fs::path> mapped =
                folder ? MapWindowsPath(prefix, *folder) : std::nullopt;
            if (mapped) {
                Offer(source, *mapped, [&] { return PrefixDocumentsFolder(prefix, environment_); });
                return;
            }
        }
    }

    std::vector<FoundInstallation> Take() { return std::move(found_); }

private:
    const DiscoveryEnvironment& environment_;
    std::set<fs::path> seen_;
    std::vector<FoundInstallation> found_;
};

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
    const std::optional<std::string> personal =
        ReadRegistryValue(ReadText(prefix / "user.reg"), kShellFolders, "Personal");
    if (const std::optional<fs::path> mapped =
            personal ? MapWindowsPath(prefix, *personal) : std::nullopt;
        mapped && IsFolder(*mapped)) {
        return *mapped;
    }
    // Wine names the Windows user after the Unix one, Proton calls it steamuser.
    std::vector<std::string> users{"steamuser"};
    if (!environment.userName.empty()) {
        users.insert(users.begin(), environment.userName);
    }
    const fs::path usersFolder = prefix / "drive_c/users";
    std::optional<std::string> owner;
    for (const std::string& user : users) {
        for (const char* documents : {"Documents", "My Documents"}) {
            const fs::path folder = ResolvePathCase(usersFolder / user / documents);
            if (IsFolder(folder)) {
                return Canonical(folder);
            }
        }
        if (!owner && IsFolder(ResolvePathCase(usersFolder / user))) {
            owner = user;
        }
    }
    // The game makes it on its first start.
    return ResolvePathCase(usersFolder / owner.value_or(users.front()) / "Documents");
}

std::vector<FoundInstallation> DiscoverInstallations(const DiscoveryEnvironment& environment) {
    Collector collector(environment);
    collector.OfferFromRegistry("Wine prefix", environment.winePrefix);

    const std::vector<fs::path> libraries = SteamLibraries(environment);
    for (const fs::path& library : libraries) {
        for (const SteamApp& app : SteamApps(library)) {
            collector.Offer(
                "Steam library",
                ResolvePathCase(library / "steamapps/common" / PathFromUtf8(app.installDir)),
                [&] { return ProtonDocuments(app.appId, libraries, environment); });
        }
    }

    for (const fs::path& file : Entries(environment.configHome / "lutris/games")) {
        if (!AsciiLower(file.filename().string()).ends_with(".yml")) {
            continue;
        }
        const LutrisGame game = ReadLutrisGame(ReadText(file), environment.home);
        const fs::path prefix = PathFromUtf8(game.prefix);
        fs::path exe = PathFromUtf8(game.exe);
        if (exe.is_relative() && !prefix.empty()) {
            exe = prefix / exe;
        }
        if (NameIs(exe, "Veskaran3.exe")) {
            collector.Offer("Lutris", exe.parent_path(), [&] {
                return prefix.empty()
                           ? PathFromUtf8(DocumentsFolderFor(exe.parent_path(), environment))
                           : PrefixDocumentsFolder(prefix, environment);
            });
        }
        if (!prefix.empty()) {
            collector.OfferFromRegistry("Lutris", prefix);
        }
    }
    for (const fs::path& prefix : Entries(environment.home / "Games")) {
        collector.OfferFromRegistry("Lutris", prefix);
    }

    for (const fs::path& bottles :
         {environment.dataHome / "bottles/bottles",
          environment.home / ".var/app/com.usebottles.bottles/data/bottles/bottles"}) {
        for (const fs::path& bottle : Entries(bottles)) {
            collector.OfferFromRegistry("Bottles", bottle);
        }
    }
    return collector.Take();
}

std::string DocumentsFolderFor(const fs::path& installFolder,
                               const DiscoveryEnvironment& environment) {
    const fs::path folder = Canonical(installFolder);
    for (fs::path inner = folder; inner.has_relative_path(); inner = inner.parent_path()) {
        if (NameIs(inner, "drive_c")) {
            return Utf8FromPath(PrefixDocumentsFolder(inner.parent_path(), environment));
        }
    }
    const fs::path common = folder.parent_path();
    if (NameIs(common, "common") && NameIs(common.parent_path(), "steamapps")) {
        const fs::path library = common.parent_path().parent_path();
        for (const SteamApp& app : SteamApps(library)) {
            if (EqualIgnoringAsciiCase(app.installDir, folder.filename().string())) {
                std::vector<fs::path> libraries = SteamLibraries(environment);
                libraries.insert(libraries.begin(), library);
                return Utf8FromPath(ProtonDocuments(app.appId, libraries, environment));
            }
        }
    }
    return {};
}

// On Windows the registry record and the system's documents folder tell everything.
std::vector<FoundInstallation> SystemInstallationFinder::FindAll() {
#ifdef _WIN32
    return {};
#else
    return DiscoverInstallations(DiscoveryEnvironment::FromSystem());
#endif
}

std::string SystemInstallationFinder::DocumentsFolderFor(
    [[maybe_unused]] const std::string& installFolder) {
#ifdef _WIN32
    return {};
#else
    return vk3::DocumentsFolderFor(PathFromUtf8(installFolder), DiscoveryEnvironment::FromSystem());
#endif
}

}  // namespace vk3
