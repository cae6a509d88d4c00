#include "profile/profile_store.h"

#include <algorithm>
#include <memory>

#include "files/file_system.h"
#include "files/save_turn.h"
#include "profile/ini_document.h"
#include "text/code_page.h"
#include "text/number_text.h"

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

FileStatus ApplyWrites(const fs::path& file, const std::vector<ProfileWrite>& writes,
                       IniDocument& document) {
    for (const ProfileWrite& write : writes) {
        if (std::string problem = WriteProblem(write); !problem.empty()) {
            return FileStatus::Failure(file, FileProblem::Invalid, std::move(problem));
        }
        if (document.utf16()) {
            document.Set(Windows1252ToUtf8(write.section), Windows1252ToUtf8(write.key),
                         Windows1252ToUtf8(write.value));
        } else {
            document.Set(write.section, write.key, write.value);
        }
    }
    return FileStatus::Success();
}

}  // namespace

ProfileReader::ProfileReader(const fs::path& file) {
    FileText bytes;
    FileVersion version;
    status_ = ReadFileIfThere(file, bytes, version);
    document_ = std::make_unique<IniDocument>(std::move(bytes));
}

ProfileReader::~ProfileReader() = default;
ProfileReader::ProfileReader(ProfileReader&&) noexcept = default;
ProfileReader& ProfileReader::operator=(ProfileReader&&) noexcept = default;

std::optional<std::string_view> ProfileReader::Find(std::string_view section,
                                                    std::string_view key) {
    if (!document_->utf16()) {
        return document_->Find(section, key);
    }
    return document_->Find(Windows1252ToUtf8(section), Windows1252ToUtf8(key));
}

bool ProfileReader::Contains(std::string_view section, std::string_view key) {
    return Find(section, key).has_value();
}

std::string ProfileReader::ReadString(std::string_view section, std::string_view key,
                                      std::string_view defaultText, std::size_t bufferSize) {
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
                                     std::int32_t defaultValue) {
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

FileStatus WriteProfileFiles(const std::vector<ProfileFileWrites>& files) {
    std::vector<fs::path> paths;
    for (const auto& [file, writes] : files) {
        if (!writes.empty()) {  // a file with nothing to write is not even read
            paths.push_back(file);
        }
    }
    const SaveTurn turn(paths);
    if (!turn.status()) {
        return turn.status();
    }
    // The documents outlive the replacement, which writes their unchanged text from them.
    std::vector<std::unique_ptr<IniDocument>> documents;
    std::vector<FilePieces> replacements;
    for (const auto& [file, writes] : files) {
        if (writes.empty()) {
            continue;
        }
        FileText bytes;
        FileVersion version;
        if (FileStatus status = ReadFileIfThere(file, bytes, version); !status) {
            return status;  // its content would be lost
        }
        IniDocument& document =
            *documents.emplace_back(std::make_unique<IniDocument>(std::move(bytes)));
        if (FileStatus applied = ApplyWrites(file, writes, document); !applied) {
            return applied;
        }
        // A file whose keys all hold their values already is left as it is.
        if (document.changed()) {
            replacements.push_back({file, document.Pieces(), version, document.fileBytes()});
        }
    }
    return ReplaceFilePiecesTogether(replacements);
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
