#include "discovery/launcher_files.h"

#include <yaml-cpp/yaml.h>

#include <array>
#include <nlohmann/json.hpp>
#include <utility>

#include "discovery/vdf_text.h"
#include "text/ascii_text.h"

namespace vk3 {

namespace {

using Json = nlohmann::json;

Json ParseJson(std::string_view text) {
    Json parsed = Json::parse(text, nullptr, /*allow_exceptions=*/false);
    return parsed.is_discarded() ? Json() : parsed;
}

// The text of a member, empty when it is missing or not a string.
std::string Text(const Json& object, const char* name) {
    if (!object.is_object()) {
        return {};
    }
    const auto member = object.find(name);
    return member != object.end() && member->is_string() ? member->get<std::string>()
                                                         : std::string();
}

const Json& Member(const Json& object, const char* name) {
    static const Json kNone;
    if (!object.is_object()) {
        return kNone;
    }
    const auto member = object.find(name);
    return member != object.end() ? *member : kNone;
}

void AddGame(std::vector<LauncherGame>& games, std::string appName, std::string folder) {
    if (!folder.empty()) {
        games.push_back({std::move(appName), std::move(folder)});
    }
}

std::optional<YAML::Node> ParseYaml(std::string_view text) {
    try {
        return YAML::Load(std::string(text));
    } catch (const YAML::Exception&) {
        return std::nullopt;
    }
}

// The text of a scalar under a mapping, empty for anything else. Looked up on a const node,
// so that asking never adds the key.
// A key that is not there gives a node that throws when asked its kind, unless asked first
// whether it is defined.
std::string Scalar(const YAML::Node& mapping, const char* key) {
    if (!mapping.IsDefined() || !mapping.IsMap()) {
        return {};
    }
    const YAML::Node value = mapping[key];
    return value.IsDefined() && value.IsScalar() ? value.Scalar() : std::string();
}

std::uint32_t Crc32(std::string_view bytes) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int bit = 0; bit < 8; ++bit) {
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            entries[i] = c;
        }
        return entries;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc = table[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

std::string Unquoted(std::string text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = text.substr(1, text.size() - 2);
    }
    return text;
}

}  // namespace

std::vector<LauncherGame> ReadHeroicGogInstalled(std::string_view json) {
    std::vector<LauncherGame> games;
    const Json parsed = ParseJson(json);
    const Json& installed = Member(parsed, "installed");
    if (installed.is_array()) {
        for (const Json& game : installed) {
            AddGame(games, Text(game, "appName"), Text(game, "install_path"));
        }
    }
    return games;
}

std::vector<LauncherGame> ReadLegendaryInstalled(std::string_view json) {
    std::vector<LauncherGame> games;
    const Json parsed = ParseJson(json);
    if (parsed.is_object()) {
        for (const auto& [key, game] : parsed.items()) {
            const std::string appName = Text(game, "app_name");
            AddGame(games, appName.empty() ? key : appName, Text(game, "install_path"));
        }
    }
    return games;
}

std::vector<LauncherGame> ReadNileInstalled(std::string_view json) {
    std::vector<LauncherGame> games;
    const Json parsed = ParseJson(json);
    if (parsed.is_array()) {
        for (const Json& game : parsed) {
            AddGame(games, Text(game, "id"), Text(game, "path"));
        }
    }
    return games;
}

std::vector<LauncherGame> ReadHeroicSideloaded(std::string_view json) {
    std::vector<LauncherGame> games;
    const Json parsed = ParseJson(json);
    const Json& list = Member(parsed, "games");
    if (list.is_array()) {
        for (const Json& game : list) {
            AddGame(games, Text(game, "app_name"), Text(Member(game, "install"), "executable"));
        }
    }
    return games;
}

std::optional<HeroicPrefix> ReadHeroicGameConfig(std::string_view json, std::string_view appName) {
    const Json parsed = ParseJson(json);
    const Json& settings = Member(parsed, std::string(appName).c_str());
    HeroicPrefix prefix{Text(settings, "winePrefix"), false};
    if (prefix.winePrefix.empty()) {
        return std::nullopt;
    }
    prefix.proton = EqualIgnoringAsciiCase(Text(Member(settings, "wineVersion"), "type"), "proton");
    return prefix;
}

LutrisGame ReadLutrisGame(std::string_view yaml) {
    const std::optional<YAML::Node> file = ParseYaml(yaml);
    if (!file || !file->IsMap()) {
        return {};
    }
    const YAML::Node game = std::as_const(*file)["game"];
    return {Scalar(game, "exe"), Scalar(game, "prefix"), Scalar(game, "working_dir")};
}

std::vector<std::string> ReadBottlePrograms(std::string_view yaml) {
    std::vector<std::string> paths;
    const std::optional<YAML::Node> file = ParseYaml(yaml);
    if (!file || !file->IsMap()) {
        return paths;
    }
    const YAML::Node programs = std::as_const(*file)["External_Programs"];
    if (programs.IsDefined() && programs.IsMap()) {
        for (const auto& program : programs) {
            if (std::string path = Scalar(program.second, "path"); !path.empty()) {
                paths.push_back(std::move(path));
            }
        }
    }
    return paths;
}

std::string ReadBottlesCustomPath(std::string_view yaml) {
    const std::optional<YAML::Node> file = ParseYaml(yaml);
    return file ? Scalar(*file, "custom_bottles_path") : std::string();
}

std::vector<SteamShortcut> ReadSteamShortcuts(std::string_view bytes) {
    std::vector<SteamShortcut> shortcuts;
    const std::optional<VdfNode> file = ParseBinaryVdf(bytes);
    const VdfNode* list = file ? file->Find("shortcuts") : nullptr;
    if (list == nullptr || !list->isBlock) {
        return shortcuts;
    }
    for (const VdfNode& entry : list->children) {
        const VdfNode* exe = entry.isBlock ? entry.Find("Exe") : nullptr;
        if (exe == nullptr || exe->isBlock) {
            continue;
        }
        SteamShortcut shortcut;
        const VdfNode* appId = entry.Find("appid");
        if (appId != nullptr && !appId->isBlock && !appId->value.empty() &&
            appId->value.size() <= 10 &&
            appId->value.find_first_not_of("0123456789") == std::string::npos) {
            shortcut.appId = static_cast<std::uint32_t>(std::stoull(appId->value));
        } else {
            const VdfNode* name = entry.Find("AppName");
            shortcut.appId =
                Crc32(exe->value + (name != nullptr ? name->value : std::string())) | 0x80000000u;
        }
        shortcut.exe = Unquoted(exe->value);
        if (const VdfNode* startDir = entry.Find("StartDir"); startDir && !startDir->isBlock) {
            shortcut.startDir = Unquoted(startDir->value);
        }
        shortcuts.push_back(std::move(shortcut));
    }
    return shortcuts;
}

}  // namespace vk3
