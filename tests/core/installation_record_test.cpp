#ifdef _WIN32

#include "platform/installation_record.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace vk3 {
namespace {

// A key of its own, never the game's, removed again afterwards.
TEST(RegistryInstallationRecord, ReadsWhatItWroteAndTakesAMissingOrEmptyValueForNone) {
    const std::wstring name = L"vk3test-" + std::to_wstring(std::random_device()());
    RegistryInstallationRecord record("SOFTWARE\\" + std::string(name.begin(), name.end()));
    EXPECT_EQ(record.Read(), "");  // no key

    const std::string folder = "C:\\Users\\Jos\xC3\xA9\\Games\\Veskaran 3";
    ASSERT_TRUE(record.Write(folder));
    EXPECT_EQ(record.Read(), folder);
    // In the 32-bit view, where the game's own installer writes it.
    wchar_t stored[64] = {};
    DWORD bytes = sizeof stored;
    EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, (L"SOFTWARE\\WOW6432Node\\" + name).c_str(),
                           L"INSTALL_DIR", RRF_RT_REG_SZ, nullptr, stored, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(stored), L"C:\\Users\\Jos\u00e9\\Games\\Veskaran 3");

    ASSERT_TRUE(record.Write(""));
    EXPECT_EQ(record.Read(), "");
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, (L"SOFTWARE\\WOW6432Node\\" + name).c_str(),
                       L"INSTALL_DIR");
    EXPECT_EQ(record.Read(), "");  // a key without the value
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, (L"SOFTWARE\\" + name).c_str(), KEY_WOW64_32KEY, 0);
}

}  // namespace
}  // namespace vk3

#endif
