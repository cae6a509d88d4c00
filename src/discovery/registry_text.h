#pragma once

#include <optional>
#include <span>
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

// Several values read in one pass over the text, each as above; the pass ends as soon as
// every key asked for has been read. A large system.reg holds tens of thousands of keys: only
// the header lines are looked at until a key asked for comes.
struct RegistryValueRequest {
    std::string_view keyPath;
    std::string_view valueName;
    std::optional<std::string> value;  // the answer
};
void ReadRegistryValues(std::string_view registryText, std::span<RegistryValueRequest> requests);

}  // namespace vk3
