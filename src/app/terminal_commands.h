#pragma once

#include "app/command_line.h"

namespace vk3 {

class InstallationFinder;

// Runs --show, --set and --restore-defaults on the installation the locator finds, asking
// nothing and opening no window: starts a QCoreApplication only, after listing the display
// modes while this is the only thread. Returns the exit status: 0 done, 1 no installation
// or a file that could not be read or written, 2 a refused value.
int RunSettingsCommands(int argc, char** argv, const CommandLine& commandLine,
                        InstallationFinder& finder);

}  // namespace vk3
