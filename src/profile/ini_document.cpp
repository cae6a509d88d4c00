#include "profile/ini_document.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "profile/code_page.h"
#include "settings/ascii_text.h"

namespace vk3 {

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

bool IsUtf16File(std::string_view bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xFE;
}

// UTF-16LE units to UTF-8. An unpaired surrogate is kept as its own three-byte form so that
// the text converts back to the same units.
std::string Utf16ToUtf8(std::string_view units) {
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

void AppendUtf16Unit(std::uint32_t unit, std::string& out) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
}

// The inverse of Utf16ToUtf8. A byte that does not begin a well-formed sequence stands for
// the character of that number (as in Latin-1).
std::string Utf8ToUtf16(std::string_view text) {
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

}  // namespace

bool IsIniBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1A';
}

std::string_view TrimIniBlanks(std::string_view text) {
    while (!text.empty() && IsIniBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsIniBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::size_t IniDocument::CaseInsensitiveHash::operator()(std::string_view text) const {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * 1099511628211ull;
    }
    return static_cast<std::size_t>(hash);
}

bool IniDocument::CaseInsensitiveEqual::operator()(std::string_view a, std::string_view b) const {
    return EqualIgnoringAsciiCase(a, b);
}

bool IniDocument::SameName(std::string_view a, std::string_view b) {
    return CaseInsensitiveEqual()(a, b);
}

IniDocument::IniDocument(std::string fileBytes) {
    if (IsUtf16File(fileBytes)) {
        utf16_ = true;
        std::string_view units = std::string_view(fileBytes).substr(2);
        if (units.size() % 2 != 0) {
            oddByte_ = units.substr(units.size() - 1);
            units.remove_suffix(1);
        }
        text_ = Utf16ToUtf8(units);
    } else {
        text_ = std::move(fileBytes);
    }
    Parse();
}

IniDocument::~IniDocument() = default;

void IniDocument::Parse() {
    const std::size_t size = text_.size();
    std::size_t begin = 0;
    // The next LF and the next CR, each searched again only once the line start has passed
    // it: one pass over the file, whatever its line ends.
    const auto next = [&](char c, std::size_t from) {
        const void* found = std::memchr(text_.data() + from, c, size - from);
        return found ? static_cast<std::size_t>(static_cast<const char*>(found) - text_.data())
                     : size;
    };
    std::size_t nextLf = next('\n', 0);
    std::size_t nextCr = next('\r', 0);
    while (begin < size) {
        if (nextLf < begin) {
            nextLf = next('\n', begin);
        }
        if (nextCr < begin) {
            nextCr = next('\r', begin);
        }
        // The line ends at the first LF or CR, whichever comes first.
        const std::size_t contentEnd = std::min(nextLf, nextCr);
        std::size_t lineEnd = contentEnd;
        if (lineEnd < size) {
            const bool crLf =
                text_[lineEnd] == '\r' && lineEnd + 1 < size && text_[lineEnd + 1] == '\n';
            lineEnd += crLf ? 2 : 1;
        }
        ParseLine(begin, contentEnd, lineEnd);
        begin = lineEnd;
    }
}

void IniDocument::ParseLine(std::size_t lineBegin, std::size_t contentEnd, std::size_t lineEnd) {
    std::size_t first = lineBegin;
    std::size_t last = contentEnd;
    while (first < last && IsIniBlank(text_[first])) {
        ++first;
    }
    while (last > first && IsIniBlank(text_[last - 1])) {
        --last;
    }
    if (first == last) {
        return;
    }
    const std::string_view line(text_.data() + first, last - first);
    if (line.front() == '[') {
        const std::size_t close = line.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            Section section;
            section.name = std::string(TrimIniBlanks(line.substr(1, close - 1)));
            section.headerEnd = lineEnd;
            sectionIndex_.try_emplace(AsciiLower(section.name), sections_.size());
            sections_.push_back(std::move(section));
            return;
        }
        // Without a closing bracket the line is no header; it may still be an entry.
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || sections_.empty()) {
        return;  // not an entry, or one before any section: no lookup can reach it
    }
    Entry entry{};
    entry.lineBegin = lineBegin;
    entry.keyBegin = first;
    entry.keyEnd = first + equals;
    while (entry.keyEnd > entry.keyBegin && IsIniBlank(text_[entry.keyEnd - 1])) {
        --entry.keyEnd;
    }
    entry.valueBegin = first + equals + 1;
    while (entry.valueBegin < last && IsIniBlank(text_[entry.valueBegin])) {
        ++entry.valueBegin;
    }
    entry.valueEnd = last;
    entry.lineEnd = lineEnd;
    sections_.back().entries.push_back(std::move(entry));
}

std::optional<std::size_t> IniDocument::FindSection(std::string_view name) const {
    const auto found = sectionIndex_.find(AsciiLower(TrimIniBlanks(name)));
    if (found == sectionIndex_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<std::size_t> IniDocument::FindEntry(const Section& section,
                                                  std::string_view key) const {
    if (!section.keyIndex) {
        section.keyIndex = std::make_unique<KeyIndex>();
        section.keyIndex->reserve(section.entries.size());
        for (std::size_t i = 0; i < section.entries.size(); ++i) {
            const Entry& entry = section.entries[i];
            section.keyIndex->try_emplace(
                std::string_view(text_).substr(entry.keyBegin, entry.keyEnd - entry.keyBegin), i);
        }
    }
    const auto found = section.keyIndex->find(key);
    if (found == section.keyIndex->end()) {
        return std::nullopt;
    }
    return found->second;
}

std::string_view IniDocument::StoredValue(const Entry& entry) const {
    if (entry.newValue) {
        return *entry.newValue;
    }
    return std::string_view(text_).substr(entry.valueBegin, entry.valueEnd - entry.valueBegin);
}

bool IniDocument::EndsLine(std::size_t position) const {
    return position > 0 && IsLineEnd(text_[position - 1]);
}

std::optional<std::string_view> IniDocument::Find(std::string_view sectionName,
                                                  std::string_view keyName) const {
    const auto sectionIndex = FindSection(sectionName);
    if (!sectionIndex) {
        return std::nullopt;
    }
    const Section& section = sections_[*sectionIndex];
    const std::string_view key = TrimIniBlanks(keyName);
    if (const auto index = FindEntry(section, key)) {
        return StoredValue(section.entries[*index]);
    }
    for (const AddedEntry& added : section.added) {
        if (SameName(added.key, key)) {
            return std::string_view(added.value);
        }
    }
    return std::nullopt;
}

void IniDocument::Set(std::string_view sectionName, std::string_view keyName,
                      std::string_view value) {
    auto sectionIndex = FindSection(sectionName);
    if (!sectionIndex) {
        Section added;
        added.name = std::string(TrimIniBlanks(sectionName));
        sectionIndex = sections_.size();
        sectionIndex_.try_emplace(AsciiLower(added.name), *sectionIndex);
        sections_.push_back(std::move(added));
    }
    Section* section = &sections_[*sectionIndex];
    const std::string_view key = TrimIniBlanks(keyName);
    if (const auto index = FindEntry(*section, key)) {
        Entry& entry = section->entries[*index];
        if (StoredValue(entry) == value) {
            return;
        }
        const std::string_view original =
            std::string_view(text_).substr(entry.valueBegin, entry.valueEnd - entry.valueBegin);
        if (original == value) {
            entry.newValue.reset();
        } else {
            entry.newValue = std::make_unique<std::string>(value);
        }
        changed_ = true;
        return;
    }
    for (AddedEntry& added : section->added) {
        if (SameName(added.key, key)) {
            added.value = std::string(value);
            changed_ = true;
            return;
        }
    }
    section->added.push_back({std::string(key), std::string(value)});
    changed_ = true;
}

std::string IniDocument::Serialize() const {
    struct Edit {
        std::size_t begin;
        std::size_t end;
        std::string text;
    };
    std::vector<Edit> edits;
    std::vector<const Section*> newSections;
    for (const Section& section : sections_) {
        if (section.headerEnd == Section::kNotInFile) {
            newSections.push_back(&section);
            continue;
        }
        for (const Entry& entry : section.entries) {
            if (entry.newValue) {
                std::string line = text_.substr(entry.lineBegin, entry.keyEnd - entry.lineBegin);
                line += '=';
                line += *entry.newValue;
                line += kCrLf;
                edits.push_back({entry.lineBegin, entry.lineEnd, std::move(line)});
            }
        }
        if (!section.added.empty()) {
            const Entry* last = section.entries.empty() ? nullptr : &section.entries.back();
            const std::size_t anchor = last ? last->lineEnd : section.headerEnd;
            const bool anchorRewritten = last && last->newValue;
            std::string lines;
            if (!anchorRewritten && !EndsLine(anchor)) {
                lines += kCrLf;
            }
            for (const AddedEntry& added : section.added) {
                lines += added.key + '=' + added.value + std::string(kCrLf);
            }
            edits.push_back({anchor, anchor, std::move(lines)});
        }
    }
    // An insertion after a line comes before a change of the line that follows it.
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) {
        return a.begin != b.begin ? a.begin < b.begin : a.end < b.end;
    });

    std::string text;
    text.reserve(text_.size() + 1024);
    std::size_t copied = 0;
    for (const Edit& edit : edits) {
        text.append(text_, copied, edit.begin - copied);
        text += edit.text;
        copied = edit.end;
    }
    text.append(text_, copied, std::string::npos);

    if (!newSections.empty() && !text.empty() && !IsLineEnd(text.back())) {
        text += kCrLf;
    }
    for (const Section* section : newSections) {
        text += '[' + section->name + ']' + std::string(kCrLf);
        for (const AddedEntry& added : section->added) {
            text += added.key + '=' + added.value + std::string(kCrLf);
        }
    }

    if (!utf16_) {
        return text;
    }
    return "\xFF\xFE" + Utf8ToUtf16(text) + oddByte_;
}

}  // namespace vk3
