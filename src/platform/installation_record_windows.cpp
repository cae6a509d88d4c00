#include <windows.h>

#include <filesystem>

#include "files/file_system.h"
#include "platform/installation_record.h"

namespace vk3 {

namespace {

constexpr const wchar_t* kValueName = L"INSTALL_DIR";

}  // namespace

RegistryInstallationRecord::RegistryInstallationRecord(std::string_view key)
    : key_(PathFromUtf8(key).wstring()) {}

std::string RegistryInstallationRecord::Read() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key_.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                      &key) != ERROR_SUCCESS) {
        return {};
    }
    // No fixed buffer: a folder may be longer than one, and the value may grow meanwhile.
    std::wstring value;
    DWORD type = 0;
    DWORD bytes = 0;
    LSTATUS status = ERROR_MORE_DATA;
    while (status == ERROR_MORE_DATA) {
        value.resize(bytes / sizeof(wchar_t) + 1);
        bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        status = RegQueryValueExW(key, kValueName, nullptr, &type,
                                  reinterpret_cast<BYTE*>(value.data()), &bytes);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    // The stored text may or may not end in a zero.
    value.resize(bytes / sizeof(wchar_t));
    if (const std::size_t end = value.find(L'\0'); end != std::wstring::npos) {
        value.resize(end);
    }
    return Utf8FromPath(std::filesystem::path(value));
}

bool RegistryInstallationRecord::Write(std::string_view installationFolder, std::string_view) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring value = PathFromUtf8(installationFolder).wstring();
    const bool written =
        RegSetValueExW(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

}  // namespace vk3
