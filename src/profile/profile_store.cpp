#include "profile/profile_store.h"

#include <system_error>

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

// At most `limit` characters; a character of a UTF-16 file is one UTF-8 sequence.
std::string_view CutToCharacters(std::string_view text, std::size_t limit, bool utf8) {
    if (!utf8) {
        return text.substr(0, limit);
    }
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (characters == limit) {
                return text.substr(0, i);
            }
            ++characters;
        }
    }
    return text;
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

// The file's bytes, or an empty text when there is no file. Fails only when a file is there
// but cannot be read, since writing then would lose its content.
FileStatus ReadExisting(const fs::path& file, std::string& bytes) {
    bytes.clear();
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (status.type() == fs::file_type::not_found) {
        return FileStatus::Success();
    }
    if (error) {
        return FileStatus::Failure(file, "it could not be examined: " + error.message());
    }
    return ReadFileBytes(file, bytes);
}

}  // namespace

ProfileReader::ProfileReader(const fs::path& file) {
    std::string bytes;
    if (!ReadFileBytes(file, bytes)) {
        bytes.clear();
    }
    document_ = std::make_unique<IniDocument>(std::move(bytes));
}

ProfileReader::~ProfileReader() = default;
ProfileReader::ProfileReader(ProfileReader&&) noexcept = default;
ProfileReader& ProfileReader::operator=(ProfileReader&&) noexcept = default;

std::string ProfileReader::ReadString(std::string_view section, std::string_view key,
                                      std::string_view defaultText, std::size_t bufferSize) const {
    if (bufferSize == 0) {
        return {};
    }
    std::string_view text;
    if (const auto stored = document_->Find(section, key)) {
        text = WithoutQuotes(UpToZero(*stored));
    } else {
        text = UpToZero(defaultText);
        while (!text.empty() && text.back() == ' ') {
            text.remove_suffix(1);
        }
    }
    return std::string(CutToCharacters(text, bufferSize - 1, document_->utf16()));
}

std::uint32_t ProfileReader::ReadInt(std::string_view section, std::string_view key,
                                     std::int32_t defaultValue) const {
    const auto stored = document_->Find(section, key);
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

FileStatus WriteProfileStrings(const fs::path& file, const std::vector<ProfileWrite>& writes) {
    for (const ProfileWrite& write : writes) {
        if (std::string problem = WriteProblem(write); !problem.empty()) {
            return FileStatus::Failure(file, std::move(problem));
        }
    }
    std::string bytes;
    if (FileStatus status = ReadExisting(file, bytes); !status) {
        return status;
    }
    IniDocument document(std::move(bytes));
    for (const ProfileWrite& write : writes) {
        document.Set(write.section, write.key, write.value);
    }
    if (!document.changed()) {
        return FileStatus::Success();  // every key already holds its value
    }
    return ReplaceFileContents(file, document.Serialize());
}

FileStatus WriteProfileString(const fs::path& file, std::string_view section, std::string_view key,
                              std::string_view value) {
    return WriteProfileStrings(
        file, {ProfileWrite{std::string(section), std::string(key), std::string(value)}});
}

}  // namespace vk3
