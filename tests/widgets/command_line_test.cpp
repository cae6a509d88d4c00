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
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"--fullscreen"}, "unknown argument \"--fullscreen\""},
        {{"-x"}, "unknown argument \"-x\""},
        {{"stray"}, "unknown argument \"stray\""},
        {{"--help", "--install-dir"}, "--install-dir needs a folder"},
        {{"--documents-dir="}, "--documents-dir needs a folder"},
        {{"--help=yes"}, "Unexpected value after '--help'."},
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
