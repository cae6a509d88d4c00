#include "app/command_line.h"

#include <gtest/gtest.h>

namespace vk3 {
namespace {

TEST(CommandLine, ReadsFoldersHelpAndVersion) {
    CommandLine line = ParseCommandLine({"--install-dir", "/g", "--documents-dir=/d ü"});
    EXPECT_EQ(line.error, "");
    EXPECT_EQ(line.overrides.installDir, "/g");
    EXPECT_EQ(line.overrides.documentsDir, "/d ü");
    for (const char* help : {"-h", "--help"}) {
        EXPECT_TRUE(ParseCommandLine({help}).showHelp);
    }
    line = ParseCommandLine({"-hv"});
    EXPECT_TRUE(line.showVersion && line.showHelp);
}

TEST(CommandLine, SaysInOneLineWhatItCannotUse) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--fullscreen"}, "unknown argument \"--fullscreen\""},
        {{"-x"}, "unknown argument \"-x\""},
        {{"stray"}, "unknown argument \"stray\""},
        {{"--help", "--install-dir"}, "--install-dir needs a folder"},
        {{"--documents-dir="}, "--documents-dir needs a folder"},
    };
    for (const auto& [arguments, error] : cases) {
        EXPECT_EQ(ParseCommandLine(arguments).error, error) << arguments.front();
    }
}

}  // namespace
}  // namespace vk3
