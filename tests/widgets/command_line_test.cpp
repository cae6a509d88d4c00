#include "app/command_line.h"

#include <gtest/gtest.h>

namespace vk3 {
namespace {

TEST(CommandLine, ReadsItsOptionsAndSaysInOneLineWhatItCannotUse) {
    CommandLine line = ParseCommandLine({"--install-dir", "/g", "--documents-dir=/d ü", "-hv"});
    EXPECT_EQ(line.overrides.installDir, "/g");
    EXPECT_EQ(line.overrides.documentsDir, "/d ü");
    EXPECT_TRUE(line.error.empty() && line.showHelp && line.showVersion);
    EXPECT_TRUE(ParseCommandLine({"--list-installations"}).listInstallations);
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
    };
    for (const auto& [arguments, error] : refused) {
        EXPECT_EQ(ParseCommandLine(arguments).error, error) << arguments.front();
    }
}

}  // namespace
}  // namespace vk3
