#include "profile/profile_store.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <system_error>

#include "profile/code_page.h"
#include "profile/ini_document.h"
#include "settings/number_text.h"

namespace fs = std::filesystem;

namespace vk3 {

namespace {

// Windows hands values out as C strings: a zero byte ends them.
std::string_view UpToZero(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

// One pair of matching quotes around a value of two or more characters is dropped.
std::string_view WithoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool HasLineBreakOrZero(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Texts that would not read back as written once in the file are refused: a line break
// would start a new line, "=" in a key would move the split, "[" at its start could make
// the line read as a section header.
std::string WriteProblem(const ProfileWrite& write) {
    const std::string where = "[" + write.section + "] " + write.key + ": ";
    if (HasLineBreakOrZero(write.section) || HasLineBreakOrZero(write.key) ||
        HasLineBreakOrZero(write.value)) {
        return where + "a name or value holds a line break or a zero character";
    }
    const std::string_view section = TrimIniBlanks(write.section);
    const std::string_view key = TrimIniBlanks(write.key);
    if (section.empty()) {
        return where + "the section name is empty";
    }
    if (key.empty()) {
        return where + "the key name is empty";
    }
    if (key.find('=') != std::string_view::npos) {
        return where + "the key name holds \"=\"";
    }
    if (key.front() == '[') {
        return where + "the key name starts with \"[\"";
    }
    return {};
}

// The documents readers read last. What was read is usually saved next: a save takes the
// document, with the lookups already made, instead of reading and parsing the file again,
// and replaces the file only while it still holds the bytes the document was read from.
class ReadDocuments {
public:
    void Keep(const fs::path& file, std::unique_ptr<IniDocument> document) {
        const std::lock_guard lock(mutex_);
        std::erase_if(kept_, [&](const auto& entry) { return entry.first == file; });
        if (kept_.size() == kKept) {
            kept_.erase(kept_.begin());
        }
        kept_.emplace_back(file, std::move(document));
    }

    std::unique_ptr<IniDocument> Take(const fs::path& file) {
        const std::lock_guard lock(mutex_);
        for (auto entry = kept_.begin(); entry != kept_.end(); ++entry) {
            if (entry->first == file) {
                std::unique_ptr<IniDocument> document = std::move(entry->second);
                kept_.erase(entry);
                return document;
            }
        }
        return nullptr;
    }

private:
    static constexpr std::size_t kKept = 4;  // the program's settings files, each once
    std::mutex mutex_;
    std::vector<std::pair<fs::path, std::unique_ptr<IniDocument>>> kept_;  // oldest first
};

ReadDocuments& LastRead() {
    static ReadDocuments documents;
    return documents;
}

// The document a save changes: the one read last, or else the file read now. A file that
// is there but cannot be read fails the save: its content would be lost.
struct DocumentToChange {
    std::unique_ptr<IniDocument> document;
    bool found = false;  // the file was there

    FileStatus Get(const fs::path& file) {
        document = LastRead().Take(file);
        found = document != nullptr;
        if (document) {
            return FileStatus::Success();
        }
        std::optional<FileBytes> bytes;
        if (FileStatus status = ReadFileIfThere(file, bytes); !status) {
            return status;
        }
        found = bytes.has_value();
        document = std::make_unique<IniDocument>(std::move(bytes).value_or(FileBytes()));
        return FileStatus::Success();
    }

    FileAsRead AsRead() const { return {found, document->fileBytes()}; }
};

FileStatus WriteProfileFilesOnce(const std::vector<ProfileFileWrites>& files) {
    std::vector<FilePieces> replacements;
    // The documents outlive the replacement, which writes their unchanged text from them.
    std::vector<DocumentToChange> documents;
    for (const auto& [file, writes] : files) {
        if (writes.empty()) {
            continue;  // not even read: a file with nothing to write stays as it is
        }
        for (const ProfileWrite& write : writes) {
            if (std::string problem = WriteProblem(write); !problem.empty()) {
                return FileStatus::Failure(file, std::move(problem));
            }
        }
        DocumentToChange& toChange = documents.emplace_back();
        if (FileStatus status = toChange.Get(file); !status) {
            return status;
        }
        IniDocument& document = *toChange.document;
        for (const ProfileWrite& write : writes) {
            if (document.utf16()) {
                document.Set(Windows1252ToUtf8(write.section), Windows1252ToUtf8(write.key),
                             Windows1252ToUtf8(write.value));
            } else {
                document.Set(write.section, write.key, write.value);
            }
        }
        if (document.changed()) {
            replacements.push_back({file, document.Pieces(), toChange.AsRead()});
        } else if (!FileIsAsRead(file, toChange.AsRead())) {
            // Its keys held their values in what was read, which is no longer what it holds.
            return FileStatus::Failure(file, std::string(kChangedWhileSaving));
        }
        // Else its keys all hold their values already, and it is left as it is.
    }
    return ReplaceFilePiecesTogether(replacements);
}

}  // namespace

ProfileReader::ProfileReader(const fs::path& file, const std::vector<ProfileKey>& expected)
    : file_(file) {
    std::optional<FileBytes> bytes;
    status_ = ReadFileIfThere(file, bytes);
    found_ = bytes.has_value();
    document_ = std::make_unique<IniDocument>(std::move(bytes).value_or(FileBytes()));
    // The names as the document holds them: a UTF-16 file's in UTF-8.
    std::vector<std::string> converted;
    const auto name = [&](std::string_view text) -> std::string_view {
        return document_->utf16() ? converted.emplace_back(Windows1252ToUtf8(text)) : text;
    };
    converted.reserve(2 * expected.size());
    std::vector<std::string_view> sections;
    for (const ProfileKey& wanted : expected) {
        if (std::find(sections.begin(), sections.end(), wanted.section) != sections.end()) {
            continue;
        }
        sections.push_back(wanted.section);
        std::vector<std::string_view> keys;
        for (const ProfileKey& other : expected) {
            if (other.section == wanted.section) {
                keys.push_back(name(other.key));
            }
        }
        document_->Expect(name(wanted.section), keys);
    }
}

ProfileReader::~ProfileReader() {
    if (document_ && found_) {
        LastRead().Keep(file_, std::move(document_));
    }
}
ProfileReader::ProfileReader(ProfileReader&&) noexcept = default;
ProfileReader& ProfileReader::operator=(ProfileReader&&) noexcept = default;

std::optional<std::string_view> ProfileReader::Find(std::string_view section,
                                                    std::string_view key) const {
    if (!document_->utf16()) {
        return document_->Find(section, key);
    }
    return document_->Find(Windows1252ToUtf8(section), Windows1252ToUtf8(key));
}

bool ProfileReader::Contains(std::string_view section, std::string_view key) const {
    return Find(section, key).has_value();
}

std::string ProfileReader::ReadString(std::string_view section, std::string_view key,
                                      std::string_view defaultText, std::size_t bufferSize) const {
    if (bufferSize == 0) {
        return {};
    }
    std::string text;
    if (const auto stored = Find(section, key)) {
        text = WithoutQuotes(UpToZero(*stored));
        if (document_->utf16()) {
            text = Utf8ToWindows1252(text);
        }
    } else {
        text = UpToZero(defaultText);
        while (!text.empty() && text.back() == ' ') {
            text.pop_back();
        }
    }
    text.resize(std::min(text.size(), bufferSize - 1));
    return text;
}

std::uint32_t ProfileReader::ReadInt(std::string_view section, std::string_view key,
                                     std::int32_t defaultValue) const {
    const auto stored = Find(section, key);
    if (!stored) {
        return static_cast<std::uint32_t>(defaultValue);
    }
    return static_cast<std::uint32_t>(ParseInt(WithoutQuotes(UpToZero(*stored))));
}

std::string ReadProfileString(const fs::path& file, std::string_view section, std::string_view key,
                              std::string_view defaultText, std::size_t bufferSize) {
    return ProfileReader(file).ReadString(section, key, defaultText, bufferSize);
}

std::uint32_t ReadProfileInt(const fs::path& file, std::string_view section, std::string_view key,
                             std::int32_t defaultValue) {
    return ProfileReader(file).ReadInt(section, key, defaultValue);
}

// A save starts again from what the files hold when another program wrote one meanwhile
// (or since it was read for the dialog), a few times at most.
FileStatus WriteProfileFiles(const std::vector<ProfileFileWrites>& files) {
    FileStatus status;
    for (int attempt = 0; attempt < 3; ++attempt) {
        status = WriteProfileFilesOnce(files);
        if (status.reason != kChangedWhileSaving) {
            break;
        }
    }
    return status;
}

FileStatus WriteProfileStrings(const fs::path& file, const std::vector<ProfileWrite>& writes) {
    return WriteProfileFiles({{file, writes}});
}

FileStatus WriteProfileString(const fs::path& file, std::string_view section, std::string_view key,
                              std::string_view value) {
    return WriteProfileStrings(
        file, {ProfileWrite{std::string(section), std::string(key), std::string(value)}});
}

}  // namespace vk3
