#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk3 {

// What one run's safety folder holds: when the run started and, for each copy, the file it
// was taken from. The record is text a program can read back exactly: fields are separated
// by tabs and every byte that could end a field or a line (and "%") is written as %XX, so
// that any path, with tabs, line breaks or any other character, reads back as it was.
struct RunCopy {
    std::string name;  // the copy's file name in the run folder
    std::filesystem::path original;
};
struct RunRecord {
    std::string time;  // "2024-05-01T18:30:05+0200", local time with its offset
    std::vector<RunCopy> copies;
};

inline constexpr std::string_view kRunRecordName = "record.txt";

std::string RunRecordText(const RunRecord& record);
std::optional<RunRecord> ParseRunRecord(std::string_view text);

// The record of a run folder; a folder of an earlier version, which has only its index,
// reads from that (its time from the folder's name). Nothing when neither can be read.
std::optional<RunRecord> ReadRunRecord(const std::filesystem::path& folder);

}  // namespace vk3
