// Arbitrary bytes as a Wine registry file: a key path and a value name (each up to a zero
// byte), then the file. Reading must neither crash nor run past the text.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "discovery/registry_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    auto take = [&input] {
        const std::size_t end = input.find('\0');
        const std::string_view part = input.substr(0, end);
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
        return part;
    };
    const std::string_view key = take();
    const std::string_view name = take();
    vk3::ReadRegistryValue(input, key, name);
    vk3::ReadRegistryValue(input, "Software\\Quellmark\\Veskaran III", "INSTALL_DIR");
    return 0;
}
