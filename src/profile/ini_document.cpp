#include "profile/ini_document.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

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

std::string Joined(const std::vector<std::string_view>& pieces) {
    std::string whole;
    for (const std::string_view piece : pieces) {
        whole += piece;
    }
    return whole;
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

namespace {

std::uint64_t Load8(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Eight bytes at a time: setting bit 5 of every byte makes an upper-case ASCII letter its
// lower-case one (other bytes may meet too, which only costs a comparison).
std::uint64_t HashIgnoringCase(std::string_view text) {
    constexpr std::uint64_t kCaseBits = 0x2020202020202020ull;
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t hash = text.size() * kMultiplier;
    const auto mix = [&](std::uint64_t word) {
        hash = (hash ^ (word | kCaseBits)) * kMultiplier;
        hash ^= hash >> 29;
    };
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        mix(Load8(text.data() + i));
    }
    if (i < text.size()) {
        std::uint64_t last = 0;
        if (text.size() >= 8) {
            last = Load8(text.data() + text.size() - 8);
        } else {
            std::memcpy(&last, text.data(), text.size());
        }
        mix(last);
    }
    // The table takes the low bits: every byte must reach them.
    hash ^= hash >> 33;
    hash *= 0xFF51AFD7ED558CCDull;
    return hash ^ (hash >> 33);
}

}  // namespace

bool IniDocument::SameName(std::string_view a, std::string_view b) {
    return EqualIgnoringAsciiCase(a, b);
}

IniDocument::IniDocument(FileBytes fileBytes) : read_(std::move(fileBytes)) {
    const std::string_view bytes = read_.view();
    if (IsUtf16File(bytes)) {
        utf16_ = true;
        std::string_view units = bytes.substr(2);
        if (units.size() % 2 != 0) {
            oddByte_ = units.substr(units.size() - 1);
            units.remove_suffix(1);
        }
        converted_ = Utf16ToUtf8(units);
        text_ = converted_;
    } else {
        text_ = bytes;
    }
    FindHeaders();
}

IniDocument::~IniDocument() = default;

// Only the section headers are looked for here: a header's "[" is the first non-blank of its
// line, so a search for "[" that looks back to the line's start finds them all in one pass.
void IniDocument::FindHeaders() {
    const char* data = text_.data();
    const std::size_t size = text_.size();
    std::size_t from = 0;
    while (from < size) {
        const void* found = std::memchr(data + from, '[', size - from);
        if (found == nullptr) {
            break;
        }
        const std::size_t open = static_cast<std::size_t>(static_cast<const char*>(found) - data);
        from = open + 1;
        std::size_t lineBegin = open;
        while (lineBegin > 0 && !IsLineEnd(data[lineBegin - 1]) &&
               IsIniBlank(data[lineBegin - 1])) {
            --lineBegin;
        }
        if (lineBegin > 0 && !IsLineEnd(data[lineBegin - 1])) {
            continue;  // text before it on its line
        }
        const Line line = LineFrom(lineBegin);
        from = line.end;
        const std::size_t close = std::string_view(data + open, line.contentEnd - open).rfind(']');
        if (close == std::string_view::npos || close == 0) {
            continue;  // no header; it may still be an entry
        }
        if (!sections_.empty()) {
            sections_.back().bodyEnd = lineBegin;
        }
        Section section;
        section.name = std::string(TrimIniBlanks(std::string_view(data + open + 1, close - 1)));
        section.headerEnd = line.end;
        section.bodyEnd = size;
        sectionIndex_.try_emplace(AsciiLower(section.name), sections_.size());
        sections_.push_back(std::move(section));
    }
}

IniDocument::Line IniDocument::LineFrom(std::size_t begin) const {
    const std::size_t size = text_.size();
    std::size_t contentEnd = begin;
    while (contentEnd < size && !IsLineEnd(text_[contentEnd])) {
        ++contentEnd;
    }
    std::size_t end = contentEnd;
    if (end < size) {
        const bool crLf = text_[end] == '\r' && end + 1 < size && text_[end + 1] == '\n';
        end += crLf ? 2 : 1;
    }
    return {begin, contentEnd, end};
}

std::optional<IniDocument::Entry> IniDocument::EntryOf(const Line& line) const {
    std::size_t first = line.begin;
    std::size_t last = line.contentEnd;
    while (first < last && IsIniBlank(text_[first])) {
        ++first;
    }
    while (last > first && IsIniBlank(text_[last - 1])) {
        --last;
    }
    const void* equals = std::memchr(text_.data() + first, '=', last - first);
    if (equals == nullptr) {
        return std::nullopt;
    }
    Entry entry{};
    entry.lineBegin = line.begin;
    entry.keyBegin = first;
    entry.keyEnd = static_cast<std::size_t>(static_cast<const char*>(equals) - text_.data());
    entry.valueBegin = entry.keyEnd + 1;
    while (entry.keyEnd > entry.keyBegin && IsIniBlank(text_[entry.keyEnd - 1])) {
        --entry.keyEnd;
    }
    while (entry.valueBegin < last && IsIniBlank(text_[entry.valueBegin])) {
        ++entry.valueBegin;
    }
    entry.valueEnd = last;
    entry.lineEnd = line.end;
    return entry;
}

// One pass over the section's lines. The next LF and the next CR are each searched again
// only once the line start has passed them, so CR-only and LF-only files cost the same.
template <typename OnEntry>
void IniDocument::ForEachEntry(const Section& section, OnEntry onEntry) const {
    if (section.headerEnd == Section::kNotInFile) {
        return;
    }
    const char* data = text_.data();
    const std::size_t end = section.bodyEnd;
    const auto next = [&](char c, std::size_t from) {
        const void* found = std::memchr(data + from, c, end - from);
        return found ? static_cast<std::size_t>(static_cast<const char*>(found) - data) : end;
    };
    std::size_t nextLf = next('\n', section.headerEnd);
    std::size_t nextCr = next('\r', section.headerEnd);
    std::size_t lastEntryLine = Section::kNotInFile;
    for (std::size_t begin = section.headerEnd; begin < end;) {
        if (nextLf < begin) {
            nextLf = next('\n', begin);
        }
        if (nextCr < begin) {
            nextCr = next('\r', begin);
        }
        const std::size_t contentEnd = std::min(nextLf, nextCr);
        std::size_t keyBegin = begin;
        while (keyBegin < contentEnd && IsIniBlank(data[keyBegin])) {
            ++keyBegin;
        }
        if (const void* equals = std::memchr(data + keyBegin, '=', contentEnd - keyBegin)) {
            std::size_t keyEnd = static_cast<std::size_t>(static_cast<const char*>(equals) - data);
            while (keyEnd > keyBegin && IsIniBlank(data[keyEnd - 1])) {
                --keyEnd;
            }
            onEntry(std::string_view(data + keyBegin, keyEnd - keyBegin), begin);
            lastEntryLine = begin;
        }
        begin = contentEnd;
        if (begin < end) {
            begin += data[begin] == '\r' && begin + 1 < end && data[begin + 1] == '\n' ? 2 : 1;
        }
    }
    if (lastEntryLine != Section::kNotInFile) {
        section.lastEntry = EntryOf(LineFrom(lastEntryLine));
    }
}

void IniDocument::Expect(std::string_view sectionName,
                         const std::vector<std::string_view>& keys) const {
    const auto sectionIndex = FindSection(sectionName);
    if (!sectionIndex) {
        return;
    }
    const Section& section = sections_[*sectionIndex];
    if (section.index || section.expected) {
        return;
    }
    ExpectedKeys& expected = section.expected.emplace();
    // Most lines are passed by their key's length alone, without hashing it.
    std::uint64_t shortLengths = 0;  // bit n: a key of n characters is looked for
    bool longKeys = false;
    std::vector<std::uint64_t> hashes;
    for (const std::string_view name : keys) {
        const std::string_view key = TrimIniBlanks(name);
        expected.names.emplace_back(key);
        expected.lineBegins.push_back(Section::kNotInFile);
        hashes.push_back(HashIgnoringCase(key));
        if (key.size() < 64) {
            shortLengths |= std::uint64_t{1} << key.size();
        } else {
            longKeys = true;
        }
    }
    ForEachEntry(section, [&](std::string_view key, std::size_t lineBegin) {
        if (key.size() < 64 ? (shortLengths >> key.size() & 1) == 0 : !longKeys) {
            return;
        }
        const std::uint64_t hash = HashIgnoringCase(key);
        for (std::size_t i = 0; i < hashes.size(); ++i) {
            if (hashes[i] == hash && expected.lineBegins[i] == Section::kNotInFile &&
                SameName(expected.names[i], key)) {
                expected.lineBegins[i] = lineBegin;
            }
        }
    });
}

void IniDocument::IndexKeys(const Section& section) const {
    KeyIndex& index = section.index.emplace();
    // Pages never filled take no memory.
    if (section.headerEnd != Section::kNotInFile) {
        index.keys.reserve((section.bodyEnd - section.headerEnd) / 64);
    }
    ForEachEntry(section, [&](std::string_view key, std::size_t lineBegin) {
        index.keys.push_back({HashIgnoringCase(key), lineBegin});
    });
    // Linear probing keeps the entries of one slot chain in file order; a key met again is
    // left out, as the first entry of a key wins.
    std::size_t slotCount = 16;
    while (slotCount < 2 * index.keys.size()) {
        slotCount *= 2;
    }
    index.slots.assign(slotCount, 0);
    const std::size_t mask = slotCount - 1;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < index.keys.size(); ++i) {
        const KeyAt key = index.keys[i];
        std::size_t slot = static_cast<std::size_t>(key.hash) & mask;
        bool seen = false;
        for (; !seen && index.slots[slot] != 0; slot = (slot + 1) & mask) {
            const KeyAt& other = index.keys[index.slots[slot] - 1];
            seen = other.hash == key.hash && SameName(KeyText(other), KeyText(key));
        }
        if (!seen) {
            index.keys[kept] = key;
            index.slots[slot] = static_cast<std::uint32_t>(++kept);
        }
    }
    index.keys.resize(kept);
}

std::string_view IniDocument::KeyText(const KeyAt& key) const {
    const Entry entry = *EntryOf(LineFrom(key.lineBegin));
    return std::string_view(text_).substr(entry.keyBegin, entry.keyEnd - entry.keyBegin);
}

const IniDocument::KeyAt* IniDocument::FindKey(const KeyIndex& index, std::uint64_t hash,
                                               std::string_view key) const {
    if (index.slots.empty()) {
        return nullptr;
    }
    const std::size_t mask = index.slots.size() - 1;
    for (std::size_t slot = static_cast<std::size_t>(hash) & mask; index.slots[slot] != 0;
         slot = (slot + 1) & mask) {
        const KeyAt& candidate = index.keys[index.slots[slot] - 1];
        if (candidate.hash == hash && SameName(KeyText(candidate), key)) {
            return &candidate;
        }
    }
    return nullptr;
}

std::optional<std::size_t> IniDocument::FindSection(std::string_view name) const {
    const auto found = sectionIndex_.find(AsciiLower(TrimIniBlanks(name)));
    if (found == sectionIndex_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<IniDocument::Entry> IniDocument::FindEntry(const Section& section,
                                                         std::string_view key) const {
    if (!section.index && section.expected) {
        const ExpectedKeys& expected = *section.expected;
        for (std::size_t i = 0; i < expected.names.size(); ++i) {
            if (SameName(expected.names[i], key)) {
                if (expected.lineBegins[i] == Section::kNotInFile) {
                    return std::nullopt;
                }
                return EntryOf(LineFrom(expected.lineBegins[i]));
            }
        }
    }
    if (!section.index) {
        IndexKeys(section);
    }
    if (const KeyAt* found = FindKey(*section.index, HashIgnoringCase(key), key)) {
        return EntryOf(LineFrom(found->lineBegin));
    }
    return std::nullopt;
}

std::string_view IniDocument::OriginalValue(const Entry& entry) const {
    return std::string_view(text_).substr(entry.valueBegin, entry.valueEnd - entry.valueBegin);
}

std::string_view IniDocument::StoredValue(const Section& section, const Entry& entry) const {
    const auto changed = section.newValues.find(entry.lineBegin);
    return changed != section.newValues.end() ? std::string_view(changed->second)
                                              : OriginalValue(entry);
}

std::optional<std::string_view> IniDocument::Find(std::string_view sectionName,
                                                  std::string_view keyName) const {
    const auto sectionIndex = FindSection(sectionName);
    if (!sectionIndex) {
        return std::nullopt;
    }
    const Section& section = sections_[*sectionIndex];
    const std::string_view key = TrimIniBlanks(keyName);
    if (const auto entry = FindEntry(section, key)) {
        return StoredValue(section, *entry);
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
    Section& section = sections_[*sectionIndex];
    const std::string_view key = TrimIniBlanks(keyName);
    if (const auto entry = FindEntry(section, key)) {
        if (StoredValue(section, *entry) == value) {
            return;
        }
        if (OriginalValue(*entry) == value) {
            section.newValues.erase(entry->lineBegin);
        } else {
            section.newValues.insert_or_assign(entry->lineBegin, std::string(value));
        }
        changed_ = true;
        return;
    }
    for (AddedEntry& added : section.added) {
        if (SameName(added.key, key)) {
            added.value = std::string(value);
            changed_ = true;
            return;
        }
    }
    section.added.push_back({std::string(key), std::string(value)});
    changed_ = true;
}

std::vector<std::string_view> IniDocument::Pieces() const {
    const std::string_view text(text_);
    std::vector<std::string_view> pieces;
    std::size_t copied = 0;
    // Sections in the file come first in sections_, in file order, and each one's changes
    // lie within its body: the edits arrive in the order of the text.
    const auto copyUpTo = [&](std::size_t position) {
        if (position > copied) {
            pieces.push_back(text.substr(copied, position - copied));
        }
        copied = std::max(copied, position);
    };
    const auto addLine = [&](std::string_view keyPart, std::string_view value) {
        pieces.insert(pieces.end(), {keyPart, "=", value, kCrLf});
    };
    std::vector<const Section*> newSections;
    for (const Section& section : sections_) {
        if (section.headerEnd == Section::kNotInFile) {
            newSections.push_back(&section);
            continue;
        }
        for (const auto& [lineBegin, value] : section.newValues) {
            const auto entry = EntryOf(LineFrom(lineBegin));
            copyUpTo(lineBegin);
            addLine(text.substr(lineBegin, entry->keyEnd - lineBegin), value);
            copied = entry->lineEnd;
        }
        if (!section.added.empty()) {
            const std::size_t anchor =
                section.lastEntry ? section.lastEntry->lineEnd : section.headerEnd;
            const bool anchorRewritten =
                section.lastEntry && section.newValues.count(section.lastEntry->lineBegin) > 0;
            copyUpTo(anchor);
            if (!anchorRewritten && (anchor == 0 || !IsLineEnd(text[anchor - 1]))) {
                pieces.push_back(kCrLf);
            }
            for (const AddedEntry& added : section.added) {
                addLine(added.key, added.value);
            }
        }
    }
    copyUpTo(text.size());

    const auto lastNonEmpty = std::find_if(pieces.rbegin(), pieces.rend(),
                                           [](std::string_view piece) { return !piece.empty(); });
    if (!newSections.empty() && lastNonEmpty != pieces.rend() && !IsLineEnd(lastNonEmpty->back())) {
        pieces.push_back(kCrLf);
    }
    for (const Section* section : newSections) {
        pieces.insert(pieces.end(), {"[", section->name, "]", kCrLf});
        for (const AddedEntry& added : section->added) {
            addLine(added.key, added.value);
        }
    }

    if (!utf16_) {
        return pieces;
    }
    encoded_ = "\xFF\xFE" + Utf8ToUtf16(Joined(pieces)) + oddByte_;
    return {encoded_};
}

std::string IniDocument::Serialize() const {
    return Joined(Pieces());
}

}  // namespace vk3
