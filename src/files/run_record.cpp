#include "files/run_record.h"

#include <regex>

#include "files/file_system.h"

namespace fs = std::filesystem;

namespace vk3 {

namespace {

constexpr std::string_view kFirstLine = "vk3tune safety copies 1";
constexpr std::string_view kHexDigits = "0123456789ABCDEF";

std::string Escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f || c == '%') {
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

int HexValue(char c) {
    const std::size_t at = kHexDigits.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

std::optional<std::string> Unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t begin = 0;;) {
        const std::size_t end = text.find(separator, begin);
        parts.push_back(text.substr(begin, end == std::string_view::npos ? end : end - begin));
        if (end == std::string_view::npos) {
            return parts;
        }
        begin = end + 1;
    }
}

// Runs of earlier versions: "name<TAB>folder" lines after one line of explanation, the copy
// of a second file of one name called "name (2).ini".
std::optional<RunRecord> RecordFromIndex(const fs::path& folder) {
    std::string text;
    if (!ReadFileBytes(folder / "index.txt", text, 1 << 20)) {
        return std::nullopt;
    }
    RunRecord record;
    static const std::regex folderName(R"((\d{4}-\d{2}-\d{2})_(\d{2})-(\d{2})-(\d{2}).*)");
    static const std::regex numbered(R"((.*) \(\d+\)(\.[^.]*)?)");
    std::smatch match;
    const std::string name = Utf8FromPath(folder.filename());
    if (std::regex_match(name, match, folderName)) {
        record.time =
            match[1].str() + "T" + match[2].str() + ":" + match[3].str() + ":" + match[4].str();
    }
    std::vector<std::string_view> lines = Split(text, '\n');
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string_view> fields = Split(lines[i], '\t');
        if (fields.size() != 2) {
            continue;
        }
        std::string original(fields[0]);
        if (std::regex_match(original, match, numbered)) {
            original = match[1].str() + match[2].str();
        }
        record.copies.push_back(
            {std::string(fields[0]), PathFromUtf8(fields[1]) / PathFromUtf8(original)});
    }
    return record;
}

}  // namespace

std::string RunRecordText(const RunRecord& record) {
    std::string text = std::string(kFirstLine) + "\ntime\t" + Escaped(record.time) + "\n";
    for (const RunCopy& copy : record.copies) {
        text += "copy\t" + Escaped(copy.name) + "\t" + Escaped(Utf8FromPath(copy.original)) + "\n";
    }
    return text;
}

std::optional<RunRecord> ParseRunRecord(std::string_view text) {
    std::vector<std::string_view> lines = Split(text, '\n');
    if (lines.empty() || lines.front() != kFirstLine) {
        return std::nullopt;
    }
    RunRecord record;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string_view> fields = Split(lines[i], '\t');
        std::vector<std::string> values;
        for (std::size_t f = 1; f < fields.size(); ++f) {
            std::optional<std::string> value = Unescaped(fields[f]);
            if (!value) {
                return std::nullopt;
            }
            values.push_back(std::move(*value));
        }
        if (fields[0] == "time" && values.size() == 1) {
            record.time = values[0];
        } else if (fields[0] == "copy" && values.size() == 2 && !values[0].empty() &&
                   values[0].find('/') == std::string::npos &&
                   values[0].find('\\') == std::string::npos && values[0] != "." &&
                   values[0] != "..") {
            record.copies.push_back({values[0], PathFromUtf8(values[1])});
        } else if (!(fields.size() == 1 && fields[0].empty())) {
            return std::nullopt;  // a line of a later version, or a damaged record
        }
    }
    return record;
}

std::optional<RunRecord> ReadRunRecord(const fs::path& folder) {
    std::string text;
    if (ReadFileBytes(folder / kRunRecordName, text, 1 << 20)) {
        return ParseRunRecord(text);
    }
    return RecordFromIndex(folder);
}

}  // namespace vk3
