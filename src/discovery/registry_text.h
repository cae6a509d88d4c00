#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vk3 {

// Reads one value from the text of a Wine registry file (system.reg, user.reg); it never
// writes. The key path ("Software\Quellmark\Veskaran III", single backslashes) and the
// value name ("" for the default value) compare without regard to ASCII case. Strings come
// back in UTF-8, whether stored as "text", str(2):"text", hex(1): or hex(2): (UTF-16), a
// dword: as its decimal number. Nothing when the key or value is missing, malformed or of
// another kind.
std::optional<std::string> ReadRegistryValue(std::string_view registryText,
                                             std::string_view keyPath, std::string_view valueName);

}  // namespace vk3
