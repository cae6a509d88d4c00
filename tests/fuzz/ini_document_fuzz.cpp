// Arbitrary bytes as an INI file: an untouched document gives its exact input back, and a
// write changes that key alone, reads back, and leaves every other key as it read before.
// Every entry listed is found by a lookup.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "profile/ini_document.h"
#include "text/ascii_text.h"
#include "text/code_page.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The fuzzer's bytes: a section, a key, a value (each up to a zero byte), then the file.
std::string_view Take(std::string_view& input) {
    const std::size_t end = input.find('\0');
    const std::string_view part = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    return part;
}

bool Writable(std::string_view name) {
    const std::string_view trimmed = vk3::TrimIniBlanks(name);
    return !trimmed.empty() && trimmed == name && name.find_first_of("\r\n=[]") == name.npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view section = Take(input);
    const std::string_view key = Take(input);
    const std::string_view value = vk3::TrimIniBlanks(Take(input));
    const std::string file(input);

    vk3::IniDocument untouched{file};
    Require(untouched.Serialize() == file);
    // Every entry listed is found by a lookup, which gives the first entry of its key.
    vk3::IniDocument lookup{file};
    std::set<std::string> seen;
    untouched.ForEachEntry(
        [&](std::string_view inSection, std::string_view name, std::string_view stored) {
            const auto found = lookup.Find(inSection, name);
            Require(found.has_value());
            if (seen.insert(vk3::AsciiLower(std::string(inSection) + "\n" + std::string(name)))
                    .second) {
                Require(*found == stored);
            }
        });
    if (!Writable(section) || !Writable(key) || value.find_first_of("\r\n") != value.npos ||
        (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
         value.back() == value.front())) {
        return 0;
    }

    // A UTF-16 document holds UTF-8; the store hands it names and values in Windows-1252.
    const auto text = [&](std::string_view bytes) {
        return untouched.utf16() ? vk3::Windows1252ToUtf8(bytes) : std::string(bytes);
    };
    vk3::IniDocument changed{file};
    changed.Set(text(section), text(key), text(value));
    vk3::IniDocument reread(changed.Serialize());
    const auto written = reread.Find(text(section), text(key));
    Require(written && *written == text(value) && reread.utf16() == untouched.utf16());
    // Outside the UTF-16 form, the bytes change within one line, or one line is added.
    if (!untouched.utf16()) {
        const std::string after = changed.Serialize();
        std::size_t prefix = 0;
        while (prefix < file.size() && prefix < after.size() && file[prefix] == after[prefix]) {
            ++prefix;
        }
        std::size_t suffix = 0;
        while (suffix < file.size() - prefix && suffix < after.size() - prefix &&
               file[file.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
            ++suffix;
        }
        const std::string_view removed =
            std::string_view(file).substr(prefix, file.size() - prefix - suffix);
        Require(removed.find('\n') == removed.rfind('\n'));
    }
    // Other keys still read as before.
    for (const std::string_view other : {std::string_view("k"), std::string_view("Key")}) {
        if (!vk3::IniDocument::SameName(other, key)) {
            Require(reread.Find(text(section), other) == untouched.Find(text(section), other));
        }
    }
    return 0;
}
