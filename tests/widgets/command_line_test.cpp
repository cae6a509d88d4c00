#include "app/command_line.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace vk3 {
namespace {

TEST(CommandLine, ReadsItsOptionsAndSaysInOneLineWhatItCannotUse) {
    CommandLine line = ParseCommandLine({"--install-dir", "/g", "--documents-dir=/d ü", "-hv"});
    EXPECT_EQ(line.overrides.installDir, "/g");
    EXPECT_EQ(line.overrides.documentsDir, "/d ü");
    EXPECT_TRUE(line.error.empty() && line.showHelp && line.showVersion);
    EXPECT_TRUE(ParseCommandLine({"--list-installations"}).listInstallations);
    line = ParseCommandLine({"--restore-defaults", "cache", "--set", "a=1", "b=x y", "--verbose"});
    EXPECT_EQ(line.settings.assignments, (std::vector<std::string>{"a=1", "b=x y"}));
    EXPECT_EQ(line.settings.restoreDefaults, std::vector<std::string>{"cache"});
    EXPECT_TRUE(line.error.empty() && line.settings.set && line.settings.verbose);
    // Each line splits into the same three fields whatever the folders hold.
    EXPECT_EQ(InstallationListLine({"Lutris", "/g/a\tb\nc\\d\x01", ""}),
              "Lutris\t/g/a\\tb\\nc\\\\d\\x01\t\n");
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"--fullscreen"}, "unknown argument \"--fullscreen\""},
        {{"-x"}, "unknown argument \"-x\""},
        {{"stray"}, "unknown argument \"stray\""},
        {{"--help", "--install-dir"}, "--install-dir needs a folder"},
        {{"--documents-dir="}, "--documents-dir needs a folder"},
        {{"--help=yes"}, "Unexpected value after '--help'."},
        {{"--set"}, "--set needs NAME=VALUE"},
        {{"--set", "a=1", "b"}, "unknown argument \"b\" (--set takes NAME=VALUE)"},
        {{"--show", "a=1"}, "unknown argument \"a=1\""},
        {{"--json"}, "--json goes with --show"},
        {{"--show", "--verbose"}, "--verbose goes with --set or --restore-defaults"},
        {{"--restore-defaults"}, "--restore-defaults needs main, cache or other"},
        {{"--restore-defaults", "all"},
         "--restore-defaults takes main, cache or other, not \"all\""},
    };
    for (const auto& [arguments, error] : refused) {
        EXPECT_EQ(ParseCommandLine(arguments).error, error) << arguments.front();
    }
}

TEST(CommandLine, RefusesAFolderThatIsNotThereOrHoldsNoGame) {
    test::TempDir dir;
    test::WriteFile(dir / "game/INI/VKMAIN.INI", "");
    test::WriteFile(dir / "exe only/veskaran3.EXE", "");
    test::WriteFile(dir / "empty/readme.txt", "");
    const std::string root = dir.path().string() + "/";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--install-dir", root + "game", "--documents-dir", root}, ""},
        {{"--install-dir", root + "exe only"}, ""},
        {{"--install-dir", root + "missing"}, "there is no such folder"},
        {{"--install-dir", root + "empty"}, "it holds neither Veskaran3.exe nor Ini/vkmain.ini"},
        {{"--install-dir", root + "exe only/veskaran3.EXE"}, "it is not a folder"},
        {{"--documents-dir", root + "missing"}, "there is no such folder"},
    };
    for (const auto& [arguments, error] : cases) {
        EXPECT_EQ(ParseCommandLine(arguments).error,
                  error.empty() ? "" : arguments[0] + " \"" + arguments[1] + "\": " + error);
    }
}

}  // namespace
}  // namespace vk3
