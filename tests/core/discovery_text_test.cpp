#include <gtest/gtest.h>

#include "discovery/registry_text.h"
#include "discovery/vdf_text.h"
#include "platform/path_case.h"
#include "temp_dir.h"

namespace vk3 {
namespace {

TEST(PathCase, FindsEachComponentWithoutRegardToCaseAndKeepsOursForNewFiles) {
    test::TempDir dir;
    for (const char* file : {"Game/INI/VKMAIN.INI", "Two/ini/a", "Two/Ini/b", "Two/INI/c"}) {
        test::WriteFile(dir / file, "");
    }
    const std::pair<const char*, const char*> cases[] = {
        {"game/ini/vkmain.ini", "Game/INI/VKMAIN.INI"},
        {"Game/Ini/debug.ini", "Game/INI/debug.ini"},  // not there: our case, their folder
        {"GAME/ini/new/x.ini", "Game/INI/new/x.ini"},
        {"two/Ini/b", "Two/Ini/b"},  // the exact name wins
        {"two/iNi/z", "Two/INI/z"},  // else the first in sorted order
        {"none/here", "none/here"},
    };
    for (const auto& [given, found] : cases) {
#ifdef _WIN32
        EXPECT_EQ(ResolvePathCase(dir / given), dir / given) << given;  // opens in any case
#else
        EXPECT_EQ(ResolvePathCase(dir / given), dir / found) << given;
#endif
    }
}

TEST(RegistryText, ReadsEveryStringFormWithKeysAndNamesInAnyCase) {
    const std::string text = R"(WINE REGISTRY Version 2
;; All keys relative to \\Machine
#arch=win64

[Software\\Other] 1700000000
"INSTALL_DIR"="other"

[software\\QUELLMARK\\Veskaran III] 1700000000
#time=1d9a0b2c3d4e5f6
"Install_Dir"="C:\\Games\\V\"k\x00e9\n3\\"
"Expand"=str(2):"%USERPROFILE%\\Documents"
"Hex1"=hex(1):43,00,3a,00,5c,00,\
  e9,00,00,00
"Hex2"=hex(2):41,00,3d,d8,00,de,00,00
"Count"=dword:0000001f
"Open"="no end
"Lone"="\xd800x"
"BadHex"=hex(1):4g,00
)";
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"INSTALL_DIR", "C:\\Games\\V\"k\xC3\xA9\n3\\"},
        {"expand", "%USERPROFILE%\\Documents"},
        {"Hex1", "C:\\\xC3\xA9"},
        {"Hex2", "A\xF0\x9F\x98\x80"},
        {"Count", "31"},
        {"Lone", "\xEF\xBF\xBDx"},
        {"Open", std::nullopt},
        {"BadHex", std::nullopt},
    };
    for (const auto& [name, value] : cases) {
        EXPECT_EQ(ReadRegistryValue(text, "Software\\Quellmark\\Veskaran III", name), value)
            << name;
    }
    EXPECT_EQ(ReadRegistryValue(text, "Software\\Other", "install_dir"), "other");
    EXPECT_EQ(ReadRegistryValue(text, "Software\\Quellmark", "INSTALL_DIR"), std::nullopt);
}

TEST(VdfText, ReadsNestedEntriesAndRefusesMalformedText) {
    const std::optional<VdfNode> root = ParseVdf(
        "\xEF\xBB\xBF// manifest\n\"AppState\"\n{\n\t\"appid\"\t\"4711\" [$LINUX]\n"
        "\t\"InstallDir\" \"V\\\"3\\\\\"\n\tUserConfig { language english }\n}\n");
    ASSERT_TRUE(root);
    const VdfNode* state = root->Find("appstate");
    ASSERT_TRUE(state && state->isBlock);
    EXPECT_EQ(state->Find("APPID")->value, "4711");
    EXPECT_EQ(state->Find("installdir")->value, "V\"3\\");
    EXPECT_EQ(state->Find("userconfig")->Find("language")->value, "english");
    for (const std::string bad : {"\"a\" {", "\"a\"", "\"a\" \"b", "}", "a { } }"}) {
        EXPECT_FALSE(ParseVdf(bad)) << bad;
    }
    std::string deep;
    for (int level = 0; level < 100; ++level) {
        deep += "a {";
    }
    EXPECT_FALSE(ParseVdf(deep + std::string(100, '}')));
}

}  // namespace
}  // namespace vk3
