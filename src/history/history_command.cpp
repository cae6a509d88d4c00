#include "history/history_command.h"

#include <chrono>
#include <vector>

#include "files/file_system.h"
#include "files/safety_copies.h"
#include "history/history.h"

namespace vk3 {

int PrintHistory(const std::filesystem::path& safetyFolder, std::FILE* out) {
    const std::vector<HistoryRun> runs = ListHistory(safetyFolder);
    if (runs.empty()) {
        std::fprintf(out, "no safety copies kept in \"%s\"\n", Utf8FromPath(safetyFolder).c_str());
    }
    for (const HistoryRun& run : runs) {
        std::fprintf(out, "%s  %s\n%s", run.name.c_str(), run.time.c_str(),
                     DescribeRun(run).c_str());
    }
    return 0;
}

int RestoreHistory(const std::filesystem::path& safetyFolder, const std::string& name,
                   std::FILE* out, std::FILE* err) {
    const std::vector<HistoryRun> runs = ListHistory(safetyFolder);
    const HistoryRun* run = FindRun(runs, name);
    if (!run) {
        std::fprintf(err, "vk3tune: no run \"%s\" in the history (vk3tune --history lists them)\n",
                     name.c_str());
        return 2;
    }
    SafetyCopies copies(safetyFolder, std::chrono::system_clock::now());
    SetReplacementGuard(
        [&copies](const std::filesystem::path& file) { return copies.KeepBefore(file); });
    const FileStatus restored = RestoreRun(*run, &copies);
    SetReplacementGuard(nullptr);
    if (!restored) {
        std::fprintf(err, "vk3tune: %s; nothing was changed\n",
                     restored.Message("could not restore").c_str());
        return 1;
    }
    std::fprintf(out, "restored the files of %s (%s)", run->name.c_str(), run->time.c_str());
    if (!copies.RunFolder().empty()) {
        std::fprintf(out, "; the files as they were are kept in %s",
                     Utf8FromPath(copies.RunFolder().filename()).c_str());
    }
    std::fputs("\n", out);
    return 0;
}

}  // namespace vk3
