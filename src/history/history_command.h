#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace vk3 {

// vk3tune --history: prints each kept run, newest first ("<run>  <time>"), each kept file
// and how it differs from the file as it is now. Exit status 0.
int PrintHistory(const std::filesystem::path& safetyFolder, std::FILE* out);

// vk3tune --restore-history RUN: puts the run's files back, keeping the files as they are
// now as a new run first. 0 when done; 1 with the file and why when the restore failed; 2
// with one line when there is no such run.
int RestoreHistory(const std::filesystem::path& safetyFolder, const std::string& run,
                   std::FILE* out, std::FILE* err);

}  // namespace vk3
