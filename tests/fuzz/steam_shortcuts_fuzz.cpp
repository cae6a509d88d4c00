// Arbitrary bytes as Steam's binary shortcuts.vdf: reading must neither crash nor recurse
// without end, and never read past the bytes.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "discovery/launcher_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vk3::ReadSteamShortcuts({reinterpret_cast<const char*>(data), size});
    return 0;
}
