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
    line = ParseCommandLine({"--restore-defaults", "cache", "--set", "a=1", "b=x y", "--verbose"});
    EXPECT_EQ(line.settings.assignments, (std::vector<std::string>{"a=1", "b=x y"}));
    EXPECT_EQ(line.settings.restoreDefaults, std::vector<std::string>{"cache"});
    EXPECT_TRUE(line.error.empty() && line.settings.set && line.settings.verbose);
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

}  // namespace
}  // namespace vk3
