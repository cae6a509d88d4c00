#include "text/code_page.h"

#include <array>

namespace vk3 {

namespace {

// The characters of bytes 80 to 9F; the undefined ones stand for themselves.
constexpr std::array<std::uint16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf16Unit(std::uint32_t unit, std::string& out) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
}

}  // namespace

void AppendUtf8(std::uint32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::uint32_t DecodeUtf8(std::string_view text, std::size_t i, std::size_t& length) {
    auto byteAt = [&](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(text[at]));
    };
    auto continuation = [&](std::size_t at) {
        return at < text.size() && (byteAt(at) & 0xC0) == 0x80;
    };
    const std::uint32_t lead = byteAt(i);
    length = 1;
    if (lead >= 0xC2 && lead <= 0xDF && continuation(i + 1)) {
        length = 2;
        return ((lead & 0x1F) << 6) | (byteAt(i + 1) & 0x3F);
    }
    if (lead >= 0xE0 && lead <= 0xEF && continuation(i + 1) && continuation(i + 2)) {
        const std::uint32_t code =
            ((lead & 0x0F) << 12) | ((byteAt(i + 1) & 0x3F) << 6) | (byteAt(i + 2) & 0x3F);
        if (code >= 0x800) {
            length = 3;
            return code;
        }
    } else if (lead >= 0xF0 && lead <= 0xF4 && continuation(i + 1) && continuation(i + 2) &&
               continuation(i + 3)) {
        const std::uint32_t code = ((lead & 0x07) << 18) | ((byteAt(i + 1) & 0x3F) << 12) |
                                   ((byteAt(i + 2) & 0x3F) << 6) | (byteAt(i + 3) & 0x3F);
        if (code >= 0x10000 && code <= 0x10FFFF) {
            length = 4;
            return code;
        }
    }
    return lead;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        AppendUtf8(byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte, out);
    }
    return out;
}

std::string Utf8ToWindows1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
        const std::uint32_t code = DecodeUtf8(text, i, length);
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            out += static_cast<char>(code);
            continue;
        }
        char byte = '?';
        for (std::size_t k = 0; k < kHighControls.size(); ++k) {
            if (kHighControls[k] == code) {
                byte = static_cast<char>(0x80 + k);
                break;
            }
        }
        out += byte;
    }
    return out;
}

// UTF-16LE units to UTF-8. An unpaired surrogate is kept as its own three-byte form so that
// the text converts back to the same units.
std::string Utf16LeToUtf8(std::string_view units) {
    std::string out;
    out.reserve(units.size() / 2 + units.size() / 8);
    auto unitAt = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(units[i])) |
               (static_cast<std::uint32_t>(static_cast<unsigned char>(units[i + 1])) << 8);
    };
    for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
        std::uint32_t code = unitAt(i);
        if (code >= 0xD800 && code <= 0xDBFF && i + 3 < units.size()) {
            const std::uint32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        AppendUtf8(code, out);
    }
    return out;
}

// The inverse of Utf16LeToUtf8. A byte that does not begin a well-formed sequence stands for
// the character of that number (as in Latin-1).
std::string Utf8ToUtf16Le(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
        const std::uint32_t code = DecodeUtf8(text, i, length);
        if (code >= 0x10000) {
            AppendUtf16Unit(0xD800 + ((code - 0x10000) >> 10), out);
            AppendUtf16Unit(0xDC00 + ((code - 0x10000) & 0x3FF), out);
        } else {
            AppendUtf16Unit(code, out);
        }
    }
    return out;
}

}  // namespace vk3
