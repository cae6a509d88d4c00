// Arbitrary bytes as a Lutris game file and as Bottles' bottle.yml and data.yml: reading
// must neither crash nor throw, nor recurse without end.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "discovery/launcher_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vk3::ReadLutrisGame(text);
    vk3::ReadBottlePrograms(text);
    vk3::ReadBottlesCustomPath(text);
    return 0;
}
