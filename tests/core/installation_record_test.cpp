#ifdef _WIN32

#include "platform/installation_record.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <random>

namespace vk3 {
namespace {

// A key of its own, never the game's; the value lands in the 32-bit view, as the game's does.
TEST(RegistryInstallationRecord, ReadsWhatItWroteAndTakesAMissingOrEmptyValueForNone) {
    const std::string name = "vk3test-" + std::to_string(std::random_device()());
    const std::wstring view32 = L"SOFTWARE\\WOW6432Node\\" + std::wstring(name.begin(), name.end());
    RegistryInstallationRecord record("SOFTWARE\\" + name);
    EXPECT_EQ(record.Read(), "");
    ASSERT_TRUE(record.Write("C:\\Users\\Jos\xC3\xA9\\Veskaran 3"));
    EXPECT_EQ(record.Read(), "C:\\Users\\Jos\xC3\xA9\\Veskaran 3");
    wchar_t stored[32] = {};
    DWORD bytes = sizeof stored;
    RegGetValueW(HKEY_LOCAL_MACHINE, view32.c_str(), L"INSTALL_DIR", RRF_RT_REG_SZ, nullptr, stored,
                 &bytes);
    EXPECT_EQ(std::wstring(stored), L"C:\\Users\\Jos\u00e9\\Veskaran 3");
    ASSERT_TRUE(record.Write(""));
    EXPECT_EQ(record.Read(), "");
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, view32.c_str(), L"INSTALL_DIR");
    EXPECT_EQ(record.Read(), "");
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, view32.c_str());
}

}  // namespace
}  // namespace vk3

#else

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/installation_record.h"
#include "support/temp_dir.h"

namespace vk3 {
namespace {

TEST(SystemInstallationRecord, KeepsTheFolderInTheUsersConfigurationFolder) {
    test::TempDir config;
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    const std::string kept = previous != nullptr ? previous : "";
    ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    SystemInstallationRecord record;
    EXPECT_EQ(record.Read(), "");
    EXPECT_TRUE(record.Write("/games/Veskaran 3"));
    EXPECT_EQ(record.Read(), "/games/Veskaran 3");
    EXPECT_EQ(test::ReadFile(config / "Quellmark/Veskaran III.ini"),
              "[General]\r\nINSTALL_DIR=/games/Veskaran 3\r\n");
    previous != nullptr ? ::setenv("XDG_CONFIG_HOME", kept.c_str(), 1)
                        : ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace vk3

#endif
