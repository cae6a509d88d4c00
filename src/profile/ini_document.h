#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

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
    explicit IniDocument(std::string fileBytes);
    ~IniDocument();
    IniDocument(const IniDocument&) = delete;
    IniDocument& operator=(const IniDocument&) = delete;

    // The value as stored: after the blanks around it, quotes still on. Nothing when the
    // section or key is absent; only the first section of a name is searched and the first
    // entry of a key wins.
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

    // Makes the key hold the value. Setting the value a key already holds changes nothing.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // Section and key names match without regard to ASCII case.
    static bool SameName(std::string_view a, std::string_view b);

    bool changed() const { return changed_; }
    bool utf16() const { return utf16_; }

    // The whole file as it is now, in the encoding it was read in.
    std::string Serialize() const;

private:
    struct Entry {
        std::size_t lineBegin;
        std::size_t keyBegin;
        std::size_t keyEnd;
        std::size_t valueBegin;
        std::size_t valueEnd;
        std::size_t lineEnd;  // after the line's end characters
        std::unique_ptr<std::string> newValue;
    };
    struct AddedEntry {
        std::string key;
        std::string value;
    };
    struct CaseInsensitiveHash {
        std::size_t operator()(std::string_view text) const;
    };
    struct CaseInsensitiveEqual {
        bool operator()(std::string_view a, std::string_view b) const;
    };
    using KeyIndex = std::unordered_map<std::string_view, std::size_t, CaseInsensitiveHash,
                                        CaseInsensitiveEqual>;
    struct Section {
        std::string name;
        static constexpr std::size_t kNotInFile = static_cast<std::size_t>(-1);
        std::size_t headerEnd = kNotInFile;  // after the header line; kNotInFile when added
        std::vector<Entry> entries;
        std::vector<AddedEntry> added;
        mutable std::unique_ptr<KeyIndex> keyIndex;  // built at the first lookup
    };

    void Parse();
    void ParseLine(std::size_t lineBegin, std::size_t contentEnd, std::size_t lineEnd);
    // Index into sections_ of the first section of that name, or nothing.
    std::optional<std::size_t> FindSection(std::string_view name) const;
    // Index into section.entries, or nothing.
    std::optional<std::size_t> FindEntry(const Section& section, std::string_view key) const;
    std::string_view StoredValue(const Entry& entry) const;
    bool EndsLine(std::size_t position) const;

    std::string text_;     // the file in its 8-bit form
    bool utf16_ = false;   // read from a UTF-16LE file
    std::string oddByte_;  // a UTF-16LE file's stray last byte, kept as it was
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_;  // lower-case name -> first
    bool changed_ = false;
};

// Windows' blank characters of an INI line: space, tab, CR, LF, VT, FF and Ctrl-Z.
bool IsIniBlank(char c);
std::string_view TrimIniBlanks(std::string_view text);

}  // namespace vk3
