#pragma once

#include <string_view>

#include "platform/installation.h"
#include "platform/prompter.h"

namespace vk3 {

// logo.ini lists the game's start videos, one per line with CR LF between them and none
// after the last, on every platform.

// Only the first video, no line end.
std::string_view RemovedStartLogos();
// All five videos.
std::string_view FullStartLogos();

// "remo&ve startlogos": after a Yes, logo.ini holds only the first video. A file that cannot
// be written is reported and stays as it was; a missing Ini folder is not created.
void RemoveStartLogos(Prompter& prompter, const InstallationPaths& paths);

// "restore s&tartlogos": after a Yes, logo.ini lists all five videos again. Failures as above.
void RestoreStartLogos(Prompter& prompter, const InstallationPaths& paths);

}  // namespace vk3
