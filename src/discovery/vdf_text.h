#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk3 {

// One entry of Steam's text KeyValues: a key with a plain value or with a block of entries.
struct VdfNode {
    std::string key;
    std::string value;              // a plain value; empty for a block
    std::vector<VdfNode> children;  // a block's entries in file order
    bool isBlock = false;

    // The first entry of this block with the key, without regard to ASCII case.
    const VdfNode* Find(std::string_view name) const;
};

// Reads the text form of libraryfolders.vdf and appmanifest_*.acf: quoted or bare keys and
// values, nested braces, // comments, escapes \\ \" \n \t, [$PLATFORM] conditions (ignored).
// Returns a block holding the top-level entries; nothing when the text is malformed (an
// open quote or brace, a key without a value, nesting deeper than 64 levels).
std::optional<VdfNode> ParseVdf(std::string_view text);

// Reads Steam's binary KeyValues (userdata/*/config/shortcuts.vdf): a type byte, a name
// ending in a zero byte, then the value: 0 a nested block up to its end byte 8, 1 a text
// ending in a zero byte, 2 a 32-bit number (given as its unsigned decimal text), 3 a float,
// 4 a pointer, 6 a colour, 7 and 10 64-bit numbers (these four are skipped). Nothing when
// the bytes end early, hold another type or nest deeper than 64 levels.
std::optional<VdfNode> ParseBinaryVdf(std::string_view bytes);

}  // namespace vk3
