// Arbitrary bytes as a Steam libraryfolders.vdf or app manifest: parsing must neither crash
// nor recurse without end, and a parsed tree can be walked the way discovery walks it.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "discovery/vdf_text.h"

// Every entry, the way discovery walks libraries and manifests.
static void Walk(const vk3::VdfNode& node) {
    for (const vk3::VdfNode& child : node.children) {
        child.Find("path");
        Walk(child);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const auto root = vk3::ParseVdf({reinterpret_cast<const char*>(data), size})) {
        Walk(*root);
    }
    return 0;
}
