#include "profile/ini_document.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "text/ascii_text.h"
#include "text/code_page.h"

namespace vk3 {

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// The first CR or LF at or after `from`, else the end: eight bytes are looked at a time,
// which makes the pass over a large file's lines several times faster than byte by byte.
std::size_t FindLineEnd(std::string_view text, std::size_t from) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    const char* data = text.data();
    while (from + 8 <= text.size()) {
        std::uint64_t word;
        std::memcpy(&word, data + from, 8);
        const std::uint64_t cr = word ^ (kOnes * '\r');
        const std::uint64_t lf = word ^ (kOnes * '\n');
        // A byte is zero in cr or lf exactly where the word holds CR or LF.
        if ((((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighs) {
            break;
        }
        from += 8;
    }
    while (from < text.size() && !IsLineEnd(data[from])) {
        ++from;
    }
    return from;
}

bool IsUtf16File(std::string_view bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xFE;
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

std::uint32_t IniDocument::NameHash(std::string_view name) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    std::uint64_t hash = 14695981039346656037ull;
    while (!name.empty()) {
        std::uint64_t word = 0;
        const std::size_t size = std::min<std::size_t>(name.size(), 8);
        std::memcpy(&word, name.data(), size);
        name.remove_prefix(size);
        // Eight letters lower-cased at once: a byte below 0x80 from 'A' to 'Z' gains 0x20.
        const std::uint64_t low = word & ~kHighs;
        const std::uint64_t fromA = low + kOnes * (0x80 - 'A');
        const std::uint64_t pastZ = low + kOnes * (0x80 - 'Z' - 1);
        word |= (fromA & ~pastZ & ~word & kHighs) >> 2;
        hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
        hash ^= hash >> 29;
    }
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

bool IniDocument::SameName(std::string_view a, std::string_view b) {
    return EqualIgnoringAsciiCase(a, b);
}

IniDocument::IniDocument(std::string_view fileBytes) : IniDocument(FileText(fileBytes)) {}

IniDocument::IniDocument(FileText fileBytes) : read_(std::move(fileBytes)) {
    const std::string_view bytes = read_.view();
    if (IsUtf16File(bytes)) {
        utf16_ = true;
        std::string_view units = bytes.substr(2);
        if (units.size() % 2 != 0) {
            oddByte_ = units.substr(units.size() - 1);
            units.remove_suffix(1);
        }
        converted_ = Utf16LeToUtf8(units);
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
    const std::size_t contentEnd = FindLineEnd(text_, begin);
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

// One pass over the section's lines, then the entries are put in their groups (a counting
// sort, which keeps the file order within a group).
void IniDocument::GatherKeys(Section& section) {
    KeyIndex& index = section.keys.emplace();
    std::vector<std::uint64_t> found;
    std::size_t lastEntryLine = Section::kNotInFile;
    if (section.headerEnd != Section::kNotInFile) {
        // Room for a line every 24 bytes at first: the lines of a settings file are longer.
        found.reserve((section.bodyEnd - section.headerEnd) / 24);
        for (std::size_t begin = section.headerEnd; begin < section.bodyEnd;) {
            const Line line = LineFrom(begin);
            if (const auto entry = EntryOf(line)) {
                const std::uint64_t hash =
                    NameHash(text_.substr(entry->keyBegin, entry->keyEnd - entry->keyBegin));
                found.push_back(hash << 32 | line.begin);
                lastEntryLine = line.begin;
            }
            begin = line.end;
        }
    }
    int bits = 1;
    while (bits < 31 && (std::size_t{1} << bits) < found.size()) {
        ++bits;
    }
    index.shift = 32 - bits;
    const auto groupOf = [&](std::uint64_t entry) { return entry >> 32 >> index.shift; };
    // First each group's size, then where it begins, then each entry placed, which moves
    // the group's begin to its end.
    index.ends.assign((std::size_t{1} << bits) + 1, 0);
    for (const std::uint64_t entry : found) {
        ++index.ends[groupOf(entry) + 1];
    }
    for (std::size_t group = 1; group < index.ends.size(); ++group) {
        index.ends[group] += index.ends[group - 1];
    }
    index.entries.resize(found.size());
    for (const std::uint64_t entry : found) {
        index.entries[index.ends[groupOf(entry)]++] = entry;
    }
    if (lastEntryLine != Section::kNotInFile) {
        section.lastEntry = EntryOf(LineFrom(lastEntryLine));
    }
}

std::optional<std::size_t> IniDocument::FindSection(std::string_view name) const {
    const auto found = sectionIndex_.find(AsciiLower(TrimIniBlanks(name)));
    if (found == sectionIndex_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<IniDocument::Entry> IniDocument::FindEntry(Section& section, std::string_view key) {
    if (!section.keys) {
        GatherKeys(section);
    }
    const std::uint32_t hash = NameHash(key);
    const KeyIndex& index = *section.keys;
    const std::size_t group = hash >> index.shift;
    for (std::size_t i = group == 0 ? 0 : index.ends[group - 1]; i < index.ends[group]; ++i) {
        if (index.entries[i] >> 32 != hash) {
            continue;
        }
        const auto entry = EntryOf(LineFrom(static_cast<std::uint32_t>(index.entries[i])));
        if (SameName(text_.substr(entry->keyBegin, entry->keyEnd - entry->keyBegin), key)) {
            return entry;
        }
    }
    return std::nullopt;
}

void IniDocument::ForEachEntry(
    const std::function<void(std::string_view, std::string_view, std::string_view)>& visit) const {
    for (std::size_t index = 0; index < sections_.size(); ++index) {
        const Section& section = sections_[index];
        if (section.headerEnd == Section::kNotInFile ||
            FindSection(section.name) != std::optional<std::size_t>(index)) {
            continue;  // added, or a later section of a name seen before
        }
        for (std::size_t begin = section.headerEnd; begin < section.bodyEnd;) {
            const Line line = LineFrom(begin);
            if (const auto entry = EntryOf(line)) {
                visit(section.name,
                      std::string_view(text_).substr(entry->keyBegin,
                                                     entry->keyEnd - entry->keyBegin),
                      OriginalValue(*entry));
            }
            begin = line.end;
        }
    }
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
                                                  std::string_view keyName) {
    const auto sectionIndex = FindSection(sectionName);
    if (!sectionIndex) {
        return std::nullopt;
    }
    Section& section = sections_[*sectionIndex];
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

std::vector<std::string_view> IniDocument::Pieces() {
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
    encoded_ = "\xFF\xFE" + Utf8ToUtf16Le(Joined(pieces)) + oddByte_;
    return {encoded_};
}

std::string IniDocument::Serialize() {
    return Joined(Pieces());
}

}  // namespace vk3
