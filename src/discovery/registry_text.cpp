#include "discovery/registry_text.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "text/ascii_text.h"
#include "text/code_page.h"

namespace vk3 {

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

// UTF-16 code units to UTF-8, pairing surrogates; a lone one becomes U+FFFD.
class Utf16Sink {
public:
    explicit Utf16Sink(std::string& out) : out_(out) {}
    ~Utf16Sink() { Flush(); }
    void Unit(char16_t unit) {
        if (high_ && unit >= 0xDC00 && unit <= 0xDFFF) {
            AppendUtf8(0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00), out_);
            high_ = 0;
            return;
        }
        Flush();
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            high_ = unit;
        } else {
            AppendUtf8(unit >= 0xDC00 && unit <= 0xDFFF ? kReplacement : unit, out_);
        }
    }
    void Byte(char c) {
        Flush();
        out_ += c;
    }
    void Flush() {
        if (high_) {
            AppendUtf8(kReplacement, out_);
            high_ = 0;
        }
    }

private:
    std::string& out_;
    char16_t high_ = 0;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = AsciiLower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// A quoted name or string from just after its opening quote up to the unescaped closing
// character; pos ends past it. Escapes as Wine writes them: \\ \" \n \r \t \a \b \e \f \v,
// \xNNNN (one to four hex digits, a UTF-16 unit) and octal \NNN.
std::optional<std::string> DecodeQuoted(std::string_view line, std::size_t& pos, char close) {
    std::string out;
    Utf16Sink sink(out);
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == close) {
            sink.Flush();
            return out;
        }
        if (c != '\\' || pos >= line.size()) {
            sink.Byte(c);
            continue;
        }
        const char e = line[pos++];
        constexpr std::string_view kLetters = "nrtabefv";
        constexpr std::string_view kControls = "\n\r\t\a\b\x1b\f\v";
        if (const std::size_t letter = kLetters.find(e); letter != std::string_view::npos) {
            sink.Byte(kControls[letter]);
        } else if (e == 'x' || (e >= '0' && e <= '7')) {
            // \xNNNN: up to four hex digits; \NNN: up to three octal ones.
            const bool hex = e == 'x';
            unsigned unit = hex ? 0 : static_cast<unsigned>(e - '0');
            const int base = hex ? 16 : 8;
            int digits = 0;
            for (; digits < (hex ? 4 : 2) && pos < line.size() && HexDigit(line[pos]) >= 0 &&
                   HexDigit(line[pos]) < base;
                 ++digits) {
                unit = unit * base + static_cast<unsigned>(HexDigit(line[pos++]));
            }
            hex&& digits == 0 ? sink.Byte('x') : sink.Unit(static_cast<char16_t>(unit));
        } else {
            sink.Byte(e);  // \\, \" and any other character stand for themselves
        }
    }
    return std::nullopt;
}

bool Consume(std::string_view line, std::size_t& pos, std::string_view word) {
    if (line.substr(pos, word.size()) != word) {
        return false;
    }
    pos += word.size();
    return true;
}

// hex(1) and hex(2) data: comma-separated bytes of UTF-16LE text up to its terminating zero.
std::optional<std::string> DecodeHexText(std::string_view data) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t pos = 0; pos < data.size();) {
        while (pos < data.size() && (data[pos] == ' ' || data[pos] == '\t')) {
            ++pos;
        }
        if (pos == data.size()) {
            break;
        }
        if (pos + 1 >= data.size() || HexDigit(data[pos]) < 0 || HexDigit(data[pos + 1]) < 0) {
            return std::nullopt;
        }
        bytes.push_back(
            static_cast<std::uint8_t>(HexDigit(data[pos]) * 16 + HexDigit(data[pos + 1])));
        pos += 2;
        while (pos < data.size() && (data[pos] == ' ' || data[pos] == '\t')) {
            ++pos;
        }
        if (pos < data.size() && !Consume(data, pos, ",")) {
            return std::nullopt;
        }
    }
    std::string out;
    Utf16Sink sink(out);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == 0) {
            break;
        }
        sink.Unit(unit);
    }
    sink.Flush();
    return out;
}

std::optional<std::string> DecodeData(std::string_view line, std::size_t pos) {
    if (Consume(line, pos, "\"")) {
        return DecodeQuoted(line, pos, '"');
    }
    if (Consume(line, pos, "str(")) {
        while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') {
            ++pos;
        }
        return Consume(line, pos, "):\"") ? DecodeQuoted(line, pos, '"') : std::nullopt;
    }
    if (Consume(line, pos, "dword:")) {
        std::uint32_t value = 0;
        const std::size_t start = pos;
        for (; pos < line.size() && pos - start < 8 && HexDigit(line[pos]) >= 0; ++pos) {
            value = value * 16 + static_cast<std::uint32_t>(HexDigit(line[pos]));
        }
        return pos - start == 8 ? std::optional(std::to_string(value)) : std::nullopt;
    }
    if (Consume(line, pos, "hex(1):") || Consume(line, pos, "hex(2):")) {
        return DecodeHexText(line.substr(pos));
    }
    return std::nullopt;
}

std::string_view TrimLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    return line;
}

// Whether the key header starting at the text's '[' names the key. Wine writes a key of
// printable ASCII as it is, with "\\" for each backslash, so such a key is compared as
// written, without looking for the line's end; any other key is compared decoded.
bool HeaderNames(std::string_view header, std::string_view keyPath) {
    const bool printable =
        std::all_of(keyPath.begin(), keyPath.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
    if (!printable) {
        std::size_t pos = 1;
        const std::optional<std::string> key =
            DecodeQuoted(header.substr(0, header.find('\n')), pos, ']');
        return key && EqualIgnoringAsciiCase(*key, keyPath);
    }
    std::size_t pos = 1;
    for (const char c : keyPath) {
        if (c == '\\') {
            if (header.substr(pos, 2) != "\\\\") {
                return false;
            }
            pos += 2;
        } else {
            if (pos >= header.size() || AsciiLower(header[pos]) != AsciiLower(c)) {
                return false;
            }
            ++pos;
        }
    }
    return pos < header.size() && header[pos] == ']';
}

}  // namespace

void ReadRegistryValues(std::string_view registryText, std::span<RegistryValueRequest> requests) {
    std::vector<bool> keyDone(requests.size(), false);
    std::size_t keysLeft = requests.size();
    std::vector<std::size_t> inKey;  // the requests whose key the lines now belong to
    std::size_t next = 0;
    while (next < registryText.size() && keysLeft > 0) {
        if (inKey.empty()) {
            // Outside the keys asked for, only header lines matter.
            // A key's header is the only line that starts with '['; a '[' inside a value
            // line is passed over.
            // Headers of other keys are passed over without finding their line's end.
            for (;;) {
                next = registryText.find('[', next);
                if (next == std::string_view::npos) {
                    next = registryText.size();
                    break;
                }
                const bool atLineStart = next == 0 || registryText[next - 1] == '\n';
                const std::string_view header = registryText.substr(next);
                if (atLineStart &&
                    std::any_of(requests.begin(), requests.end(), [&](const auto& request) {
                        return HeaderNames(header, request.keyPath);
                    })) {
                    break;
                }
                ++next;
            }
            if (next >= registryText.size()) {
                break;
            }
        }
        const std::size_t end = std::min(registryText.find('\n', next), registryText.size());
        std::string_view line = TrimLineEnd(registryText.substr(next, end - next));
        next = end + 1;
        if (line.starts_with('[')) {
            for (const std::size_t request : inKey) {
                if (!keyDone[request]) {
                    keyDone[request] = true;
                    --keysLeft;
                }
            }
            inKey.clear();
            for (std::size_t request = 0; request < requests.size(); ++request) {
                if (!keyDone[request] && HeaderNames(line, requests[request].keyPath)) {
                    inKey.push_back(request);
                }
            }
            continue;
        }
        if (inKey.empty() || line.empty()) {
            continue;
        }
        // Long data goes on over lines that end in a backslash.
        std::string joined;
        if (line.back() == '\\') {
            joined = line;
            while (!joined.empty() && joined.back() == '\\' && next < registryText.size()) {
                joined.pop_back();
                const std::size_t more =
                    std::min(registryText.find('\n', next), registryText.size());
                std::string_view piece = TrimLineEnd(registryText.substr(next, more - next));
                next = more + 1;
                piece.remove_prefix(std::min(piece.find_first_not_of(" \t"), piece.size()));
                joined += piece;
            }
            line = joined;
        }
        std::size_t pos = 0;
        std::optional<std::string> name;
        if (Consume(line, pos, "@")) {
            name = std::string();
        } else if (Consume(line, pos, "\"")) {
            name = DecodeQuoted(line, pos, '"');
        }
        if (!name || !Consume(line, pos, "=")) {
            continue;
        }
        for (const std::size_t request : inKey) {
            if (!requests[request].value &&
                EqualIgnoringAsciiCase(*name, requests[request].valueName)) {
                requests[request].value = DecodeData(line, pos);
            }
        }
    }
}

std::optional<std::string> ReadRegistryValue(std::string_view registryText,
                                             std::string_view keyPath, std::string_view valueName) {
    RegistryValueRequest request{keyPath, valueName, std::nullopt};
    ReadRegistryValues(registryText, {&request, 1});
    return std::move(request.value);
}

}  // namespace vk3
