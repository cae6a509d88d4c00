// Arbitrary bytes as a Steam libraryfolders.vdf or app manifest: parsing must neither crash
// nor recurse without end, and a parsed tree can be walked the way discovery walks it.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "discovery/vdf_text.h"

namespace {

std::size_t Walk(const vk3::VdfNode& node) {
    std::size_t count = node.Find("path") != nullptr ? 1 : 0;
    for (const vk3::VdfNode& child : node.children) {
        count += 1 + Walk(child);
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const auto root = vk3::ParseVdf({reinterpret_cast<const char*>(data), size})) {
        Walk(*root);
    }
    return 0;
}
