#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "files/file_text.h"

namespace vk3 {

// An INI file held in memory as the Windows private-profile functions see it. Lookups and
// changes address a section and a key; when the document is written back, every byte that
// no change touches is exactly as it was read.
//
// A file that starts with FF FE is UTF-16LE: it is held as UTF-8 (unpaired surrogates kept,
// so that it converts back byte for byte) and written back as UTF-16LE with its mark. Any
// other file is taken byte for byte, a UTF-8 mark included, as Windows does.
//
// Lines that change or are added end with CR LF. A changed entry keeps the indentation and
// the spelling of its key and is written as "key=value". A new key goes right after the
// last entry of its section (right after the header when it has none); a new section goes
// at the end of the file.
class IniDocument {
public:
    explicit IniDocument(std::string_view fileBytes);
    explicit IniDocument(FileText fileBytes);
    ~IniDocument();
    IniDocument(const IniDocument&) = delete;
    IniDocument& operator=(const IniDocument&) = delete;

    // The value as stored: after the blanks around it, quotes still on. Nothing when the
    // section or key is absent; only the first section of a name is searched and the first
    // entry of a key wins. A section's keys are gathered at its first lookup, so that
    // sections nobody asks for are never gone through.
    std::optional<std::string_view> Find(std::string_view section, std::string_view key);

    // Every entry as it was read, in file order, of the first section of each name (the one
    // lookups search); the value as Find gives it. Keys are handed on as they stand, so a
    // key that repeats in its section is handed on each time.
    void ForEachEntry(const std::function<void(std::string_view section, std::string_view key,
                                               std::string_view value)>& visit) const;

    // Makes the key hold the value. Setting the value a key already holds changes nothing.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // Section and key names match without regard to ASCII case.
    static bool SameName(std::string_view a, std::string_view b);

    bool changed() const { return changed_; }
    bool utf16() const { return utf16_; }

    // The file's bytes as they were read.
    std::string_view fileBytes() const { return read_.view(); }

    // The whole file as it is now, in the encoding it was read in.
    std::string Serialize();

    // The same bytes as stretches in order: unchanged stretches are views into the text as
    // read, so a large file is written without a second copy. Valid until the document
    // changes or goes.
    std::vector<std::string_view> Pieces();

private:
    // A line's start, the end of its content and the position after its line end.
    struct Line {
        std::size_t begin;
        std::size_t contentEnd;
        std::size_t end;
    };
    struct Entry {
        std::size_t lineBegin;
        std::size_t keyBegin;
        std::size_t keyEnd;
        std::size_t valueBegin;
        std::size_t valueEnd;
        std::size_t lineEnd;
    };
    struct AddedEntry {
        std::string key;
        std::string value;
    };
    // The same for names that differ only in the case of ASCII letters.
    static std::uint32_t NameHash(std::string_view name);
    // A section's entries by the hash of their key: each is the hash (high half) and line
    // start (low half) in one number, grouped by the hash's leading bits (about one entry per
    // group) and in file order within a group, so that the first entry of a name is met
    // first. A text read is far below 4 GiB (kMaxSettingsFileBytes, and at most half as long
    // again once a UTF-16 file is converted).
    struct KeyIndex {
        int shift;                        // a hash's group: hash >> shift
        std::vector<std::uint32_t> ends;  // where each group's entries end
        std::vector<std::uint64_t> entries;
    };
    struct Section {
        std::string name;
        static constexpr std::size_t kNotInFile = static_cast<std::size_t>(-1);
        std::size_t headerEnd = kNotInFile;  // after the header line; kNotInFile when added
        std::size_t bodyEnd = kNotInFile;    // where the next header line starts
        std::optional<KeyIndex> keys;        // gathered at the first lookup
        std::optional<Entry> lastEntry;      // likewise
        std::map<std::size_t, std::string> newValues;  // by the line start of their entry
        std::vector<AddedEntry> added;
    };

    void FindHeaders();
    void GatherKeys(Section& section);
    Line LineFrom(std::size_t begin) const;
    std::optional<Entry> EntryOf(const Line& line) const;
    // Index into sections_ of the first section of that name, or nothing.
    std::optional<std::size_t> FindSection(std::string_view name) const;
    std::optional<Entry> FindEntry(Section& section, std::string_view key);
    std::string_view OriginalValue(const Entry& entry) const;
    std::string_view StoredValue(const Section& section, const Entry& entry) const;

    FileText read_;          // the file as read
    std::string converted_;  // a UTF-16 file's text as UTF-8
    std::string_view text_;  // the file in its 8-bit form: one of the two
    bool utf16_ = false;     // read from a UTF-16LE file
    std::string oddByte_;    // a UTF-16LE file's stray last byte, kept as it was
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_;  // lower-case name -> first
    bool changed_ = false;
    std::string encoded_;  // the UTF-16LE form Pieces() hands out
};

// Windows' blank characters of an INI line: space, tab, CR, LF, VT, FF and Ctrl-Z.
bool IsIniBlank(char c);
std::string_view TrimIniBlanks(std::string_view text);

}  // namespace vk3
