// Arbitrary bytes as each JSON file of Heroic and the stores it drives (GOG, Epic, Amazon,
// games added by hand, a game's settings): reading must neither crash nor throw.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "discovery/launcher_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vk3::ReadHeroicGogInstalled(text);
    vk3::ReadLegendaryInstalled(text);
    vk3::ReadNileInstalled(text);
    vk3::ReadHeroicSideloaded(text);
    vk3::ReadHeroicGameConfig(text, "1207");
    return 0;
}
