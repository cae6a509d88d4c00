#include "history/history.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <optional>
#include <regex>
#include <tuple>

#include "files/file_system.h"
#include "files/safety_copies.h"
#include "profile/ini_document.h"
#include "settings/setting_rows.h"
#include "text/ascii_text.h"

namespace fs = std::filesystem;

namespace vk3 {

namespace {

// The settings file a kept file is, by its name.
enum class KeptFile { Engine, Debug, UserOptions, Other };
KeptFile KindOf(const fs::path& file) {
    const std::string name = AsciiLower(Utf8FromPath(file.filename()));
    return name == "vkmain.ini"        ? KeptFile::Engine
           : name == "debug.ini"       ? KeptFile::Debug
           : name == "useroptions.ini" ? KeptFile::UserOptions
                                       : KeptFile::Other;
}

// What the dialogs call a setting, else "[section] key".
std::string NameInHistory(KeptFile kind, std::string_view section, std::string_view key) {
    const std::string unnamed = "[" + std::string(section) + "] " + std::string(key);
    if (kind == KeptFile::Other) {
        return unnamed;
    }
    const SettingFile file = kind == KeptFile::Engine  ? SettingFile::Engine
                             : kind == KeptFile::Debug ? SettingFile::Debug
                                                       : SettingFile::UserOptions;
    for (const auto rows : {MainSettingRows(), CacheSettingRows(), OtherSettingRows()}) {
        for (const SettingRow& row : rows) {
            for (std::size_t i = 0; row.file == file && i < row.KeyCount(); ++i) {
                if (IniDocument::SameName(row.section, section) &&
                    IniDocument::SameName(row.keys[i], key)) {
                    const std::string name = SettingName(row);
                    return row.KeyCount() > 1 ? name + " (" + std::string(row.keys[i]) + ")" : name;
                }
            }
        }
    }
    return unnamed;
}

// The entries of an INI file as Windows reads them: the first section of a name and the
// first entry of a key count; names match without regard to case.
struct Entry {
    std::string section;
    std::string key;
    std::string value;
};
struct Entries {
    std::vector<Entry> inOrder;
    std::map<std::string, std::size_t> byName;  // "section\nkey", lower case

    const Entry* Find(const Entry& like) const {
        const auto found = byName.find(AsciiLower(like.section + "\n" + like.key));
        return found == byName.end() ? nullptr : &inOrder[found->second];
    }
};

Entries EntriesOf(const std::string& bytes) {
    Entries entries;
    IniDocument(bytes).ForEachEntry(
        [&](std::string_view section, std::string_view key, std::string_view value) {
            Entry entry{std::string(section), std::string(key), std::string(value)};
            if (entries.byName
                    .emplace(AsciiLower(entry.section + "\n" + entry.key), entries.inOrder.size())
                    .second) {
                entries.inOrder.push_back(std::move(entry));
            }
        });
    return entries;
}

std::vector<std::string> Differences(const fs::path& file, const std::string& then,
                                     const std::string& now) {
    if (then == now) {
        return {"no changes since then"};
    }
    if (now.empty()) {
        return {"emptied since then"};
    }
    if (then.empty()) {
        return {"empty then, filled since"};
    }
    const KeptFile kind = KindOf(file);
    const Entries before = EntriesOf(then);
    const Entries after = EntriesOf(now);
    std::vector<std::string> lines;
    for (const Entry& entry : before.inOrder) {
        const std::string name = NameInHistory(kind, entry.section, entry.key);
        if (const Entry* current = after.Find(entry); !current) {
            lines.push_back(name + ": removed (was " + entry.value + ")");
        } else if (current->value != entry.value) {
            lines.push_back(name + ": " + entry.value + " → " + current->value);
        }
    }
    for (const Entry& entry : after.inOrder) {
        if (!before.Find(entry)) {
            lines.push_back(NameInHistory(kind, entry.section, entry.key) + ": added (" +
                            entry.value + ")");
        }
    }
    if (lines.empty()) {
        lines.push_back("changed outside the settings (comments, spacing or order)");
    }
    return lines;
}

long long RunNumberIn(const fs::path& folder) {
    std::string text;
    if (!ReadFileBytes(folder / "run-number.txt", text, 64)) {
        return 0;
    }
    try {
        return std::stoll(text);
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace

std::vector<HistoryRun> ListHistory(const fs::path& safetyFolder) {
    static const std::regex runFolderName(R"(\d{4}-\d{2}-\d{2}_\d{2}-\d{2}-\d{2}(-\d+)?)");
    std::vector<std::pair<long long, HistoryRun>> found;
    std::error_code error;
    for (fs::directory_iterator it(safetyFolder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code ignored;
        const std::string name = Utf8FromPath(it->path().filename());
        if (!it->is_directory(ignored) || !std::regex_match(name, runFolderName)) {
            continue;
        }
        std::optional<RunRecord> record = ReadRunRecord(it->path());
        if (!record || record->copies.empty()) {
            continue;
        }
        std::string time = record->time.substr(0, 19);
        std::replace(time.begin(), time.end(), 'T', ' ');
        found.push_back({RunNumberIn(it->path()),
                         {name, it->path(), std::move(time), std::move(record->copies)}});
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::tie(a.first, a.second.name) > std::tie(b.first, b.second.name);
    });
    std::vector<HistoryRun> runs;
    for (auto& [number, run] : found) {
        runs.push_back(std::move(run));
    }
    return runs;
}

const HistoryRun* FindRun(const std::vector<HistoryRun>& runs, std::string_view name) {
    const auto found = std::find_if(runs.begin(), runs.end(),
                                    [&](const HistoryRun& run) { return run.name == name; });
    return found == runs.end() ? nullptr : &*found;
}

std::vector<FileChanges> ChangesSince(const HistoryRun& run) {
    std::vector<FileChanges> changes;
    for (const RunCopy& copy : run.copies) {
        FileChanges file{copy.original, {}};
        std::string then;
        FileAsRead now;
        if (FileStatus read = ReadFileBytes(run.folder / PathFromUtf8(copy.name), then); !read) {
            file.lines.push_back("its safety copy cannot be read: " + read.reason);
        } else if (FileStatus readNow = ReadFileIfThere(copy.original, now); !readNow) {
            file.lines.push_back("cannot be read now: " + readNow.reason);
        } else if (!now.version.found) {
            file.lines.push_back("no longer there; a restore puts it back");
        } else {
            file.lines = Differences(copy.original, then, now.bytes);
        }
        changes.push_back(std::move(file));
    }
    return changes;
}

std::string DescribeRun(const HistoryRun& run) {
    std::string text;
    for (const FileChanges& file : ChangesSince(run)) {
        text += Utf8FromPath(file.file) + "\n";
        for (const std::string& line : file.lines) {
            text += "    " + line + "\n";
        }
    }
    return text;
}

FileStatus RestoreRun(const HistoryRun& run, SafetyCopies* copies) {
    std::vector<FileReplacement> replacements;
    for (const RunCopy& copy : run.copies) {
        FileReplacement replacement{copy.original, {}};
        const fs::path kept = run.folder / PathFromUtf8(copy.name);
        if (FileStatus read = ReadFileBytes(kept, replacement.bytes); !read) {
            return FileStatus::Failure(
                copy.original, read.problem,
                "its safety copy \"" + Utf8FromPath(kept) + "\" cannot be read: " + read.reason);
        }
        replacements.push_back(std::move(replacement));
    }
    if (copies) {
        copies->BeginNewRun(std::chrono::system_clock::now());
    }
    return ReplaceFilesTogether(replacements);
}

}  // namespace vk3
