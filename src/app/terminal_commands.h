#pragma once

#include "app/command_line.h"

namespace vk3 {

class InstallationFinder;

// Runs --show, --set and --restore-defaults on the installation the locator finds, asking
// nothing and opening no window: needs a QCoreApplication only. Returns the exit status:
// 0 done, 1 no installation or a file that could not be read or written, 2 a refused value.
int RunSettingsCommands(const CommandLine& commandLine, InstallationFinder& finder);

}  // namespace vk3
