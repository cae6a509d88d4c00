#include "platform/installation.h"

#include <gtest/gtest.h>

namespace vk3 {
namespace {

TEST(InstallationPaths, JoinKeepsADoubledSeparatorAndLogoFileSitsBesideTheEngineFile) {
#ifndef _WIN32
    EXPECT_EQ(JoinPath("/games/vk3", "Ini/vkmain.ini").string(), "/games/vk3/Ini/vkmain.ini");
    EXPECT_EQ(JoinPath("/games/vk3/", "Ini/debug.ini").string(), "/games/vk3//Ini/debug.ini");
    EXPECT_EQ(JoinPath("", "veskaran3/UserOptions.ini").string(), "/veskaran3/UserOptions.ini");
    EXPECT_EQ(ParentFolderText("/games/vk3/Veskaran3.exe"), "/games/vk3");
    EXPECT_EQ(ParentFolderText("Veskaran3.exe"), "Veskaran3.exe");
    InstallationPaths paths;
    paths.engineConfig = "/games/vk3/Ini/vkmain.ini";
    EXPECT_EQ(StartLogoFile(paths).string(), "/games/vk3/Ini/logo.ini");
#endif
}

}  // namespace
}  // namespace vk3
