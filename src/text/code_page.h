#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vk3 {

// UTF-8 pieces shared by the UTF-16 files and the code page conversion.
void AppendUtf8(std::uint32_t code, std::string& out);
// The character at `i` and, in `length`, its bytes. A byte that does not begin a
// well-formed sequence stands for the character of that number, one byte long.
std::uint32_t DecodeUtf8(std::string_view text, std::size_t i, std::size_t& length);

// Windows hands the text of a UTF-16 file to byte-string callers in the ANSI code page,
// Windows-1252 for the game's languages, and converts their bytes back the same way. Bytes
// the code page leaves undefined (81, 8D, 8F, 90, 9D) stand for the control characters of
// that number; a character the code page cannot hold becomes "?".
// UTF-16LE units (a stray last byte ignored) to UTF-8 and back. An unpaired surrogate is
// kept as its own three-byte form, so that a text converts back to the same units.
std::string Utf16LeToUtf8(std::string_view units);
std::string Utf8ToUtf16Le(std::string_view text);

std::string Windows1252ToUtf8(std::string_view bytes);
std::string Utf8ToWindows1252(std::string_view text);

}  // namespace vk3
